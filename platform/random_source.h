#pragma once

#include <cstdint>

namespace lorvane {

// A seedable source of uniform values r with 0 <= r < 1 in single precision.
class RandomSource {
public:
    virtual ~RandomSource() = default;

    // Restarts the sequence; the same seed always gives the same sequence.
    virtual void Seed(float seed) = 0;
    // May raise PlatformError.
    virtual float Next() = 0;
    // Moves on `count` values as if Next had been called that often. Sources that can jump do
    // so; this one draws them.
    virtual void Skip(std::uint64_t count)
    {
        for (std::uint64_t i = 0; i < count; ++i) {
            static_cast<void>(Next());
        }
    }

protected:
    RandomSource() = default;
    RandomSource(const RandomSource&) = default;
    RandomSource& operator=(const RandomSource&) = default;
    RandomSource(RandomSource&&) = default;
    RandomSource& operator=(RandomSource&&) = default;
};

}  // namespace lorvane
