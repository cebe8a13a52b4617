#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/colour.h"

namespace lorvane {

// To a 16-bit signed integer, nearest, halves to even (126.5 -> 126, 127.5 -> 128).
// Raises PlatformError for NaN, infinities and values outside the 16-bit range.
std::int16_t RoundToInt16(double value);

// Packs three channels of 0 to 255; raises PlatformError for any other value.
Colour Rgb(int red, int green, int blue);

// The classic 16-colour table: 0 is black, 15 is white.
Colour QbColor(int index);

// Up to `length` characters of `text` from the 1-based position `start`; fewer where the text
// ends first. Raises PlatformError for start < 1 or length < 0.
std::string Mid(std::string_view text, int start, int length);

}  // namespace lorvane
