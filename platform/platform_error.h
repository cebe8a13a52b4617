#pragma once

#include <stdexcept>

namespace lorvane {

// A run-time error raised by a platform operation. The composer drops these one step at a time.
class PlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace lorvane
