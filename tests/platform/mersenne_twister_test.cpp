#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "platform/mersenne_twister.h"

namespace lorvane {
namespace {

// std::mt19937 is fully fixed by the C++ standard, so it is the reference.
TEST(MersenneTwister, GivesTheSequenceOfStdMt19937)
{
    for (const std::uint32_t seed : {0U, 5489U, 0x46FF7E00U}) {
        MersenneTwister generator;
        generator.Seed(seed);
        std::mt19937 reference(seed);
        for (int i = 0; i < 2000; ++i) {
            ASSERT_EQ(generator(), reference()) << "seed " << seed << ", draw " << i;
        }
    }
}

TEST(MersenneTwister, JumpingGivesTheValuesThatDrawingWouldHaveLeft)
{
    // Across the 624 words of the state, and from a state already drawn from.
    // Beyond 2^24 values too, as --first 30000 jumps.
    for (const std::uint64_t count : {1U, 623U, 624U, 625U, 19937U, 100003U, 809U * 29999U}) {
        for (const int drawnBefore : {0, 300}) {
            MersenneTwister generator;
            generator.Seed(0x46FF7E00U);
            std::mt19937 reference(0x46FF7E00U);
            for (int i = 0; i < drawnBefore; ++i) {
                generator();
                reference();
            }
            generator.Jump(count);
            reference.discard(count);
            for (int i = 0; i < 700; ++i) {
                ASSERT_EQ(generator(), reference()) << "jump " << count << " after " << drawnBefore << ", draw " << i;
            }
        }
    }
}

TEST(MersenneTwister, LongJumpsAddUp)
{
    // Too far to draw in a test: two jumps must land where one jump of their sum does.
    constexpr std::uint64_t far = 809ULL * 9999999ULL;
    MersenneTwister once;
    once.Jump(far);
    MersenneTwister twice;
    twice.Jump(far - 123457);
    twice.Discard(123457);
    for (int i = 0; i < 700; ++i) {
        ASSERT_EQ(once(), twice()) << "draw " << i;
    }
}

}  // namespace
}  // namespace lorvane
