#pragma once

#include <memory>
#include <optional>

#include "picture/composer.h"
#include "picture/picture_state.h"
#include "picture/recipe.h"
#include "platform/clock.h"
#include "platform/fixed_clock.h"
#include "recording/picture_recorder.h"
#include "recording/recorded_picture.h"

namespace lorvane {

class RandomSource;

// What a sequence drew: the picture's recording, and its recipe to draw it again. Words kept
// apart: a picture's *number* (Recipe::picture), its *recording* (RecordedPicture), a *drawing*
// (both with the recipe) and a *player* (what turns a recording into pixels, FittedPlayer among them).
struct Drawing {
    RecordedPicture recording;
    // None only when the clock failed, so that the picture has no proper name.
    std::optional<Recipe> recipe;
};

// The one place that knows "picture n of seed S": the pictures the window draws after it has
// seeded its random source with S, its start-up picture being number 1 and each press of "next"
// the one after. It holds the window's variables, its random source and its clock, so that the
// window, the screensaver, lorvane01-render, the web page and the benchmarks all set them up
// the same way.
//
//     PictureSequence sequence(FixedClock(2024, 3, 7, 9, 5, 2));
//     sequence.Start(20798.9844F, 4);
//     const Drawing fourth = sequence.DrawNext();
class PictureSequence {
public:
    // Its own random source; the pictures are named after the time of day.
    PictureSequence();
    // Its own random source; the pictures are named after `at`.
    explicit PictureSequence(const FixedClock& at);
    // Draws with `random` and names the pictures after `clock`; both must outlive the sequence.
    PictureSequence(RandomSource& random, Clock& clock);
    PictureSequence(const PictureSequence&) = delete;
    PictureSequence& operator=(const PictureSequence&) = delete;
    PictureSequence(PictureSequence&&) = delete;
    PictureSequence& operator=(PictureSequence&&) = delete;
    ~PictureSequence();

    // Starts a new run, as the window does: seeded with the seconds since midnight.
    void StartAtTimeOfDay();
    // Seeds the random source with `seed` and makes picture `number` (1 to Recipe::kLastPicture;
    // a number outside that is taken as the nearer end) the next one, jumping over the 809 values
    // of each picture before it.
    void Start(float seed, int number = 1);
    // Makes the recipe's picture the next one, named at the recipe's time; the pictures after it
    // are named after the clock again. The random source is seeded again only when the sequence
    // is not there already.
    void GoTo(const Recipe& recipe);
    // Clears the drawing area, draws the next picture as "next" does, and gives it. Past the
    // last picture of the seed, it draws the last one again.
    Drawing DrawNext();

    [[nodiscard]] float Seed() const { return seed_; }
    // The number DrawNext gives its picture.
    [[nodiscard]] int NextNumber() const { return next_; }
    // The window's variables, as the last picture left them.
    [[nodiscard]] const PictureState& State() const { return state_; }

private:
    // The sequence's clock, or the time of the recipe that GoTo made next.
    class NamingClock final : public Clock {
    public:
        explicit NamingClock(Clock& clock) : clock_(clock) {}
        void Pin(const FixedClock& at) { pinned_ = at; }
        void Unpin() { pinned_.reset(); }
        std::string Date() override { return pinned_ ? pinned_->Date() : clock_.Date(); }
        std::string Time() override { return pinned_ ? pinned_->Time() : clock_.Time(); }
        float Timer() override { return pinned_ ? pinned_->Timer() : clock_.Timer(); }

    private:
        Clock& clock_;
        std::optional<FixedClock> pinned_;
    };

    PictureSequence(std::unique_ptr<RandomSource> random, std::unique_ptr<Clock> clock);

    std::unique_ptr<RandomSource> ownRandom_;
    std::unique_ptr<Clock> ownClock_;
    RandomSource& random_;
    NamingClock clock_;
    PictureState state_ = PictureState::AtStartUp();
    PictureRecorder recorder_;
    Composer composer_;
    float seed_ = 0.0F;
    int next_ = 1;
    bool started_ = false;
};

// The picture a recipe names, drawn on its own: the same items whatever was drawn before.
[[nodiscard]] Drawing DrawRecipe(const Recipe& recipe);

}  // namespace lorvane
