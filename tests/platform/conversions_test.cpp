#include <limits>

#include <gtest/gtest.h>

#include "platform/conversions.h"
#include "platform/platform_error.h"

namespace lorvane {
namespace {

TEST(Conversions, RoundToInt16TakesHalvesToEven)
{
    EXPECT_EQ(RoundToInt16(126.5), 126);
    EXPECT_EQ(RoundToInt16(127.5), 128);
    EXPECT_EQ(RoundToInt16(0.5), 0);
    EXPECT_EQ(RoundToInt16(-0.5), 0);
    EXPECT_EQ(RoundToInt16(-1.5), -2);
    EXPECT_EQ(RoundToInt16(251.93), 252);
    EXPECT_EQ(RoundToInt16(130.4999), 130);
    EXPECT_EQ(RoundToInt16(32767.4), 32767);
    EXPECT_EQ(RoundToInt16(-32768.5), -32768);
}

TEST(Conversions, RoundToInt16RaisesOverflowOutsideTheRange)
{
    for (const double value : {32767.5, -32769.0, 1.0e300, std::numeric_limits<double>::quiet_NaN(),
                               -std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW((void)RoundToInt16(value), PlatformError) << value;
    }
}

TEST(Conversions, RgbPacksRedLowestAndRejectsChannelsOutOfRange)
{
    EXPECT_EQ(Rgb(1, 2, 3), 1U + 2U * 256U + 3U * 65536U);
    EXPECT_EQ(Rgb(255, 255, 255), 0xFFFFFFU);
    EXPECT_THROW((void)Rgb(256, 0, 0), PlatformError);
    EXPECT_THROW((void)Rgb(0, -1, 0), PlatformError);
}

TEST(Conversions, QbColorGivesBlackAndWhite)
{
    EXPECT_EQ(QbColor(0), 0U);
    EXPECT_EQ(QbColor(15), 0xFFFFFFU);
    EXPECT_EQ(QbColor(12), 0x0000FFU);  // light red: red is the lowest byte
    EXPECT_THROW((void)QbColor(16), PlatformError);
}

TEST(Conversions, MidCountsFromOneAndStopsAtTheEnd)
{
    EXPECT_EQ(Mid("03-07-2024", 7, 4), "2024");
    EXPECT_EQ(Mid("03-07-2024", 1, 2), "03");
    EXPECT_EQ(Mid("03-07", 4, 5), "07");
    EXPECT_EQ(Mid("", 7, 4), "");
    EXPECT_THROW((void)Mid("abc", 0, 1), PlatformError);
    EXPECT_THROW((void)Mid("abc", 1, -1), PlatformError);
}

}  // namespace
}  // namespace lorvane
