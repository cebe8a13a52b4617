#include "raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "device_colour.h"
#include "platform_error.h"
#include "text_painter.h"

namespace lorvane {

namespace {

constexpr double kLargestScale = 16.0;
constexpr float kLargestFontSize = 2048.0F;
// Coordinates are clamped to this before they become integers; it is far outside the picture.
constexpr double kCoordinateLimit = 1.0e7;

void RequireFinite(std::initializer_list<float> values)
{
    for (const float value : values) {
        if (!std::isfinite(value)) {
            throw PlatformError("overflow: coordinate is not a finite number");
        }
    }
}

int ToPixel(double coordinate)
{
    return static_cast<int>(std::nearbyint(std::clamp(coordinate, -kCoordinateLimit, kCoordinateLimit)));
}

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

}  // namespace

RasterSurface::RasterSurface(double scale)
{
    SetScale(scale);
}

void RasterSurface::Cls()
{
    hasPending_ = false;
    operations_.clear();
    erasedTo_ = backColour_;
    Erase(backColour_);
    currentX_ = 0;
    currentY_ = 0;
}

void RasterSurface::Line(float x1, float y1, float x2, float y2, Colour colour)
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
    if (!std::isfinite(points) || points <= 0.0F || points > kLargestFontSize) {
        throw PlatformError("invalid font size");
    }
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
    const double lineHeight = TextPainter::LineHeight(scale_, fontSize_);
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
    scale_ = scale;
    // Plain device pixels (ratio 1): text is placed in device pixels and the window maps the
    // image onto the 600 x 450 area itself.
    image_ = QImage(DeviceEdge(kWidth, INT32_MAX), DeviceEdge(kHeight, INT32_MAX), QImage::Format_RGB32);
    Erase(erasedTo_);
    for (const Operation& operation : operations_) {
        Apply(operation);
    }
}

const QImage& RasterSurface::Image() const
{
    Flush();
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
        erasedTo_ = fill->colour;
        Erase(fill->colour);
        return;
    }
    Apply(operation);
    operations_.push_back(std::move(operation));
}

void RasterSurface::Apply(const Operation& operation) const
{
    std::visit([this](const auto& item) { Render(item); }, operation);
}

void RasterSurface::Render(const Fill& fill) const
{
    const int deviceWidth = image_.width();
    const int deviceHeight = image_.height();
    const int left = DeviceEdge(fill.left, deviceWidth);
    const int right = DeviceEdge(fill.right, deviceWidth);
    const int top = DeviceEdge(fill.top, deviceHeight);
    const int bottom = DeviceEdge(fill.bottom, deviceHeight);
    const std::uint32_t pixel = ToDevicePixel(fill.colour);
    auto* const bits = reinterpret_cast<std::uint32_t*>(image_.bits());
    const auto stride = static_cast<std::ptrdiff_t>(image_.bytesPerLine() / 4);
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* const row = bits + y * stride;
        std::fill(row + left, row + right, pixel);
    }
}

void RasterSurface::Render(const SlantedLine& line) const
{
    // Bresenham over picture pixels, both end points included.
    const int dx = std::abs(line.x2 - line.x1);
    const int dy = -std::abs(line.y2 - line.y1);
    const int stepX = line.x1 < line.x2 ? 1 : -1;
    const int stepY = line.y1 < line.y2 ? 1 : -1;
    int error = dx + dy;
    int x = line.x1;
    int y = line.y1;
    while (true) {
        Render(Fill{x, y, x + 1, y + 1, line.colour});
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

void RasterSurface::Render(const Text& text) const
{
    TextPainter::Draw(image_, scale_, text.x, text.y, text.points, text.colour, text.text);
}

void RasterSurface::Erase(Colour colour) const
{
    image_.fill(ToDevicePixel(colour));
}

int RasterSurface::DeviceEdge(int pixel, int limit) const
{
    return std::min(limit, static_cast<int>(std::lround(pixel * scale_)));
}

}  // namespace lorvane
