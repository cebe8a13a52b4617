#include "platform/fixed_clock.h"

#include <array>
#include <cstdio>

#include "platform/date_and_time.h"
#include "platform/platform_error.h"

namespace lorvane {

namespace {
constexpr int kSecondsPerMinute = 60;
constexpr int kSecondsPerHour = 3600;
}  // namespace

FixedClock::FixedClock(int year, int month, int day, int hour, int minute, int second)
{
    if (!IsDateAndTime(DateAndTime{year, month, day, hour, minute, second})) {
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
    const std::optional<DateAndTime> when = ReadDateAndTime(digits);
    if (!when) {
        return std::nullopt;
    }
    return FixedClock(when->year, when->month, when->day, when->hour, when->minute, when->second);
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
