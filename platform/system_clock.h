#pragma once

#include "platform/clock.h"

namespace lorvane {

// The computer's clock in local time. Each call is a separate read.
class SystemClock final : public Clock {
public:
    std::string Date() override;
    std::string Time() override;
    float Timer() override;
};

}  // namespace lorvane
