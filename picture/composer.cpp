#include "picture/composer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "picture/picture_state.h"
#include "platform/clock.h"
#include "platform/conversions.h"
#include "platform/platform_error.h"
#include "platform/random_source.h"
#include "platform/surface.h"

namespace lorvane {

namespace {

constexpr float kPaletteEnd = 1000.0F;
constexpr double kShortestSpan = 200.0;
constexpr double kSpanRange = 200.0;
constexpr double kSmallestHalf = 30.0;
constexpr double kHalfRange = 20.0;
// A square is at most 99 columns wide; bounds far beyond the picture only come from broken
// input, and past 2^24 a single-precision loop counter would stop advancing.
constexpr float kLoopLimit = 1.0e6F;

constexpr float kCaptionFontSize = 9.0F;
constexpr int kWhite = 15;
constexpr float kCaptionTop = 425.0F;
constexpr std::array<float, 3> kCaptionLefts = {12.0F, 220.0F, 420.0F};

template <class Step>
void Guarded(Step&& step) noexcept
{
    try {
        step();
    } catch (...) {  // NOLINT(bugprone-empty-catch): a failed step is dropped by design
    }
}

bool IsDigits(const std::string& text, std::size_t width)
{
    if (text.size() != width) {
        return false;
    }
    return std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

Composer::Composer(PictureState& state, Surface& picture1, RandomSource& random, Clock& clock)
    : state_(state), picture1_(picture1), random_(random), clock_(clock)
{
}

void Composer::DrawPicture() noexcept
{
    float span = 0.0F;
    float cx = 0.0F;
    float cy = 0.0F;
    float half = 0.0F;
    Colour colour = 0;
    // Sets poz and the current colour together, or neither.
    const auto pickFill = [&] {
        const float row = state_.start + std::floor(random_.Next() * span);
        const Colour fill = ColourOfRow(row);
        state_.poz = row;
        colour = fill;
    };

    Guarded([&] { MakePalette(state_.palette, random_); });
    Guarded([&] { NamePicture(); });
    Guarded([&] {
        span = static_cast<float>(std::floor(static_cast<double>(random_.Next()) * kSpanRange + kShortestSpan));
    });
    Guarded([&] { state_.start = std::floor(random_.Next() * (kPaletteEnd - span)); });
    Guarded(pickFill);
    for (int x = 0; x <= state_.sir; ++x) {
        const auto column = static_cast<float>(x);
        Guarded([&] { picture1_.Line(column, 0.0F, column, state_.vis, colour); });
    }
    for (int square = 0; square < Composer::kSquares; ++square) {
        Guarded([&] { cx = std::floor(random_.Next() * static_cast<float>(state_.sir)); });
        Guarded([&] { cy = std::floor(random_.Next() * static_cast<float>(state_.vis)); });
        Guarded([&] {
            half = static_cast<float>(std::floor(static_cast<double>(random_.Next()) * kHalfRange + kSmallestHalf));
        });
        Guarded(pickFill);
        DrawColumns(cx - half, cx + half, cy - half, cy + half, colour);
    }
    Guarded([&] { WriteCaptions(); });
}

void Composer::DrawColumns(float left, float right, float top, float bottom, Colour colour) noexcept
{
    if (!(std::abs(left) <= kLoopLimit && std::abs(right) <= kLoopLimit)) {
        return;
    }
    // Column by column in single precision, as the picture is defined; the bound above keeps every
    // step exact.
    for (float x = left; x <= right; x += 1.0F) {  // NOLINT(clang-analyzer-security.FloatLoopCounter)
        Guarded([&] { picture1_.Line(x, top, x, bottom, colour); });
    }
}

void Composer::WriteCaptions()
{
    picture1_.SetFontSize(kCaptionFontSize);
    picture1_.SetForeColor(QbColor(kWhite));
    const std::array<const std::string*, 3> captions = {&state_.imeslike, &state_.tekst1, &state_.tekst2};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        picture1_.SetCurrentX(kCaptionLefts[i]);
        picture1_.SetCurrentY(kCaptionTop);
        picture1_.Print(*captions[i]);
    }
}

Colour Composer::ColourOfRow(float row) const
{
    const Palette::Row values = state_.palette.At(row);
    return Rgb(RoundToInt16(values.red), RoundToInt16(values.green), RoundToInt16(values.blue));
}

void Composer::NamePicture()
{
    // Two separate reads: a date read just before midnight joins the time read just after.
    const std::string date = clock_.Date();
    const std::string time = clock_.Time();
    struct Piece {
        const std::string& text;
        int start;
        int length;
    };
    const std::array<Piece, 6> pieces = {
        {{date, 7, 4}, {date, 1, 2}, {date, 4, 2}, {time, 1, 2}, {time, 4, 2}, {time, 7, 2}}};
    std::string name = "T";
    for (const Piece& piece : pieces) {
        const std::string digits = Mid(piece.text, piece.start, piece.length);
        if (!IsDigits(digits, static_cast<std::size_t>(piece.length))) {
            throw PlatformError("the clock gave a malformed date or time");
        }
        name += digits;
    }
    state_.imeslike = std::move(name);
}

}  // namespace lorvane
