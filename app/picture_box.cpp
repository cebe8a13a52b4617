#include "picture_box.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "platform_error.h"
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
    // Outside the surface's scales, or without the memory for a larger picture, the picture
    // keeps its scale and Qt resizes it on the way to the screen: never a failure here.
    const double ratio = devicePixelRatioF();
    if (!std::isfinite(ratio)) {
        return;
    }
    const double scale = std::clamp(ratio, 1.0, surface_checks::kLargestScale);
    if (scale == surface_.Scale()) {
        return;
    }
    try {
        surface_.SetScale(scale);
    } catch (const PlatformError&) {
        return;
    }
    update();
}

void PictureBox::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    // At the screen's pixel ratio the image covers the area one device pixel for one.
    painter.drawImage(rect(), surface_.Image());
}

}  // namespace lorvane
