#pragma once

#include <QImage>
#include <QSize>

#include "picture_fit.h"
#include "raster_player.h"
#include "recorded_picture.h"

class QPainter;

namespace lorvane {

// A picture filling an area on black, as full screen and the screensaver show it: played at the
// largest scale that fits the area's device pixels (FitPicture) and centred.
class FittedPicture {
public:
    // Plays the picture for the area last given.
    void Show(const RecordedPicture& picture);
    // Takes a new area, `size` widget pixels at `ratio` device pixels each, and plays the
    // picture again when that asks for another scale.
    void Resize(QSize size, double ratio);
    // Paints the whole area: black, and the picture in its place.
    void Paint(QPainter& painter) const;

    [[nodiscard]] const QImage& Image() const { return player_.Image(); }
    [[nodiscard]] const PictureFit& Fit() const { return fit_; }

private:
    RecordedPicture picture_;
    QSize size_;
    double ratio_ = 1.0;
    PictureFit fit_;
    RasterPlayer player_;
};

}  // namespace lorvane
