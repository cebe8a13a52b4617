#pragma once

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "formats/file_metadata.h"
#include "picture/recipe.h"
#include "picture/saved_texts.h"

namespace lorvane {

// PNG text chunks, keyword and value, in the order they are written.
using PngText = std::vector<std::pair<QString, QString>>;

// A standard PNG of `image`, made by libpng with one fixed row filter (Paeth; Up for a row that
// repeats the row above, which gives the same zeros for less work) and zlib's run-length strategy
// at level 1: over 3 times as fast as Qt's writer, which tries every filter on every row, for
// files of the same size, marked as sRGB. Pictures without transparency are written as 8-bit RGB, others as 8-bit
// RGBA. The image's own text and `text` go into text chunks (latin-1 values as tEXt, others as
// UTF-8 iTXt; long values compressed). Thread-safe. Nothing for a null image or a keyword PNG
// cannot hold (1 to 79 latin-1 characters).
// `dotsPerMetre` (when above 0) is the resolution written, in place of the image's own.
// Appends one PNG chunk to `file`: its length, type, data and the CRC of type and data.
void AppendPngChunk(QByteArray& file, QByteArrayView type, QByteArrayView data);

[[nodiscard]] std::optional<QByteArray> EncodePng(const QImage& image, const PngText& text = {}, int dotsPerMetre = 0);

// The PNG file of a picture played at `scale` (not always whole, when fitted to an area): marked
// as sRGB and as 96 dpi times the scale, so that the picture prints at its own size, with the
// recipe's text chunks when it has one.
[[nodiscard]] std::optional<QByteArray> PngFile(const QImage& image, double scale, const std::optional<Recipe>& recipe);

class ByteSource;

// The recipe text a PNG file carries in a text chunk (tEXt, zTXt or iTXt) wherever it stands,
// read by walking the chunks: the image data is never decoded, only the recipe's chunk is read
// and checked, and a file cut short after its recipe still gives it.
[[nodiscard]] FoundRecipe ReadPngRecipe(ByteSource& source);

}  // namespace lorvane
