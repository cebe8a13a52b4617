#pragma once

#include <functional>
#include <optional>

#include <QImage>
#include <QRect>
#include <QSize>

#include "app/picture_painting.h"
#include "players/picture_fit.h"
#include "players/raster_player.h"
#include "recording/recorded_picture.h"

class QPainter;
class QScreen;

namespace lorvane {

// Plays a picture filling an area on black, as full screen and the screensaver show it: at the
// largest scale that fits the area's device pixels (FitPicture) and centred.
class FittedPlayer {
public:
    // `update` is asked to repaint the part of the area, in widget pixels, that a picture painting
    // itself has changed.
    explicit FittedPlayer(std::function<void(const QRect&)> update = {});

    // Each picture shown from now on paints itself over `seconds`; none shows it whole at once.
    void PaintOver(std::optional<double> seconds) { painting_.SetSeconds(seconds); }
    // Plays the picture for the area last given, `from` milliseconds into its painting.
    void Show(const RecordedPicture& picture, qint64 from = 0, const QScreen* screen = nullptr);
    // The picture shown paints itself again from its background.
    void PaintAgain(const QScreen* screen = nullptr);
    void FinishPainting() { painting_.Finish(); }
    // Milliseconds into the painting under way, or PicturePainting::kFinished.
    [[nodiscard]] qint64 PaintedFor() const { return painting_.Elapsed(); }
    // Takes a new area, `size` widget pixels at `ratio` device pixels each, and plays the
    // picture again when that asks for another scale.
    void Resize(QSize size, double ratio);
    // Paints the whole area: black, and the picture in its place.
    void Paint(QPainter& painter) const;

    [[nodiscard]] const QImage& Image() const { return player_.Image(); }
    [[nodiscard]] const PictureFit& Fit() const { return fit_; }

private:
    // Where the picture stands in the area, in widget pixels.
    [[nodiscard]] QRectF Placed() const;

    RecordedPicture picture_;
    QSize size_;
    double ratio_ = 1.0;
    PictureFit fit_;
    RasterPlayer player_;
    PicturePainting painting_;
};

}  // namespace lorvane
