#pragma once

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "platform_error.h"

// What every drawing surface accepts, and how it turns coordinates into pixels.
namespace lorvane::surface_checks {

constexpr double kLargestScale = 16.0;
constexpr float kLargestFontSize = 2048.0F;
// Coordinates are clamped to this before they become integers; it is far outside the picture.
constexpr double kCoordinateLimit = 1.0e7;
// Text that starts further away than this cannot reach the picture.
constexpr double kFarAway = 1.0e6;

inline void RequireFinite(std::initializer_list<float> values)
{
    for (const float value : values) {
        if (!std::isfinite(value)) {
            throw PlatformError("overflow: coordinate is not a finite number");
        }
    }
}

inline void RequireFontSize(float points)
{
    if (!std::isfinite(points) || points <= 0.0F || points > kLargestFontSize) {
        throw PlatformError("invalid font size");
    }
}

// Nearest whole number, halves to even: lrint rounds in the current mode as nearbyint does, and
// unlike nearbyint it becomes a single instruction on every x86-64 when errno need not be set.
inline int ToPixel(double coordinate)
{
    return static_cast<int>(std::lrint(std::clamp(coordinate, -kCoordinateLimit, kCoordinateLimit)));
}

}  // namespace lorvane::surface_checks
