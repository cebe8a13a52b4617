#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include <QByteArray>

namespace lorvane {

// What the lossless WebP and DEFLATE bitstreams share: bits written least significant first,
// canonical prefix (Huffman) codes of limited length, and code lengths with runs of zeros shortened.
class BitWriter {
public:
    explicit BitWriter(QByteArray& out) : out_(out) {}

    // The low `count` bits of `bits` (at most 32), least significant first.
    void Put(std::uint32_t bits, int count)
    {
        pending_ |= std::uint64_t{bits} << used_;
        used_ += count;
        while (used_ >= 8) {
            out_.append(static_cast<char>(pending_ & 0xFFU));
            pending_ >>= 8U;
            used_ -= 8;
        }
    }

    // Ends the last byte with zero bits.
    void Finish()
    {
        if (used_ > 0) {
            out_.append(static_cast<char>(pending_ & 0xFFU));
        }
        pending_ = 0;
        used_ = 0;
    }

private:
    QByteArray& out_;
    std::uint64_t pending_ = 0;
    int used_ = 0;
};

// A value of 1 or more as a prefix symbol and extra bits, as both formats write distances.
struct Prefixed {
    int symbol = 0;
    int extraBits = 0;
    std::uint32_t extra = 0;
};
[[nodiscard]] Prefixed PrefixOf(std::uint32_t value);

// Both formats limit codes to 15 bits, and the code of code lengths to 7.
constexpr int kLongestCode = 15;
constexpr int kLongestCodeLengthCode = 7;

// A prefix code: each symbol's length (0 when unused) and its code, bit-reversed for the writer.
struct PrefixCode {
    std::vector<int> lengths;
    std::vector<std::uint32_t> codes;

    // The code of at most `longest` bits for symbols seen `counts` times. At least two symbols get
    // a code, so that the code is complete, as decoders require.
    static PrefixCode For(std::span<const std::uint32_t> counts, int longest);
    // The code of these lengths, which must make a complete code.
    static PrefixCode WithLengths(std::vector<int> lengths);

    // How many bits symbols seen `counts` times take.
    [[nodiscard]] std::uint64_t Bits(std::span<const std::uint32_t> counts) const;

    void Write(BitWriter& bits, int symbol) const
    {
        const auto at = static_cast<std::size_t>(symbol);
        bits.Put(codes[at], lengths[at]);
    }
};

// Code lengths as both formats write them: 0 to 15 stand for themselves, 17 is a run of 3 to 10
// zeros and 18 a run of 11 to 138; `counts` gains each symbol's use.
struct LengthRun {
    int symbol;
    std::uint32_t extra;
};
[[nodiscard]] std::vector<LengthRun> LengthRuns(std::span<const int> lengths, std::vector<std::uint32_t>& counts);
constexpr int kCodeLengthSymbols = 19;
void WriteLengthRuns(BitWriter& bits, const std::vector<LengthRun>& runs, const PrefixCode& code);
// How many bits WriteLengthRuns writes.
[[nodiscard]] std::uint64_t LengthRunsBits(const std::vector<LengthRun>& runs, const PrefixCode& code);

}  // namespace lorvane
