#pragma once

#include <string_view>

#include "platform/colour.h"

namespace lorvane {

// The drawing area as the composer sees it. Coordinates are pixels from the top-left corner,
// x to the right and y downwards. Any operation may raise PlatformError.
class Surface {
public:
    virtual ~Surface() = default;

    // Erases to the background colour and moves the text position to (0, 0).
    virtual void Cls() = 0;
    // A solid line one pixel wide, both end points included; whatever falls outside is clipped.
    virtual void Line(float x1, float y1, float x2, float y2, Colour colour) = 0;
    virtual void SetFontSize(float points) = 0;
    virtual void SetForeColor(Colour colour) = 0;
    virtual void SetCurrentX(float x) = 0;
    virtual void SetCurrentY(float y) = 0;
    // Draws text with its line's top-left corner at the text position, over what lies beneath,
    // then moves the text position to the start of the next line.
    virtual void Print(std::string_view text) = 0;
    virtual void SetBackColor(Colour colour) = 0;

protected:
    Surface() = default;
    Surface(const Surface&) = default;
    Surface& operator=(const Surface&) = default;
    Surface(Surface&&) = default;
    Surface& operator=(Surface&&) = default;
};

}  // namespace lorvane
