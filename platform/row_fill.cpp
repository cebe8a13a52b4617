#include "row_fill.h"

#include <algorithm>
#include <cstring>

namespace lorvane {

namespace {

constexpr int kBlockPixels = 16;
// Sixteen pixels, stored as one 64-byte vector, two 32-byte or four 16-byte ones, whichever the
// processor has; the compiler picks the instructions for each of the versions below.
using Block = std::uint32_t __attribute__((vector_size(kBlockPixels * sizeof(std::uint32_t))));

}  // namespace

// One version for each vector width; the loader picks the best one the processor runs, so the
// program still runs on any x86-64.
#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__)
[[gnu::target_clones("avx512f", "avx2", "default")]]
#endif
void FillRows(std::uint32_t* first, std::ptrdiff_t stride, int width, int height, std::uint32_t pixel)
{
    if (width < kBlockPixels) {
        for (int y = 0; y < height; ++y, first += stride) {
            std::fill(first, first + width, pixel);
        }
        return;
    }
    Block block{};
    for (int i = 0; i < kBlockPixels; ++i) {
        block[i] = pixel;
    }
    for (int y = 0; y < height; ++y, first += stride) {
        // Whole blocks from the left, then one more that ends exactly at the row's end and may
        // overlap the one before: no pixel-by-pixel tail.
        std::uint32_t* const lastBlock = first + width - kBlockPixels;
        for (std::uint32_t* blockStart = first; blockStart < lastBlock; blockStart += kBlockPixels) {
            std::memcpy(blockStart, &block, sizeof block);
        }
        std::memcpy(lastBlock, &block, sizeof block);
    }
}

}  // namespace lorvane
