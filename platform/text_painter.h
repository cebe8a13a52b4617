#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <QFont>
#include <QGlyphRun>
#include <QList>

#include "colour.h"

class QImage;

namespace lorvane {

// Draws caption text onto an image whose every picture pixel is `scale` device pixels wide,
// at the font size the scale asks for, so that scaled text is rendered, not enlarged.
//
// Every caption of a picture has the same size and two of them never change, so the font, its
// measurements and the shaped glyphs of the last few plain texts are kept; the glyphs are drawn
// exactly where drawing the text itself puts them.
class TextPainter {
public:
    // Both need a running QGuiApplication and raise PlatformError otherwise.
    void Draw(QImage& image, double scale, double x, double y, double points, Colour colour, std::string_view text);
    // The height of one line of text, in picture pixels.
    [[nodiscard]] double LineHeight(double scale, double points);

private:
    static constexpr std::size_t kKeptTexts = 4;

    struct ShapedText {
        std::string text;
        QList<QGlyphRun> glyphRuns;
        double ascent = 0.0;
        std::uint64_t lastUse = 0;
    };

    void Prepare(double scale, double points);
    const ShapedText& Shaped(std::string_view text);

    std::optional<QFont> font_;
    int pixelSize_ = 0;
    double ascent_ = 0.0;
    double height_ = 0.0;
    std::array<ShapedText, kKeptTexts> shaped_{};
    std::uint64_t uses_ = 0;
};

}  // namespace lorvane
