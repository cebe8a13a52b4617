#pragma once

#include "colour.h"

namespace lorvane {

// What a surface keeps of a picture once lines are merged, in picture pixels.

// A rectangle, right and bottom exclusive: a run of equal vertical lines side by side.
struct FillShape {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    Colour colour = 0;
};

// Any other line, from pixel to pixel, both end pixels included.
struct LineShape {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    Colour colour = 0;
};

}  // namespace lorvane
