#include "picture/picture_sequence.h"

#include <algorithm>
#include <cstdint>

#include "picture/picture_state.h"
#include "platform/fixed_clock.h"
#include "platform/random_source.h"
#include "platform/seeded_random_source.h"

namespace lorvane {

PictureSequence::PictureSequence(PictureState& state, RandomSource& random, Clock& clock)
    : state_(state), random_(random), composer_(state, recorder_, random, clock)
{
}

void PictureSequence::Start(float seed, int number)
{
    seed_ = seed;
    next_ = std::clamp(number, 1, Recipe::kLastPicture);
    random_.Seed(seed);
    random_.Skip(static_cast<std::uint64_t>(Composer::kDrawsPerPicture) * static_cast<std::uint64_t>(next_ - 1));
}

SequencePicture PictureSequence::DrawNext()
{
    recorder_.Cls();
    composer_.DrawPicture();
    const int number = next_++;
    return {recorder_.Picture(), RecipeOfPicture(seed_, number, state_.imeslike)};
}

SequencePicture DrawRecipe(const Recipe& recipe)
{
    // A recipe's time is a real date and time, checked when it was read.
    FixedClock clock = FixedClock::At(recipe.at).value_or(FixedClock(1, 1, 1, 0, 0, 0));
    SeededRandomSource random;
    PictureState state = PictureState::AtStartUp();
    PictureSequence sequence(state, random, clock);
    sequence.Start(recipe.seed, recipe.picture);
    return sequence.DrawNext();
}

}  // namespace lorvane
