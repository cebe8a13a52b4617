#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <numeric>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "picture/composer.h"
#include "picture/picture_state.h"
#include "recording/picture_recorder.h"
#include "tests/fakes.h"

namespace lorvane {
namespace {

using testing::FailingSurface;
using testing::kDrawsPerPicture;
using testing::ScriptedClock;
using testing::ScriptedRandomSource;

static_assert(noexcept(std::declval<Composer&>().DrawPicture()),
              "an error escaping DrawPicture must end the program, never unwind into the window");

constexpr std::size_t kPaletteDraws = 6;
constexpr std::size_t kFirstSquareDraw = 9;
constexpr int kSquares = 200;
constexpr float kJustBelowOne = 0.99999994F;
const std::string kName = "T20240307090502";
const std::string kPreviousName = "T19991231235959";
constexpr float kPreviousStart = 123.0F;
constexpr float kPreviousPoz = 456.0F;

// The script every picture here draws, unless a test changes it: palette periods 40, 65 and 90
// with phases 250, 500 and 750; span 300, start 175 and the background at row 325; then two
// squares in turn, A centred on (75, 337) with half side 40 at row 212 and B centred on
// (525, 168) with half side 47 at row 437.
std::vector<float> Script()
{
    std::vector<float> script = {0.1F, 0.35F, 0.6F, 0.25F, 0.5F, 0.75F, 0.5F, 0.25F, 0.5F};
    for (int pair = 0; pair < kSquares / 2; ++pair) {
        script.insert(script.end(), {0.125F, 0.75F, 0.5F, 0.125F, 0.875F, 0.375F, 0.875F, 0.875F});
    }
    return script;
}

// Colours of the palette that script builds, worked out by hand: rows 325, 212 and 437.
constexpr Colour kBackground = 0xE5A8F8;
constexpr Colour kColourA = 0x590115;
constexpr Colour kColourB = 0xE4EB00;
// Each square draws one line per column, the background 601; then 11 caption calls.
constexpr std::size_t kSquareCallsA = 81;
constexpr std::size_t kSquareCallsB = 95;
constexpr std::size_t kBackgroundCalls = 601;
constexpr std::size_t kCaptionCalls = 11;
constexpr std::size_t kSquareCalls = (kSquareCallsA + kSquareCallsB) * kSquares / 2;
constexpr std::size_t kCalls = kBackgroundCalls + kSquareCalls + kCaptionCalls;

// What a square becomes when one of its steps (cx, cy, half side, fill) fails and leaves what the
// square before it set. The first square keeps what was there before any square: 0, and the
// background's fill.
constexpr std::array<std::array<FillItem, 4>, 3> kKept = {{
    {{{0, 297, 41, 378, kColourA},
      {35, 0, 116, 41, kColourA},
      {75, 337, 76, 338, kColourA},
      {35, 297, 116, 378, kBackground}}},
    // A after B: cx 525, cy 168, half side 47 or B's fill.
    {{{485, 297, 566, 378, kColourA},
      {35, 128, 116, 209, kColourA},
      {28, 290, 123, 385, kColourA},
      {35, 297, 116, 378, kColourB}}},
    // B after A: cx 75, cy 337, half side 40 or A's fill.
    {{{28, 121, 123, 216, kColourB},
      {478, 290, 573, 385, kColourB},
      {485, 128, 566, 209, kColourB},
      {478, 121, 573, 216, kColourA}}},
}};

// The picture the last one leaves behind, with a palette that no new picture could build: row r
// is (r mod 251, 50 for each 251 rows, 7), so its colour is 0x07GGRR with those values.
const PictureState& PreviousState()
{
    static const PictureState state = [] {
        PictureState previous = PictureState::AtStartUp();
        previous.imeslike = kPreviousName;
        previous.start = kPreviousStart;
        previous.poz = kPreviousPoz;
        for (int row = 0; row < Palette::kRows; ++row) {
            const int band = row / 251;
            previous.palette.Set(row, {row % 251 + 0.25, band * 50.0, 7.0});
        }
        return previous;
    }();
    return state;
}

bool SamePalette(const Palette& a, const Palette& b)
{
    for (int row = 0; row < Palette::kRows; ++row) {
        const Palette::Row x = a.At(static_cast<float>(row));
        const Palette::Row y = b.At(static_cast<float>(row));
        if (x.red != y.red || x.green != y.green || x.blue != y.blue) {
            return false;
        }
    }
    return true;
}

// The 200 squares, `even` and `odd` in turn.
std::vector<FillItem> Squares(FillItem even, FillItem odd)
{
    std::vector<FillItem> squares;
    squares.reserve(kSquares);
    for (int k = 0; k < kSquares; ++k) {
        squares.push_back(k % 2 == 0 ? even : odd);
    }
    return squares;
}

// The script's squares A and B in turn, in these colours.
std::vector<FillItem> Squares(Colour a, Colour b)
{
    return Squares({35, 297, 116, 378, a}, {478, 121, 573, 216, b});
}

// What one picture should leave: the recording and the variables; by default, the whole picture.
struct Outcome {
    Colour background = kBackground;
    std::vector<FillItem> squares = Squares(kColourA, kColourB);
    std::string name = kName;
    std::size_t captions = 3;
    float start = 175.0F;
    float poz = 437.0F;
    std::size_t calls = kCalls;
    std::size_t drawn = kDrawsPerPicture;
};

RecordedPicture PictureOf(const Outcome& outcome, const std::vector<FillItem>& leading = {})
{
    std::vector<RecordedItem> items(leading.begin(), leading.end());
    items.insert(items.end(), outcome.squares.begin(), outcome.squares.end());
    const std::array<std::pair<double, std::string>, 3> captions = {
        {{12.0, outcome.name}, {220.0, "varlenko.art"}, {420.0, "Generative Art by Varlenko"}}};
    for (std::size_t i = 0; i < outcome.captions; ++i) {
        items.emplace_back(TextItem{captions[i].first, 425.0, 0, 9.0F, 0xFFFFFF, captions[i].second});
    }
    return {outcome.background, std::move(items)};
}

// Equal, or where the two pictures part.
void ExpectSamePicture(const RecordedPicture& actual, const RecordedPicture& expected)
{
    EXPECT_EQ(actual.Background(), expected.Background());
    const auto [a, e] = std::ranges::mismatch(actual.Items(), expected.Items());
    if (a != actual.Items().end() && e != expected.Items().end()) {
        EXPECT_EQ(*a, *e) << "item " << a - actual.Items().begin();
    }
    EXPECT_EQ(actual.Items().size(), expected.Items().size());
}

// One picture drawn over the previous one, with whatever the test makes go wrong.
struct PictureRun {
    PictureState state = PreviousState();
    PictureRecorder picture;
    FailingSurface surface{picture};
    ScriptedRandomSource random;
    ScriptedClock clock{"03-07-2024", "09:05:02"};
    Composer composer{state, surface, random, clock};

    explicit PictureRun(std::vector<float> script = Script()) : random(std::move(script)) {}
    void Draw() { composer.DrawPicture(); }
};

void ExpectOutcome(const PictureRun& run, const Outcome& expected, const std::vector<FillItem>& leading = {})
{
    ExpectSamePicture(run.picture.Picture(), PictureOf(expected, leading));
    EXPECT_EQ(run.surface.calls, expected.calls);
    EXPECT_EQ(run.state.imeslike, expected.name);
    EXPECT_EQ(run.state.start, expected.start);
    EXPECT_EQ(run.state.poz, expected.poz);
    EXPECT_EQ(run.random.drawn, expected.drawn);
}

TEST(Composer, WithoutFailuresThePictureIsExactlyThePlannedOne)
{
    PictureRun run;
    run.Draw();
    ExpectOutcome(run, Outcome{});
    EXPECT_FALSE(SamePalette(run.state.palette, PreviousState().palette));
}

// What a picture should be when the step of draw `draw` fails, and so leaves what was there.
Outcome WithoutDraw(std::size_t draw)
{
    Outcome out;
    if (draw < kPaletteDraws) {
        // MakePalette ends at the failed draw; the previous palette's rows 325, 212 and 437.
        out.drawn -= kPaletteDraws - 1 - draw;
        out.background = 0x07324A;
        out.squares = Squares(0x0700D4, 0x0732BA);
    } else if (draw == kPaletteDraws) {
        // Span 0: start floor(0.25 x 1000) and every row at it, 250.
        out.background = 0x8E2179;
        out.squares = Squares(0x8E2179, 0x8E2179);
        out.start = 250.0F;
        out.poz = 250.0F;
    } else if (draw == kPaletteDraws + 1) {
        // The previous start, 123: rows 273, 160 and 385.
        out.background = 0xAD45BE;
        out.squares = Squares(0x1D1B1F, 0xFCF766);
        out.start = kPreviousStart;
        out.poz = 385.0F;
    } else if (draw == kPaletteDraws + 2) {
        // The colour before any pick.
        out.background = 0;
    } else {
        const std::size_t square = (draw - kFirstSquareDraw) / 4;
        const std::size_t step = (draw - kFirstSquareDraw) % 4;
        const std::size_t kind = square == 0 ? 0 : 1 + square % 2;
        out.squares[square] = kKept[kind][step];
        if (step == 2) {
            // One column for half side 0, else the other square's width.
            constexpr std::array<std::ptrdiff_t, 3> kWider = {1 - 81, 95 - 81, 81 - 95};
            out.calls = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(out.calls) + kWider[kind]);
        }
        if (square == kSquares - 1 && step == 3) {
            out.poz = 212.0F;
        }
    }
    return out;
}

TEST(Composer, EachFailingOrOutOfRangeRandomDrawDropsOnlyTheStepThatDrewIt)
{
    // A failing draw, or a value the source should never give; both must drop the step.
    const std::array<std::pair<const char*, float>, 4> faults = {
        {{"raises", 0.5F},
         {"gives 1.0", 1.0F},
         {"gives NaN", std::numeric_limits<float>::quiet_NaN()},
         {"gives -0.25", -0.25F}}};
    for (std::size_t f = 0; f < faults.size(); ++f) {
        const auto& [fault, value] = faults[f];
        for (std::size_t draw = 0; draw < kDrawsPerPicture; ++draw) {
            SCOPED_TRACE("draw " + std::to_string(draw) + " " + fault);
            std::vector<float> script = Script();
            script[draw] = value;
            if (draw < kPaletteDraws) {
                // MakePalette ends at the failed draw; the picture goes on with the values after it.
                script.erase(script.begin() + static_cast<std::ptrdiff_t>(draw) + 1,
                             script.begin() + static_cast<std::ptrdiff_t>(kPaletteDraws));
            }
            PictureRun run(script);
            if (f == 0) {
                run.random.failAt = {draw};
            }
            run.Draw();

            ExpectOutcome(run, WithoutDraw(draw));
            EXPECT_EQ(SamePalette(run.state.palette, PreviousState().palette), draw < kPaletteDraws);
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
    }
}

// Splits `fill` at column x: the columns either side, whichever are not empty.
std::vector<FillItem> WithoutColumn(FillItem fill, int x)
{
    std::vector<FillItem> parts;
    if (x > fill.left) {
        parts.push_back({fill.left, fill.top, x, fill.bottom, fill.colour});
    }
    if (x + 1 < fill.right) {
        parts.push_back({x + 1, fill.top, fill.right, fill.bottom, fill.colour});
    }
    return parts;
}

TEST(Composer, EachFailingSurfaceCallLosesOnlyThatLineOrTheCaptionsAfterIt)
{
    for (std::size_t failing = 0; failing < kCalls; ++failing) {
        SCOPED_TRACE("surface call " + std::to_string(failing));
        PictureRun run;
        run.surface.failAt = failing;
        run.Draw();

        Outcome expected;
        std::vector<FillItem> leading;
        if (failing < kBackgroundCalls - 1) {
            // A background with a column missing is two fills, over the recorder's black.
            leading = WithoutColumn({0, 0, 600, 450, kBackground}, static_cast<int>(failing));
            expected.background = 0;
        } else if (failing == kBackgroundCalls - 1) {
            // Column 600 is outside the picture.
        } else if (failing < kBackgroundCalls + kSquareCalls) {
            // The squares' columns, left to right.
            std::size_t call = failing - kBackgroundCalls;
            const std::size_t pair = call / (kSquareCallsA + kSquareCallsB);
            call %= kSquareCallsA + kSquareCallsB;
            const bool isB = call >= kSquareCallsA;
            const std::size_t square = 2 * pair + (isB ? 1 : 0);
            const FillItem fill = expected.squares[square];
            const std::vector<FillItem> parts =
                WithoutColumn(fill, fill.left + static_cast<int>(isB ? call - kSquareCallsA : call));
            expected.squares.erase(expected.squares.begin() + static_cast<std::ptrdiff_t>(square));
            expected.squares.insert(expected.squares.begin() + static_cast<std::ptrdiff_t>(square), parts.begin(),
                                    parts.end());
        } else {
            // Font size, colour, then x, y and the text three times: the captions end at the call.
            const std::size_t call = failing - kBackgroundCalls - kSquareCalls;
            expected.captions = call <= 4 ? 0 : call <= 7 ? 1 : 2;
            expected.calls = failing + 1;
        }
        ExpectOutcome(run, expected, leading);
        ASSERT_FALSE(::testing::Test::HasFailure());
    }
}

TEST(Composer, FailingOrMalformedClockReadsKeepThePreviousNameAndDrawEverythingElse)
{
    const struct {
        const char* name;
        std::string date;
        std::string time;
        bool failDate = false;
        bool failTime = false;
        std::string givesName = kPreviousName;
    } cases[] = {
        {"date read fails", "03-07-2024", "09:05:02", true},
        {"time read fails", "03-07-2024", "09:05:02", false, true},
        {"empty date", "", "09:05:02"},
        {"empty time", "03-07-2024", ""},
        {"short date", "3-7-2024", "09:05:02"},
        {"short year", "03-07-24", "09:05:02"},
        {"short time", "03-07-2024", "9:05:02"},
        {"time cut off", "03-07-2024", "09:05:0"},
        {"letters in the date", "03-O7-2024", "09:05:02"},
        {"sign in the year", "03-07--024", "09:05:02"},
        {"spaces in the time", "03-07-2024", " 9:05:02"},
        {"wide digits in the time", "03-07-2024", "\xEF\xBC\x90\xEF\xBC\x99:05:02"},
        {"other separators", "03/07/2024", "09.05.02", false, false, kName},
        {"text after the digits", "03-07-2024 Thu", "09:05:02.123", false, false, kName},
        {"date read before midnight, time after", "12-31-2023", "00:00:01", false, false, "T20231231000001"},
    };
    for (const auto& clockCase : cases) {
        SCOPED_TRACE(clockCase.name);
        PictureRun run;
        run.clock.date = clockCase.date;
        run.clock.time = clockCase.time;
        run.clock.failDate = clockCase.failDate;
        run.clock.failTime = clockCase.failTime;
        run.Draw();

        Outcome expected;
        expected.name = clockCase.givesName;
        ExpectOutcome(run, expected);
        // A failed date read ends the step before the time is read.
        const std::vector<std::string> reads =
            clockCase.failDate ? std::vector<std::string>{"date"} : std::vector<std::string>{"date", "time"};
        EXPECT_EQ(run.clock.reads, reads);
    }
}

TEST(Composer, PaletteRowsOutsideTheTableFailThePickInsteadOfBeingRead)
{
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    // The palette and start steps fail, so the rows are the previous start plus 150 for the
    // background, 37 for A and 262 for B, in the previous palette; a row outside 0 to 1000
    // leaves the fill and poz that were there.
    const struct {
        float previousStart;
        Colour background;
        Colour first;  // square 0, an A
        Colour a;
        Colour b;
        float poz;
    } cases[] = {
        {739.0F, 0x079688, 0x079617, 0x079617, 0x079617, 776.0F},  // B at 1001
        {738.0F, 0x079687, 0x079616, 0x079616, 0x0796F7, 1000.0F},
        {-37.0F, 0x070071, 0x070000, 0x070000, 0x0700E1, 225.0F},
        {-38.0F, 0x070070, 0x070070, 0x0700E0, 0x0700E0, 224.0F},  // A at -1
        {-200.0F, 0, 0, 0x07003E, 0x07003E, 62.0F},                // only B, at 62
        {1.0e9F, 0, 0, 0, 0, kPreviousPoz},
        {kNaN, 0, 0, 0, 0, kPreviousPoz},
        {kInfinity, 0, 0, 0, 0, kPreviousPoz},
    };
    for (const auto& rows : cases) {
        SCOPED_TRACE("previous start " + std::to_string(rows.previousStart));
        std::vector<float> script = Script();
        script.erase(script.begin() + 1, script.begin() + static_cast<std::ptrdiff_t>(kPaletteDraws));
        script[2] = 1.0F;
        PictureRun run(script);
        run.random.failAt = {0};
        run.state.start = rows.previousStart;
        run.Draw();

        Outcome expected;
        expected.background = rows.background;
        expected.squares = Squares(rows.a, rows.b);
        expected.squares[0].colour = rows.first;
        ExpectSamePicture(run.picture.Picture(), PictureOf(expected));
        EXPECT_EQ(run.state.poz, rows.poz);
        EXPECT_EQ(run.random.drawn, kDrawsPerPicture - kPaletteDraws + 1);
    }
}

TEST(Composer, ProductsAreRoundedToSinglePrecisionBeforeTheFloorExceptTheSpanAndTheHalfSide)
{
    // Rounded to single precision, these products reach the next whole number; in double
    // precision they stay just below it.
    constexpr float kTipsTimes800And200 = 0x1.51eb84p-2F;  // x 800 gives 264, x 200 gives 66
    // With every other draw 0: span 200, start 0, and squares of half side 30 centred on (0, 0).
    const struct {
        const char* name;
        std::size_t draw;
        float value;
        float start;
        float poz;
        std::array<int, 4> square;  // the first square's fill: left, top, right and bottom
    } cases[] = {
        {"start = floor(r x 800)", kPaletteDraws + 1, kTipsTimes800And200, 264.0F, 264.0F, {0, 0, 31, 31}},
        {"poz = start + floor(r x 200)", kDrawsPerPicture - 1, kTipsTimes800And200, 0.0F, 66.0F, {0, 0, 31, 31}},
        {"cx = floor(r x 600)", kFirstSquareDraw, 0x1.b851eap-2F, 0.0F, 0.0F, {228, 0, 289, 31}},      // 258
        {"cy = floor(r x 450)", kFirstSquareDraw + 1, 0x1.70a3d6p-2F, 0.0F, 0.0F, {0, 132, 31, 193}},  // 162
        // 0.95 x 20 + 30 is just below 49 in double precision and 49 in single.
        {"half = floor(r x 20 + 30) in double", kFirstSquareDraw + 2, 0.95F, 0.0F, 0.0F, {0, 0, 49, 49}},
    };
    for (const auto& precision : cases) {
        SCOPED_TRACE(precision.name);
        std::vector<float> script(kDrawsPerPicture, 0.0F);
        script[precision.draw] = precision.value;
        PictureRun run(script);
        run.Draw();

        EXPECT_EQ(run.state.start, precision.start);
        EXPECT_EQ(run.state.poz, precision.poz);
        const RecordedPicture picture = run.picture.Picture();
        ASSERT_FALSE(picture.Items().empty());
        const auto* const square = std::get_if<FillItem>(picture.Items().data());
        ASSERT_NE(square, nullptr);
        EXPECT_EQ((std::array{square->left, square->top, square->right, square->bottom}), precision.square);
    }
}

TEST(Composer, LowestAndHighestValidRandomValuesKeepEveryResultInRange)
{
    // All 0: span 200, start 0, every row 0, every square 61 wide at the top-left corner.
    // All just below 1: span 399, start 600, every row 998, every square 99 wide at (599, 449).
    const struct {
        float value = 0.0F;
        float start = 0.0F;
        float poz = 0.0F;
        FillItem square;
    } extremes[] = {
        {0.0F, 0.0F, 0.0F, {0, 0, 31, 31, 0xFC8282}},
        {kJustBelowOne, 600.0F, 998.0F, {550, 400, 600, 450, 0x039999}},
    };
    for (const auto& extreme : extremes) {
        SCOPED_TRACE(extreme.value);
        PictureRun run(std::vector<float>(kDrawsPerPicture, extreme.value));
        run.Draw();

        Outcome expected;
        expected.background = extreme.square.colour;
        expected.squares = Squares(extreme.square, extreme.square);
        expected.start = extreme.start;
        expected.poz = extreme.poz;
        expected.calls =
            kBackgroundCalls + static_cast<std::size_t>(kSquares) * (extreme.value == 0.0F ? 61U : 99U) + kCaptionCalls;
        ExpectOutcome(run, expected);
    }
}

TEST(Composer, NothingEscapesWhenEveryOperationFailsAndEveryVariableKeepsItsValue)
{
    PictureRun run({0.5F});
    std::vector<std::size_t> everyDraw(kDrawsPerPicture);
    std::iota(everyDraw.begin(), everyDraw.end(), 0U);
    run.random.failAt = everyDraw;
    run.clock.failDate = true;
    run.surface.failAll = true;
    run.Draw();

    EXPECT_EQ(run.state.imeslike, kPreviousName);
    EXPECT_EQ(run.state.start, kPreviousStart);
    EXPECT_EQ(run.state.poz, kPreviousPoz);
    EXPECT_TRUE(SamePalette(run.state.palette, PreviousState().palette));
    // The palette's first draw ends MakePalette; every other step still draws its one value.
    EXPECT_EQ(run.random.drawn, 1 + kDrawsPerPicture - kPaletteDraws);
    // 601 background lines and 200 squares of one line each, all missing; then the captions end
    // at their first call.
    EXPECT_EQ(run.surface.calls, 601U + 200U + 1U);
    EXPECT_TRUE(run.picture.Picture().Items().empty());
}

}  // namespace
}  // namespace lorvane
