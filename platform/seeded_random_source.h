#pragma once

#include <cstdint>

#include "mersenne_twister.h"
#include "random_source.h"

namespace lorvane {

// A Mersenne Twister with its own mapping to [0, 1), so that a seed gives the same sequence
// with every compiler and standard library.
class SeededRandomSource final : public RandomSource {
public:
    void Seed(float seed) override;
    float Next() override;
    // Moves on `count` values without drawing them, as if Next had been called that often.
    void Skip(std::uint64_t count);

private:
    MersenneTwister engine_{};
};

}  // namespace lorvane
