#include "players/cached_text_painter.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextLayout>

#include "players/device_colour.h"
#include "players/text_painter.h"
#include "recording/recorded_item.h"

namespace lorvane {

namespace {

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Printable ASCII lays out on one line, left to right, as drawn text does; anything else is
// left to TextPainter. A recording holds no empty text.
bool IsPlainAscii(std::string_view text)
{
    constexpr char kFirstPrintable = ' ';
    constexpr char kLastPrintable = '~';
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= kFirstPrintable && c <= kLastPrintable; });
}

}  // namespace

void CachedTextPainter::Draw(QImage& image, double scale, const TextItem& text)
{
    Prepare(scale, text.points);
    if (!IsPlainAscii(text.text)) {
        TextPainter::Draw(image, scale, text);
        return;
    }
    const ShapedText& shaped = Shaped(text.text);
    // The glyphs stand on a line whose top is at 0; the ascent is a whole number of 64ths, so
    // subtracting it puts them back on the baseline exactly.
    const QPointF baseline = TextPainter::Baseline(scale, text, ascent_, height_, shaped.overhang);
    const QPointF lineTop(baseline.x(), baseline.y() - shaped.ascent);
    QPainter painter(&image);
    painter.setPen(QColor::fromRgb(ToDevicePixel(text.colour)));
    for (const QGlyphRun& run : shaped.glyphRuns) {
        painter.drawGlyphRun(lineTop, run);
    }
}

void CachedTextPainter::Prepare(double scale, double points)
{
    const int pixelSize = TextPainter::PixelSize(scale, points);
    if (font_ && pixelSize == pixelSize_) {
        return;
    }
    const QFont font = TextPainter::Font(scale, points);
    const QFontMetricsF metrics(font);
    font_ = font;
    pixelSize_ = pixelSize;
    ascent_ = metrics.ascent();
    height_ = metrics.height();
    shaped_.fill(ShapedText{});
}

const CachedTextPainter::ShapedText& CachedTextPainter::Shaped(std::string_view text)
{
    ++uses_;
    for (ShapedText& kept : shaped_) {
        if (kept.lastUse != 0 && kept.text == text) {
            kept.lastUse = uses_;
            return kept;
        }
    }
    ShapedText& oldest =
        *std::min_element(shaped_.begin(), shaped_.end(),
                          [](const ShapedText& a, const ShapedText& b) { return a.lastUse < b.lastUse; });
    const QString line = ToQString(text);
    QTextLayout layout(line, *font_);
    layout.beginLayout();
    const QTextLine textLine = layout.createLine();
    layout.endLayout();
    // As in TextPainter: a first glyph that overhangs to the left is moved right.
    const double overhang = std::min(0.0, QFontMetricsF(*font_).leftBearing(line.front()));
    oldest = ShapedText{std::string(text), layout.glyphRuns(), textLine.ascent(), overhang, uses_};
    return oldest;
}

}  // namespace lorvane
