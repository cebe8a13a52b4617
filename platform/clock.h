#pragma once

#include <string>

namespace lorvane {

// Local date and time as fixed-width text, the same whatever the user's locale.
// Any read may raise PlatformError.
class Clock {
public:
    virtual ~Clock() = default;

    // "mm-dd-yyyy"
    virtual std::string Date() = 0;
    // "hh:mm:ss", 24-hour
    virtual std::string Time() = 0;
    // Seconds since local midnight, with their fraction.
    virtual float Timer() = 0;

protected:
    Clock() = default;
    Clock(const Clock&) = default;
    Clock& operator=(const Clock&) = default;
    Clock(Clock&&) = default;
    Clock& operator=(Clock&&) = default;
};

}  // namespace lorvane
