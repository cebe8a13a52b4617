#include "players/rectangle_painter.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lorvane {

namespace {

// The image is painted in bands of rows. Within a band, a rectangle that spans all its rows
// hides the columns it covers from every rectangle before it.
constexpr int kBandRows = 32;
constexpr std::size_t kWordBits = 64;
constexpr std::uint64_t kAllBits = ~std::uint64_t{0};

constexpr int kBlockPixels = 16;
// Sixteen pixels, stored as one 64-byte vector, two 32-byte or four 16-byte ones, whichever the
// version of Paint below was compiled for.
using Block = std::uint32_t __attribute__((vector_size(kBlockPixels * sizeof(std::uint32_t))));

// Sets `width` pixels in each of `height` rows, the first at `first`.
[[gnu::always_inline]] inline void FillRows(std::uint32_t* first, std::ptrdiff_t stride, int width, int height,
                                            std::uint32_t pixel)
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

}  // namespace

// One version for each vector width; the loader picks the best one the processor runs, so the
// program still runs on any x86-64. ThreadSanitizer's runtime is not ready when the loader runs
// the picking function, so its builds (LORVANE_NO_IFUNC) have the plain version only.
#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__) && !defined(LORVANE_NO_IFUNC)
[[gnu::target_clones("avx512f", "avx2", "default")]]
#endif
void RectanglePainter::Paint(std::span<const Rectangle> rectangles, std::uint32_t* bits, std::ptrdiff_t stride,
                             int width, int height)
{
    const auto bandCount = static_cast<std::size_t>((height + kBandRows - 1) / kBandRows);
    const auto bandOf = [](int row) { return static_cast<std::size_t>(row / kBandRows); };

    // Each rectangle's columns, and for each band the rectangles that meet it, in painting order.
    columns_.clear();
    bandStarts_.assign(bandCount + 1, 0);
    for (const Rectangle& rectangle : rectangles) {
        const auto left = static_cast<std::size_t>(rectangle.left);
        const auto right = static_cast<std::size_t>(rectangle.right);
        const std::size_t lastBit = (right - 1) % kWordBits;
        columns_.push_back({left / kWordBits, (right - 1) / kWordBits, kAllBits << (left % kWordBits),
                            lastBit == kWordBits - 1 ? kAllBits : (std::uint64_t{1} << (lastBit + 1)) - 1});
        for (std::size_t band = bandOf(rectangle.top); band <= bandOf(rectangle.bottom - 1); ++band) {
            ++bandStarts_[band + 1];
        }
    }
    for (std::size_t band = 0; band < bandCount; ++band) {
        bandStarts_[band + 1] += bandStarts_[band];
    }
    bandRectangles_.resize(bandStarts_[bandCount]);
    bandEnds_.assign(bandStarts_.begin(), bandStarts_.end() - 1);
    for (std::size_t i = 0; i < rectangles.size(); ++i) {
        for (std::size_t band = bandOf(rectangles[i].top); band <= bandOf(rectangles[i].bottom - 1); ++band) {
            bandRectangles_[bandEnds_[band]++] = i;
        }
    }

    covered_.resize((static_cast<std::size_t>(width) + kWordBits - 1) / kWordBits);
    for (std::size_t band = 0; band < bandCount; ++band) {
        const int bandTop = static_cast<int>(band) * kBandRows;
        const int bandBottom = std::min(height, bandTop + kBandRows);
        const std::size_t first = bandStarts_[band];
        const std::size_t last = bandStarts_[band + 1];

        // Where each rectangle's words start in masks_.
        maskStarts_.resize(last - first + 1);
        maskStarts_[0] = 0;
        for (std::size_t k = first; k < last; ++k) {
            const Columns& columns = columns_[bandRectangles_[k]];
            maskStarts_[k - first + 1] = maskStarts_[k - first] + columns.lastWord - columns.firstWord + 1;
        }
        masks_.resize(maskStarts_.back());
        shown_.resize(last - first);

        // From the last rectangle back: the columns of each that no later full-height one covers.
        std::fill(covered_.begin(), covered_.end(), 0);
        for (std::size_t k = last; k-- > first;) {
            const Rectangle& rectangle = rectangles[bandRectangles_[k]];
            const Columns& columns = columns_[bandRectangles_[k]];
            const std::uint64_t coversBand = rectangle.top <= bandTop && rectangle.bottom >= bandBottom ? kAllBits : 0;
            std::uint64_t* mask = masks_.data() + maskStarts_[k - first];
            std::uint64_t anyShown = 0;
            std::uint64_t anyHidden = 0;
            for (std::size_t word = columns.firstWord; word <= columns.lastWord; ++word, ++mask) {
                const std::uint64_t wordBits = (word == columns.firstWord ? columns.firstBits : kAllBits) &
                                               (word == columns.lastWord ? columns.lastBits : kAllBits);
                const std::uint64_t hidden = wordBits & covered_[word];
                *mask = wordBits & ~hidden;
                anyShown |= *mask;
                anyHidden |= hidden;
                covered_[word] |= wordBits & coversBand;
            }
            shown_[k - first] = anyShown == 0 ? Shown::kNone : anyHidden == 0 ? Shown::kAll : Shown::kSome;
        }

        // In painting order, each rectangle's columns that still show.
        for (std::size_t k = first; k < last; ++k) {
            const Shown shown = shown_[k - first];
            if (shown == Shown::kNone) {
                continue;
            }
            const Rectangle& rectangle = rectangles[bandRectangles_[k]];
            const int top = std::max(bandTop, rectangle.top);
            const int rows = std::min(bandBottom, rectangle.bottom) - top;
            std::uint32_t* const row = bits + top * stride;
            if (shown == Shown::kAll) {
                FillRows(row + rectangle.left, stride, rectangle.right - rectangle.left, rows, rectangle.pixel);
                continue;
            }
            const Columns& columns = columns_[bandRectangles_[k]];
            const std::uint64_t* mask = masks_.data() + maskStarts_[k - first];
            std::size_t runStart = 0;
            bool inRun = false;
            for (std::size_t word = columns.firstWord; word <= columns.lastWord; ++word, ++mask) {
                const std::uint64_t shownBits = *mask;
                std::size_t position = 0;
                while (position < kWordBits) {
                    const std::uint64_t ahead = (inRun ? ~shownBits : shownBits) >> position;
                    if (ahead == 0) {
                        break;
                    }
                    position += static_cast<std::size_t>(std::countr_zero(ahead));
                    if (inRun) {
                        FillRows(row + runStart, stride, static_cast<int>(word * kWordBits + position - runStart), rows,
                                 rectangle.pixel);
                    } else {
                        runStart = word * kWordBits + position;
                    }
                    inRun = !inRun;
                }
            }
            if (inRun) {
                FillRows(row + runStart, stride, rectangle.right - static_cast<int>(runStart), rows, rectangle.pixel);
            }
        }
    }
}

}  // namespace lorvane
