#pragma once

#include <cstddef>
#include <limits>
#include <span>
#include <string_view>
#include <vector>

#include "colour.h"
#include "picture_size.h"
#include "recorded_item.h"
#include "surface.h"

namespace lorvane {

// The one surface the composer draws on: it keeps the picture as a short list of plain items,
// which players turn into an image, an SVG or a PDF document.
//
//     Recording picture;
//     Composer(state, picture, random, clock).DrawPicture();
//     const QImage& image = RasterPlayer(2.0).Play(picture);
//     const QByteArray svg = SvgDocument(picture, 2);
//
// Every rule about what a picture is lives here, once: each call is checked before anything is
// kept (PlatformError, and nothing changes), lines are clipped to 600 x 450, the equal columns of
// a square become one FillItem, a fill of the whole area hides everything before it, and text
// that cannot reach the picture is left out.
class Recording final : public Surface {
public:
    void Cls() override;
    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    void SetFontSize(float points) override;
    void SetForeColor(Colour colour) override;
    void SetCurrentX(float x) override;
    void SetCurrentY(float y) override;
    void Print(std::string_view text) override;
    void SetBackColor(Colour colour) override;

    // The colour the whole area has before the items are painted over it.
    [[nodiscard]] Colour Background() const { return background_; }
    // In painting order, later items over earlier ones.
    [[nodiscard]] std::span<const RecordedItem> Items() const { return items_; }

private:
    static constexpr float kNoRun = std::numeric_limits<float>::quiet_NaN();

    // Everything but the next column of the run being widened.
    void AddLine(float x1, float y1, float x2, float y2, Colour colour);
    void WidenRun();
    void RunReachedRightEdge();
    void Append(RecordedItem item);

    Colour background_ = 0;
    Colour backColour_ = 0;
    Colour foreColour_ = 0;
    float fontSize_ = 9.0F;
    double currentX_ = 0.0;
    double currentY_ = 0.0;
    int linesBelow_ = 0;
    std::vector<RecordedItem> items_;
    // The last item when it is a fill that the next column may widen, or null. A line with
    // exactly the run's end points and colour at x == runNext_ does; runNext_ is NaN when there
    // is no such column, so that nothing equals it.
    FillItem* run_ = nullptr;
    float runNext_ = kNoRun;
    float runY1_ = 0.0F;
    float runY2_ = 0.0F;
    Colour runColour_ = 0;
};

}  // namespace lorvane
