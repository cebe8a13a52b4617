#pragma once

#include <optional>

#include <QByteArray>

#include "recipe.h"

namespace lorvane {

class Recording;

// Plays a recording as a one-page vector PDF the size of the picture, 600 x 450 pixels at 96 dots
// per inch (450 x 337.5 points, which the page rounds to 450 x 338): fills become filled
// rectangles, other lines stroked lines, and the captions real, selectable text in the caption
// font, where the raster player puts them at scale 1. With a recipe, the document's title is the
// picture's name, its creator this program, and its XMP metadata carries the recipe. Needs a
// running QGuiApplication.
QByteArray PdfDocument(const Recording& recording, const std::optional<Recipe>& recipe = std::nullopt);

}  // namespace lorvane
