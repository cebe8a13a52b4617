#pragma once

#include <cstdint>

namespace lorvane {

// A 24-bit colour packed as red + green * 256 + blue * 256^2.
using Colour = std::uint32_t;

}  // namespace lorvane
