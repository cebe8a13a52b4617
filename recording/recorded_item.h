#pragma once

#include <string>
#include <variant>

#include "platform/colour.h"

namespace lorvane {

// What a recording keeps of a picture: plain values in picture pixels, already checked and
// clipped, so that playing them back cannot fail.

// A rectangle, right and bottom exclusive: a run of equal vertical lines side by side.
struct FillItem {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    Colour colour = 0;

    bool operator==(const FillItem&) const = default;
};

// Any other line, from pixel to pixel, both end pixels included, inside the picture.
struct LineItem {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    Colour colour = 0;

    bool operator==(const LineItem&) const = default;
};

// One printed text. Its line's top-left corner is at (x, y), moved down by `linesBelow` lines
// of its own size when it was printed after others without a new CurrentY. Never empty.
struct TextItem {
    double x = 0.0;
    double y = 0.0;
    int linesBelow = 0;
    float points = 0.0F;
    Colour colour = 0;
    std::string text;

    bool operator==(const TextItem&) const = default;
};

using RecordedItem = std::variant<FillItem, LineItem, TextItem>;

}  // namespace lorvane
