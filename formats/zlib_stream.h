#pragma once

#include <span>
#include <vector>

namespace lorvane {

// `data` as one zlib stream (a DEFLATE stream with its header and Adler-32 check), as a PNG's
// image data and its compressed text are kept, made by libdeflate in one pass over the whole
// buffer. Thread-safe; each thread keeps its own compressor from call to call.
[[nodiscard]] std::vector<unsigned char> CompressZlibStream(std::span<const unsigned char> data);

}  // namespace lorvane
