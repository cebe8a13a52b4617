#pragma once

#include <optional>
#include <string>

#include <QString>

#include "lorvane_version.h"

namespace lorvane {

// The program that made a file, as PNG's "Software" and the PDF's creator say: "lorvane01 1.00".
inline std::string SoftwareName()
{
    return std::string("lorvane01 ").append(kVersion);
}

// What a file's reader found: the recipe's text, or what is wrong with the file, or neither when
// the file is sound but holds no recipe.
struct FoundRecipe {
    std::optional<QString> text;
    QString problem;
};

}  // namespace lorvane
