#include "picture/picture_sequence.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "picture/picture_state.h"
#include "platform/fixed_clock.h"
#include "platform/random_source.h"
#include "platform/seeded_random_source.h"
#include "tests/fakes.h"

namespace lorvane {
namespace {

TEST(PictureSequence, PictureNIsTheSameDrawnInTurnJumpedToOrFromItsRecipe)
{
    FixedClock clock(2024, 3, 7, 9, 5, 2);
    SeededRandomSource random;
    PictureState state = PictureState::AtStartUp();
    PictureSequence inTurn(state, random, clock);
    inTurn.Start(20798.9844F);
    SequencePicture fifth;
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(inTurn.NextNumber(), n);
        fifth = inTurn.DrawNext();
        if (n == 1) {
            // The first is what the composer draws straight after the seed.
            SeededRandomSource plain;
            plain.Seed(20798.9844F);
            PictureState plainState = PictureState::AtStartUp();
            PictureRecorder recorder;
            Composer(plainState, recorder, plain, clock).DrawPicture();
            EXPECT_EQ(fifth.recording, recorder.Picture());
        }
    }
    ASSERT_TRUE(fifth.recipe.has_value());
    EXPECT_EQ(fifth.recipe->Text(), "seed=20798.984 picture=5 at=20240307090502");
    EXPECT_EQ(state.imeslike, "T20240307090502");

    SeededRandomSource jumping;
    PictureState jumpingState = PictureState::AtStartUp();
    PictureSequence jumped(jumpingState, jumping, clock);
    jumped.Start(20798.9844F, 5);
    const SequencePicture direct = jumped.DrawNext();
    EXPECT_EQ(direct.recording, fifth.recording);
    EXPECT_EQ(direct.recipe->Text(), fifth.recipe->Text());
    EXPECT_EQ(jumped.NextNumber(), 6);
    // The next picture continues the sequence from there.
    EXPECT_EQ(jumped.DrawNext().recording, inTurn.DrawNext().recording);

    const SequencePicture again = DrawRecipe(*fifth.recipe);
    EXPECT_EQ(again.recording, fifth.recording);
    EXPECT_NE(again.recording, inTurn.DrawNext().recording);
}

TEST(PictureSequence, StartsFromAnyRandomSourceByDrawingTheValuesItCannotJump)
{
    testing::ScriptedClock clock("03-07-2024", "09:05:02");
    testing::ScriptedRandomSource random;
    PictureState state = PictureState::AtStartUp();
    PictureSequence sequence(state, random, clock);
    sequence.Start(1.5F, 3);
    EXPECT_EQ(random.drawn, 2 * testing::kDrawsPerPicture);
    static_cast<void>(sequence.DrawNext());
    EXPECT_EQ(random.drawn, 3 * testing::kDrawsPerPicture);
    EXPECT_EQ(random.seeds, std::vector<float>{1.5F});
}

// Counts the values a start jumps over, without drawing them.
class CountingRandomSource final : public RandomSource {
public:
    void Seed(float /*seed*/) override {}
    float Next() override { return 0.0F; }
    void Skip(std::uint64_t count) override { skipped += count; }

    std::uint64_t skipped = 0;
};

TEST(PictureSequence, StartsAtTheNearestPictureThereIsForANumberOutOfRange)
{
    constexpr std::uint64_t kLast = Recipe::kLastPicture;
    const struct {
        int number;
        int next;
        std::uint64_t skipped;
    } cases[] = {
        {1, 1, 0},
        {2, 2, 809},
        {0, 1, 0},
        {-1, 1, 0},
        {std::numeric_limits<int>::min(), 1, 0},
        {Recipe::kLastPicture, Recipe::kLastPicture, (kLast - 1) * 809},
        {Recipe::kLastPicture + 1, Recipe::kLastPicture, (kLast - 1) * 809},
        {std::numeric_limits<int>::max(), Recipe::kLastPicture, (kLast - 1) * 809},
    };
    for (const auto& [number, next, skipped] : cases) {
        testing::ScriptedClock clock("03-07-2024", "09:05:02");
        CountingRandomSource random;
        PictureState state = PictureState::AtStartUp();
        PictureSequence sequence(state, random, clock);
        sequence.Start(1.5F, number);
        EXPECT_EQ(sequence.NextNumber(), next) << number;
        EXPECT_EQ(random.skipped, skipped) << number;
    }
}

}  // namespace
}  // namespace lorvane
