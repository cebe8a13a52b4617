#include "formats/prefix_codes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>
#include <queue>
#include <utility>

namespace lorvane {

namespace {

constexpr int kShortZeros = 17;
constexpr int kLongZeros = 18;
constexpr std::size_t kLongestZeroRun = 138;
constexpr int kShortZerosBits = 3;
constexpr int kLongZerosBits = 7;

int ExtraBits(const LengthRun& run)
{
    if (run.symbol == kShortZeros) {
        return kShortZerosBits;
    }
    return run.symbol == kLongZeros ? kLongZerosBits : 0;
}

// Huffman code lengths of at most `longest` bits, at least two of them not zero.
std::vector<int> CodeLengths(std::vector<std::uint32_t> counts, int longest)
{
    int used = static_cast<int>(std::ranges::count_if(counts, [](std::uint32_t count) { return count > 0; }));
    for (std::size_t symbol = 0; used < 2 && symbol < counts.size(); ++symbol) {
        if (counts[symbol] == 0) {
            counts[symbol] = 1;
            ++used;
        }
    }
    std::vector<int> lengths(counts.size(), 0);
    // Too long a code: rare symbols are counted as more common until the tree is flat enough.
    for (std::uint64_t floor = 1;; floor *= 2) {
        struct Node {
            std::uint64_t weight;
            int parent;
        };
        std::vector<Node> nodes;
        std::vector<std::size_t> symbols;
        using Entry = std::pair<std::uint64_t, int>;
        std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
        for (std::size_t symbol = 0; symbol < counts.size(); ++symbol) {
            if (counts[symbol] > 0) {
                const std::uint64_t weight = std::max<std::uint64_t>(counts[symbol], floor);
                queue.emplace(weight, static_cast<int>(nodes.size()));
                nodes.push_back({weight, -1});
                symbols.push_back(symbol);
            }
        }
        while (queue.size() > 1) {
            const Entry first = queue.top();
            queue.pop();
            const Entry second = queue.top();
            queue.pop();
            const int parent = static_cast<int>(nodes.size());
            nodes.push_back({first.first + second.first, -1});
            nodes[static_cast<std::size_t>(first.second)].parent = parent;
            nodes[static_cast<std::size_t>(second.second)].parent = parent;
            queue.emplace(first.first + second.first, parent);
        }
        // Parents come after their children: depths from the root down.
        std::vector<int> depth(nodes.size(), 0);
        for (std::size_t node = nodes.size() - 1; node-- > 0;) {
            depth[node] = depth[static_cast<std::size_t>(nodes[node].parent)] + 1;
        }
        int deepest = 0;
        for (std::size_t leaf = 0; leaf < symbols.size(); ++leaf) {
            lengths[symbols[leaf]] = depth[leaf];
            deepest = std::max(deepest, depth[leaf]);
        }
        if (deepest <= longest) {
            return lengths;
        }
    }
}

// Canonical codes of `lengths`, bit-reversed, since the writer puts bits least significant first.
std::vector<std::uint32_t> Codes(const std::vector<int>& lengths)
{
    std::array<std::uint32_t, kLongestCode + 2> next{};
    std::array<std::uint32_t, kLongestCode + 1> counts{};
    for (const int length : lengths) {
        ++counts[static_cast<std::size_t>(length)];
    }
    counts[0] = 0;
    std::uint32_t code = 0;
    for (std::size_t length = 1; length <= kLongestCode; ++length) {
        code = (code + counts[length - 1]) << 1U;
        next[length] = code;
    }
    std::vector<std::uint32_t> codes(lengths.size(), 0);
    for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
        const int length = lengths[symbol];
        if (length == 0) {
            continue;
        }
        const std::uint32_t value = next[static_cast<std::size_t>(length)]++;
        std::uint32_t reversed = 0;
        for (int bit = 0; bit < length; ++bit) {
            reversed |= ((value >> static_cast<unsigned>(bit)) & 1U) << static_cast<unsigned>(length - 1 - bit);
        }
        codes[symbol] = reversed;
    }
    return codes;
}

}  // namespace

Prefixed PrefixOf(std::uint32_t value)
{
    const std::uint32_t less = value - 1;
    if (less < 4) {
        return {static_cast<int>(less), 0, 0};
    }
    const int high = static_cast<int>(std::bit_width(less)) - 1;
    const int second = static_cast<int>((less >> static_cast<unsigned>(high - 1)) & 1U);
    const int extraBits = high - 1;
    return {2 * high + second, extraBits, less & ((1U << static_cast<unsigned>(extraBits)) - 1)};
}

PrefixCode PrefixCode::For(std::span<const std::uint32_t> counts, int longest)
{
    PrefixCode code{CodeLengths({counts.begin(), counts.end()}, longest), {}};
    code.codes = Codes(code.lengths);
    return code;
}

PrefixCode PrefixCode::WithLengths(std::vector<int> lengths)
{
    PrefixCode code{std::move(lengths), {}};
    code.codes = Codes(code.lengths);
    return code;
}

std::uint64_t PrefixCode::Bits(std::span<const std::uint32_t> counts) const
{
    std::uint64_t bits = 0;
    for (std::size_t symbol = 0; symbol < counts.size(); ++symbol) {
        bits += std::uint64_t{counts[symbol]} * static_cast<std::uint64_t>(lengths[symbol]);
    }
    return bits;
}

std::vector<LengthRun> LengthRuns(std::span<const int> lengths, std::vector<std::uint32_t>& counts)
{
    std::vector<LengthRun> runs;
    for (std::size_t symbol = 0; symbol < lengths.size();) {
        std::size_t zeros = 0;
        while (symbol + zeros < lengths.size() && lengths[symbol + zeros] == 0) {
            ++zeros;
        }
        if (zeros == 0) {
            runs.push_back({lengths[symbol], 0});
            ++symbol;
        } else if (zeros < 3) {
            runs.push_back({0, 0});
            ++symbol;
        } else if (zeros <= 10) {
            runs.push_back({kShortZeros, static_cast<std::uint32_t>(zeros - 3)});
            symbol += zeros;
        } else {
            const std::size_t taken = std::min(zeros, kLongestZeroRun);
            runs.push_back({kLongZeros, static_cast<std::uint32_t>(taken - 11)});
            symbol += taken;
        }
        ++counts[static_cast<std::size_t>(runs.back().symbol)];
    }
    return runs;
}

void WriteLengthRuns(BitWriter& bits, const std::vector<LengthRun>& runs, const PrefixCode& code)
{
    for (const LengthRun& run : runs) {
        code.Write(bits, run.symbol);
        bits.Put(run.extra, ExtraBits(run));
    }
}

std::uint64_t LengthRunsBits(const std::vector<LengthRun>& runs, const PrefixCode& code)
{
    std::uint64_t bits = 0;
    for (const LengthRun& run : runs) {
        bits += static_cast<std::uint64_t>(code.lengths[static_cast<std::size_t>(run.symbol)] + ExtraBits(run));
    }
    return bits;
}

}  // namespace lorvane
