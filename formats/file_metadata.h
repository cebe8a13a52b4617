#pragma once

#include <optional>
#include <string>

#include <QString>

#include "picture/saved_texts.h"

namespace lorvane {

// What a file's reader found: the recipe's text, or what is wrong with the file, or neither when
// the file is sound but holds no recipe.
struct FoundRecipe {
    std::optional<QString> text;
    QString problem;

    // Takes one more recipe text found in the file: a file whose recipes differ has none that
    // can be trusted.
    void Add(const QString& found)
    {
        if (text && *text != found) {
            problem = QStringLiteral("holds two different recipes; it is not a picture saved by lorvane01");
        }
        text = found;
    }
};

}  // namespace lorvane
