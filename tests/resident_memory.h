#pragma once

#include <fstream>

#include <unistd.h>

namespace lorvane::testing {

// The memory the process holds (its resident set), in bytes, or -1 where /proc cannot tell.
inline long ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long totalPages = 0;
    long residentPages = -1;
    if (!(statm >> totalPages >> residentPages)) {
        return -1;
    }
    return residentPages * sysconf(_SC_PAGESIZE);
}

}  // namespace lorvane::testing
