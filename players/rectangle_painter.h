#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lorvane {

// Paints solid rectangles, one after another, into 32-bit pixels in memory. The result is that
// of painting each rectangle whole in turn, but a part that a later rectangle covers in full is
// not painted first: of the 200 squares of a picture, about five times the picture's area, most
// is covered again.
class RectanglePainter {
public:
    // In device pixels, right and bottom exclusive; not empty, and inside the image.
    struct Rectangle {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        std::uint32_t pixel = 0;
    };

    // `bits` is the first pixel of the top row, rows are `stride` pixels apart.
    void Paint(std::span<const Rectangle> rectangles, std::uint32_t* bits, std::ptrdiff_t stride, int width,
               int height);

private:
    // A rectangle's columns as 64-bit words of a row: the first and last word and their bits.
    struct Columns {
        std::size_t firstWord = 0;
        std::size_t lastWord = 0;
        std::uint64_t firstBits = 0;
        std::uint64_t lastBits = 0;
    };

    enum class Shown : std::uint8_t { kNone, kSome, kAll };

    // Scratch space, kept between pictures to save allocations.
    std::vector<Columns> columns_;
    std::vector<std::size_t> bandStarts_;
    std::vector<std::size_t> bandEnds_;
    std::vector<std::size_t> bandRectangles_;
    std::vector<std::size_t> maskStarts_;
    std::vector<std::uint64_t> masks_;
    std::vector<Shown> shown_;
    std::vector<std::uint64_t> covered_;
};

}  // namespace lorvane
