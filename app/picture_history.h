#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "picture/recipe.h"

namespace lorvane {

// The pictures shown since start-up, as recipes (24 bytes each), never as images: a picture is
// drawn again from its recipe when it is shown again. Walking it never takes a random value.
//
//     history.Add(shown.recipe);
//     if (const std::optional<Recipe> previous = history.Back()) { Show(DrawRecipe(*previous)); }
class PictureHistory {
public:
    // Puts a new picture at the end and stands on it, wherever the walk stood. A picture without a
    // recipe (the clock failed) cannot be drawn again: it is not kept, and Back from it gives the
    // last picture that was.
    void Add(const std::optional<Recipe>& recipe);
    // The picture before the one shown, and stands there; nothing at the first.
    [[nodiscard]] std::optional<Recipe> Back();
    // The picture after the one shown, and stands there; nothing at the last.
    [[nodiscard]] std::optional<Recipe> Forward();
    // The first and the last picture kept, and stands there; nothing when it stands there already.
    [[nodiscard]] std::optional<Recipe> First();
    [[nodiscard]] std::optional<Recipe> Newest();
    // Whether Back and Forward would give a picture.
    [[nodiscard]] bool CanGoBack() const { return position_ > 0 && !entries_.empty(); }
    [[nodiscard]] bool CanGoForward() const { return position_ + 1 < entries_.size(); }
    [[nodiscard]] std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        float seed;
        int picture;
        std::array<char, 14> at;
    };

    [[nodiscard]] Recipe At(std::size_t index) const;

    std::vector<Entry> entries_;
    // The picture shown; Size() when it is not kept.
    std::size_t position_ = 0;
};

}  // namespace lorvane
