#pragma once

#include <cstddef>
#include <cstdint>

namespace lorvane {

// Sets `width` pixels in each of `height` rows, the first at `first`, rows `stride` pixels
// apart. Uses the widest vector stores the processor has.
void FillRows(std::uint32_t* first, std::ptrdiff_t stride, int width, int height, std::uint32_t pixel);

}  // namespace lorvane
