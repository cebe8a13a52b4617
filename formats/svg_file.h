#pragma once

#include <optional>

#include <QByteArray>

#include "formats/file_metadata.h"
#include "picture/recipe.h"

namespace lorvane {

class RecordedPicture;

// An SVG document of the picture, 600 x 450 user units shown `scale` times as large. With a recipe
// its <title> is the picture's name and, directly under the root, <metadata> holds
// <recipe xmlns="https://varlenko.art/lorvane01/recipe">seed=... picture=... at=...</recipe>.
[[nodiscard]] QByteArray SvgFile(const RecordedPicture& picture, int scale, const std::optional<Recipe>& recipe);

class ByteSource;

// The recipe text an SVG file carries in <metadata><recipe>, read piece by piece up to the end of
// that metadata; elements too large for any picture of lorvane01 are refused before the XML
// reader sees them.
[[nodiscard]] FoundRecipe ReadSvgRecipe(ByteSource& source);

}  // namespace lorvane
