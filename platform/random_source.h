#pragma once

namespace lorvane {

// A seedable source of uniform values r with 0 <= r < 1 in single precision.
class RandomSource {
public:
    virtual ~RandomSource() = default;

    // Restarts the sequence; the same seed always gives the same sequence.
    virtual void Seed(float seed) = 0;
    // May raise PlatformError.
    virtual float Next() = 0;

protected:
    RandomSource() = default;
    RandomSource(const RandomSource&) = default;
    RandomSource& operator=(const RandomSource&) = default;
    RandomSource(RandomSource&&) = default;
    RandomSource& operator=(RandomSource&&) = default;
};

}  // namespace lorvane
