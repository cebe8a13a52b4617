#pragma once

namespace lorvane {

// Gives each of descriptors 0, 1 and 2 that is closed a /dev/null opened the wrong way round
// (standard input for writing, standard output and error for reading), so that the first file
// the program or its libraries open cannot take one of their numbers, while using a closed one
// still fails as it would have. Call it first thing in main.
void KeepStandardDescriptorsTaken();

}  // namespace lorvane
