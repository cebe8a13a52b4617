#include "svg_surface.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

#include <QString>
#include <QXmlStreamWriter>

#include "device_colour.h"
#include "platform_error.h"
#include "surface_checks.h"
#include "text_painter.h"

namespace lorvane {

using namespace surface_checks;

namespace {

constexpr std::uint32_t kRgbBits = 0xFFFFFFU;
constexpr int kHexDigitsOfRgb = 6;
constexpr int kSignificantDigits = 10;
// The same faces the raster surface draws with, then whatever sans-serif the viewer has.
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

}  // namespace

SvgSurface::SvgSurface(int scale) : scale_(scale)
{
    if (scale < 1 || scale > static_cast<int>(kLargestScale)) {
        throw PlatformError("invalid scale");
    }
}

void SvgSurface::Cls()
{
    hasPending_ = false;
    shapes_.clear();
    erasedTo_ = backColour_;
    currentX_ = 0;
    currentY_ = 0;
}

void SvgSurface::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    RequireFinite({x1, y1, x2, y2});
    (void)ToDevicePixel(colour);
    const int column = ToPixel(x1);
    if (column != ToPixel(x2)) {
        Flush();
        Add(SlantedLine{column, ToPixel(y1), ToPixel(x2), ToPixel(y2), colour});
        return;
    }
    const int top = std::max(0, ToPixel(std::min(y1, y2)));
    const int bottom = std::min(kHeight - 1, ToPixel(std::max(y1, y2)));
    if (column < 0 || column >= kWidth || top > bottom) {
        return;
    }
    // The next column of the same square: widen its rectangle.
    if (hasPending_ && pending_.right == column && pending_.top == top && pending_.bottom == bottom + 1 &&
        pending_.colour == colour) {
        ++pending_.right;
        return;
    }
    Flush();
    pending_ = Fill{column, top, column + 1, bottom + 1, colour};
    hasPending_ = true;
}

void SvgSurface::SetFontSize(float points)
{
    RequireFontSize(points);
    fontSize_ = points;
}

void SvgSurface::SetForeColor(Colour colour)
{
    (void)ToDevicePixel(colour);
    foreColour_ = colour;
}

void SvgSurface::SetCurrentX(float x)
{
    RequireFinite({x});
    currentX_ = x;
}

void SvgSurface::SetCurrentY(float y)
{
    RequireFinite({y});
    currentY_ = y;
}

void SvgSurface::Print(std::string_view text)
{
    Flush();
    const auto scale = static_cast<double>(scale_);
    const double lineHeight = TextPainter::LineHeight(scale, fontSize_);
    if (!text.empty() && std::abs(currentX_) <= kFarAway && std::abs(currentY_) <= kFarAway) {
        // Snapped to device pixels as the raster surface snaps them.
        Add(Text{std::round(currentX_ * scale) / scale,
                 std::round(currentY_ * scale) / scale + TextPainter::BaselineOffset(scale, fontSize_),
                 TextPainter::FontPixels(scale, fontSize_), foreColour_, std::string(text)});
    }
    currentX_ = 0;
    currentY_ += lineHeight;
}

void SvgSurface::SetBackColor(Colour colour)
{
    (void)ToDevicePixel(colour);
    backColour_ = colour;
}

QByteArray SvgSurface::Document() const
{
    Flush();
    QByteArray document;
    QXmlStreamWriter xml(&document);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    xml.writeAttribute(QStringLiteral("width"), QString::number(kWidth * scale_));
    xml.writeAttribute(QStringLiteral("height"), QString::number(kHeight * scale_));
    xml.writeAttribute(QStringLiteral("viewBox"), QStringLiteral("0 0 %1 %2").arg(kWidth).arg(kHeight));
    // Edges on whole pixels stay sharp; no seams between neighbouring rectangles.
    xml.writeAttribute(QStringLiteral("shape-rendering"), QStringLiteral("crispEdges"));

    const auto writeFill = [&xml](const Fill& fill) {
        xml.writeEmptyElement(QStringLiteral("rect"));
        xml.writeAttribute(QStringLiteral("x"), QString::number(fill.left));
        xml.writeAttribute(QStringLiteral("y"), QString::number(fill.top));
        xml.writeAttribute(QStringLiteral("width"), QString::number(fill.right - fill.left));
        xml.writeAttribute(QStringLiteral("height"), QString::number(fill.bottom - fill.top));
        xml.writeAttribute(QStringLiteral("fill"), Hex(fill.colour));
    };
    const auto writeShape = [&](const Shape& shape) {
        if (const auto* fill = std::get_if<Fill>(&shape)) {
            writeFill(*fill);
        } else if (const auto* line = std::get_if<SlantedLine>(&shape)) {
            constexpr double pixelCentre = 0.5;
            xml.writeEmptyElement(QStringLiteral("line"));
            xml.writeAttribute(QStringLiteral("x1"), Number(line->x1 + pixelCentre));
            xml.writeAttribute(QStringLiteral("y1"), Number(line->y1 + pixelCentre));
            xml.writeAttribute(QStringLiteral("x2"), Number(line->x2 + pixelCentre));
            xml.writeAttribute(QStringLiteral("y2"), Number(line->y2 + pixelCentre));
            xml.writeAttribute(QStringLiteral("stroke"), Hex(line->colour));
            xml.writeAttribute(QStringLiteral("stroke-linecap"), QStringLiteral("square"));
        } else if (const auto* text = std::get_if<Text>(&shape)) {
            xml.writeStartElement(QStringLiteral("text"));
            xml.writeAttribute(QStringLiteral("x"), Number(text->x));
            xml.writeAttribute(QStringLiteral("y"), Number(text->baseline));
            xml.writeAttribute(QStringLiteral("font-family"), QString::fromLatin1(kFontFamily));
            xml.writeAttribute(QStringLiteral("font-size"), Number(text->fontPixels));
            xml.writeAttribute(QStringLiteral("fill"), Hex(text->colour));
            xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            xml.writeCharacters(QString::fromStdString(text->text));
            xml.writeEndElement();
        }
    };

    writeFill(Fill{0, 0, kWidth, kHeight, erasedTo_});
    for (const Shape& shape : shapes_) {
        writeShape(shape);
    }
    xml.writeEndDocument();
    return document;
}

void SvgSurface::Flush() const
{
    if (hasPending_) {
        hasPending_ = false;
        Add(pending_);
    }
}

void SvgSurface::Add(Shape shape) const
{
    // A fill of the whole area hides everything before it, so the document stays one picture long.
    if (const auto* fill = std::get_if<Fill>(&shape);
        fill != nullptr && fill->left == 0 && fill->top == 0 && fill->right == kWidth && fill->bottom == kHeight) {
        shapes_.clear();
        erasedTo_ = fill->colour;
        return;
    }
    shapes_.push_back(std::move(shape));
}

}  // namespace lorvane
