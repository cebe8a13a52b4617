#pragma once

#include <string>
#include <variant>
#include <vector>

#include <QByteArray>

#include "shapes.h"
#include "surface.h"

namespace lorvane {

// The drawing area as shapes, written out as an SVG document that looks like the raster
// surface's picture at the same scale: fills become <rect> elements, the equal neighbouring
// columns of one square merged into one, and text becomes <text> with its baseline where the
// raster surface puts it. Needs a running QGuiApplication for the text's measurements.
class SvgSurface final : public Surface {
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 450;

    // `scale` device pixels per picture pixel, each way; 1 to 16.
    explicit SvgSurface(int scale = 1);

    void Cls() override;
    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    void SetFontSize(float points) override;
    void SetForeColor(Colour colour) override;
    void SetCurrentX(float x) override;
    void SetCurrentY(float y) override;
    void Print(std::string_view text) override;
    void SetBackColor(Colour colour) override;

    // The picture as an SVG document of 600 x 450 user units, shown `scale` times as large.
    [[nodiscard]] QByteArray Document() const;

private:
    using Fill = FillShape;
    // Drawn between the centres of its end pixels.
    using SlantedLine = LineShape;
    // Already where the raster surface puts it: the left end and the baseline.
    struct Text {
        double x = 0;
        double baseline = 0;
        double fontPixels = 0;
        Colour colour = 0;
        std::string text;
    };
    using Shape = std::variant<Fill, SlantedLine, Text>;

    void Flush() const;
    void Add(Shape shape) const;

    int scale_ = 1;
    Colour backColour_ = 0;
    Colour foreColour_ = 0;
    float fontSize_ = 9.0F;
    double currentX_ = 0;
    double currentY_ = 0;
    // Document() is const but may first have to add the rectangle still being widened.
    mutable Colour erasedTo_ = 0;
    mutable std::vector<Shape> shapes_;
    mutable Fill pending_;
    mutable bool hasPending_ = false;
};

}  // namespace lorvane
