#pragma once

#include <QImage>
#include <QPainter>

#include "platform/surface.h"

namespace lorvane {

// The yardstick: the straightforward port, one QPainter::drawLine per line on a QImage, and
// text drawn with a font built for each print. Only the benchmarks use it.
class QPainterLineSurface final : public Surface {
public:
    QPainterLineSurface();
    ~QPainterLineSurface() override;
    QPainterLineSurface(const QPainterLineSurface&) = delete;
    QPainterLineSurface& operator=(const QPainterLineSurface&) = delete;
    QPainterLineSurface(QPainterLineSurface&&) = delete;
    QPainterLineSurface& operator=(QPainterLineSurface&&) = delete;

    void Cls() override;
    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    void SetFontSize(float points) override;
    void SetForeColor(Colour colour) override;
    void SetCurrentX(float x) override;
    void SetCurrentY(float y) override;
    void Print(std::string_view text) override;
    void SetBackColor(Colour colour) override;

    // Ends the painting in progress, so that the picture is complete.
    [[nodiscard]] const QImage& Image();

private:
    QPainter& Painter();

    QImage image_;
    QPainter painter_;
    Colour backColour_ = 0;
    Colour foreColour_ = 0;
    float fontSize_ = 9.0F;
    double currentX_ = 0;
    double currentY_ = 0;
};

}  // namespace lorvane
