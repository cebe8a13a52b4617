#include "fixed_clock.h"

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
