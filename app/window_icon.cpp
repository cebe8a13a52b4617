#include "app/window_icon.h"

#include <QImage>
#include <QPixmap>
#include <QResource>

namespace lorvane {

QIcon WindowIcon()
{
    constexpr int kSide = 128;
    constexpr qsizetype kBytes = qsizetype{kSide} * kSide * 4;
    const QByteArray pixels = QResource(QStringLiteral(":/icons/window.argb32")).uncompressedData();
    if (pixels.size() != kBytes) {
        return {};
    }
    // The image only borrows the bytes; the pixmap made from it has its own.
    const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), kSide, kSide, QImage::Format_ARGB32);
    return {QPixmap::fromImage(image)};
}

}  // namespace lorvane
