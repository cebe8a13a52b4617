#pragma once

#include "platform/random_source.h"

namespace lorvane {

// Passes on the values of another source, raising PlatformError for any value outside
// 0 <= r < 1 (1.0, NaN, negatives). A faulty source then fails the step that drew the value,
// which is dropped, instead of steering that step's result out of its range.
class CheckedRandomSource final : public RandomSource {
public:
    explicit CheckedRandomSource(RandomSource& source);

    void Seed(float seed) override;
    float Next() override;

private:
    RandomSource& source_;
};

}  // namespace lorvane
