#include "text_painter.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextLayout>

#include "device_colour.h"
#include "platform_error.h"

namespace lorvane {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;
// Text that starts further away than this cannot reach the picture.
constexpr double kFarAway = 1.0e6;

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Printable ASCII lays out on one line, left to right, as drawn text does; anything else is
// drawn as text.
bool IsPlainAscii(std::string_view text)
{
    constexpr char kFirstPrintable = ' ';
    constexpr char kLastPrintable = '~';
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c >= kFirstPrintable && c <= kLastPrintable; });
}

}  // namespace

void TextPainter::Draw(QImage& image, double scale, double x, double y, double points, Colour colour,
                       std::string_view text)
{
    Prepare(scale, points);
    if (text.empty() || std::abs(x) > kFarAway || std::abs(y) > kFarAway) {
        return;
    }
    // Position and font size are in device pixels already: the painter must not scale them again
    // by the image's device pixel ratio.
    const qreal ratio = image.devicePixelRatio();
    image.setDevicePixelRatio(1.0);
    {
        QPainter painter(&image);
        painter.setPen(QColor::fromRgb(ToDevicePixel(colour)));
        const QPointF baseline(std::round(x * scale), std::round(y * scale) + std::round(ascent_));
        if (IsPlainAscii(text)) {
            const ShapedText& shaped = Shaped(text);
            // The glyphs stand on a line whose top is at 0; both values are whole 64ths, so the
            // difference puts them back on the baseline exactly.
            const QPointF lineTop(baseline.x(), baseline.y() - shaped.ascent);
            for (const QGlyphRun& run : shaped.glyphRuns) {
                painter.drawGlyphRun(lineTop, run);
            }
        } else {
            painter.setFont(*font_);
            painter.drawText(baseline, ToQString(text));
        }
    }
    image.setDevicePixelRatio(ratio);
}

double TextPainter::LineHeight(double scale, double points)
{
    Prepare(scale, points);
    return height_ / scale;
}

void TextPainter::Prepare(double scale, double points)
{
    if (QGuiApplication::instance() == nullptr) {
        throw PlatformError("text needs a running application");
    }
    const int pixelSize = std::max(1, static_cast<int>(std::lround(points * kPixelsPerPoint * scale)));
    if (font_ && pixelSize == pixelSize_) {
        return;
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    const QFontMetricsF metrics(font);
    font_ = font;
    pixelSize_ = pixelSize;
    ascent_ = metrics.ascent();
    height_ = metrics.height();
    shaped_.fill(ShapedText{});
}

const TextPainter::ShapedText& TextPainter::Shaped(std::string_view text)
{
    ++uses_;
    for (ShapedText& kept : shaped_) {
        if (kept.lastUse != 0 && kept.text == text) {
            kept.lastUse = uses_;
            return kept;
        }
    }
    ShapedText& oldest = *std::min_element(shaped_.begin(), shaped_.end(), [](const ShapedText& a, const ShapedText& b) {
        return a.lastUse < b.lastUse;
    });
    QTextLayout layout(ToQString(text), *font_);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    oldest = ShapedText{std::string(text), layout.glyphRuns(), line.ascent(), uses_};
    return oldest;
}

}  // namespace lorvane
