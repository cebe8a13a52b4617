#pragma once

#include <array>
#include <span>
#include <vector>

#include <QImage>
#include <QRect>

#include "platform/colour.h"
#include "platform/picture_size.h"
#include "players/cached_text_painter.h"
#include "players/rectangle_painter.h"
#include "recording/picture_frames.h"
#include "recording/recorded_item.h"
#include "recording/recorded_picture.h"

namespace lorvane {

// Plays a recorded picture into an image of 600 x 450 picture pixels, each `scale` device pixels wide,
// so that high-density screens and large prints get sharp squares and real text, not enlarged.
// The rectangles are painted together band by band, leaving out what later ones cover; the
// pixels are those of drawing every line of the picture on its own.
class RasterPlayer {
public:
    static constexpr double kLargestScale = 16.0;

    // Raises PlatformError for a scale outside 1 to 16, when the image does not fit in memory,
    // or without a running QGuiApplication (text needs one). Playing cannot fail after that.
    explicit RasterPlayer(double scale = 1.0);

    // Paints the whole picture over the image and returns it. A temporary player gives its image
    // by value (shared, not copied), so `RasterPlayer(2.0).Play(picture)` is safe to keep.
    const QImage& Play(const RecordedPicture& picture) &;
    [[nodiscard]] QImage Play(const RecordedPicture& picture) &&;
    // The picture frame by frame, as it paints itself: the background alone, then items painted
    // over what is there. Playing the background and then every item equals Play.
    void PlayBackground(const RecordedPicture& picture);
    void PlayItems(std::span<const RecordedItem> items);
    // The device pixels of an area of picture pixels.
    [[nodiscard]] QRect DeviceRect(const PictureArea& area) const;
    // The last picture played, in device pixels: 600 x 450 times the scale, pixel ratio 1.
    [[nodiscard]] const QImage& Image() const { return image_; }
    [[nodiscard]] double Scale() const { return scale_; }

private:
    void AddBackground(const RecordedPicture& picture);
    // Paints the items but the fills at their end, which wait for PaintFills.
    void AddItems(std::span<const RecordedItem> items);
    void AddFill(const FillItem& fill);
    // Paints the fills gathered since the last call, together.
    void PaintFills();
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
