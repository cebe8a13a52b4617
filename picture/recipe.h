#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/date_and_time.h"
#include "platform/problem.h"

namespace lorvane {

// What it takes to draw a picture again: the seed the random source started from, the picture's
// place in that seed's sequence and the date and time in its name and captions. Written as one
// line, `seed=32702.5 picture=3 at=20240307090502`.
struct Recipe {
    // Picture numbers run from 1 (the window's start-up picture) to this. Reaching a picture
    // skips the 809 random values of each picture before it, by a jump of the random source
    // that takes about 0.1 s however far it goes.
    static constexpr int kLastPicture = 10000000;
    // Longer text is refused before it is looked at.
    static constexpr std::size_t kLongestText = 200;

    float seed = 0.0F;
    int picture = 1;
    // YYYYMMDDhhmmss, local time.
    std::string at;

    // "T" and the 14 digits, as in the captions: T20240307090502.
    [[nodiscard]] std::string Name() const;
    // The seed in the fewest digits that read back to the same value: 32702.5.
    [[nodiscard]] std::string SeedText() const;
    // The one-line form, with SeedText.
    [[nodiscard]] std::string Text() const;
    // YYYY-MM-DDThh:mm:ss, as the PNG "Creation Time" keyword and XMP write dates.
    [[nodiscard]] std::string IsoTime() const;
};

// A text that is not a recipe or a seed is a Problem of status kRefused, in words for the
// person who gave it.

// Reads a seed as the recipe and lorvane01-render's --seed both take it: a decimal number
// (`-1.5`, `2e4`; no `+`, no blanks) rounded to the nearest single-precision value, so that one
// too close to zero for that is zero and one too large is refused. The message names it with
// `name` ("seed", "--seed").
[[nodiscard]] std::variant<float, Problem> ParseSeed(std::string_view text, std::string_view name);

// Reads the one-line form strictly: the three fields in order, a finite single-precision seed,
// a picture from 1 to Recipe::kLastPicture and a real date and time. Surrounding blanks and line
// ends are allowed.
[[nodiscard]] std::variant<Recipe, Problem> ParseRecipe(std::string_view text);

// The recipe of the `picture`-th picture after `seed`, named `name` ("T" and 14 digits); none
// when the name is not that (its clock failed) or the number is out of range.
[[nodiscard]] std::optional<Recipe> RecipeOfPicture(float seed, int picture, std::string_view name);

}  // namespace lorvane
