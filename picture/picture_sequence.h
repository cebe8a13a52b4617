#pragma once

#include <optional>

#include "picture/composer.h"
#include "picture/recipe.h"
#include "recording/picture_recorder.h"
#include "recording/recorded_picture.h"

namespace lorvane {

class Clock;
class RandomSource;
struct PictureState;

// One picture of a sequence: what was drawn, and how to draw it again.
struct SequencePicture {
    RecordedPicture recording;
    // None only when the clock failed, so that the picture has no proper name.
    std::optional<Recipe> recipe;
};

// The one place that knows "picture n of seed S": the pictures the window draws after it has
// seeded its random source with S, its start-up picture being number 1 and each press of "next"
// the one after. The window, lorvane01-render, the web page and the benchmarks all draw through it.
//
//     PictureState state = PictureState::AtStartUp();
//     PictureSequence sequence(state, random, clock);
//     sequence.Start(20798.9844F, 4);
//     const SequencePicture fourth = sequence.DrawNext();
class PictureSequence {
public:
    // Draws with `random` and names the pictures after `clock`, into the window's variables.
    PictureSequence(PictureState& state, RandomSource& random, Clock& clock);

    // Seeds the random source with `seed` and makes picture `number` (1 to Recipe::kLastPicture;
    // a number outside that is taken as the nearer end) the next one, jumping over the 809 values
    // of each picture before it.
    void Start(float seed, int number = 1);
    // Clears the drawing area, draws the next picture as "next" does, and gives it.
    SequencePicture DrawNext();

    [[nodiscard]] float Seed() const { return seed_; }
    // The number DrawNext gives its picture.
    [[nodiscard]] int NextNumber() const { return next_; }

private:
    PictureState& state_;
    RandomSource& random_;
    PictureRecorder recorder_;
    Composer composer_;
    float seed_ = 0.0F;
    int next_ = 1;
};

// The picture a recipe names, drawn on its own: the same items whatever was drawn before.
[[nodiscard]] SequencePicture DrawRecipe(const Recipe& recipe);

}  // namespace lorvane
