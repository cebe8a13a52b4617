#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "platform/checked_random_source.h"
#include "platform/platform_error.h"
#include "tests/fakes.h"

namespace lorvane {
namespace {

using testing::ScriptedRandomSource;

TEST(CheckedRandomSource, PassesEveryValueFromZeroToJustBelowOneUnchanged)
{
    const std::vector<float> values = {0.0F, -0.0F, std::numeric_limits<float>::denorm_min(), 0.5F, 0.99999994F};
    ScriptedRandomSource source(values);
    CheckedRandomSource checked(source);
    for (const float value : values) {
        EXPECT_EQ(checked.Next(), value);
    }
}

TEST(CheckedRandomSource, RaisesAnErrorForValuesOutsideZeroToBelowOne)
{
    for (const float value : {1.0F, 1.5F, -1.0e-30F, -1.0F, std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()}) {
        ScriptedRandomSource source({value});
        CheckedRandomSource checked(source);
        EXPECT_THROW((void)checked.Next(), PlatformError) << value;
        EXPECT_EQ(source.drawn, 1U);
    }
}

TEST(CheckedRandomSource, PassesSeedsAndTheSourcesOwnErrorsThrough)
{
    ScriptedRandomSource source({0.25F});
    source.failAt = {1};
    CheckedRandomSource checked(source);
    checked.Seed(33302.25F);
    EXPECT_EQ(source.seeds, std::vector<float>{33302.25F});
    EXPECT_EQ(checked.Next(), 0.25F);
    EXPECT_THROW((void)checked.Next(), PlatformError);
    EXPECT_EQ(checked.Next(), 0.25F);
}

}  // namespace
}  // namespace lorvane
