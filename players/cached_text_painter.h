#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <QFont>
#include <QGlyphRun>
#include <QList>

class QImage;

namespace lorvane {

struct TextItem;

// Draws text exactly as TextPainter::Draw does, for a player that prints the same few texts
// picture after picture: it keeps the font and its measurements for the last size asked for,
// and the shaped glyphs of the last few plain texts, so that printing one costs little more
// than drawing its glyphs.
class CachedTextPainter {
public:
    void Draw(QImage& image, double scale, const TextItem& text);

private:
    static constexpr std::size_t kKeptTexts = 4;

    struct ShapedText {
        std::string text;
        QList<QGlyphRun> glyphRuns;
        double ascent = 0.0;
        double overhang = 0.0;
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
