#include "platform/checked_random_source.h"

#include "platform/platform_error.h"

namespace lorvane {

CheckedRandomSource::CheckedRandomSource(RandomSource& source) : source_(source) {}

void CheckedRandomSource::Seed(float seed)
{
    source_.Seed(seed);
}

float CheckedRandomSource::Next()
{
    const float value = source_.Next();
    // Written so that NaN fails too.
    if (!(value >= 0.0F && value < 1.0F)) {
        throw PlatformError("random value outside 0 <= r < 1");
    }
    return value;
}

}  // namespace lorvane
