#pragma once

#include <cstdint>

#include "platform/colour.h"

namespace lorvane {

// From red + green * 256 + blue * 256^2 (a recording holds no other) to an opaque 0xAARRGGBB pixel.
constexpr std::uint32_t ToDevicePixel(Colour colour)
{
    const std::uint32_t red = colour & 0xFFU;
    const std::uint32_t green = (colour >> 8U) & 0xFFU;
    const std::uint32_t blue = (colour >> 16U) & 0xFFU;
    return 0xFF000000U | red << 16U | green << 8U | blue;
}

}  // namespace lorvane
