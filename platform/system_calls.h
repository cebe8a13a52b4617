#pragma once

#include <cstddef>
#include <string>

namespace lorvane {

// The system's own words for an errno value ("No such file or directory"), in any locale.
[[nodiscard]] std::string ErrorText(int error);

// Writes all `size` bytes to the descriptor, again after a signal or a short write; 0 when all
// are written, or the errno of the write the system refused.
[[nodiscard]] int WriteAll(int descriptor, const char* data, std::size_t size);

}  // namespace lorvane
