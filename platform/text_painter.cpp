#include "text_painter.h"

#include <algorithm>
#include <cmath>

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include "device_colour.h"
#include "platform_error.h"
#include "surface_checks.h"

namespace lorvane {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;

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
    if (text.empty() || std::abs(x) > surface_checks::kFarAway || std::abs(y) > surface_checks::kFarAway) {
        return;
    }
    // Positions and sizes here are device pixels: the image must have a pixel ratio of 1.
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(ToDevicePixel(colour)));
    const QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetricsF metrics(font);
    // A first glyph that overhangs to the left (as "T" does) is moved right, so that no ink
    // falls left of the text position.
    const double overhang = std::min(0.0, metrics.leftBearing(line.front()));
    const QPointF baseline(std::round(x * scale) - overhang, std::round(y * scale) + std::round(metrics.ascent()));
    painter.drawText(baseline, line);
}

QFont TextPainter::Font(double scale, double points)
{
    return CaptionFont(scale, points);
}

int TextPainter::PixelSize(double scale, double points)
{
    return DevicePixelSize(scale, points);
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
