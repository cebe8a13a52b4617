#include "platform/conversions.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

#include "platform/platform_error.h"

namespace lorvane {

std::int16_t RoundToInt16(double value)
{
    if (!std::isfinite(value)) {
        throw PlatformError("overflow: not a finite number");
    }
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        rounded = below + 1.0;
    }
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max()) {
        throw PlatformError("overflow: outside the 16-bit range");
    }
    return static_cast<std::int16_t>(rounded);
}

Colour Rgb(int red, int green, int blue)
{
    constexpr int channelMax = 255;
    for (const int channel : {red, green, blue}) {
        if (channel < 0 || channel > channelMax) {
            throw PlatformError("invalid colour channel");
        }
    }
    return static_cast<Colour>(red) | static_cast<Colour>(green) << 8U | static_cast<Colour>(blue) << 16U;
}

Colour QbColor(int index)
{
    static constexpr std::array<Colour, 16> table = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
    };
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) {
        throw PlatformError("invalid colour number");
    }
    return table[static_cast<std::size_t>(index)];
}

std::string Mid(std::string_view text, int start, int length)
{
    if (start < 1 || length < 0) {
        throw PlatformError("invalid substring position");
    }
    const auto from = static_cast<std::size_t>(start - 1);
    if (from >= text.size()) {
        return {};
    }
    return std::string(text.substr(from, static_cast<std::size_t>(length)));
}

}  // namespace lorvane
