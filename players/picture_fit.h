#pragma once

#include <QRect>
#include <QSize>

namespace lorvane {

// Where a picture goes in an area of device pixels: played at the largest scale that fits (a
// RasterPlayer scale, 1 to 16, the same for both axes) and centred, the rest black. Full screen,
// the screensaver and lorvane01-render --fit all place the picture by this one rule.
struct PictureFit {
    double scale = 1.0;
    // The played image's place in the area. In an area smaller than 600 x 450 the picture is
    // played at scale 1 and this is smaller than the image, keeping its shape.
    QRect placed;
};

[[nodiscard]] PictureFit FitPicture(QSize area);

}  // namespace lorvane
