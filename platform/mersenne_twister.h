#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lorvane {

// MT19937, the same sequence as std::mt19937, one word at a time, so that it can also jump
// far ahead: Jump(n) gives the state n draws on in milliseconds, however large n is.
class MersenneTwister {
public:
    static constexpr std::size_t kWords = 624;
    static constexpr std::uint32_t kDefaultSeed = 5489;

    MersenneTwister() { Seed(kDefaultSeed); }

    // As std::mt19937::seed.
    void Seed(std::uint32_t seed);
    std::uint32_t operator()();
    // Moves on `count` draws. Small counts are drawn; large ones jump with the generator's
    // characteristic polynomial (x^count modulo it, then applied to the state).
    void Discard(std::uint64_t count);
    // Always jumps; Discard chooses between this and drawing.
    void Jump(std::uint64_t count);

private:
    // The next word of the recurrence, before tempering.
    std::uint32_t Step();

    // The last 624 words of the recurrence, the oldest at position_.
    std::array<std::uint32_t, kWords> words_{};
    std::size_t position_ = 0;
};

}  // namespace lorvane
