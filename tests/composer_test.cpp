#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "composer.h"
#include "fakes.h"
#include "picture_recorder.h"
#include "picture_state.h"

namespace lorvane {
namespace {

// Rounded to single precision, these products reach the next whole number; in double precision
// they stay just below it.
constexpr float kTipsTimes800And200 = 0x1.51eb84p-2F;  // x 800 gives 264, x 200 gives 66
constexpr float kTipsTimes600 = 0x1.b851eap-2F;        // 258
constexpr float kTipsTimes450 = 0x1.70a3d6p-2F;        // 162
// 0.95 x 20 + 30 is just below 49 in double precision and 49 in single.
constexpr float kTipsHalfInSingle = 0.95F;
// Draws 0 to 5 build the palette; 6 to 8 are span, start and the background row; then four for
// each square: cx, cy, half and its row. Square 199's row is the last draw.
constexpr std::size_t kStartDraw = 7;
constexpr std::size_t kFirstSquareDraw = 9;
constexpr std::size_t kLastDraw = 808;

struct PrecisionCase {
    std::string name;
    std::size_t draw;
    float value;
    float start;
    float poz;
    // The first square's fill, clipped to the picture: left, top, right and bottom.
    std::array<int, 4> square;
};

TEST(Composer, ProductsAreRoundedToSinglePrecisionBeforeTheFloorExceptTheSpanAndTheHalfSide)
{
    // With every other draw 0: span 200, start 0, and squares of half side 30 centred on (0, 0).
    const std::vector<PrecisionCase> cases = {
        {"start = floor(r x 800)", kStartDraw, kTipsTimes800And200, 264.0F, 264.0F, {0, 0, 31, 31}},
        {"poz = start + floor(r x 200)", kLastDraw, kTipsTimes800And200, 0.0F, 66.0F, {0, 0, 31, 31}},
        {"cx = floor(r x 600)", kFirstSquareDraw, kTipsTimes600, 0.0F, 0.0F, {228, 0, 289, 31}},
        {"cy = floor(r x 450)", kFirstSquareDraw + 1, kTipsTimes450, 0.0F, 0.0F, {0, 132, 31, 193}},
        {"half = floor(r x 20 + 30) in double", kFirstSquareDraw + 2, kTipsHalfInSingle, 0.0F, 0.0F, {0, 0, 49, 49}},
    };
    for (const PrecisionCase& precisionCase : cases) {
        SCOPED_TRACE(precisionCase.name);
        std::vector<float> script(kLastDraw + 1, 0.0F);
        script[precisionCase.draw] = precisionCase.value;
        PictureState state = PictureState::AtStartUp();
        PictureRecorder picture;
        testing::ScriptedRandomSource random(script);
        testing::ScriptedClock clock("03-07-2024", "09:05:02");
        Composer(state, picture, random, clock).DrawPicture();

        EXPECT_EQ(state.start, precisionCase.start);
        EXPECT_EQ(state.poz, precisionCase.poz);
        const RecordedPicture recorded = picture.Picture();
        ASSERT_FALSE(recorded.Items().empty());
        const auto* const square = std::get_if<FillItem>(recorded.Items().data());
        ASSERT_NE(square, nullptr);
        EXPECT_EQ((std::array<int, 4>{square->left, square->top, square->right, square->bottom}), precisionCase.square);
    }
}

}  // namespace
}  // namespace lorvane
