#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <limits>
#include <numeric>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "composer.h"
#include "conversions.h"
#include "fakes.h"
#include "picture_recorder.h"
#include "picture_state.h"

namespace lorvane {
namespace {

using testing::FailingSurface;
using testing::ScriptedClock;
using testing::ScriptedRandomSource;

static_assert(noexcept(std::declval<Composer&>().DrawPicture()),
              "an error escaping DrawPicture must end the program, never unwind into the window");

constexpr std::size_t kPaletteDraws = 6;
constexpr std::size_t kStartDraw = 7;
constexpr std::size_t kDrawsPerPicture = 809;
constexpr int kSquares = 200;
constexpr float kJustBelowOne = 0.99999994F;
const std::string kName = "T20240307090502";
const std::string kPreviousName = "T19991231235959";
constexpr float kPreviousStart = 123.0F;
constexpr float kPreviousPoz = 456.0F;

// What one picture should be made of. An empty value is a step that failed and so left
// behind whatever the one before it set.
struct Square {
    std::optional<int> cx;
    std::optional<int> cy;
    std::optional<int> half;
    std::optional<int> offset;  // row within the band
};

struct Plan {
    std::optional<std::string> name = kName;
    int span = 300;
    std::optional<float> start = 350.0F;
    std::optional<int> backgroundOffset = 150;
    std::vector<Square> squares;
};

// Squares spread over the picture with every half side from 30 to 49.
Plan WholePlan()
{
    Plan plan;
    for (int k = 0; k < kSquares; ++k) {
        plan.squares.push_back({(k * 37 % 200) * 3, (k * 53 % 200) * 2, 30 + k % 20, k * 7 % 300});
    }
    return plan;
}

// The random value that floors to `value` once multiplied by `range`: its middle, so that
// rounding in single precision cannot tip it over.
float ValueFor(double value, double range)
{
    return static_cast<float>((value + 0.5) / range);
}

std::vector<float> ScriptFor(const Plan& plan)
{
    std::vector<float> script = {0.1F, 0.35F, 0.6F, 0.25F, 0.5F, 0.75F};
    script.push_back(ValueFor(plan.span - 200, 200));
    script.push_back(ValueFor(*plan.start, 1000 - plan.span));
    script.push_back(ValueFor(*plan.backgroundOffset, plan.span));
    for (const Square& square : plan.squares) {
        script.push_back(ValueFor(*square.cx, 600));
        script.push_back(ValueFor(*square.cy, 450));
        script.push_back(ValueFor(*square.half - 30, 20));
        script.push_back(ValueFor(*square.offset, plan.span));
    }
    return script;
}

// The picture the last one leaves behind, with a palette that no new picture could build.
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

Colour ColourOf(const Palette& palette, float row)
{
    const Palette::Row values = palette.At(row);
    return Rgb(RoundToInt16(values.red), RoundToInt16(values.green), RoundToInt16(values.blue));
}

struct Expected {
    RecordedPicture picture;
    std::size_t calls = 0;
    std::string name;
    float start = 0.0F;
    float poz = 0.0F;
};

// The picture a plan should give, played call by call into a fresh recording, and the variables
// it leaves: each step in order, a failed one keeping what was there before it, and a palette row
// outside 0 to 1000 failing the pick that asked for it. The surface call numbered `failing` fails:
// a failed line is simply missing, a failed caption call ends the captions there.
void Render(const Plan& plan, const Palette& palette, const PictureState& before, Expected& out,
            std::size_t failing = FailingSurface::kNever)
{
    PictureRecorder recorder;
    // However the captions end.
    struct Keep {
        PictureRecorder& recorder;
        Expected& out;
        Keep(PictureRecorder& r, Expected& o) : recorder(r), out(o) {}
        Keep(const Keep&) = delete;
        Keep(Keep&&) = delete;
        Keep& operator=(const Keep&) = delete;
        Keep& operator=(Keep&&) = delete;
        ~Keep() { out.picture = recorder.Picture(); }
    } keep{recorder, out};
    out.calls = 0;
    out.name = plan.name.value_or(before.imeslike);
    out.start = plan.start.value_or(before.start);
    out.poz = before.poz;
    Colour colour = 0;
    const auto pick = [&](std::optional<int> offset) {
        if (!offset) {
            return;
        }
        const float row = out.start + static_cast<float>(*offset);
        if (row >= 0.0F && row <= 1000.0F) {
            colour = ColourOf(palette, row);
            out.poz = row;
        }
    };
    const auto line = [&](int x, int top, int bottom) {
        if (out.calls++ != failing) {
            recorder.Line(static_cast<float>(x), static_cast<float>(top), static_cast<float>(x),
                          static_cast<float>(bottom), colour);
        }
    };
    pick(plan.backgroundOffset);
    for (int x = 0; x <= 600; ++x) {
        line(x, 0, 450);
    }
    int cx = 0;
    int cy = 0;
    int half = 0;
    for (const Square& square : plan.squares) {
        cx = square.cx.value_or(cx);
        cy = square.cy.value_or(cy);
        half = square.half.value_or(half);
        pick(square.offset);
        for (int x = cx - half; x <= cx + half; ++x) {
            line(x, cy - half, cy + half);
        }
    }
    Surface& surface = recorder;
    std::vector<std::function<void()>> captions = {[&] { surface.SetFontSize(9.0F); },
                                                   [&] { surface.SetForeColor(0xFFFFFF); }};
    const std::array<const std::string*, 3> texts = {&out.name, &before.tekst1, &before.tekst2};
    const std::array<float, 3> lefts = {12.0F, 220.0F, 420.0F};
    for (std::size_t i = 0; i < 3; ++i) {
        captions.emplace_back([&, i] { surface.SetCurrentX(lefts[i]); });
        captions.emplace_back([&] { surface.SetCurrentY(425.0F); });
        captions.emplace_back([&, i] { surface.Print(*texts[i]); });
    }
    for (const auto& caption : captions) {
        if (out.calls++ == failing) {
            return;
        }
        caption();
    }
}

Expected Rendered(const Plan& plan, const Palette& palette, const PictureState& before)
{
    Expected out;
    Render(plan, palette, before, out);
    return out;
}

// The composer draws only vertical lines, which the recording keeps as fills, and texts.
std::string Describe(const RecordedItem& item)
{
    if (const auto* fill = std::get_if<FillItem>(&item)) {
        return "fill (" + std::to_string(fill->left) + ", " + std::to_string(fill->top) + ")-(" +
               std::to_string(fill->right) + ", " + std::to_string(fill->bottom) + ") colour " +
               std::to_string(fill->colour);
    }
    if (const auto* text = std::get_if<TextItem>(&item)) {
        return "text '" + text->text + "' at (" + std::to_string(text->x) + ", " + std::to_string(text->y) + "), " +
               std::to_string(text->linesBelow) + " lines below, " + std::to_string(text->points) + " points, colour " +
               std::to_string(text->colour);
    }
    return "a sloping line";
}

// Empty when the two recordings hold the same picture, else where they part.
std::string Difference(const PictureRecorder& recorder, const RecordedPicture& expected)
{
    const RecordedPicture actual = recorder.Picture();
    if (actual.Background() != expected.Background()) {
        return "background " + std::to_string(actual.Background()) + ", expected " +
               std::to_string(expected.Background());
    }
    const auto a = actual.Items();
    const auto e = expected.Items();
    for (std::size_t i = 0; i < std::min(a.size(), e.size()); ++i) {
        if (a[i] != e[i]) {
            return "item " + std::to_string(i) + ": " + Describe(a[i]) + ", expected " + Describe(e[i]);
        }
    }
    if (a.size() != e.size()) {
        return std::to_string(a.size()) + " items, expected " + std::to_string(e.size());
    }
    return {};
}

// One picture drawn over the previous one, with whatever the test makes go wrong.
struct PictureRun {
    PictureState state = PreviousState();
    PictureRecorder picture;
    FailingSurface surface{picture};
    ScriptedRandomSource random;
    ScriptedClock clock{"03-07-2024", "09:05:02"};
    Composer composer{state, surface, random, clock};

    explicit PictureRun(std::vector<float> script) : random(std::move(script)) {}

    // Back to the previous picture with a new script and nothing set to fail.
    void Restart(std::vector<float> script)
    {
        state = PreviousState();
        picture.Cls();
        surface.calls = 0;
        surface.failAt = FailingSurface::kNever;
        surface.failAll = false;
        random = ScriptedRandomSource(std::move(script));
        clock = ScriptedClock("03-07-2024", "09:05:02");
    }

    void Draw() { composer.DrawPicture(); }
};

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

// The palette a picture of WholePlan builds.
const Palette& NewPalette()
{
    static const Palette palette = [] {
        PictureRun run(ScriptFor(WholePlan()));
        run.Draw();
        return run.state.palette;
    }();
    return palette;
}

void ExpectOutcome(const PictureRun& run, const Expected& expected, std::size_t drawn)
{
    EXPECT_EQ(Difference(run.picture, expected.picture), "");
    EXPECT_EQ(run.surface.calls, expected.calls);
    EXPECT_EQ(run.state.imeslike, expected.name);
    EXPECT_EQ(run.state.start, expected.start);
    EXPECT_EQ(run.state.poz, expected.poz);
    EXPECT_EQ(run.random.drawn, drawn);
}

TEST(Composer, WithoutFailuresThePictureIsExactlyThePlannedOne)
{
    PictureRun run(ScriptFor(WholePlan()));
    run.Draw();
    ExpectOutcome(run, Rendered(WholePlan(), NewPalette(), PreviousState()), kDrawsPerPicture);
    EXPECT_FALSE(SamePalette(run.state.palette, PreviousState().palette));
}

// Which step each of a picture's 809 draws belongs to, and what dropping that step leaves.
struct DrawStep {
    std::string name;
    std::function<void(Plan&)> drop;
};

std::vector<DrawStep> DrawSteps()
{
    std::vector<DrawStep> steps;
    for (std::size_t i = 0; i < kPaletteDraws; ++i) {
        // Dropping the palette changes no value of the plan, only the rows its colours come from.
        steps.push_back({"palette draw " + std::to_string(i), [](Plan&) {}});
    }
    steps.push_back({"span", [](Plan& plan) {
                         // span stays 0: start = floor(0.50071 * 1000) and every row is start + floor(r * 0).
                         plan.start = 500.0F;
                         plan.backgroundOffset = 0;
                         for (Square& square : plan.squares) {
                             square.offset = 0;
                         }
                     }});
    steps.push_back({"start", [](Plan& plan) { plan.start.reset(); }});
    steps.push_back({"background poz", [](Plan& plan) { plan.backgroundOffset.reset(); }});
    for (std::size_t k = 0; k < static_cast<std::size_t>(kSquares); ++k) {
        const std::string square = "square " + std::to_string(k) + " ";
        steps.push_back({square + "cx", [k](Plan& plan) { plan.squares[k].cx.reset(); }});
        steps.push_back({square + "cy", [k](Plan& plan) { plan.squares[k].cy.reset(); }});
        steps.push_back({square + "half", [k](Plan& plan) { plan.squares[k].half.reset(); }});
        steps.push_back({square + "poz", [k](Plan& plan) { plan.squares[k].offset.reset(); }});
    }
    return steps;
}

// A failing draw, or a value the source should never give; both must drop the step that drew it.
struct RandomFault {
    std::string name;
    std::function<void(std::vector<float>& script, std::vector<std::size_t>& failAt, std::size_t draw)> inject;
};

TEST(Composer, EachFailingOrOutOfRangeRandomDrawDropsOnlyTheStepThatDrewIt)
{
    const auto gives = [](float value) {
        return
            [value](std::vector<float>& script, std::vector<std::size_t>&, std::size_t draw) { script[draw] = value; };
    };
    const std::vector<RandomFault> faults = {
        {"raises", [](std::vector<float>&, std::vector<std::size_t>& failAt, std::size_t draw) { failAt = {draw}; }},
        {"gives 1.0", gives(1.0F)},
        {"gives NaN", gives(std::numeric_limits<float>::quiet_NaN())},
        {"gives -0.25", gives(-0.25F)},
    };
    const std::vector<DrawStep> steps = DrawSteps();
    ASSERT_EQ(steps.size(), kDrawsPerPicture);
    const std::vector<float> whole = ScriptFor(WholePlan());
    PictureRun run(whole);
    Expected expected;

    for (const RandomFault& fault : faults) {
        for (std::size_t draw = 0; draw < steps.size(); ++draw) {
            SCOPED_TRACE("draw " + std::to_string(draw) + " (" + steps[draw].name + ") " + fault.name);
            std::vector<float> script = whole;
            std::vector<std::size_t> failAt;
            fault.inject(script, failAt, draw);
            std::size_t drawn = kDrawsPerPicture;
            const bool inPalette = draw < kPaletteDraws;
            if (inPalette) {
                // MakePalette ends at the failed draw; the picture goes on with the values after it.
                script.erase(script.begin() + static_cast<std::ptrdiff_t>(draw) + 1,
                             script.begin() + static_cast<std::ptrdiff_t>(kPaletteDraws));
                drawn -= kPaletteDraws - 1 - draw;
            }
            run.Restart(script);
            run.random.failAt = failAt;
            run.Draw();

            Plan plan = WholePlan();
            steps[draw].drop(plan);
            Render(plan, inPalette ? PreviousState().palette : NewPalette(), PreviousState(), expected);
            ExpectOutcome(run, expected, drawn);
            EXPECT_EQ(SamePalette(run.state.palette, PreviousState().palette), inPalette);
            if (::testing::Test::HasFailure()) {
                return;
            }
        }
    }
}

TEST(Composer, EachFailingSurfaceCallLosesOnlyThatLineOrTheCaptionsAfterIt)
{
    const Expected whole = Rendered(WholePlan(), NewPalette(), PreviousState());
    const std::vector<float> script = ScriptFor(WholePlan());
    PictureRun run(script);
    Expected expected;

    for (std::size_t failing = 0; failing < whole.calls; ++failing) {
        SCOPED_TRACE("surface call " + std::to_string(failing) + " of " + std::to_string(whole.calls));
        run.Restart(script);
        run.surface.failAt = failing;
        run.Draw();

        Render(WholePlan(), NewPalette(), PreviousState(), expected, failing);
        ASSERT_EQ(Difference(run.picture, expected.picture), "");
        ASSERT_EQ(run.surface.calls, expected.calls);
        ASSERT_EQ(run.state.imeslike, kName);
        ASSERT_EQ(run.state.start, whole.start);
        ASSERT_EQ(run.state.poz, whole.poz);
        ASSERT_EQ(run.random.drawn, kDrawsPerPicture);
    }
}

struct ClockCase {
    std::string name;
    std::string date;
    std::string time;
    bool failDate = false;
    bool failTime = false;
    // Empty when the name step must be dropped.
    std::string givesName;
};

TEST(Composer, FailingOrMalformedClockReadsKeepThePreviousNameAndDrawEverythingElse)
{
    const std::vector<ClockCase> cases = {
        {"date read fails", "03-07-2024", "09:05:02", true, false, ""},
        {"time read fails", "03-07-2024", "09:05:02", false, true, ""},
        {"empty date", "", "09:05:02", false, false, ""},
        {"empty time", "03-07-2024", "", false, false, ""},
        {"short date", "3-7-2024", "09:05:02", false, false, ""},
        {"short year", "03-07-24", "09:05:02", false, false, ""},
        {"short time", "03-07-2024", "9:05:02", false, false, ""},
        {"time cut off", "03-07-2024", "09:05:0", false, false, ""},
        {"letters in the date", "03-O7-2024", "09:05:02", false, false, ""},
        {"sign in the year", "03-07--024", "09:05:02", false, false, ""},
        {"spaces in the time", "03-07-2024", " 9:05:02", false, false, ""},
        {"wide digits in the time", "03-07-2024", "\xEF\xBC\x90\xEF\xBC\x99:05:02", false, false, ""},
        {"other separators", "03/07/2024", "09.05.02", false, false, kName},
        {"text after the digits", "03-07-2024 Thu", "09:05:02.123", false, false, kName},
        {"date read before midnight, time after", "12-31-2023", "00:00:01", false, false, "T20231231000001"},
    };
    for (const ClockCase& clockCase : cases) {
        SCOPED_TRACE(clockCase.name);
        PictureRun run(ScriptFor(WholePlan()));
        run.clock.date = clockCase.date;
        run.clock.time = clockCase.time;
        run.clock.failDate = clockCase.failDate;
        run.clock.failTime = clockCase.failTime;
        run.Draw();

        Plan plan = WholePlan();
        plan.name = clockCase.givesName;
        if (clockCase.givesName.empty()) {
            plan.name.reset();
        }
        ExpectOutcome(run, Rendered(plan, NewPalette(), PreviousState()), kDrawsPerPicture);
        // A failed date read ends the step before the time is read.
        const std::vector<std::string> reads =
            clockCase.failDate ? std::vector<std::string>{"date"} : std::vector<std::string>{"date", "time"};
        EXPECT_EQ(run.clock.reads, reads);
    }
}

TEST(Composer, PaletteRowsOutsideTheTableFailThePickInsteadOfBeingRead)
{
    // With the start step failing, the previous start puts rows of the band outside 0 to 1000.
    for (const float previousStart : {990.0F, 850.0F, -200.0F, -1.0F, 1.0e9F, std::numeric_limits<float>::quiet_NaN(),
                                      std::numeric_limits<float>::infinity()}) {
        SCOPED_TRACE("previous start " + std::to_string(previousStart));
        std::vector<float> script = ScriptFor(WholePlan());
        script[kStartDraw] = 1.0F;
        PictureRun run(script);
        run.state.start = previousStart;
        run.Draw();

        PictureState before = PreviousState();
        before.start = previousStart;
        Plan plan = WholePlan();
        plan.start.reset();
        const Expected expected = Rendered(plan, NewPalette(), before);
        EXPECT_EQ(Difference(run.picture, expected.picture), "");
        EXPECT_EQ(run.state.poz, expected.poz);
        EXPECT_EQ(run.random.drawn, kDrawsPerPicture);
    }
}

TEST(Composer, LowestAndHighestValidRandomValuesKeepEveryResultInRange)
{
    // All 0: the narrowest band at row 0, every square 61 wide at the top-left corner.
    // All just below 1: span 399, start 600, every row 998, every square 99 wide at (599, 449).
    struct Extreme {
        float value;
        float start;
        int offset;
        int cx;
        int cy;
        int half;
    };
    for (const Extreme& extreme :
         {Extreme{0.0F, 0.0F, 0, 0, 0, 30}, Extreme{kJustBelowOne, 600.0F, 398, 599, 449, 49}}) {
        SCOPED_TRACE(extreme.value);
        PictureRun run(std::vector<float>(kDrawsPerPicture, extreme.value));
        run.Draw();

        Plan plan;
        plan.start = extreme.start;
        plan.backgroundOffset = extreme.offset;
        plan.squares.assign(kSquares, {extreme.cx, extreme.cy, extreme.half, extreme.offset});
        ExpectOutcome(run, Rendered(plan, run.state.palette, PreviousState()), kDrawsPerPicture);
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
