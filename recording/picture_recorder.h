#pragma once

#include <limits>
#include <string_view>
#include <vector>

#include "platform/colour.h"
#include "platform/picture_size.h"
#include "platform/surface.h"
#include "recording/recorded_item.h"
#include "recording/recorded_picture.h"

namespace lorvane {

// The one surface the composer draws on. It keeps what is drawn as a short list of plain items
// and hands out the picture as a RecordedPicture value; the state of the run being widened stays
// here and never travels with a picture, so the recorder itself is neither copied nor moved.
//
// Every rule about what a picture is lives here, once: each call is checked before anything is
// kept (PlatformError, and nothing changes), lines are clipped to 600 x 450, the equal columns of
// a square become one FillItem, a fill of the whole area hides everything before it, and text
// that cannot reach the picture is left out.
class PictureRecorder final : public Surface {
public:
    PictureRecorder() = default;
    PictureRecorder(const PictureRecorder&) = delete;
    PictureRecorder& operator=(const PictureRecorder&) = delete;
    PictureRecorder(PictureRecorder&&) = delete;
    PictureRecorder& operator=(PictureRecorder&&) = delete;
    ~PictureRecorder() override = default;

    void Cls() override;
    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    void SetFontSize(float points) override;
    void SetForeColor(Colour colour) override;
    void SetCurrentX(float x) override;
    void SetCurrentY(float y) override;
    void Print(std::string_view text) override;
    void SetBackColor(Colour colour) override;

    // What has been drawn since the last Cls, as a value of its own.
    [[nodiscard]] RecordedPicture Picture() const { return {background_, items_}; }

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
