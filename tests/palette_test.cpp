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

TEST(Palette, ZeroDrawsGiveShortestPeriodsAndRowZeroOneStepIn)
{
    Palette palette;
    ScriptedRandomSource random({0.0F});
    MakePalette(palette, random);

    EXPECT_EQ(random.drawn, 6U);
    const Palette::Row row0 = palette.At(0.0F);
    EXPECT_NEAR(row0.red, 130.20, 0.005);
    EXPECT_DOUBLE_EQ(row0.green, row0.red);
    EXPECT_NEAR(row0.blue, 251.93, 0.005);
    // The quotient is formed in single precision before the sine.
    EXPECT_DOUBLE_EQ(row0.red, (std::sin(static_cast<double>(1.0F / 30.0F)) + 1.0) * 126.0);
}

TEST(Palette, DrawsPeriodsThenPhasesInOrder)
{
    // Red: period 30 + 50, phase 100; green and blue keep period 30 and phase 0.
    Palette palette;
    ScriptedRandomSource random({0.5F, 0.0F, 0.0F, 0.1F, 0.0F, 0.0F});
    MakePalette(palette, random);

    const Palette::Row row0 = palette.At(0.0F);
    EXPECT_DOUBLE_EQ(row0.red, (std::sin(static_cast<double>(101.0F / 80.0F)) + 1.0) * 126.0);
    EXPECT_DOUBLE_EQ(row0.green, (std::sin(static_cast<double>(1.0F / 30.0F)) + 1.0) * 126.0);
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
    for (const float row : {-1.0F, 1001.0F, 1.0e9F, std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity()}) {
        EXPECT_THROW((void)palette.At(row), PlatformError) << row;
    }
    EXPECT_NO_THROW((void)palette.At(1000.0F));
}

}  // namespace
}  // namespace lorvane
