#include "players/svg_player.h"

#include <cmath>
#include <variant>

#include <QPointF>
#include <QString>
#include <QXmlStreamWriter>

#include "recording/recorded_picture.h"

#include "platform/picture_size.h"
#include "players/device_colour.h"
#include "players/text_painter.h"

namespace lorvane {

namespace {

constexpr std::uint32_t kRgbBits = 0xFFFFFFU;
constexpr int kHexDigitsOfRgb = 6;
constexpr int kSignificantDigits = 10;
// A line runs between the centres of its end pixels.
constexpr double kPixelCentre = 0.5;
// The same faces the raster player draws with, then whatever sans-serif the viewer has.
constexpr auto kFontFamily = "DejaVu Sans, sans-serif";

QString Number(double value)
{
    return QString::number(value, 'g', kSignificantDigits);
}

QString Hex(Colour colour)
{
    return QLatin1Char('#') +
           QString::number(ToDevicePixel(colour) & kRgbBits, 16).rightJustified(kHexDigitsOfRgb, QLatin1Char('0'));
}

class SvgWriter {
public:
    SvgWriter(QXmlStreamWriter& xml, double scale) : xml_(xml), scale_(scale) {}

    void operator()(const FillItem& fill) const
    {
        xml_.writeEmptyElement(QStringLiteral("rect"));
        xml_.writeAttribute(QStringLiteral("x"), QString::number(fill.left));
        xml_.writeAttribute(QStringLiteral("y"), QString::number(fill.top));
        xml_.writeAttribute(QStringLiteral("width"), QString::number(fill.right - fill.left));
        xml_.writeAttribute(QStringLiteral("height"), QString::number(fill.bottom - fill.top));
        xml_.writeAttribute(QStringLiteral("fill"), Hex(fill.colour));
    }

    void operator()(const LineItem& line) const
    {
        xml_.writeEmptyElement(QStringLiteral("line"));
        xml_.writeAttribute(QStringLiteral("x1"), Number(line.x1 + kPixelCentre));
        xml_.writeAttribute(QStringLiteral("y1"), Number(line.y1 + kPixelCentre));
        xml_.writeAttribute(QStringLiteral("x2"), Number(line.x2 + kPixelCentre));
        xml_.writeAttribute(QStringLiteral("y2"), Number(line.y2 + kPixelCentre));
        xml_.writeAttribute(QStringLiteral("stroke"), Hex(line.colour));
        xml_.writeAttribute(QStringLiteral("stroke-linecap"), QStringLiteral("square"));
    }

    void operator()(const TextItem& text) const
    {
        // Snapped to device pixels as the raster player snaps them.
        xml_.writeStartElement(QStringLiteral("text"));
        xml_.writeAttribute(QStringLiteral("x"), Number(std::round(text.x * scale_) / scale_));
        xml_.writeAttribute(QStringLiteral("y"), Number(TextPainter::Baseline(scale_, text).y() / scale_));
        xml_.writeAttribute(QStringLiteral("font-family"), QString::fromLatin1(kFontFamily));
        xml_.writeAttribute(QStringLiteral("font-size"), Number(TextPainter::FontPixels(scale_, text.points)));
        xml_.writeAttribute(QStringLiteral("fill"), Hex(text.colour));
        xml_.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        xml_.writeCharacters(QString::fromStdString(text.text));
        xml_.writeEndElement();
    }

private:
    QXmlStreamWriter& xml_;
    double scale_;
};

}  // namespace

void PlaySvg(const RecordedPicture& picture, int scale, QXmlStreamWriter& xml)
{
    const SvgWriter writer(xml, scale);
    writer(FillItem{0, 0, kPictureWidth, kPictureHeight, picture.Background()});
    for (const RecordedItem& item : picture.Items()) {
        std::visit(writer, item);
    }
}

}  // namespace lorvane
