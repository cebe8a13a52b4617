#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include <QImage>

#include "cached_text_painter.h"
#include "rectangle_painter.h"
#include "shapes.h"
#include "surface.h"

namespace lorvane {

// The drawing area in memory: 600 x 450 picture pixels of 32-bit colour, each picture pixel
// `scale` device pixels wide so that high-density screens get sharp squares and real text.
//
// Vertical lines of one colour and equal extent that follow each other column by column are
// merged into one rectangle; the pixels are the same as drawing each line on its own. Drawing
// waits until the picture is asked for; then the rectangles are painted together, leaving out
// what later ones cover. The operations since the last full cover are kept, so the picture can
// be rendered again at another scale.
class RasterSurface final : public Surface {
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 450;

    explicit RasterSurface(double scale = 1.0);

    void Cls() override;
    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    void SetFontSize(float points) override;
    void SetForeColor(Colour colour) override;
    void SetCurrentX(float x) override;
    void SetCurrentY(float y) override;
    void Print(std::string_view text) override;
    void SetBackColor(Colour colour) override;

    // Renders the current picture again with `scale` device pixels per picture pixel.
    void SetScale(double scale);
    [[nodiscard]] double Scale() const { return scale_; }
    // The picture in device pixels: 600 x 450 times the scale.
    [[nodiscard]] const QImage& Image() const;

private:
    using Fill = FillShape;
    using SlantedLine = LineShape;
    struct Text {
        double x = 0;
        double y = 0;
        double points = 0;
        Colour colour = 0;
        std::string text;
    };
    using Operation = std::variant<Fill, SlantedLine, Text>;

    // Everything but the next column of the run being merged.
    void DrawLine(float x1, float y1, float x2, float y2, Colour colour);
    void Flush() const;
    void Record(Operation operation) const;
    // Paints what has been recorded since the last time, and a due erase.
    void RenderDue() const;
    void RenderFills(std::size_t first, std::size_t last, bool erase) const;
    void Render(const SlantedLine& line) const;
    void EraseNow() const;

    double scale_ = 1.0;
    Colour backColour_ = 0;
    Colour foreColour_ = 0;
    float fontSize_ = 9.0F;
    double currentX_ = 0;
    double currentY_ = 0;
    // The device pixel at each picture pixel edge, at the current scale.
    std::array<int, kWidth + 1> deviceX_{};
    std::array<int, kHeight + 1> deviceY_{};
    // Rendering is lazy: Image() is const but may first have to draw what is pending.
    mutable QImage image_;
    mutable CachedTextPainter textPainter_;
    // Erasing waits as well, so that a fill of the whole area replaces it.
    mutable Colour erasedTo_ = 0;
    mutable bool eraseDue_ = true;
    mutable std::vector<Operation> operations_;
    // operations_ before this one are in image_.
    mutable std::size_t rendered_ = 0;
    mutable RectanglePainter rectanglePainter_;
    mutable std::vector<RectanglePainter::Rectangle> rectangles_;
    // The run of vertical lines being merged, and the end points of its lines: a line with the
    // same end points one column further on continues it.
    mutable Fill pending_;
    mutable bool hasPending_ = false;
    float runY1_ = 0.0F;
    float runY2_ = 0.0F;
};

}  // namespace lorvane
