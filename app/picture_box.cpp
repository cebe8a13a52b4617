#include "picture_box.h"

#include <algorithm>

#include <QPainter>

#include "raster_surface.h"
#include "surface_checks.h"

namespace lorvane {

PictureBox::PictureBox(RasterSurface& surface, QWidget* parent)
    : QWidget(parent), surface_(surface)
{
    setObjectName(QStringLiteral("Picture1"));
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted from the picture, so Qt need not erase first (no flash).
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(sizeHint());
}

QSize PictureBox::sizeHint() const
{
    return {RasterSurface::kWidth, RasterSurface::kHeight};
}

void PictureBox::MatchDevicePixelRatio()
{
    // Outside the surface's scales Qt resizes the image itself rather than the program failing.
    const double ratio = std::clamp(devicePixelRatioF(), 1.0, surface_checks::kLargestScale);
    if (ratio != surface_.Scale()) {
        surface_.SetScale(ratio);
        update();
    }
}

void PictureBox::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    // At the screen's pixel ratio the image covers the area one device pixel for one.
    painter.drawImage(rect(), surface_.Image());
}

}  // namespace lorvane
