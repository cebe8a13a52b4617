#pragma once

#include <optional>
#include <string_view>

#include "platform/clock.h"

namespace lorvane {

// A clock that always reads the same date and time, for reproducible picture names.
class FixedClock final : public Clock {
public:
    // The first day of year 1 at midnight, the earliest date a recipe can name.
    FixedClock() : FixedClock(1, 1, 1, 0, 0, 0) {}
    // A real date and time (IsDateAndTime), else PlatformError.
    FixedClock(int year, int month, int day, int hour, int minute, int second);
    // From 14 digits YYYYMMDDhhmmss; none for anything that is not a real date and time.
    [[nodiscard]] static std::optional<FixedClock> At(std::string_view digits);

    std::string Date() override;
    std::string Time() override;
    float Timer() override;

private:
    std::string date_;
    std::string time_;
    float timer_ = 0.0F;
};

}  // namespace lorvane
