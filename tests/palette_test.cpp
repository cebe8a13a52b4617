#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "fakes.h"
#include "palette.h"
#include "platform_error.h"
#include "seeded_random_source.h"

namespace lorvane {
namespace {

using testing::ScriptedRandomSource;

// Row 0 of a wave with the given period whose phase starts at 0, formed as the program forms it:
// the quotient in single precision, then widened for the sine or cosine.
double Wave(float phase, float period, bool cosine = false)
{
    const auto angle = static_cast<double>(phase / period);
    return ((cosine ? std::cos(angle) : std::sin(angle)) + 1.0) * 126.0;
}

struct RowZeroCase {
    std::vector<float> draws;
    double red;
    double green;
    double blue;
};

TEST(Palette, DrawsThreePeriodsThenThreePhasesAndRowZeroIsOneStepIn)
{
    const std::vector<RowZeroCase> cases = {
        // Periods 30 and phases 0: (130.20, 130.20, 251.93).
        {{0.0F}, Wave(1.0F, 30.0F), Wave(1.0F, 30.0F), Wave(1.0F, 30.0F, true)},
        // Red: period 30 + 50 and phase 100.
        {{0.5F, 0.0F, 0.0F, 0.1F, 0.0F, 0.0F}, Wave(101.0F, 80.0F), Wave(1.0F, 30.0F), Wave(1.0F, 30.0F, true)},
        // r x 100 + 30 is formed in double precision: 129, where single precision gives 130.
        {{0.99999994F, 0.99999994F, 0.99999994F, 0.0F},
         Wave(1.0F, 129.0F),
         Wave(1.0F, 129.0F),
         Wave(1.0F, 129.0F, true)},
        // r x 1000 is formed in double precision too: 197, where single precision gives 198.
        {{0.0F, 0.0F, 0.0F, 0x1.958106p-3F, 0.0F, 0.0F},
         Wave(198.0F, 30.0F),
         Wave(1.0F, 30.0F),
         Wave(1.0F, 30.0F, true)},
    };
    for (const RowZeroCase& rowZero : cases) {
        Palette palette;
        ScriptedRandomSource random(rowZero.draws);
        MakePalette(palette, random);
        EXPECT_EQ(random.drawn, 6U);
        const Palette::Row row0 = palette.At(0.0F);
        EXPECT_DOUBLE_EQ(row0.red, rowZero.red) << rowZero.draws[0];
        EXPECT_DOUBLE_EQ(row0.green, rowZero.green) << rowZero.draws[0];
        EXPECT_DOUBLE_EQ(row0.blue, rowZero.blue) << rowZero.draws[0];
    }
    EXPECT_NEAR(Wave(1.0F, 30.0F), 130.20, 0.005);
    EXPECT_NEAR(Wave(1.0F, 30.0F, true), 251.93, 0.005);
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
