#include "recording/picture_recorder.h"

#include <limits>
#include <memory>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "platform/platform_error.h"
#include "tests/fakes.h"

namespace lorvane {
namespace {

constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

std::vector<RecordedItem> ItemsOf(const PictureRecorder& recording)
{
    const RecordedPicture picture = recording.Picture();
    return {picture.Items().begin(), picture.Items().end()};
}

TEST(PictureRecorder, EachSquareBecomesOneClippedFillUntilAFillOfTheWholeAreaHidesThemAll)
{
    PictureRecorder recording;
    testing::DrawSquare(recording, 100, 100, 30, kRed);
    testing::DrawSquare(recording, 0, 449, 49, kBlue);
    recording.Line(10.0F, 10.0F, 20.0F, 15.0F, kRed);
    EXPECT_EQ(ItemsOf(recording),
              (std::vector<RecordedItem>{FillItem{70, 70, 131, 131, kRed}, FillItem{0, 400, 50, 450, kBlue},
                                         LineItem{10, 10, 20, 15, kRed}}));

    for (float x = 0; x <= 600; x += 1.0F) {
        recording.Line(x, 0, x, 450, kBlue);
    }
    EXPECT_EQ(recording.Picture(), RecordedPicture(kBlue, {}));

    // Full width but not from the top row: what it leaves uncovered stays.
    PictureRecorder lower;
    testing::DrawSquare(lower, 100, 100, 30, kRed);
    for (float x = 0; x <= 600; x += 1.0F) {
        lower.Line(x, 1, x, 450, kBlue);
    }
    EXPECT_EQ(ItemsOf(lower),
              (std::vector<RecordedItem>{FillItem{70, 70, 131, 131, kRed}, FillItem{0, 1, 600, 450, kBlue}}));
}

TEST(PictureRecorder, InvalidCallsRaisePlatformErrorAndKeepNothing)
{
    constexpr Colour kTooLarge = 0x1000000;
    PictureRecorder recording;
    // A run in progress, so that the quick path for its next column is tried first.
    recording.Line(10.0F, 10.0F, 10.0F, 20.0F, kRed);
    const std::vector<void (*)(PictureRecorder&)> invalid = {
        [](PictureRecorder& r) { r.Line(11.0F, 10.0F, 11.0F, 20.0F, kTooLarge); },
        [](PictureRecorder& r) { r.Line(kNaN, 10.0F, 11.0F, 20.0F, kRed); },
        [](PictureRecorder& r) { r.Line(11.0F, 10.0F, kNaN, 20.0F, kRed); },
        [](PictureRecorder& r) { r.Line(11.0F, kNaN, 11.0F, 20.0F, kRed); },
        [](PictureRecorder& r) { r.Line(11.0F, 10.0F, 11.0F, kInfinity, kRed); },
        [](PictureRecorder& r) { r.Line(-kInfinity, 10.0F, 11.0F, 20.0F, kRed); },
        [](PictureRecorder& r) { r.SetForeColor(kTooLarge); },
        [](PictureRecorder& r) { r.SetBackColor(kTooLarge); },
        [](PictureRecorder& r) { r.SetCurrentX(kNaN); },
        [](PictureRecorder& r) { r.SetCurrentY(kInfinity); },
        [](PictureRecorder& r) { r.SetFontSize(0.0F); },
        [](PictureRecorder& r) { r.SetFontSize(kNaN); },
        [](PictureRecorder& r) { r.SetFontSize(4096.0F); },
    };
    for (std::size_t i = 0; i < invalid.size(); ++i) {
        EXPECT_THROW(invalid[i](recording), PlatformError) << "call " << i;
    }
    // The run goes on as if the failed calls had not been made, and the settings are unchanged.
    recording.Line(11.0F, 10.0F, 11.0F, 20.0F, kRed);
    recording.Print("text");
    recording.Cls();
    EXPECT_EQ(recording.Picture().Background(), 0U);
    recording.Line(11.0F, 10.0F, 11.0F, 20.0F, kRed);
    recording.Print("after");
    EXPECT_EQ(ItemsOf(recording),
              (std::vector<RecordedItem>{FillItem{11, 10, 12, 21, kRed}, TextItem{0.0, 0.0, 0, 9.0F, 0, "after"}}));
}

TEST(PictureRecorder, KeepsTextWithItsPlaceSizeAndColourAndLeavesOutWhatCannotShow)
{
    PictureRecorder recording;
    recording.SetFontSize(9.0F);
    recording.SetForeColor(0xFFFFFF);
    recording.SetCurrentX(12.0F);
    recording.SetCurrentY(425.0F);
    recording.Print("T20240307090502");
    recording.Print("");
    recording.Print("third line");
    recording.SetCurrentX(2.0e6F);
    recording.Print("far to the right");
    recording.SetCurrentX(0.0F);
    recording.SetCurrentY(-2.0e6F);
    recording.Print("far above");
    recording.SetCurrentY(5.0F);
    recording.Print("again");
    EXPECT_EQ(ItemsOf(recording),
              (std::vector<RecordedItem>{TextItem{12.0, 425.0, 0, 9.0F, 0xFFFFFF, "T20240307090502"},
                                         TextItem{0.0, 425.0, 2, 9.0F, 0xFFFFFF, "third line"},
                                         TextItem{0.0, 5.0, 0, 9.0F, 0xFFFFFF, "again"}}));
}

TEST(PictureRecorder, APictureHandedOutMidRunOwnsItsItemsWhileTheRecorderDrawsOnOrIsGone)
{
    // The run being widened points into the recorder's own list: the recorder is never copied.
    static_assert(!std::is_copy_constructible_v<PictureRecorder> && !std::is_move_constructible_v<PictureRecorder>);
    auto recorder = std::make_unique<PictureRecorder>();
    recorder->Line(10.0F, 10.0F, 10.0F, 20.0F, kRed);
    const RecordedPicture midRun = recorder->Picture();
    recorder->Line(11.0F, 10.0F, 11.0F, 20.0F, kRed);
    const RecordedPicture widened = recorder->Picture();
    recorder.reset();

    EXPECT_EQ(midRun, RecordedPicture(0, {FillItem{10, 10, 11, 21, kRed}}));
    EXPECT_EQ(widened, RecordedPicture(0, {FillItem{10, 10, 12, 21, kRed}}));
    RecordedPicture copy = widened;
    copy = midRun;
    EXPECT_EQ(copy, midRun);
}

TEST(PictureRecorder, ALineLeavingThePictureEndsWhereItCrossesTheCentresOfTheOutermostPixels)
{
    // Each line is steep or shallow enough that half a pixel either side of the centre line
    // moves its end by a whole pixel.
    const struct {
        float x1 = 0;
        float y1 = 0;
        float x2 = 0;
        float y2 = 0;
        LineItem clipped;
    } cases[] = {
        {500, 100, 700, 500, LineItem{500, 100, 599, 299, kRed}},  // right: x = 599.5
        {100, 400, 300, 500, LineItem{100, 400, 199, 449, kRed}},  // bottom: y = 449.5
        {100, 100, -100, 500, LineItem{100, 100, 0, 301, kRed}},   // left: x = -0.5
        {100, 100, 500, -100, LineItem{100, 100, 301, 0, kRed}},   // top: y = -0.5
        {700, 500, 500, 100, LineItem{599, 299, 500, 100, kRed}},  // entering from the right
    };
    for (const auto& [x1, y1, x2, y2, clipped] : cases) {
        PictureRecorder recording;
        recording.Line(x1, y1, x2, y2, kRed);
        EXPECT_EQ(ItemsOf(recording), std::vector<RecordedItem>{clipped}) << x1 << "," << y1 << " " << x2 << "," << y2;
    }
}

}  // namespace
}  // namespace lorvane
