#pragma once

#include <QRect>
#include <QRectF>
#include <QSize>

class QImage;
class QPainter;

namespace lorvane {

// How a picture takes an area of device pixels. Fit: whole, at the largest scale that fits, the
// rest black. Fill: at the smallest scale that covers the area, the overflow cropped, as
// wallpaper tools fill a screen.
enum class Framing { Fit, Fill };

// Where a picture goes in an area of device pixels: played at one scale (a RasterPlayer scale, 1
// to 16, the same for both axes) and centred. Full screen, the screensaver and lorvane01-render
// --fit all place the picture by this one rule.
struct PictureFit {
    double scale = 1.0;
    // The played image's place in the area. Fit: in an area smaller than 600 x 450 the picture is
    // played at scale 1 and this is smaller than the image, keeping its shape. Fill: this holds
    // the area, reaching past it on the sides that are cropped, unless covering would take more
    // than scale 16.
    QRect placed;
};

[[nodiscard]] PictureFit FitPicture(QSize area, Framing framing = Framing::Fit);

// Paints `area` black and the played `image` over `placed`, in the painter's pixels: the one way
// full screen, the screensaver and lorvane01-render --fit frame a picture.
void PaintOnBlack(QPainter& painter, const QRect& area, const QRectF& placed, const QImage& image);

}  // namespace lorvane
