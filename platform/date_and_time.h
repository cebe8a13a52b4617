#pragma once

#include <optional>
#include <string_view>

namespace lorvane {

// A date and time on the calendar, as a picture's name holds it.
struct DateAndTime {
    int year = 1;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Whether `when` is a real date and time, years 1 to 9999: the one rule the recipe, --at and the
// fixed clock all keep (so 31 February is refused everywhere).
[[nodiscard]] bool IsDateAndTime(const DateAndTime& when);

// 14 digits YYYYMMDDhhmmss read as a real date and time; none for anything else.
[[nodiscard]] std::optional<DateAndTime> ReadDateAndTime(std::string_view digits);

// Whether 14 digits are a real date and time.
[[nodiscard]] inline bool IsDateAndTime(std::string_view digits)
{
    return ReadDateAndTime(digits).has_value();
}

}  // namespace lorvane
