#include "raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "device_colour.h"
#include "platform_error.h"
#include "surface_checks.h"

namespace lorvane {

using namespace surface_checks;

namespace {

// Liang-Barsky: shortens the segment to the box; false when none of it lies inside.
bool ClipToBox(double& x1, double& y1, double& x2, double& y2, double width, double height)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    double enter = 0.0;
    double leave = 1.0;
    const std::pair<double, double> edges[] = {
        {-dx, x1 + 0.5}, {dx, width - 0.5 - x1}, {-dy, y1 + 0.5}, {dy, height - 0.5 - y1}};
    for (const auto& [p, q] : edges) {
        if (p == 0.0) {
            if (q < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q / p;
        if (p < 0.0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
    }
    if (enter > leave) {
        return false;
    }
    const double startX = x1 + enter * dx;
    const double startY = y1 + enter * dy;
    x2 = x1 + leave * dx;
    y2 = y1 + leave * dy;
    x1 = startX;
    y1 = startY;
    return true;
}

// The device pixel edge of a picture pixel edge; every picture pixel covers at least one.
int DeviceEdge(int pixel, double scale, int limit)
{
    return std::min(limit, static_cast<int>(std::lround(pixel * scale)));
}

}  // namespace

RasterSurface::RasterSurface(double scale)
{
    SetScale(scale);
}

void RasterSurface::Cls()
{
    hasPending_ = false;
    operations_.clear();
    rendered_ = 0;
    erasedTo_ = backColour_;
    eraseDue_ = true;
    currentX_ = 0;
    currentY_ = 0;
}

void RasterSurface::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    // The composer draws each square column by column: this test is all most lines cost. Equal
    // coordinates round alike, so the line is exactly the run's next column.
    if (hasPending_ && x1 == static_cast<float>(pending_.right) && x2 == x1 && y1 == runY1_ && y2 == runY2_ &&
        colour == pending_.colour && pending_.right < kWidth) {
        ++pending_.right;
        return;
    }
    DrawLine(x1, y1, x2, y2, colour);
}

void RasterSurface::DrawLine(float x1, float y1, float x2, float y2, Colour colour)
{
    RequireFinite({x1, y1, x2, y2});
    (void)ToDevicePixel(colour);
    const int column = ToPixel(x1);
    if (column == ToPixel(x2)) {
        const int top = std::max(0, ToPixel(std::min(y1, y2)));
        const int bottom = std::min(kHeight - 1, ToPixel(std::max(y1, y2)));
        if (column < 0 || column >= kWidth || top > bottom) {
            return;
        }
        if (hasPending_ && pending_.right == column && pending_.top == top &&
            pending_.bottom == bottom + 1 && pending_.colour == colour) {
            ++pending_.right;
            return;
        }
        Flush();
        pending_ = Fill{column, top, column + 1, bottom + 1, colour};
        hasPending_ = true;
        runY1_ = y1;
        runY2_ = y2;
        return;
    }
    double ax = x1;
    double ay = y1;
    double bx = x2;
    double by = y2;
    if (!ClipToBox(ax, ay, bx, by, kWidth, kHeight)) {
        return;
    }
    Flush();
    const auto clampedPixel = [](double value, int limit) { return std::clamp(ToPixel(value), 0, limit - 1); };
    Record(SlantedLine{clampedPixel(ax, kWidth), clampedPixel(ay, kHeight), clampedPixel(bx, kWidth),
                       clampedPixel(by, kHeight), colour});
}

void RasterSurface::SetFontSize(float points)
{
    RequireFontSize(points);
    fontSize_ = points;
}

void RasterSurface::SetForeColor(Colour colour)
{
    (void)ToDevicePixel(colour);
    foreColour_ = colour;
}

void RasterSurface::SetCurrentX(float x)
{
    RequireFinite({x});
    currentX_ = x;
}

void RasterSurface::SetCurrentY(float y)
{
    RequireFinite({y});
    currentY_ = y;
}

void RasterSurface::Print(std::string_view text)
{
    Flush();
    // Also makes sure that text can be drawn at all, so that rendering it later cannot fail.
    const double lineHeight = textPainter_.LineHeight(scale_, fontSize_);
    Record(Text{currentX_, currentY_, fontSize_, foreColour_, std::string(text)});
    currentX_ = 0;
    currentY_ += lineHeight;
}

void RasterSurface::SetBackColor(Colour colour)
{
    (void)ToDevicePixel(colour);
    backColour_ = colour;
}

void RasterSurface::SetScale(double scale)
{
    if (!std::isfinite(scale) || scale < 1.0 || scale > kLargestScale) {
        throw PlatformError("invalid scale");
    }
    Flush();
    const int width = DeviceEdge(kWidth, scale, INT32_MAX);
    const int height = DeviceEdge(kHeight, scale, INT32_MAX);
    // Plain device pixels (ratio 1): text is placed in device pixels and the window maps the
    // image onto the 600 x 450 area itself.
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        throw PlatformError("not enough memory for the picture at this scale");
    }
    for (int x = 0; x <= kWidth; ++x) {
        deviceX_[static_cast<std::size_t>(x)] = DeviceEdge(x, scale, width);
    }
    for (int y = 0; y <= kHeight; ++y) {
        deviceY_[static_cast<std::size_t>(y)] = DeviceEdge(y, scale, height);
    }
    scale_ = scale;
    image_ = std::move(image);
    eraseDue_ = true;
    rendered_ = 0;
}

const QImage& RasterSurface::Image() const
{
    Flush();
    RenderDue();
    return image_;
}

void RasterSurface::Flush() const
{
    if (hasPending_) {
        hasPending_ = false;
        Record(pending_);
    }
}

void RasterSurface::Record(Operation operation) const
{
    // A fill of the whole area hides everything before it, so the record stays one picture long.
    if (const auto* fill = std::get_if<Fill>(&operation);
        fill != nullptr && fill->left == 0 && fill->top == 0 && fill->right == kWidth &&
        fill->bottom == kHeight) {
        operations_.clear();
        rendered_ = 0;
        erasedTo_ = fill->colour;
        eraseDue_ = true;
        return;
    }
    operations_.push_back(std::move(operation));
}

void RasterSurface::RenderDue() const
{
    const std::size_t count = operations_.size();
    bool erase = std::exchange(eraseDue_, false);
    std::size_t next = rendered_;
    while (next < count) {
        const Operation& operation = operations_[next];
        if (std::holds_alternative<Fill>(operation)) {
            std::size_t last = next + 1;
            while (last < count && std::holds_alternative<Fill>(operations_[last])) {
                ++last;
            }
            RenderFills(next, last, erase);
            erase = false;
            next = last;
            continue;
        }
        if (erase) {
            EraseNow();
            erase = false;
        }
        if (const auto* line = std::get_if<SlantedLine>(&operation)) {
            Render(*line);
        } else {
            const Text& text = std::get<Text>(operation);
            textPainter_.Draw(image_, scale_, text.x, text.y, text.points, text.colour, text.text);
        }
        ++next;
    }
    if (erase) {
        EraseNow();
    }
    rendered_ = count;
}

void RasterSurface::RenderFills(std::size_t first, std::size_t last, bool erase) const
{
    rectangles_.clear();
    if (erase) {
        rectangles_.push_back({0, 0, image_.width(), image_.height(), ToDevicePixel(erasedTo_)});
    }
    for (std::size_t i = first; i < last; ++i) {
        const Fill& fill = std::get<Fill>(operations_[i]);
        rectangles_.push_back({deviceX_[static_cast<std::size_t>(fill.left)], deviceY_[static_cast<std::size_t>(fill.top)],
                               deviceX_[static_cast<std::size_t>(fill.right)],
                               deviceY_[static_cast<std::size_t>(fill.bottom)], ToDevicePixel(fill.colour)});
    }
    rectanglePainter_.Paint(rectangles_, reinterpret_cast<std::uint32_t*>(image_.bits()),
                            static_cast<std::ptrdiff_t>(image_.bytesPerLine() / 4), image_.width(), image_.height());
}

void RasterSurface::Render(const SlantedLine& line) const
{
    auto* const bits = reinterpret_cast<std::uint32_t*>(image_.bits());
    const auto stride = static_cast<std::ptrdiff_t>(image_.bytesPerLine() / 4);
    const std::uint32_t pixel = ToDevicePixel(line.colour);
    const auto plot = [&](int x, int y) {
        const int left = deviceX_[static_cast<std::size_t>(x)];
        const int top = deviceY_[static_cast<std::size_t>(y)];
        const int right = deviceX_[static_cast<std::size_t>(x) + 1];
        for (int row = top; row < deviceY_[static_cast<std::size_t>(y) + 1]; ++row) {
            std::fill(bits + row * stride + left, bits + row * stride + right, pixel);
        }
    };
    // Bresenham over picture pixels, both end points included.
    const int dx = std::abs(line.x2 - line.x1);
    const int dy = -std::abs(line.y2 - line.y1);
    const int stepX = line.x1 < line.x2 ? 1 : -1;
    const int stepY = line.y1 < line.y2 ? 1 : -1;
    int error = dx + dy;
    int x = line.x1;
    int y = line.y1;
    while (true) {
        plot(x, y);
        if (x == line.x2 && y == line.y2) {
            break;
        }
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

void RasterSurface::EraseNow() const
{
    image_.fill(ToDevicePixel(erasedTo_));
}

}  // namespace lorvane
