#pragma once

#include <string_view>

#include "platform/colour.h"

class QFont;
class QImage;
class QPointF;

namespace lorvane {

struct TextItem;

// The caption font and where text stands, for every player: text is drawn at the font size the
// scale asks for, so that scaled text is rendered, not enlarged. Needs a running
// QGuiApplication.
class TextPainter {
public:
    // Draws the text onto an image whose every picture pixel is `scale` device pixels wide.
    static void Draw(QImage& image, double scale, const TextItem& text);
    // The caption font at this scale and size: what Draw draws with.
    static QFont Font(double scale, double points);
    // That font's size in device pixels.
    static int PixelSize(double scale, double points);
    // The font size Draw uses, in picture pixels: whole device pixels at this scale.
    static double FontPixels(double scale, double points);
    // Where Draw puts the left end of the text's baseline, in device pixels: the line's top
    // corner snapped to device pixels, the baseline a whole number of device pixels below it,
    // and a first glyph that overhangs to the left (as "T" does) moved right, so that no ink
    // falls left of the text position.
    static QPointF Baseline(double scale, const TextItem& text);
    // The same from the font's measurements in device pixels, for callers that keep them.
    static QPointF Baseline(double scale, const TextItem& text, double ascent, double lineHeight, double overhang);
};

}  // namespace lorvane
