#include "text_painter.h"

#include <cmath>

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include "device_colour.h"
#include "platform_error.h"

namespace lorvane {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;
// Text that starts further away than this cannot reach the picture.
constexpr double kFarAway = 1.0e6;

int DevicePixelSize(double scale, double points)
{
    return std::max(1, static_cast<int>(std::lround(points * kPixelsPerPoint * scale)));
}

QFont CaptionFont(double scale, double points)
{
    if (QGuiApplication::instance() == nullptr) {
        throw PlatformError("text needs a running application");
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(DevicePixelSize(scale, points));
    return font;
}

}  // namespace

void TextPainter::Draw(QImage& image, double scale, double x, double y, double points,
                       Colour colour, std::string_view text)
{
    const QFont font = CaptionFont(scale, points);
    if (text.empty() || std::abs(x) > kFarAway || std::abs(y) > kFarAway) {
        return;
    }
    // Positions and sizes here are device pixels. A painter on the image itself would scale them
    // by its pixel ratio once more, so it paints through a view of the same pixels at ratio 1.
    QImage devicePixels(image.bits(), image.width(), image.height(), image.bytesPerLine(), image.format());
    QPainter painter(&devicePixels);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(ToDevicePixel(colour)));
    const QFontMetricsF metrics(font);
    const QPointF baseline(std::round(x * scale), std::round(y * scale) + std::round(metrics.ascent()));
    painter.drawText(baseline, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

double TextPainter::LineHeight(double scale, double points)
{
    return QFontMetricsF(CaptionFont(scale, points)).height() / scale;
}

double TextPainter::FontPixels(double scale, double points)
{
    return DevicePixelSize(scale, points) / scale;
}

double TextPainter::BaselineOffset(double scale, double points)
{
    return std::round(QFontMetricsF(CaptionFont(scale, points)).ascent()) / scale;
}

}  // namespace lorvane
