#pragma once

#include <cstdint>

#include "platform/mersenne_twister.h"
#include "platform/random_source.h"

namespace lorvane {

// A Mersenne Twister with its own mapping to [0, 1), so that a seed gives the same sequence
// with every compiler and standard library.
class SeededRandomSource final : public RandomSource {
public:
    void Seed(float seed) override;
    float Next() override;
    // Jumps over `count` values without drawing them, in milliseconds however far.
    void Skip(std::uint64_t count) override;

private:
    MersenneTwister engine_{};
};

}  // namespace lorvane
