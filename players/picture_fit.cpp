#include "players/picture_fit.h"

#include <algorithm>
#include <cmath>

#include <QImage>
#include <QPainter>

#include "platform/picture_size.h"
#include "players/raster_player.h"

namespace lorvane {

PictureFit FitPicture(QSize area, Framing framing)
{
    const int width = std::max(area.width(), 1);
    const int height = std::max(area.height(), 1);
    const double across = static_cast<double>(width) / kPictureWidth;
    const double down = static_cast<double>(height) / kPictureHeight;
    // The same scale both ways: the smaller ratio fits, the larger covers.
    const double wanted = framing == Framing::Fit ? std::min(across, down) : std::max(across, down);
    const double scale = std::clamp(wanted, 1.0, RasterPlayer::kLargestScale);
    // As RasterPlayer sizes its image; fitted below scale 1, the image is shown smaller.
    const double shown = framing == Framing::Fit ? std::min(scale, wanted) : scale;
    int placedWidth = static_cast<int>(std::lround(kPictureWidth * shown));
    int placedHeight = static_cast<int>(std::lround(kPictureHeight * shown));
    if (framing == Framing::Fit) {
        placedWidth = std::min(width, placedWidth);
        placedHeight = std::min(height, placedHeight);
    }
    return {scale, QRect((width - placedWidth) / 2, (height - placedHeight) / 2, placedWidth, placedHeight)};
}

void PaintOnBlack(QPainter& painter, const QRect& area, const QRectF& placed, const QImage& image)
{
    painter.fillRect(area, Qt::black);
    painter.drawImage(placed, image);
}

}  // namespace lorvane
