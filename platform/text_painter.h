#pragma once

#include <string_view>

#include "colour.h"

class QFont;
class QImage;

namespace lorvane {

// Draws caption text onto an image whose every picture pixel is `scale` device pixels wide,
// at the font size the scale asks for, so that scaled text is rendered, not enlarged.
class TextPainter {
public:
    // Needs a running QGuiApplication; raises PlatformError otherwise.
    static void Draw(QImage& image, double scale, double x, double y, double points,
                     Colour colour, std::string_view text);
    // The caption font at this scale and size: what Draw draws with.
    static QFont Font(double scale, double points);
    // That font's size in device pixels.
    static int PixelSize(double scale, double points);
    // The height of one line of text, in picture pixels.
    static double LineHeight(double scale, double points);
    // The font size Draw uses, in picture pixels: whole device pixels at this scale.
    static double FontPixels(double scale, double points);
    // How far below the text position Draw puts the baseline, in picture pixels.
    static double BaselineOffset(double scale, double points);
};

}  // namespace lorvane
