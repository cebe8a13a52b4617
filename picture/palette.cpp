#include "picture/palette.h"

#include <cmath>
#include <cstddef>

#include "platform/platform_error.h"
#include "platform/random_source.h"

namespace lorvane {

namespace {

constexpr int kLastRow = Palette::kRows - 1;
constexpr double kShortestPeriod = 30.0;
constexpr double kPeriodRange = 100.0;
constexpr double kPhaseRange = 1000.0;
// (wave + 1) * 126 keeps every channel within 0 to 252.
constexpr double kAmplitude = 126.0;

std::size_t CheckedIndex(double row)
{
    if (!(row >= 0.0 && row <= kLastRow)) {
        throw PlatformError("subscript out of range");
    }
    return static_cast<std::size_t>(row);
}

}  // namespace

Palette::Row Palette::At(float row) const
{
    return rows_[CheckedIndex(std::nearbyint(static_cast<double>(row)))];
}

void Palette::Set(int row, Row value)
{
    rows_[CheckedIndex(row)] = value;
}

void MakePalette(Palette& palette, RandomSource& random)
{
    // Products and sums in double precision; the floored results are held in single precision.
    const auto nextPeriod = [&random] {
        return static_cast<float>(std::floor(static_cast<double>(random.Next()) * kPeriodRange + kShortestPeriod));
    };
    const auto nextPhase = [&random] {
        return static_cast<float>(std::floor(static_cast<double>(random.Next()) * kPhaseRange));
    };
    const float period1 = nextPeriod();
    const float period2 = nextPeriod();
    const float period3 = nextPeriod();
    float phase1 = nextPhase();
    float phase2 = nextPhase();
    float phase3 = nextPhase();

    // Each quotient is formed in single precision, then widened for the sine or cosine.
    const auto channel = [](double wave) { return (wave + 1.0) * kAmplitude; };
    for (int i = 0; i <= kLastRow; ++i) {
        phase1 += 1.0F;
        phase2 += 1.0F;
        phase3 += 1.0F;
        palette.Set(i, {channel(std::sin(static_cast<double>(phase1 / period1))),
                        channel(std::sin(static_cast<double>(phase2 / period2))),
                        channel(std::cos(static_cast<double>(phase3 / period3)))});
    }
}

}  // namespace lorvane
