#include "platform/date_and_time.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace lorvane {

namespace {

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    constexpr int february = 2;
    return month == february && IsLeapYear(year) ? 29 : days.at(static_cast<std::size_t>(month - 1));
}

}  // namespace

bool IsDateAndTime(const DateAndTime& when)
{
    constexpr int lastYear = 9999;
    constexpr int lastMonth = 12;
    constexpr int lastHour = 23;
    constexpr int lastMinute = 59;
    return when.year >= 1 && when.year <= lastYear && when.month >= 1 && when.month <= lastMonth && when.day >= 1 &&
           when.day <= DaysInMonth(when.year, when.month) && when.hour >= 0 && when.hour <= lastHour &&
           when.minute >= 0 && when.minute <= lastMinute && when.second >= 0 && when.second <= lastMinute;
}

std::optional<DateAndTime> ReadDateAndTime(std::string_view digits)
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
    const DateAndTime when{number(0, 4), number(4, 2), number(6, 2), number(8, 2), number(10, 2), number(12, 2)};
    if (!IsDateAndTime(when)) {
        return std::nullopt;
    }
    return when;
}

}  // namespace lorvane
