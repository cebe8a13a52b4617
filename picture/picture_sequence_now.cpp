// The sequence named after the time of day, in a file of its own: a program that never reads the
// system clock (the web page's core) then links no clock of the system's, nor its time zones.
#include <memory>

#include "picture/picture_sequence.h"
#include "platform/seeded_random_source.h"
#include "platform/system_clock.h"

namespace lorvane {

PictureSequence::PictureSequence()
    : PictureSequence(std::make_unique<SeededRandomSource>(), std::make_unique<SystemClock>())
{
}

}  // namespace lorvane
