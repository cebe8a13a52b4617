#pragma once

#include <optional>

#include <QByteArray>

#include "file_metadata.h"
#include "recipe.h"

namespace lorvane {

class RecordedPicture;

// An SVG document of the picture, 600 x 450 user units shown `scale` times as large. With a recipe
// its <title> is the picture's name and, directly under the root, <metadata> holds
// <recipe xmlns="https://varlenko.art/lorvane01/recipe">seed=... picture=... at=...</recipe>.
[[nodiscard]] QByteArray SvgFile(const RecordedPicture& picture, int scale, const std::optional<Recipe>& recipe);

// The recipe text an SVG document carries where SvgFile puts it.
[[nodiscard]] FoundRecipe ReadSvgRecipe(const QByteArray& bytes);

}  // namespace lorvane
