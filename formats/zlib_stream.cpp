#include "zlib_stream.h"

#include <memory>
#include <new>

#include <libdeflate.h>

namespace lorvane {

namespace {

// Measured on the pictures' filtered rows: level 2 is the fastest (level 1's matching is slower on
// long runs of zeros) and its files are a little smaller than zlib's run-length matching made.
constexpr int kLevel = 2;

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
    // Left uninitialised: of the worst case's bound, only the few pages the stream takes are
    // ever touched.
    const std::size_t bound = libdeflate_zlib_compress_bound(&compressor, data.size());
    const std::unique_ptr<unsigned char[]> out(new unsigned char[bound]);  // NOLINT: uninitialised on purpose
    // Never 0: the bound is the worst case.
    const std::size_t size = libdeflate_zlib_compress(&compressor, data.data(), data.size(), out.get(), bound);
    return {out.get(), out.get() + size};
}

}  // namespace lorvane
