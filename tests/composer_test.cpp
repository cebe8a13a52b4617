#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <QImage>

#include <gtest/gtest.h>

#include "composer.h"
#include "fakes.h"
#include "picture_state.h"
#include "raster_player.h"
#include "recording.h"
#include "seeded_random_source.h"

namespace lorvane {
namespace {

using testing::RecordingSurface;
using testing::ScriptedClock;
using testing::ScriptedRandomSource;

constexpr std::size_t kDrawsPerPicture = 809;
constexpr std::size_t kBackgroundLines = 601;
constexpr float kJustBelowOne = 0.99999994F;
// With six zero draws every period is 30 and row 0 is (130.20, 130.20, 251.93).
const std::string kRowZeroColour = std::to_string(130 + 130 * 256 + 252 * 65536);

PictureState WindowState()
{
    PictureState state;
    state.sir = 600;
    state.vis = 450;
    state.tekst1 = "varlenko.art";
    state.tekst2 = "Generative Art by Varlenko";
    return state;
}

// Six palette draws, then span, start and the background row, then four draws per square;
// zeros after that.
std::vector<float> Script(float span, float start, float poz, const std::vector<float>& squares = {})
{
    std::vector<float> script(6, 0.0F);
    script.insert(script.end(), {span, start, poz});
    script.insert(script.end(), squares.begin(), squares.end());
    script.push_back(0.0F);
    return script;
}

std::vector<std::string> LinesOf(const RecordingSurface& surface)
{
    std::vector<std::string> lines;
    std::copy_if(surface.calls.begin(), surface.calls.end(), std::back_inserter(lines),
                 [](const std::string& call) { return call.starts_with("Line") || call.starts_with("!Line"); });
    return lines;
}

std::string BackgroundLine(int x, const std::string& colour)
{
    return "Line " + std::to_string(x) + " 0 " + std::to_string(x) + " 450 " + colour;
}

struct Fixture {
    PictureState state = WindowState();
    RecordingSurface surface;
    ScriptedRandomSource random;
    ScriptedClock clock{"03-07-2024", "09:05:02"};
    Composer composer{state, surface, random, clock};

    explicit Fixture(std::vector<float> script) : random(std::move(script)) {}
};

TEST(Composer, DrawsExactly809ValuesAndTheBackgroundThenTheSquaresThenTheCaptions)
{
    Fixture f(Script(0.0F, 0.0F, 0.0F));
    f.composer.DrawPicture();

    EXPECT_EQ(f.random.drawn, kDrawsPerPicture);
    const auto lines = LinesOf(f.surface);
    // All zero: every square is 61 columns wide, centred on (0, 0).
    ASSERT_EQ(lines.size(), kBackgroundLines + 200 * 61);
    for (int x = 0; x < static_cast<int>(kBackgroundLines); ++x) {
        ASSERT_EQ(lines[static_cast<std::size_t>(x)], BackgroundLine(x, kRowZeroColour));
    }
    EXPECT_EQ(lines[kBackgroundLines], "Line -30 -30 -30 30 " + kRowZeroColour);
    EXPECT_EQ(lines.back(), "Line 30 -30 30 30 " + kRowZeroColour);

    const std::vector<std::string> tail(f.surface.calls.end() - 11, f.surface.calls.end());
    const std::vector<std::string> captions = {
        "FontSize 9",   "ForeColor 16777215", "CurrentX 12",  "CurrentY 425",
        "Print T20240307090502", "CurrentX 220", "CurrentY 425", "Print varlenko.art",
        "CurrentX 420", "CurrentY 425", "Print Generative Art by Varlenko"};
    EXPECT_EQ(tail, captions);
}

TEST(Composer, BandAndRowStayInsideThePaletteAtTheirExtremes)
{
    Fixture low(Script(0.0F, 0.0F, 0.0F));
    low.composer.DrawPicture();
    EXPECT_EQ(low.state.start, 0.0F);
    EXPECT_EQ(low.state.poz, 0.0F);

    // span = floor(0.99999994 * 200 + 200) = 399, start = floor(0.99999994 * 601) = 600 and
    // poz = 600 + floor(0.99999994 * 399) = 998: rows 999 and 1000 are never drawn.
    Fixture high(Script(kJustBelowOne, kJustBelowOne, kJustBelowOne, std::vector<float>(800, kJustBelowOne)));
    high.composer.DrawPicture();
    EXPECT_EQ(high.state.start, 600.0F);
    EXPECT_EQ(high.state.poz, 998.0F);
    EXPECT_EQ(high.random.drawn, kDrawsPerPicture);
    EXPECT_EQ(LinesOf(high.surface).size(), kBackgroundLines + 200 * 99);
}

TEST(Composer, SquareIsTwoHalvesPlusOneColumnsDrawnLeftToRight)
{
    // cx = 300, cy = 225, half = floor(0.975 * 20 + 30) = 49.
    Fixture f(Script(0.0F, 0.0F, 0.0F, {0.5F, 0.5F, 0.975F, 0.0F}));
    f.composer.DrawPicture();
    const auto lines = LinesOf(f.surface);
    for (int i = 0; i < 99; ++i) {
        const std::string x = std::to_string(251 + i);
        ASSERT_EQ(lines[kBackgroundLines + static_cast<std::size_t>(i)],
                  "Line " + x + " 176 " + x + " 274 " + kRowZeroColour);
    }
    // The half side is formed in double precision: 0.95f * 20 + 30 is just below 49.
    Fixture g(Script(0.0F, 0.0F, 0.0F, {0.5F, 0.5F, 0.95F, 0.0F}));
    g.composer.DrawPicture();
    EXPECT_EQ(LinesOf(g.surface)[kBackgroundLines], "Line 252 177 252 273 " + kRowZeroColour);
}

TEST(Composer, NamesThePictureFromSeparateDateAndTimeReads)
{
    Fixture f(Script(0.0F, 0.0F, 0.0F));
    f.composer.DrawPicture();
    EXPECT_EQ(f.state.imeslike, "T20240307090502");
    EXPECT_EQ(f.clock.reads, (std::vector<std::string>{"date", "time"}));

    // Date read just before midnight, time just after: the old day with the new time.
    f.clock.date = "12-31-2023";
    f.clock.time = "00:00:01";
    f.composer.DrawPicture();
    EXPECT_EQ(f.state.imeslike, "T20231231000001");
}

TEST(Composer, FailingClockKeepsThePreviousNameAndStillDrawsThePicture)
{
    for (const bool dateFails : {true, false}) {
        Fixture f(Script(0.0F, 0.0F, 0.0F));
        f.state.imeslike = "T20000101000000";
        f.clock.failDate = dateFails;
        f.clock.failTime = !dateFails;
        f.composer.DrawPicture();
        EXPECT_EQ(f.state.imeslike, "T20000101000000");
        EXPECT_EQ(f.random.drawn, kDrawsPerPicture);
        EXPECT_EQ(LinesOf(f.surface).size(), kBackgroundLines + 200 * 61);
        EXPECT_EQ(f.surface.calls.back(), "Print Generative Art by Varlenko");
    }
}

TEST(Composer, MalformedClockTextKeepsThePreviousName)
{
    for (const auto& [date, time] : std::vector<std::pair<std::string, std::string>>{
             {"", ""}, {"03-07-24", "09:05:02"}, {"03-07-2024", "9:5:2"}, {"0x-07-2024", "09:05:02"}}) {
        Fixture f(Script(0.0F, 0.0F, 0.0F));
        f.state.imeslike = "T20000101000000";
        f.clock.date = date;
        f.clock.time = time;
        f.composer.DrawPicture();
        EXPECT_EQ(f.state.imeslike, "T20000101000000") << date << " " << time;
    }
}

TEST(Composer, FailedLinesAreMissingAndEverythingElseIsDrawn)
{
    Fixture f(Script(0.0F, 0.0F, 0.0F));
    f.surface.failIf = [](const std::string& call) {
        return call.starts_with("Line 5 0 5 450") || call.starts_with("Line 0 -30 0 30");
    };
    f.composer.DrawPicture();

    const auto lines = LinesOf(f.surface);
    ASSERT_EQ(lines.size(), kBackgroundLines + 200 * 61);
    EXPECT_EQ(lines[5], "!" + BackgroundLine(5, kRowZeroColour));
    EXPECT_EQ(lines[6], BackgroundLine(6, kRowZeroColour));
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l.starts_with("!"); }),
              1 + 200);
    EXPECT_EQ(f.surface.calls.back(), "Print Generative Art by Varlenko");
}

TEST(Composer, FailedPrintEndsTheCaptionsOnly)
{
    Fixture f(Script(0.0F, 0.0F, 0.0F));
    f.surface.failIf = [](const std::string& call) { return call == "Print varlenko.art"; };
    f.composer.DrawPicture();

    EXPECT_EQ(f.surface.calls.back(), "!Print varlenko.art");
    EXPECT_EQ(LinesOf(f.surface).size(), kBackgroundLines + 200 * 61);
    EXPECT_EQ(f.random.drawn, kDrawsPerPicture);
}

// An independent model of a picture: the background and each square as a plain rectangle fill.
class PictureModel {
public:
    explicit PictureModel(const std::vector<float>& r) : pixels_(600 * 450)
    {
        std::size_t next = 0;
        const auto take = [&] { return r.at(next++); };
        std::array<float, 3> period{};
        std::array<float, 3> phase{};
        for (float& p : period) {
            p = static_cast<float>(std::floor(double{take()} * 100 + 30));
        }
        for (float& p : phase) {
            p = static_cast<float>(std::floor(double{take()} * 1000));
        }
        for (auto& row : palette_) {
            for (std::size_t c = 0; c < 3; ++c) {
                phase[c] += 1;
                const double angle = phase[c] / period[c];
                row[c] = ((c == 2 ? std::cos(angle) : std::sin(angle)) + 1) * 126;
            }
        }
        const float span = static_cast<float>(std::floor(double{take()} * 200 + 200));
        const float start = std::floor(take() * (1000 - span));
        Fill(0, 0, 600, 450, start + std::floor(take() * span));
        for (int square = 0; square < 200; ++square) {
            const float cx = std::floor(take() * 600.0F);
            const float cy = std::floor(take() * 450.0F);
            const float half = static_cast<float>(std::floor(double{take()} * 20 + 30));
            const float row = start + std::floor(take() * span);
            Fill(static_cast<int>(cx - half), static_cast<int>(cy - half), static_cast<int>(cx + half) + 1,
                 static_cast<int>(cy + half) + 1, row);
        }
    }

    [[nodiscard]] std::uint32_t At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * 600 + x)]; }

private:
    void Fill(int left, int top, int right, int bottom, float row)
    {
        const auto& values = palette_.at(static_cast<std::size_t>(row));
        const auto channel = [](double value) { return static_cast<std::uint32_t>(std::nearbyint(value)); };
        const std::uint32_t pixel =
            0xFF000000U | channel(values[0]) << 16U | channel(values[1]) << 8U | channel(values[2]);
        for (int y = std::max(0, top); y < std::min(450, bottom); ++y) {
            for (int x = std::max(0, left); x < std::min(600, right); ++x) {
                pixels_[static_cast<std::size_t>(y * 600 + x)] = pixel;
            }
        }
    }

    std::array<std::array<double, 3>, 1001> palette_{};
    std::vector<std::uint32_t> pixels_;
};

// Passes a seeded sequence through and keeps what it gave.
class KeepingRandomSource final : public RandomSource {
public:
    explicit KeepingRandomSource(float seed) { source_.Seed(seed); }
    void Seed(float seed) override { source_.Seed(seed); }
    float Next() override { return given.emplace_back(source_.Next()); }
    std::vector<float> given;

private:
    SeededRandomSource source_;
};

TEST(Composer, RasterPictureMatchesAPlainFillOfEachSquareWithCaptionsAlongTheBottom)
{
    for (const float seed : {0.0F, 33302.5F, 86399.99F}) {
        PictureState state = WindowState();
        Recording recording;
        KeepingRandomSource random(seed);
        ScriptedClock clock("03-07-2024", "09:05:02");
        Composer composer(state, recording, random, clock);
        composer.DrawPicture();
        const QImage image = RasterPlayer().Play(recording);
        const PictureModel model(random.given);

        std::array<int, 3> firstCaptionColumn = {600, 600, 600};
        for (int y = 0; y < 450; ++y) {
            for (int x = 0; x < 600; ++x) {
                const std::uint32_t pixel = image.pixel(x, y);
                if (pixel == model.At(x, y)) {
                    continue;
                }
                ASSERT_GE(y, 425) << "seed " << seed << " at " << x << "," << y;
                const std::size_t caption = x < 220 ? 0 : (x < 420 ? 1 : 2);
                firstCaptionColumn[caption] = std::min(firstCaptionColumn[caption], x);
            }
        }
        EXPECT_EQ(firstCaptionColumn, (std::array<int, 3>{12, 220, 420})) << "seed " << seed;
        for (int y = 0; y < 425; ++y) {
            for (int x = 0; x < 600; ++x) {
                const QRgb pixel = image.pixel(x, y);
                ASSERT_LE(std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}), 252);
            }
        }
    }
}

}  // namespace
}  // namespace lorvane
