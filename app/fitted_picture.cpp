#include "fitted_picture.h"

#include <cmath>

#include <QPainter>

#include "platform_error.h"

namespace lorvane {

void FittedPicture::Show(const RecordedPicture& picture)
{
    picture_ = picture;
    player_.Play(picture_);
}

void FittedPicture::Resize(QSize size, double ratio)
{
    size_ = size;
    ratio_ = std::isfinite(ratio) && ratio > 0.0 ? ratio : 1.0;
    fit_ = FitPicture(QSize(static_cast<int>(std::lround(size.width() * ratio_)),
                            static_cast<int>(std::lround(size.height() * ratio_))));
    if (fit_.scale == player_.Scale()) {
        return;
    }
    // Without the memory for the larger picture, the picture keeps its scale and is resized on
    // the way to the screen: never a failure here.
    try {
        player_ = RasterPlayer(fit_.scale);
    } catch (const PlatformError&) {
        return;
    }
    player_.Play(picture_);
}

void FittedPicture::Paint(QPainter& painter) const
{
    painter.fillRect(QRect(QPoint(0, 0), size_), Qt::black);
    const QRect& placed = fit_.placed;
    painter.drawImage(QRectF(placed.x() / ratio_, placed.y() / ratio_, placed.width() / ratio_,
                             placed.height() / ratio_),
                      player_.Image());
}

}  // namespace lorvane
