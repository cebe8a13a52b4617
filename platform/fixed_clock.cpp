#include "fixed_clock.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform_error.h"

namespace lorvane {

namespace {
constexpr int kSecondsPerMinute = 60;
constexpr int kSecondsPerHour = 3600;
}  // namespace

FixedClock::FixedClock(int year, int month, int day, int hour, int minute, int second)
{
    constexpr int lastYear = 9999;
    constexpr int lastMonth = 12;
    constexpr int lastDay = 31;
    constexpr int lastHour = 23;
    constexpr int lastMinute = 59;
    if (year < 0 || year > lastYear || month < 1 || month > lastMonth || day < 1 || day > lastDay || hour < 0 ||
        hour > lastHour || minute < 0 || minute > lastMinute || second < 0 || second > lastMinute) {
        throw PlatformError("invalid date or time");
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%02d-%02d-%04d", month, day, year);
    date_ = text.data();
    std::snprintf(text.data(), text.size(), "%02d:%02d:%02d", hour, minute, second);
    time_ = text.data();
    timer_ = static_cast<float>(hour * kSecondsPerHour + minute * kSecondsPerMinute + second);
}

std::optional<FixedClock> FixedClock::At(std::string_view digits)
{
    constexpr std::size_t kDigits = 14;
    if (digits.size() != kDigits ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const auto number = [digits](std::size_t from, std::size_t length) {
        int value = 0;
        for (const char c : digits.substr(from, length)) {
            value = value * 10 + (c - '0');
        }
        return value;
    };
    try {
        return FixedClock(number(0, 4), number(4, 2), number(6, 2), number(8, 2), number(10, 2), number(12, 2));
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

std::string FixedClock::Date()
{
    return date_;
}

std::string FixedClock::Time()
{
    return time_;
}

float FixedClock::Timer()
{
    return timer_;
}

}  // namespace lorvane
