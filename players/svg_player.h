#pragma once

#include <optional>

#include <QByteArray>

#include "recipe.h"

namespace lorvane {

class Recording;

// Plays a recording as an SVG document of 600 x 450 user units, shown `scale` (1 to 16) times as
// large, that looks like the raster player's picture at that scale: fills become <rect>
// elements, other lines <line>, and text <text> with its baseline where the raster player puts
// it. With a recipe, the document's <title> is the picture's name and its <metadata> the recipe.
// Needs a running QGuiApplication for the text's measurements.
QByteArray SvgDocument(const Recording& recording, int scale, const std::optional<Recipe>& recipe = std::nullopt);

}  // namespace lorvane
