#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QString>

namespace lorvane {

// PNG text chunks, keyword and value, in the order they are written.
using PngText = std::vector<std::pair<QString, QString>>;

// A standard PNG of `image`, made by libpng with one fixed row filter (Paeth; Up for a row that
// repeats the row above, which gives the same zeros for less work) and zlib's run-length strategy
// at level 1: over 3 times as fast as Qt's writer, which tries every filter on every row, for
// files of the same size. Pictures without transparency are written as 8-bit RGB, others as 8-bit
// RGBA. The image's own text and `text` go into text chunks (latin-1 values as tEXt, others as
// UTF-8 iTXt; long values compressed). Thread-safe. Nothing for a null image or a keyword PNG
// cannot hold (1 to 79 latin-1 characters).
[[nodiscard]] std::optional<QByteArray> EncodePng(const QImage& image, const PngText& text = {});

}  // namespace lorvane
