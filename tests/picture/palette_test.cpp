#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "picture/palette.h"
#include "platform/platform_error.h"
#include "platform/seeded_random_source.h"
#include "tests/fakes.h"

namespace lorvane {
namespace {

using testing::ScriptedRandomSource;

// Row 0 of each wave is (sin or cos(phase / period) + 1) x 126, one step in, with the quotient
// rounded to single precision before the sine; worked out apart from the program.
constexpr double kSine1Over30 = 130.19922248435634;  // 130.19922226543096 with the quotient in double
constexpr double kCosine1Over30 = 251.9300064739412;
constexpr double kSine101Over80 = 246.05934220390796;
constexpr double kSine1Over129 = 126.97673439993044;
constexpr double kCosine1Over129 = 251.99621418880804;
constexpr double kSine198Over30 = 165.25420038440902;  // 169.2226287343434 for phase 198 + 1

TEST(Palette, DrawsThreePeriodsThenThreePhasesAndRowZeroIsOneStepIn)
{
    const struct {
        std::vector<float> draws;
        double red;
        double green;
        double blue;
    } cases[] = {
        // Periods 30 and phases 0.
        {{0.0F}, kSine1Over30, kSine1Over30, kCosine1Over30},
        // Red: period 30 + 50 and phase 100.
        {{0.5F, 0.0F, 0.0F, 0.1F, 0.0F, 0.0F}, kSine101Over80, kSine1Over30, kCosine1Over30},
        // r x 100 + 30 is formed in double precision: 129, where single precision gives 130.
        {{0.99999994F, 0.99999994F, 0.99999994F, 0.0F}, kSine1Over129, kSine1Over129, kCosine1Over129},
        // r x 1000 is formed in double precision too: 197, where single precision gives 198.
        {{0.0F, 0.0F, 0.0F, 0x1.958106p-3F, 0.0F, 0.0F}, kSine198Over30, kSine1Over30, kCosine1Over30},
    };
    for (const auto& rowZero : cases) {
        Palette palette;
        ScriptedRandomSource random(rowZero.draws);
        MakePalette(palette, random);
        EXPECT_EQ(random.drawn, 6U);
        const Palette::Row row0 = palette.At(0.0F);
        EXPECT_DOUBLE_EQ(row0.red, rowZero.red) << rowZero.draws[0];
        EXPECT_DOUBLE_EQ(row0.green, rowZero.green) << rowZero.draws[0];
        EXPECT_DOUBLE_EQ(row0.blue, rowZero.blue) << rowZero.draws[0];
    }
}

TEST(Palette, EveryValueOfManyPalettesLiesWithinZeroTo252AndNeighboursAreClose)
{
    SeededRandomSource random;
    random.Seed(1234.5F);
    Palette palette;
    for (int picture = 0; picture < 200; ++picture) {
        MakePalette(palette, random);
        Palette::Row previous = palette.At(0.0F);
        for (int row = 0; row < Palette::kRows; ++row) {
            const Palette::Row values = palette.At(static_cast<float>(row));
            for (const double channel : {values.red, values.green, values.blue}) {
                ASSERT_GE(channel, 0.0);
                ASSERT_LE(channel, 252.0);
            }
            ASSERT_LE(std::abs(values.red - previous.red), 126.0 / 30.0 + 1e-9);
            previous = values;
        }
    }
}

TEST(Palette, SecondCallReplacesEveryRow)
{
    Palette twice;
    ScriptedRandomSource first({0.9F, 0.8F, 0.7F, 0.6F, 0.5F, 0.4F, 0.3F, 0.2F, 0.1F, 0.05F, 0.15F, 0.25F});
    MakePalette(twice, first);
    MakePalette(twice, first);

    Palette once;
    ScriptedRandomSource second({0.3F, 0.2F, 0.1F, 0.05F, 0.15F, 0.25F});
    MakePalette(once, second);

    for (int row = 0; row < Palette::kRows; ++row) {
        const auto a = twice.At(static_cast<float>(row));
        const auto b = once.At(static_cast<float>(row));
        ASSERT_EQ(a.red, b.red) << row;
        ASSERT_EQ(a.green, b.green) << row;
        ASSERT_EQ(a.blue, b.blue) << row;
    }
}

TEST(Palette, RowsOutsideTheTableRaiseAnError)
{
    const Palette palette;
    for (const float row :
         {-1.0F, 1001.0F, 1.0e9F, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        EXPECT_THROW((void)palette.At(row), PlatformError) << row;
    }
    EXPECT_NO_THROW((void)palette.At(1000.0F));
}

}  // namespace
}  // namespace lorvane
