#include "platform/seeded_random_source.h"

#include <bit>
#include <cstdint>

namespace lorvane {

namespace {
// The top 24 bits of a 32-bit draw fill a float's mantissa exactly, so r stays below 1.
constexpr unsigned kDiscardedBits = 8;
constexpr float kTwoToMinus24 = 0x1p-24F;
}  // namespace

void SeededRandomSource::Seed(float seed)
{
    engine_.Seed(std::bit_cast<std::uint32_t>(seed));
}

void SeededRandomSource::Skip(std::uint64_t count)
{
    engine_.Discard(count);
}

float SeededRandomSource::Next()
{
    return static_cast<float>(engine_() >> kDiscardedBits) * kTwoToMinus24;
}

}  // namespace lorvane
