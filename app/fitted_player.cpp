#include "app/fitted_player.h"

#include <cmath>
#include <utility>

#include <QPainter>

namespace lorvane {

FittedPlayer::FittedPlayer(std::function<void(const QRect&)> update)
    : painting_([this, update = std::move(update)](const QRect& changed) {
          if (!update) {
              return;
          }
          // The image's pixels to the widget's, outward, so that no changed pixel is left out.
          const QRectF placed = Placed();
          const double across = placed.width() / player_.Image().width();
          const double down = placed.height() / player_.Image().height();
          update(QRectF(placed.x() + changed.x() * across, placed.y() + changed.y() * down, changed.width() * across,
                        changed.height() * down)
                     .toAlignedRect());
      })
{
}

void FittedPlayer::Show(const RecordedPicture& picture, qint64 from, const QScreen* screen)
{
    picture_ = picture;
    painting_.Start(picture_, player_, from, screen);
}

void FittedPlayer::PaintAgain(const QScreen* screen)
{
    if (painting_.Paints()) {
        painting_.Start(picture_, player_, 0, screen);
    }
}

void FittedPlayer::Resize(QSize size, double ratio)
{
    size_ = size;
    ratio_ = std::isfinite(ratio) && ratio > 0.0 ? ratio : 1.0;
    fit_ = FitPicture(QSize(static_cast<int>(std::lround(size.width() * ratio_)),
                            static_cast<int>(std::lround(size.height() * ratio_))));
    painting_.PlayAtScale(picture_, player_, fit_.scale);
}

QRectF FittedPlayer::Placed() const
{
    const QRect& placed = fit_.placed;
    return {placed.x() / ratio_, placed.y() / ratio_, placed.width() / ratio_, placed.height() / ratio_};
}

void FittedPlayer::Paint(QPainter& painter) const
{
    PaintOnBlack(painter, QRect(QPoint(0, 0), size_), Placed(), player_.Image());
}

}  // namespace lorvane
