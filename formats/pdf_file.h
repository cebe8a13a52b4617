#pragma once

#include <optional>

#include <QByteArray>

#include "formats/file_metadata.h"
#include "picture/recipe.h"

namespace lorvane {

class RecordedPicture;

// A one-page vector PDF the size of the picture, 600 x 450 pixels at 96 dots per inch (450 x 337.5
// points, which the page rounds to 450 x 338). With a recipe, the document's title is the
// picture's name, its creator this program, and its XMP metadata carries the name (dc:title), the
// picture's time (xmp:CreateDate) and the recipe (pdf:Keywords). Empty when it cannot be made.
[[nodiscard]] QByteArray PdfFile(const RecordedPicture& picture, const std::optional<Recipe>& recipe);

// The recipe text a PDF carries in its XMP metadata, found by the packet's markers.
class ByteSource;
[[nodiscard]] FoundRecipe ReadPdfRecipe(ByteSource& source);

}  // namespace lorvane
