#include "app/picture_box.h"

#include <algorithm>
#include <cmath>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>

#include "app/spoken_picture.h"
#include "platform/picture_size.h"

namespace lorvane {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent), painting_([this](const QRect& changed) {
          // Device pixels to the widget's, outward, so that no changed pixel is left out.
          const double scale = player_.Scale();
          update(QRectF(changed.x() / scale, changed.y() / scale, changed.width() / scale, changed.height() / scale)
                     .toAlignedRect());
      })
{
    setObjectName(QStringLiteral("Picture1"));
    SetAccessibleRole(this, QAccessible::Graphic);
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel is painted from the picture, so Qt need not erase first (no flash).
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kPictureWidth, kPictureHeight);
}

QSize PictureBox::sizeHint() const
{
    return {kPictureWidth, kPictureHeight};
}

void PictureBox::Show(const RecordedPicture& picture, qint64 from)
{
    picture_ = picture;
    painting_.Start(picture_, player_, from, screen());
    update();
}

void PictureBox::PaintAgain()
{
    if (painting_.Paints()) {
        painting_.Start(picture_, player_, 0, screen());
        update();
    }
}

void PictureBox::MatchDevicePixelRatio()
{
    // Outside the player's scales the picture keeps the nearest, and Qt resizes it on the way to
    // the screen.
    const double ratio = devicePixelRatioF();
    if (!std::isfinite(ratio)) {
        return;
    }
    if (painting_.PlayAtScale(picture_, player_, std::clamp(ratio, 1.0, RasterPlayer::kLargestScale))) {
        update();
    }
}

void PictureBox::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    // At the screen's pixel ratio the image covers the area one device pixel for one.
    painter.drawImage(rect(), player_.Image());
}

void PictureBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        const QPoint centre = rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, centre, mapToGlobal(centre));
        QCoreApplication::sendEvent(this, &menu);
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace lorvane
