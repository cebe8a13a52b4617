#pragma once

#include <QByteArray>
#include <QImage>

namespace lorvane {

// The PNG encoder lorvane01 had before its own DEFLATE, kept as it is as the yardstick of the encoder
// and batch goals: libpng, Paeth on every row (Up on a row that repeats the row above), zlib's
// run-length matching at level 1, marked as sRGB; opaque pictures only, without text. Empty when
// libpng fails.
[[nodiscard]] QByteArray EncodePngZlibReference(const QImage& image);

}  // namespace lorvane
