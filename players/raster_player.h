#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include <QImage>

#include "cached_text_painter.h"
#include "colour.h"
#include "picture_size.h"
#include "recorded_item.h"
#include "rectangle_painter.h"

namespace lorvane {

class Recording;

// Plays a recording into an image of 600 x 450 picture pixels, each `scale` device pixels wide,
// so that high-density screens and large prints get sharp squares and real text, not enlarged.
// The rectangles are painted together band by band, leaving out what later ones cover; the
// pixels are those of drawing every line of the picture on its own.
class RasterPlayer {
public:
    static constexpr double kLargestScale = 16.0;

    // Raises PlatformError for a scale outside 1 to 16, when the image does not fit in memory,
    // or without a running QGuiApplication (text needs one). Playing cannot fail after that.
    explicit RasterPlayer(double scale = 1.0);

    // Paints the whole recording over the image and returns it.
    const QImage& Play(const Recording& recording);
    // The last picture played, in device pixels: 600 x 450 times the scale, pixel ratio 1.
    [[nodiscard]] const QImage& Image() const { return image_; }
    [[nodiscard]] double Scale() const { return scale_; }

private:
    // items[first, last) are fills; an erase to `background` comes first when `erase` is set.
    void PaintFills(std::span<const RecordedItem> items, std::size_t first, std::size_t last, bool erase,
                    Colour background);
    void PaintLine(const LineItem& line);

    double scale_ = 1.0;
    // The device pixel at each picture pixel edge.
    std::array<int, kPictureWidth + 1> deviceX_{};
    std::array<int, kPictureHeight + 1> deviceY_{};
    QImage image_;
    CachedTextPainter textPainter_;
    RectanglePainter rectanglePainter_;
    std::vector<RectanglePainter::Rectangle> rectangles_;
};

}  // namespace lorvane
