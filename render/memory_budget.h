#pragma once

#include <cstdint>
#include <optional>

#include <QString>

#include "render/render_options.h"

namespace lorvane {

constexpr std::uint64_t kMebibyte = std::uint64_t{1} << 20U;

// The bytes of one picture a batch holds while it is made: its image at 4 bytes a pixel (a PNG's,
// at its scale or --fit size); 0 for SVG and PDF, which are written without one.
[[nodiscard]] std::uint64_t PictureBytes(const RenderOptions& options);

// The most jobs, up to `jobs`, for which the pictures in hand, jobs + 1 of `pictureBytes` each,
// fit in `budget` bytes; at least 1, so that a batch always runs.
[[nodiscard]] int JobsWithinMemory(int jobs, std::uint64_t pictureBytes, std::uint64_t budget);

// MemAvailable in /proc/meminfo, in bytes; none when it cannot be read.
[[nodiscard]] std::optional<std::uint64_t> AvailableMemory();

// Lowers options.jobs to what the budget (--memory, else the memory available) holds, and gives
// the one line that says so; none when --jobs stands.
[[nodiscard]] std::optional<QString> KeepJobsWithinMemory(RenderOptions& options);

}  // namespace lorvane
