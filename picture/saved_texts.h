#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "picture/lorvane_version.h"
#include "picture/recipe.h"

namespace lorvane {

// The program that made a file, as PNG's "Software" and the PDF's creator say: "lorvane01 1.00".
inline std::string SoftwareName()
{
    return std::string("lorvane01 ").append(kVersion);
}

// The text chunk of a saved PNG that holds the recipe's one-line form, read back by --from.
inline constexpr std::string_view kPngRecipeKey = "lorvane01-recipe";

// What a saved PNG says of its picture, keyword and text in the order they are written: "Title"
// (the name), "Software", "Creation Time" and the recipe. The window, lorvane01-render and the web
// page all write these.
inline std::vector<std::pair<std::string, std::string>> SavedPngTexts(const Recipe& recipe)
{
    return {{"Title", recipe.Name()},
            {"Software", SoftwareName()},
            {"Creation Time", recipe.IsoTime()},
            {std::string(kPngRecipeKey), recipe.Text()}};
}

}  // namespace lorvane
