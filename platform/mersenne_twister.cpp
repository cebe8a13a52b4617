#include "platform/mersenne_twister.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace lorvane {

namespace {

constexpr std::size_t kMiddle = 397;
constexpr std::uint32_t kMatrix = 0x9908B0DFU;
constexpr std::uint32_t kUpperBit = 0x80000000U;
constexpr std::uint32_t kLowerBits = 0x7FFFFFFFU;
constexpr std::uint32_t kSeedMultiplier = 1812433253U;
// The state has 624 × 32 − 31 = 19937 bits that matter: all but the low bits of the oldest word.
constexpr std::size_t kDegree = 19937;
// Below this many draws, drawing them is quicker than a jump (about 0.1 s).
constexpr std::uint64_t kDrawnUpTo = std::uint64_t{1} << 24;

using Bits = std::vector<std::uint64_t>;

constexpr std::size_t WordsFor(std::size_t bits)
{
    return (bits + 63) / 64;
}

bool Bit(const Bits& bits, std::size_t index)
{
    return ((bits[index / 64] >> (index % 64)) & 1U) != 0;
}

void Flip(Bits& bits, std::size_t index)
{
    bits[index / 64] ^= std::uint64_t{1} << (index % 64);
}

// 64 bits of `bits` from bit `offset` on, zeros past its end.
std::uint64_t WordAt(const Bits& bits, std::size_t offset)
{
    const std::size_t word = offset / 64;
    const std::size_t shift = offset % 64;
    const std::uint64_t low = word < bits.size() ? bits[word] >> shift : 0;
    const std::uint64_t high = shift != 0 && word + 1 < bits.size() ? bits[word + 1] << (64 - shift) : 0;
    return low | high;
}

// target ^= source × x^shift, within target's size.
void AddShifted(Bits& target, const Bits& source, std::size_t shift)
{
    const std::size_t words = shift / 64;
    const std::size_t bits = shift % 64;
    for (std::size_t i = std::min(target.size(), words + source.size() + 1); i-- > words;) {
        const std::size_t from = i - words;
        std::uint64_t value = from < source.size() ? source[from] << bits : 0;
        if (bits != 0 && from >= 1 && from - 1 < source.size()) {
            value |= source[from - 1] >> (64 - bits);
        }
        target[i] ^= value;
    }
}

// The characteristic polynomial of MT19937 over GF(2), coefficients from x^0 to x^19937: the
// shortest linear recurrence of any of its output bits (Berlekamp-Massey), since the
// polynomial is irreducible.
Bits CharacteristicPolynomial()
{
    constexpr std::size_t length = 2 * kDegree;
    MersenneTwister generator;
    // The sequence backwards, so that the recurrence's window is a run of consecutive bits.
    Bits reversed(WordsFor(length));
    for (std::size_t n = 0; n < length; ++n) {
        if ((generator() & 1U) != 0) {
            Flip(reversed, length - 1 - n);
        }
    }
    Bits connection(WordsFor(length + 1));
    Bits previous(connection.size());
    Flip(connection, 0);
    Flip(previous, 0);
    std::size_t degree = 0;
    std::size_t shift = 1;
    for (std::size_t n = 0; n < length; ++n) {
        // The recurrence's prediction for bit n against the bit itself.
        const std::size_t window = length - 1 - n;
        unsigned discrepancy = 0;
        for (std::size_t word = 0; word < WordsFor(degree + 1); ++word) {
            std::uint64_t terms = connection[word] & WordAt(reversed, window + word * 64);
            if (word == WordsFor(degree + 1) - 1 && (degree + 1) % 64 != 0) {
                terms &= (std::uint64_t{1} << ((degree + 1) % 64)) - 1;
            }
            discrepancy ^= static_cast<unsigned>(std::popcount(terms)) & 1U;
        }
        if (discrepancy == 0) {
            ++shift;
        } else if (2 * degree <= n) {
            const Bits kept = connection;
            AddShifted(connection, previous, shift);
            degree = n + 1 - degree;
            previous = kept;
            shift = 1;
        } else {
            AddShifted(connection, previous, shift);
            ++shift;
        }
    }
    // The connection polynomial read backwards.
    Bits polynomial(WordsFor(kDegree + 1));
    for (std::size_t i = 0; i <= degree && i <= kDegree; ++i) {
        if (Bit(connection, i)) {
            Flip(polynomial, degree - i);
        }
    }
    return polynomial;
}

const Bits& Polynomial()
{
    static const Bits polynomial = CharacteristicPolynomial();
    return polynomial;
}

// value modulo the characteristic polynomial, for value of degree below 2 × 19937.
void Reduce(Bits& value)
{
    const Bits& polynomial = Polynomial();
    for (std::size_t degree = 2 * kDegree; degree-- > kDegree;) {
        if (Bit(value, degree)) {
            AddShifted(value, polynomial, degree - kDegree);
        }
    }
}

// x^count modulo the characteristic polynomial.
Bits PowerOfX(std::uint64_t count)
{
    Bits result(WordsFor(2 * kDegree));
    Flip(result, 0);
    for (int bit = 63 - std::countl_zero(count); bit >= 0; --bit) {
        // Squaring over GF(2) spreads the coefficients to even powers.
        Bits square(result.size());
        for (std::size_t i = 0; i <= kDegree; ++i) {
            if (Bit(result, i)) {
                Flip(square, 2 * i);
            }
        }
        result = std::move(square);
        if (((count >> bit) & 1U) != 0) {
            Bits shifted(result.size());
            AddShifted(shifted, result, 1);
            result = std::move(shifted);
        }
        Reduce(result);
    }
    return result;
}

}  // namespace

void MersenneTwister::Seed(std::uint32_t seed)
{
    words_[0] = seed;
    for (std::size_t i = 1; i < kWords; ++i) {
        const std::uint32_t previous = words_[i - 1];
        words_[i] = kSeedMultiplier * (previous ^ (previous >> 30)) + static_cast<std::uint32_t>(i);
    }
    position_ = 0;
}

std::uint32_t MersenneTwister::Step()
{
    const std::size_t next = position_ + 1 == kWords ? 0 : position_ + 1;
    const std::size_t middle = position_ + kMiddle < kWords ? position_ + kMiddle : position_ + kMiddle - kWords;
    const std::uint32_t joined = (words_[position_] & kUpperBit) | (words_[next] & kLowerBits);
    const std::uint32_t word = words_[middle] ^ (joined >> 1) ^ ((joined & 1U) != 0 ? kMatrix : 0U);
    words_[position_] = word;
    position_ = next;
    return word;
}

std::uint32_t MersenneTwister::operator()()
{
    std::uint32_t y = Step();
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680U;
    y ^= (y << 15) & 0xEFC60000U;
    y ^= y >> 18;
    return y;
}

void MersenneTwister::Discard(std::uint64_t count)
{
    if (count > kDrawnUpTo) {
        Jump(count);
        return;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        Step();
    }
}

void MersenneTwister::Jump(std::uint64_t count)
{
    if (count == 0) {
        return;
    }
    // The state count steps on is p(A)·state for p = x^count modulo the characteristic
    // polynomial of the step A: a sum of the states 0 to 19936 steps on.
    const Bits power = PowerOfX(count);
    std::array<std::uint32_t, kWords> sum{};
    MersenneTwister walker = *this;
    for (std::size_t i = 0; i < kDegree; ++i) {
        if (Bit(power, i)) {
            for (std::size_t k = 0; k < kWords; ++k) {
                const std::size_t at = walker.position_ + k;
                sum[k] ^= walker.words_[at < kWords ? at : at - kWords];
            }
        }
        walker.Step();
    }
    words_ = sum;
    position_ = 0;
}

}  // namespace lorvane
