#include "players/raster_player.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <variant>

#include <QGuiApplication>

#include "platform/platform_error.h"
#include "players/device_colour.h"
#include "recording/overloaded.h"

namespace lorvane {

namespace {

// The device pixel edge of a picture pixel edge; every picture pixel covers at least one.
int DeviceEdge(int pixel, double scale, int limit)
{
    return std::min(limit, static_cast<int>(std::lround(pixel * scale)));
}

}  // namespace

RasterPlayer::RasterPlayer(double scale)
{
    if (!std::isfinite(scale) || scale < 1.0 || scale > kLargestScale) {
        throw PlatformError("invalid scale");
    }
    if (QGuiApplication::instance() == nullptr) {
        throw PlatformError("text needs a running application");
    }
    const int width = DeviceEdge(kPictureWidth, scale, INT32_MAX);
    const int height = DeviceEdge(kPictureHeight, scale, INT32_MAX);
    // Plain device pixels (ratio 1): text is placed in device pixels and the window maps the
    // image onto the 600 x 450 area itself.
    image_ = QImage(width, height, QImage::Format_RGB32);
    if (image_.isNull()) {
        throw PlatformError("not enough memory for the picture at this scale");
    }
    image_.fill(ToDevicePixel(0));
    for (int x = 0; x <= kPictureWidth; ++x) {
        deviceX_[static_cast<std::size_t>(x)] = DeviceEdge(x, scale, width);
    }
    for (int y = 0; y <= kPictureHeight; ++y) {
        deviceY_[static_cast<std::size_t>(y)] = DeviceEdge(y, scale, height);
    }
    scale_ = scale;
}

const QImage& RasterPlayer::Play(const RecordedPicture& picture) &
{
    // The background is the first of the fills painted together, so that what the squares cover
    // of it is never painted.
    rectangles_.clear();
    AddBackground(picture);
    AddItems(picture.Items());
    PaintFills();
    return image_;
}

void RasterPlayer::PlayBackground(const RecordedPicture& picture)
{
    rectangles_.clear();
    AddBackground(picture);
    PaintFills();
}

void RasterPlayer::PlayItems(std::span<const RecordedItem> items)
{
    rectangles_.clear();
    AddItems(items);
    PaintFills();
}

void RasterPlayer::AddBackground(const RecordedPicture& picture)
{
    rectangles_.push_back({0, 0, image_.width(), image_.height(), ToDevicePixel(picture.Background())});
}

void RasterPlayer::AddItems(std::span<const RecordedItem> items)
{
    // The fills between two other items are painted together, band by band.
    for (const RecordedItem& item : items) {
        std::visit(Overloaded{[this](const FillItem& fill) { AddFill(fill); },
                              [this](const LineItem& line) {
                                  PaintFills();
                                  PaintLine(line);
                              },
                              [this](const TextItem& text) {
                                  PaintFills();
                                  textPainter_.Draw(image_, scale_, text);
                              }},
                   item);
    }
}

QRect RasterPlayer::DeviceRect(const PictureArea& area) const
{
    const int left = deviceX_[static_cast<std::size_t>(area.left)];
    const int top = deviceY_[static_cast<std::size_t>(area.top)];
    return {left, top, deviceX_[static_cast<std::size_t>(area.right)] - left,
            deviceY_[static_cast<std::size_t>(area.bottom)] - top};
}

QImage RasterPlayer::Play(const RecordedPicture& picture) &&
{
    return Play(picture);
}

void RasterPlayer::AddFill(const FillItem& fill)
{
    rectangles_.push_back({deviceX_[static_cast<std::size_t>(fill.left)], deviceY_[static_cast<std::size_t>(fill.top)],
                           deviceX_[static_cast<std::size_t>(fill.right)],
                           deviceY_[static_cast<std::size_t>(fill.bottom)], ToDevicePixel(fill.colour)});
}

void RasterPlayer::PaintFills()
{
    if (rectangles_.empty()) {
        return;
    }
    rectanglePainter_.Paint(rectangles_, reinterpret_cast<std::uint32_t*>(image_.bits()),
                            static_cast<std::ptrdiff_t>(image_.bytesPerLine() / 4), image_.width(), image_.height());
    rectangles_.clear();
}

void RasterPlayer::PaintLine(const LineItem& line)
{
    auto* const bits = reinterpret_cast<std::uint32_t*>(image_.bits());
    const auto stride = static_cast<std::ptrdiff_t>(image_.bytesPerLine() / 4);
    const std::uint32_t pixel = ToDevicePixel(line.colour);
    const auto plot = [&](int x, int y) {
        const int left = deviceX_[static_cast<std::size_t>(x)];
        const int right = deviceX_[static_cast<std::size_t>(x) + 1];
        for (int row = deviceY_[static_cast<std::size_t>(y)]; row < deviceY_[static_cast<std::size_t>(y) + 1]; ++row) {
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

}  // namespace lorvane
