#include "formats/zlib_stream.h"

#include <cstddef>
#include <memory>
#include <new>

#include <libdeflate.h>

namespace lorvane {

namespace {

// Measured on the pictures' filtered rows: levels 2 to 5 take the same time (level 1's matching
// is slower on long runs of zeros), and level 5's lazy matching makes the smallest files of them.
constexpr int kLevel = 5;

// The kept output buffer: a sixteenth of the input, and at least 64 KiB.
constexpr std::size_t kLikelyRatio = 16;
constexpr std::size_t kLeastKept = std::size_t{64} * 1024;

struct FreeCompressor {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

libdeflate_compressor& ThreadCompressor()
{
    // Made once per thread: it holds tables that would otherwise be allocated for every file.
    thread_local const std::unique_ptr<libdeflate_compressor, FreeCompressor> compressor(
        libdeflate_alloc_compressor(kLevel));
    if (!compressor) {
        throw std::bad_alloc();
    }
    return *compressor;
}

}  // namespace

std::vector<unsigned char> CompressZlibStream(std::span<const unsigned char> data)
{
    libdeflate_compressor& compressor = ThreadCompressor();
    // The pictures' streams take a few percent of their rows: first tried in a buffer the thread
    // keeps, then, in the rare case that is too small, in one as large as the worst case, left
    // uninitialised so that only the pages the stream takes are ever touched.
    thread_local std::vector<unsigned char> kept;
    const std::size_t likely = data.size() / kLikelyRatio + kLeastKept;
    if (kept.size() < likely) {
        kept.resize(likely);
    }
    std::size_t size = libdeflate_zlib_compress(&compressor, data.data(), data.size(), kept.data(), kept.size());
    if (size > 0) {
        return {kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(size)};
    }
    const std::size_t bound = libdeflate_zlib_compress_bound(&compressor, data.size());
    const std::unique_ptr<unsigned char[]> out(new unsigned char[bound]);  // NOLINT: uninitialised on purpose
    // Never 0: the bound is the worst case.
    size = libdeflate_zlib_compress(&compressor, data.data(), data.size(), out.get(), bound);
    return {out.get(), out.get() + size};
}

}  // namespace lorvane
