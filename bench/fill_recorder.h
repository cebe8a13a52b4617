#pragma once

#include <vector>

#include <QColor>
#include <QRect>

#include "surface.h"

namespace lorvane {

// Collects the fills of a picture for the rectangle-fill floor: each run of vertical lines of
// one colour and extent, column after column, becomes one rectangle. Text is ignored.
class FillRecorder final : public Surface {
public:
    struct Fill {
        QRect rect;
        QColor colour;
    };

    void Cls() override {}
    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    void SetFontSize(float /*points*/) override {}
    void SetForeColor(Colour /*colour*/) override {}
    void SetCurrentX(float /*x*/) override {}
    void SetCurrentY(float /*y*/) override {}
    void Print(std::string_view /*text*/) override {}
    void SetBackColor(Colour /*colour*/) override {}

    [[nodiscard]] const std::vector<Fill>& Fills() const { return fills_; }

private:
    std::vector<Fill> fills_;
};

}  // namespace lorvane
