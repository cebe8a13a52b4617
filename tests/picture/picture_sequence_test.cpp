#include "picture/picture_sequence.h"

#include <cstdint>
#include <limits>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "picture/recipe.h"
#include "platform/fixed_clock.h"
#include "platform/random_source.h"
#include "platform/seeded_random_source.h"
#include "tests/fakes.h"

namespace lorvane {
namespace {

TEST(PictureSequence, PictureNIsTheSameDrawnInTurnJumpedToOrFromItsRecipe)
{
    FixedClock clock(2024, 3, 7, 9, 5, 2);
    PictureSequence inTurn(clock);
    inTurn.Start(20798.9844F);
    Drawing fifth;
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
    EXPECT_EQ(inTurn.State().imeslike, "T20240307090502");

    PictureSequence jumped(clock);
    jumped.Start(20798.9844F, 5);
    const Drawing direct = jumped.DrawNext();
    EXPECT_EQ(direct.recording, fifth.recording);
    EXPECT_EQ(direct.recipe->Text(), fifth.recipe->Text());
    EXPECT_EQ(jumped.NextNumber(), 6);
    // The next picture continues the sequence from there.
    EXPECT_EQ(jumped.DrawNext().recording, inTurn.DrawNext().recording);

    const Drawing again = DrawRecipe(*fifth.recipe);
    EXPECT_EQ(again.recording, fifth.recording);
    EXPECT_NE(again.recording, inTurn.DrawNext().recording);
}

TEST(PictureSequence, StartsFromAnyRandomSourceByDrawingTheValuesItCannotJump)
{
    testing::ScriptedClock clock("03-07-2024", "09:05:02");
    testing::ScriptedRandomSource random;
    PictureSequence sequence(random, clock);
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
        PictureSequence sequence(random, clock);
        sequence.Start(1.5F, number);
        EXPECT_EQ(sequence.NextNumber(), next) << number;
        EXPECT_EQ(random.skipped, skipped) << number;
    }
}

TEST(PictureSequence, GoToDrawsTheRecipesPictureAtItsTimeThenGoesOnAtTheClocksTime)
{
    PictureSequence inTurn(FixedClock(2024, 3, 7, 9, 5, 2));
    inTurn.Start(-0.0F);
    std::vector<Drawing> pictures;
    for (int n = 1; n <= 3; ++n) {
        pictures.push_back(inTurn.DrawNext());
    }

    // Elsewhere in another seed's run, as the window is when a file is opened.
    PictureSequence sequence(FixedClock(2026, 12, 8, 5, 46, 38));
    sequence.Start(0.0F, 7);
    static_cast<void>(sequence.DrawNext());
    const auto recipe = std::get<Recipe>(ParseRecipe("seed=-0 picture=3 at=20240307090502"));
    sequence.GoTo(recipe);
    EXPECT_EQ(sequence.NextNumber(), 3);
    const Drawing third = sequence.DrawNext();
    EXPECT_EQ(third.recording, pictures[2].recording);
    EXPECT_EQ(third.recipe->Text(), "seed=-0 picture=3 at=20240307090502");
    // Picture 4 of the seed, named after the sequence's clock.
    PictureSequence later(FixedClock(2026, 12, 8, 5, 46, 38));
    later.Start(-0.0F, 4);
    const Drawing fourth = sequence.DrawNext();
    EXPECT_EQ(fourth.recording, later.DrawNext().recording);
    EXPECT_EQ(fourth.recipe->Text(), "seed=-0 picture=4 at=20261208054638");
}

TEST(PictureSequence, GoToSeedsAgainOnlyWhenTheRecipeIsNotTheNextPicture)
{
    const struct {
        const char* recipe;
        std::vector<float> seeds;
    } cases[] = {
        {"seed=1.5 picture=2 at=20240307090502", {1.5F}},
        {"seed=1.5 picture=3 at=20240307090502", {1.5F, 1.5F}},
        {"seed=2.5 picture=2 at=20240307090502", {1.5F, 2.5F}},
    };
    for (const auto& [text, seeds] : cases) {
        testing::ScriptedClock clock("03-07-2024", "09:05:02");
        testing::ScriptedRandomSource random;
        PictureSequence sequence(random, clock);
        sequence.Start(1.5F);
        static_cast<void>(sequence.DrawNext());
        sequence.GoTo(std::get<Recipe>(ParseRecipe(text)));
        EXPECT_EQ(random.seeds, seeds) << text;
    }
}

TEST(PictureSequence, AfterTheLastPictureOfASeedDrawsItAgain)
{
    CountingRandomSource random;
    FixedClock clock(2024, 3, 7, 9, 5, 2);
    PictureSequence sequence(random, clock);
    sequence.GoTo(std::get<Recipe>(ParseRecipe("seed=1.5 picture=10000000 at=20240307090502")));
    static_cast<void>(sequence.DrawNext());
    random.skipped = 0;
    const Drawing again = sequence.DrawNext();
    ASSERT_TRUE(again.recipe.has_value());
    EXPECT_EQ(again.recipe->picture, Recipe::kLastPicture);
    EXPECT_EQ(random.skipped, std::uint64_t{Recipe::kLastPicture - 1} * 809);
}

}  // namespace
}  // namespace lorvane
