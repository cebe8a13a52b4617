#include "picture_fit.h"

#include <algorithm>
#include <cmath>

#include "picture_size.h"
#include "raster_player.h"

namespace lorvane {

PictureFit FitPicture(QSize area)
{
    const int width = std::max(area.width(), 1);
    const int height = std::max(area.height(), 1);
    const double fits =
        std::min(static_cast<double>(width) / kPictureWidth, static_cast<double>(height) / kPictureHeight);
    const double scale = std::clamp(fits, 1.0, RasterPlayer::kLargestScale);
    // As RasterPlayer sizes its image; below scale 1 the image is shown smaller.
    const double shown = std::min(scale, fits);
    const int placedWidth = std::min(width, static_cast<int>(std::lround(kPictureWidth * shown)));
    const int placedHeight = std::min(height, static_cast<int>(std::lround(kPictureHeight * shown)));
    return {scale, QRect((width - placedWidth) / 2, (height - placedHeight) / 2, placedWidth, placedHeight)};
}

}  // namespace lorvane
