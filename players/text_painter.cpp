#include "players/text_painter.h"

#include <algorithm>
#include <cmath>

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>

#include "players/device_colour.h"
#include "recording/recorded_item.h"

namespace lorvane {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;

QString ToQString(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void TextPainter::Draw(QImage& image, double scale, const TextItem& text)
{
    // Positions and sizes here are device pixels: the image must have a pixel ratio of 1.
    QPainter painter(&image);
    painter.setFont(Font(scale, text.points));
    painter.setPen(QColor::fromRgb(ToDevicePixel(text.colour)));
    painter.drawText(Baseline(scale, text), ToQString(text.text));
}

QFont TextPainter::Font(double scale, double points)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(PixelSize(scale, points));
    return font;
}

int TextPainter::PixelSize(double scale, double points)
{
    return std::max(1, static_cast<int>(std::lround(points * kPixelsPerPoint * scale)));
}

double TextPainter::FontPixels(double scale, double points)
{
    return PixelSize(scale, points) / scale;
}

QPointF TextPainter::Baseline(double scale, const TextItem& text)
{
    const QFontMetricsF metrics(Font(scale, text.points));
    const QString line = ToQString(text.text);
    const double overhang = line.isEmpty() ? 0.0 : std::min(0.0, metrics.leftBearing(line.front()));
    return Baseline(scale, text, metrics.ascent(), metrics.height(), overhang);
}

QPointF TextPainter::Baseline(double scale, const TextItem& text, double ascent, double lineHeight, double overhang)
{
    const double top = text.y + text.linesBelow * (lineHeight / scale);
    return {std::round(text.x * scale) - overhang, std::round(top * scale) + std::round(ascent)};
}

}  // namespace lorvane
