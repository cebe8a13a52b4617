#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "platform/date_and_time.h"
#include "platform/fixed_clock.h"
#include "platform/platform_error.h"

namespace lorvane {
namespace {

TEST(DateAndTime, IsARealDateAndTimeForTheDigitsAndForTheFixedClock)
{
    const struct {
        std::string digits;
        bool real;
    } cases[] = {
        {"20240307090502", true},
        {"00010101000000", true},
        {"99991231235959", true},
        {"20240229235959", true},
        {"20000229000000", true},
        {"20240131000000", true},
        {"20240430000000", true},
        {"00000101000000", false},
        {"20230229000000", false},
        {"21000229000000", false},
        {"20240231000000", false},
        {"20240431000000", false},
        {"20240300090502", false},
        {"20240007090502", false},
        {"20241301000000", false},
        {"20240307240000", false},
        {"20240307096000", false},
        {"20240307090560", false},
        {"2024030709050", false},
        {"202403070905021", false},
        {"2024030709050x", false},
        {"-2024030709050", false},
        {"", false},
    };
    for (const auto& [digits, real] : cases) {
        EXPECT_EQ(IsDateAndTime(digits), real) << digits;
        EXPECT_EQ(FixedClock::At(digits).has_value(), real) << digits;
    }
    EXPECT_EQ(FixedClock::At("20240229090502")->Date(), "02-29-2024");
    EXPECT_EQ(FixedClock::At("20240229090502")->Time(), "09:05:02");
    EXPECT_THROW(FixedClock(2024, 2, 31, 0, 0, 0), PlatformError);
    EXPECT_THROW(FixedClock(2024, 3, 7, -1, 0, 0), PlatformError);
    EXPECT_THROW(FixedClock(10000, 1, 1, 0, 0, 0), PlatformError);
}

}  // namespace
}  // namespace lorvane
