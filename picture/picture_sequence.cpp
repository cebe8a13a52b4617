#include "picture/picture_sequence.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

#include "platform/random_source.h"
#include "platform/seeded_random_source.h"

namespace lorvane {

PictureSequence::PictureSequence(const FixedClock& at)
    : PictureSequence(std::make_unique<SeededRandomSource>(), std::make_unique<FixedClock>(at))
{
}

PictureSequence::PictureSequence(RandomSource& random, Clock& clock)
    : random_(random), clock_(clock), composer_(state_, recorder_, random_, clock_)
{
}

PictureSequence::PictureSequence(std::unique_ptr<RandomSource> random, std::unique_ptr<Clock> clock)
    : ownRandom_(std::move(random)),
      ownClock_(std::move(clock)),
      random_(*ownRandom_),
      clock_(*ownClock_),
      composer_(state_, recorder_, random_, clock_)
{
}

PictureSequence::~PictureSequence() = default;

void PictureSequence::StartAtTimeOfDay()
{
    Start(clock_.Timer());
}

void PictureSequence::Start(float seed, int number)
{
    seed_ = seed;
    next_ = std::clamp(number, 1, Recipe::kLastPicture);
    started_ = true;
    random_.Seed(seed);
    random_.Skip(static_cast<std::uint64_t>(Composer::kDrawsPerPicture) * static_cast<std::uint64_t>(next_ - 1));
}

void PictureSequence::GoTo(const Recipe& recipe)
{
    // A recipe's time is a real date and time, checked when it was read.
    clock_.Pin(FixedClock::At(recipe.at).value_or(FixedClock()));
    // The same bits, not only the same value: 0 and -0 seed differently.
    const bool there = started_ && std::bit_cast<std::uint32_t>(seed_) == std::bit_cast<std::uint32_t>(recipe.seed) &&
                       next_ == recipe.picture;
    if (!there) {
        Start(recipe.seed, recipe.picture);
    }
}

Drawing PictureSequence::DrawNext()
{
    if (next_ > Recipe::kLastPicture) {
        Start(seed_, Recipe::kLastPicture);
    }
    recorder_.Cls();
    composer_.DrawPicture();
    clock_.Unpin();
    const int number = next_++;
    return {recorder_.Picture(), RecipeOfPicture(seed_, number, state_.imeslike)};
}

Drawing DrawRecipe(const Recipe& recipe)
{
    PictureSequence sequence;
    sequence.GoTo(recipe);
    return sequence.DrawNext();
}

}  // namespace lorvane
