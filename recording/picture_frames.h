#pragma once

#include <cstddef>
#include <vector>

#include "recording/recorded_picture.h"

namespace lorvane {

// Picture pixels, right and bottom exclusive.
struct PictureArea {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const PictureArea&) const = default;
};

// One frame of a picture painting itself, after the first (the background alone): the items
// [firstItem, endItem) painted over the frame before, and the area they can change. Nothing
// outside the area differs from the frame before, so an animation stores only the area.
struct PaintingStep {
    std::size_t firstItem = 0;
    std::size_t endItem = 0;
    PictureArea area;

    bool operator==(const PaintingStep&) const = default;
};

// The one rule for how a picture paints itself, which every animated file, the window and the web
// page follow: frame 0 is the background; each further frame adds one item (a fill of the whole
// area is a frame of its own, whole); the texts at the end, the captions, come together in the
// last frame. An item that covers no pixel makes no frame.
[[nodiscard]] std::vector<PaintingStep> PaintingSteps(const RecordedPicture& picture);

// How long each of `frames` frames shows, in a file's own units (milliseconds, centiseconds):
// the frames but the last share `painting` units evenly, each ending at its rounded share of the
// whole so that the total is exact; the last, the finished picture, shows for `holding` units.
[[nodiscard]] std::vector<int> FrameDelays(std::size_t frames, int painting, int holding);

}  // namespace lorvane
