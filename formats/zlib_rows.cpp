#include "formats/zlib_rows.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include <libdeflate.h>

namespace lorvane {

namespace {

constexpr std::size_t kShortestCopy = 3;
constexpr std::size_t kLongestCopy = 258;
// DEFLATE reaches back at most this far.
constexpr std::size_t kFarthest = 32768;
constexpr int kEndOfBlock = 256;
constexpr int kFirstLengthSymbol = 257;
constexpr int kLiteralSymbols = 286;
constexpr int kDistanceSymbols = 30;
// A block's codes cost about a hundred bytes: a block ends at this many copies, or where rows of
// copies give way to rows of literals (more than a 64th of the row) or back, once it has at least
// kLeastSplitBlock copies.
constexpr std::size_t kBlockCopies = std::size_t{1} << 16U;
constexpr std::size_t kLiteralRowShare = 64;
constexpr std::size_t kLeastSplitBlock = 256;
constexpr std::array<int, kCodeLengthSymbols> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                  11, 4,  12, 3, 13, 2, 14, 1, 15};
// A block's own codes are written as the counts of both codes' lengths and of the code of code
// lengths (5, 5 and 4 bits), then that code's lengths, 3 bits each, then the lengths.
constexpr std::uint64_t kCodeCountBits = 14;
constexpr int kCodeLengthBits = 3;

// DEFLATE's fixed codes.
struct FixedCodes {
    PrefixCode literals;
    PrefixCode distances;
};

const FixedCodes& Fixed()
{
    static const FixedCodes codes = [] {
        std::vector<int> literals(288, 8);
        std::fill(literals.begin() + 144, literals.begin() + 256, 9);
        std::fill(literals.begin() + 256, literals.begin() + 280, 7);
        return FixedCodes{PrefixCode::WithLengths(std::move(literals)),
                          PrefixCode::WithLengths(std::vector<int>(kDistanceSymbols, 5))};
    }();
    return codes;
}

// zlib's header: DEFLATE with a 32 KiB window, made by the fastest method, no dictionary.
constexpr std::array<char, 2> kZlibHeader = {0x78, 0x01};

// The symbol and extra bits of each copy length, from DEFLATE's table.
struct LengthCode {
    int symbol;
    int extraBits;
    std::uint32_t extra;
};
constexpr std::array<LengthCode, kLongestCopy + 1> kLengthCodes = [] {
    constexpr std::array<int, 29> kBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    constexpr std::array<int, 29> kExtraBits = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    std::array<LengthCode, kLongestCopy + 1> codes{};
    for (std::size_t code = 0; code < kBase.size(); ++code) {
        const int end = code + 1 < kBase.size() ? kBase[code + 1] : kBase[code] + 1;
        for (int length = kBase[code]; length < end; ++length) {
            codes[static_cast<std::size_t>(length)] = {kFirstLengthSymbol + static_cast<int>(code), kExtraBits[code],
                                                       static_cast<std::uint32_t>(length - kBase[code])};
        }
    }
    return codes;
}();

// Where four bytes were last seen: the table's size, as bits of their hash.
constexpr unsigned kHashBits = 15;
// A copy from further back than a row costs more bits than three or four literals mostly do.
constexpr std::size_t kShortestFarCopy = 4;

std::size_t Hash(const unsigned char* at)
{
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, at, sizeof bytes);
    constexpr std::uint32_t kGolden = 0x9E3779B1U;
    return (bytes * kGolden) >> (32U - kHashBits);
}

// How many bytes from `at` on, at most `most`, equal those `distance` before them.
std::size_t MatchLength(const unsigned char* at, std::size_t distance, std::size_t most)
{
    std::size_t length = 0;
    for (; length + sizeof(std::uint64_t) <= most; length += sizeof(std::uint64_t)) {
        std::uint64_t here = 0;
        std::uint64_t back = 0;
        std::memcpy(&here, at + length, sizeof here);
        std::memcpy(&back, at + length - distance, sizeof back);
        if (here != back) {
            // Bytes in memory order: the first that differs is the lowest.
            return length + static_cast<std::size_t>(std::countr_zero(here ^ back)) / 8;
        }
    }
    while (length < most && at[length] == at[length - distance]) {
        ++length;
    }
    return length;
}

}  // namespace

// Allocated once per thread: a picture's encoding would otherwise spend more time faulting in and
// zeroing these than compressing.
struct ZlibRows::Workspace {
    // A literal byte (length 0), or a copy of `length` bytes `value` back.
    struct Copy {
        std::uint16_t length;
        std::uint16_t value;
    };

    // The bytes a copy may reach back to, then the row being added.
    std::vector<unsigned char> window;
    // Where each hash of four bytes was last seen in the thread's streams, plus one (0: never).
    // Positions only grow from stream to stream, so what an earlier stream left is out of reach.
    std::vector<std::uint64_t> seen = std::vector<std::uint64_t>(std::size_t{1} << kHashBits, 0);
    std::uint64_t end = 0;
    std::vector<Copy> block;
    bool busy = false;
};

ZlibRows::Workspace& ZlibRows::ThreadWorkspace(std::unique_ptr<Workspace>& own)
{
    thread_local Workspace kept;
    if (kept.busy) {
        own = std::make_unique<Workspace>();
        return *own;
    }
    return kept;
}

ZlibRows::ZlibRows(std::size_t rowBytes, std::size_t pixelBytes)
    : rowBytes_(rowBytes),
      pixelBytes_(pixelBytes),
      work_(ThreadWorkspace(own_)),
      start_(work_.end),
      literalCounts_(kLiteralSymbols, 0),
      distanceCounts_(kDistanceSymbols, 0)
{
    work_.busy = true;
    work_.window.resize(std::max(work_.window.size(), 2 * (kFarthest + rowBytes)));
    work_.block.clear();
    stream_.append(kZlibHeader.data(), kZlibHeader.size());
}

ZlibRows::~ZlibRows()
{
    work_.end = start_ + used_;
    work_.busy = false;
}

void ZlibRows::AddLiteral(unsigned char byte)
{
    work_.block.push_back({0, byte});
    ++literalCounts_[byte];
}

void ZlibRows::AddCopy(std::size_t length, std::size_t distance)
{
    work_.block.push_back({static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(distance)});
    ++literalCounts_[static_cast<std::size_t>(kLengthCodes[length].symbol)];
    ++distanceCounts_[static_cast<std::size_t>(PrefixOf(static_cast<std::uint32_t>(distance)).symbol)];
}

unsigned char* ZlibRows::NextRow()
{
    std::vector<unsigned char>& window = work_.window;
    if (used_ + rowBytes_ > window.size()) {
        // Only the bytes a copy may reach back to are kept.
        const std::size_t kept = std::min(used_, kFarthest);
        std::memmove(window.data(), window.data() + used_ - kept, kept);
        start_ += used_ - kept;
        used_ = kept;
    }
    return window.data() + used_;
}

ZlibRows::Match ZlibRows::Longest(const unsigned char* row, std::size_t at)
{
    const std::size_t most = std::min(kLongestCopy, rowBytes_ - at);
    // Nothing before the first row may be copied, nor anything further back than DEFLATE reaches.
    const std::size_t reach = std::min(used_ + at, kFarthest);
    const bool aboveInReach = rowBytes_ <= reach;
    Match longest;
    // Nearest first: of copies as long, the nearer costs fewer bits.
    for (const std::size_t distance : {std::size_t{1}, pixelBytes_, aboveInReach ? rowBytes_ : 0}) {
        if (distance == 0 || distance > reach) {
            continue;
        }
        const std::size_t length = MatchLength(row + at, distance, most);
        if (length > longest.length) {
            longest = {length, distance};
            if (length == most) {
                return longest;
            }
        }
    }
    if (at + sizeof(std::uint32_t) <= rowBytes_) {
        // The last place these four bytes were seen, when it is in reach.
        std::uint64_t& seen = work_.seen[Hash(row + at)];
        const std::uint64_t here = start_ + used_ + at;
        if (seen != 0 && here - (seen - 1) <= reach) {
            const auto distance = static_cast<std::size_t>(here - (seen - 1));
            const std::size_t length = MatchLength(row + at, distance, most);
            if (length > longest.length && length >= kShortestFarCopy) {
                longest = {length, distance};
            }
        }
        seen = here + 1;
    }
    return longest;
}

void ZlibRows::AddRow()
{
    const unsigned char* const row = work_.window.data() + used_;
    const std::size_t blockBefore = work_.block.size();
    std::size_t literals = 0;
    Match match = Longest(row, 0);
    for (std::size_t at = 0; at < rowBytes_;) {
        if (match.length < kShortestCopy) {
            AddLiteral(row[at]);
            ++literals;
            ++at;
        } else {
            // A short copy may hide a longer one a byte on: then this byte goes as a literal.
            Match next;
            if (match.length < std::min(kLongestCopy, rowBytes_ - at)) {
                next = Longest(row, at + 1);
            }
            if (next.length > match.length) {
                AddLiteral(row[at]);
                ++at;
                match = next;
                continue;
            }
            AddCopy(match.length, match.distance);
            at += match.length;
        }
        if (at < rowBytes_) {
            match = Longest(row, at);
        }
    }
    adler_ = libdeflate_adler32(adler_, row, rowBytes_);
    used_ += rowBytes_;
    // Rows of literals (the captions' letters) and rows of copies (the squares' edges) use the
    // codes' symbols so differently that each kind gets blocks of its own: files 5% smaller.
    const bool literal = literals * kLiteralRowShare > rowBytes_;
    const bool changed = literal != literalRow_ && blockBefore >= kLeastSplitBlock;
    literalRow_ = literal;
    if (changed || work_.block.size() + rowBytes_ > kBlockCopies) {
        WriteBlock(false);
    }
}

void ZlibRows::WriteBlock(bool last)
{
    ++literalCounts_[kEndOfBlock];
    const PrefixCode literals = PrefixCode::For(literalCounts_, kLongestCode);
    const PrefixCode distances = PrefixCode::For(distanceCounts_, kLongestCode);
    const auto used = [](const std::vector<int>& lengths, std::size_t least) {
        std::size_t count = lengths.size();
        while (count > least && lengths[count - 1] == 0) {
            --count;
        }
        return count;
    };
    const std::size_t literalLengths = used(literals.lengths, kFirstLengthSymbol);
    const std::size_t distanceLengths = used(distances.lengths, 1);
    // Both codes' lengths as one sequence, under a code of their own.
    std::vector<int> lengths(literals.lengths.begin(),
                             literals.lengths.begin() + static_cast<std::ptrdiff_t>(literalLengths));
    lengths.insert(lengths.end(), distances.lengths.begin(),
                   distances.lengths.begin() + static_cast<std::ptrdiff_t>(distanceLengths));
    std::vector<std::uint32_t> runCounts(kCodeLengthSymbols, 0);
    const std::vector<LengthRun> runs = LengthRuns(lengths, runCounts);
    const PrefixCode runCode = PrefixCode::For(runCounts, kLongestCodeLengthCode);
    std::size_t written = kCodeLengthSymbols;
    while (written > 4 && runCode.lengths[static_cast<std::size_t>(kCodeLengthOrder.at(written - 1))] == 0) {
        --written;
    }

    // A small block, as an animation's frame often is, costs fewer bits under DEFLATE's fixed codes
    // than with its own codes written out; the extra bits are the same either way.
    const FixedCodes& fixed = Fixed();
    const std::uint64_t ownBits = kCodeCountBits + kCodeLengthBits * written + LengthRunsBits(runs, runCode) +
                                  literals.Bits(literalCounts_) + distances.Bits(distanceCounts_);
    const std::uint64_t fixedBits = fixed.literals.Bits(literalCounts_) + fixed.distances.Bits(distanceCounts_);

    bits_.Put(last ? 1 : 0, 1);
    if (fixedBits <= ownBits) {
        bits_.Put(1, 2);
        WriteCopies(fixed.literals, fixed.distances);
    } else {
        bits_.Put(2, 2);
        bits_.Put(static_cast<std::uint32_t>(literalLengths - kFirstLengthSymbol), 5);
        bits_.Put(static_cast<std::uint32_t>(distanceLengths - 1), 5);
        bits_.Put(static_cast<std::uint32_t>(written - 4), 4);
        for (std::size_t i = 0; i < written; ++i) {
            bits_.Put(static_cast<std::uint32_t>(runCode.lengths[static_cast<std::size_t>(kCodeLengthOrder.at(i))]),
                      kCodeLengthBits);
        }
        WriteLengthRuns(bits_, runs, runCode);
        WriteCopies(literals, distances);
    }
    work_.block.clear();
    std::ranges::fill(literalCounts_, 0);
    std::ranges::fill(distanceCounts_, 0);
}

void ZlibRows::WriteCopies(const PrefixCode& literals, const PrefixCode& distances)
{
    for (const Workspace::Copy& copy : work_.block) {
        if (copy.length == 0) {
            literals.Write(bits_, copy.value);
            continue;
        }
        const LengthCode& length = kLengthCodes[copy.length];
        literals.Write(bits_, length.symbol);
        bits_.Put(length.extra, length.extraBits);
        const Prefixed distance = PrefixOf(copy.value);
        distances.Write(bits_, distance.symbol);
        bits_.Put(distance.extra, distance.extraBits);
    }
    literals.Write(bits_, kEndOfBlock);
}

QByteArray ZlibRows::Finish()
{
    WriteBlock(true);
    bits_.Finish();
    for (int shift = 24; shift >= 0; shift -= 8) {
        stream_.append(static_cast<char>((adler_ >> static_cast<unsigned>(shift)) & 0xFFU));
    }
    return std::move(stream_);
}

QByteArray ZlibRows::Compress(QByteArrayView bytes)
{
    ZlibRows zlib(static_cast<std::size_t>(bytes.size()), 1);
    if (!bytes.isEmpty()) {
        std::memcpy(zlib.NextRow(), bytes.data(), static_cast<std::size_t>(bytes.size()));
        zlib.AddRow();
    }
    return zlib.Finish();
}

}  // namespace lorvane
