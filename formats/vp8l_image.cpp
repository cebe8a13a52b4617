#include "formats/vp8l_image.h"

#include "formats/prefix_codes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace lorvane {

namespace {

constexpr char kSignature = 0x2F;
constexpr int kSideBits = 14;
constexpr int kLiterals = 256;
// Green's alphabet: the literals, then the 24 prefixes of a copy's length (no colour cache).
constexpr int kGreenSymbols = kLiterals + 24;
constexpr int kDistanceSymbols = 40;
constexpr int kLongestCopy = 4096;
// The distance codes of the pixel above and of the pixel before, from VP8L's table of near
// places; their values (1 and 2) are their prefixes' own, with no extra bits.
constexpr std::uint32_t kAbove = 1;
constexpr std::uint32_t kBefore = 2;
constexpr std::array<int, kCodeLengthSymbols> kCodeLengthOrder = {17, 18, 0, 1,  2,  3,  4,  5,  16, 6,
                                                                  7,  8,  9, 10, 11, 12, 13, 14, 15};

// Writes the code for symbols seen `counts` times and gives it.
PrefixCode WriteCode(BitWriter& bits, const std::vector<std::uint32_t>& counts)
{
    std::vector<int> seen;
    for (std::size_t symbol = 0; symbol < counts.size() && seen.size() < 2; ++symbol) {
        if (counts[symbol] > 0) {
            seen.push_back(static_cast<int>(symbol));
        }
    }
    if (seen.size() < 2 && (seen.empty() || seen.front() < kLiterals)) {
        // A simple code of one symbol, which takes no bits.
        const int symbol = seen.empty() ? 0 : seen.front();
        bits.Put(1, 1);
        bits.Put(0, 1);
        const bool wide = symbol > 1;
        bits.Put(wide ? 1 : 0, 1);
        bits.Put(static_cast<std::uint32_t>(symbol), wide ? 8 : 1);
        return {std::vector<int>(counts.size(), 0), std::vector<std::uint32_t>(counts.size(), 0)};
    }
    PrefixCode code = PrefixCode::For(counts, kLongestCode);
    // The lengths, with runs of zeros shortened, under a code of their own.
    std::vector<std::uint32_t> runCounts(kCodeLengthSymbols, 0);
    const std::vector<LengthRun> runs = LengthRuns(code.lengths, runCounts);
    const PrefixCode runCode = PrefixCode::For(runCounts, kLongestCodeLengthCode);
    std::size_t written = kCodeLengthSymbols;
    while (written > 4 && runCode.lengths[static_cast<std::size_t>(kCodeLengthOrder.at(written - 1))] == 0) {
        --written;
    }
    bits.Put(0, 1);
    bits.Put(static_cast<std::uint32_t>(written - 4), 4);
    for (std::size_t i = 0; i < written; ++i) {
        bits.Put(static_cast<std::uint32_t>(runCode.lengths[static_cast<std::size_t>(kCodeLengthOrder.at(i))]), 3);
    }
    // Every length of the alphabet follows.
    bits.Put(0, 1);
    WriteLengthRuns(bits, runs, runCode);
    return code;
}

// A pixel as it is written, or a copy of `length` pixels at a near place.
struct Token {
    std::uint32_t value;     // the pixel, or the copy's length
    std::uint32_t distance;  // 0 for a pixel, else kAbove or kBefore
};

class Frame {
public:
    Frame(const QImage& image, const QRect& rect)
        : image_(image), rect_(rect), width_(rect.width()), height_(rect.height())
    {
    }

    [[nodiscard]] const QRgb* Row(int y) const
    {
        return reinterpret_cast<const QRgb*>(image_.constScanLine(rect_.top() + y)) + rect_.left();
    }

    // How many pixels from (x, y) on, in reading order and at most `most`, equal `colour`.
    [[nodiscard]] int Run(QRgb colour, int x, int y, int most) const
    {
        int count = 0;
        for (; y < height_; ++y, x = 0) {
            const QRgb* const row = Row(y);
            const int end = std::min(width_, x + most - count);
            const QRgb* const stop = std::find_if(row + x, row + end, [colour](QRgb pixel) { return pixel != colour; });
            count += static_cast<int>(stop - (row + x));
            if (stop != row + end || count == most) {
                return count;
            }
        }
        return count;
    }

    // How many pixels from (x, y) on, in reading order and at most `most`, equal the pixel above.
    [[nodiscard]] int SameAsAbove(int x, int y, int most) const
    {
        int count = 0;
        for (; y < height_; ++y, x = 0) {
            const QRgb* const row = Row(y) + x;
            const QRgb* const above = Row(y - 1) + x;
            const int length = std::min(width_ - x, most - count);
            if (std::memcmp(row, above, static_cast<std::size_t>(length) * sizeof(QRgb)) == 0) {
                count += length;
            } else {
                count += static_cast<int>(std::mismatch(row, row + length, above).first - row);
                return count;
            }
            if (count == most) {
                return count;
            }
        }
        return count;
    }

    // Each pixel a literal or part of the longer copy, of the pixel before or the pixel above.
    [[nodiscard]] std::vector<Token> Tokens() const
    {
        std::vector<Token> tokens;
        int x = 0;
        int y = 0;
        while (y < height_) {
            int run = 0;
            if (x > 0 || y > 0) {
                run = Run(x > 0 ? Row(y)[x - 1] : Row(y - 1)[width_ - 1], x, y, kLongestCopy);
            }
            const int above = y > 0 ? SameAsAbove(x, y, kLongestCopy) : 0;
            const int longer = std::max(run, above);
            if (longer < 2) {
                tokens.push_back({Row(y)[x], 0});
                ++x;
            } else {
                tokens.push_back({static_cast<std::uint32_t>(longer), above > run ? kAbove : kBefore});
                x += longer;
            }
            y += x / width_;
            x %= width_;
        }
        return tokens;
    }

private:
    const QImage& image_;
    QRect rect_;
    int width_;
    int height_;
};

}  // namespace

QByteArray Vp8lChunk(const QImage& image, const QRect& rect)
{
    const std::vector<Token> tokens = Frame(image, rect).Tokens();
    std::vector<std::uint32_t> green(kGreenSymbols, 0);
    std::vector<std::uint32_t> red(kLiterals, 0);
    std::vector<std::uint32_t> blue(kLiterals, 0);
    std::vector<std::uint32_t> alpha(kLiterals, 0);
    std::vector<std::uint32_t> distance(kDistanceSymbols, 0);
    for (const Token& token : tokens) {
        if (token.distance == 0) {
            ++green[static_cast<std::size_t>(qGreen(token.value))];
            ++red[static_cast<std::size_t>(qRed(token.value))];
            ++blue[static_cast<std::size_t>(qBlue(token.value))];
            ++alpha[static_cast<std::size_t>(qAlpha(token.value))];
        } else {
            ++green.at(static_cast<std::size_t>(kLiterals) + static_cast<std::size_t>(PrefixOf(token.value).symbol));
            ++distance[static_cast<std::size_t>(PrefixOf(token.distance).symbol)];
        }
    }

    QByteArray chunk("VP8L\0\0\0\0", 8);
    BitWriter bits(chunk);
    bits.Put(static_cast<std::uint8_t>(kSignature), 8);
    bits.Put(static_cast<std::uint32_t>(rect.width() - 1), kSideBits);
    bits.Put(static_cast<std::uint32_t>(rect.height() - 1), kSideBits);
    // Opaque, version 0, no transform, no colour cache, one set of codes for the whole frame.
    bits.Put(0, 1);
    bits.Put(0, 3);
    bits.Put(0, 1);
    bits.Put(0, 1);
    bits.Put(0, 1);
    const PrefixCode greenCode = WriteCode(bits, green);
    const PrefixCode redCode = WriteCode(bits, red);
    const PrefixCode blueCode = WriteCode(bits, blue);
    const PrefixCode alphaCode = WriteCode(bits, alpha);
    const PrefixCode distanceCode = WriteCode(bits, distance);
    for (const Token& token : tokens) {
        if (token.distance == 0) {
            greenCode.Write(bits, qGreen(token.value));
            redCode.Write(bits, qRed(token.value));
            blueCode.Write(bits, qBlue(token.value));
            alphaCode.Write(bits, qAlpha(token.value));
            continue;
        }
        const Prefixed length = PrefixOf(token.value);
        greenCode.Write(bits, kLiterals + length.symbol);
        bits.Put(length.extra, length.extraBits);
        const Prefixed place = PrefixOf(token.distance);
        distanceCode.Write(bits, place.symbol);
        bits.Put(place.extra, place.extraBits);
    }
    bits.Finish();
    const auto size = static_cast<std::uint32_t>(chunk.size() - 8);
    for (int i = 0; i < 4; ++i) {
        chunk[4 + i] = static_cast<char>((size >> (8U * static_cast<unsigned>(i))) & 0xFFU);
    }
    if (size % 2 != 0) {
        chunk.append('\0');
    }
    return chunk;
}

}  // namespace lorvane
