#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>

namespace lorvane {

// The VP8L chunk (header, lossless bitstream and padding) of `rect` of `image`, an RGB32 image,
// opaque. Written by a small encoder of lorvane01's own that knows what its frames are: runs of
// one colour and rows that repeat the row above. So each pixel is a literal or part of a copy of
// the pixel before or the pixel above, under Huffman codes made for the frame; no transforms, no
// colour cache. Exact for any pixels; `rect` lies in the image and is at most 16384 pixels each way.
[[nodiscard]] QByteArray Vp8lChunk(const QImage& image, const QRect& rect);

}  // namespace lorvane
