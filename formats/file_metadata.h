#pragma once

#include <optional>
#include <string>

#include <QString>

#include "picture/saved_texts.h"
#include "platform/problem.h"

namespace lorvane {

// What a file's reader found: the recipe's text, or what is wrong with the file, or neither when
// the file is sound but holds no recipe.
struct FoundRecipe {
    std::optional<QString> text;
    std::optional<Problem> problem;

    // A file that is not a sound picture, for `what` ("is a damaged PNG file").
    [[nodiscard]] static FoundRecipe Refused(const QString& what) { return {{}, Problem{what.toStdString()}}; }

    // Takes one more recipe text found in the file: a file whose recipes differ has none that
    // can be trusted.
    void Add(const QString& found)
    {
        if (text && *text != found) {
            problem = Problem{"holds two different recipes; it is not a picture saved by lorvane01"};
        }
        text = found;
    }
};

}  // namespace lorvane
