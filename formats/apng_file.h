#pragma once

#include <optional>

#include <QByteArray>

#include "formats/animation.h"
#include "picture/recipe.h"

namespace lorvane {

class AnimationFrames;

// An animated PNG of `frames`: the still PNG of the finished picture (the same chunks as
// PngFile's, text with the recipe included), which viewers without animation show, and after its
// image the frames, kept out of that image: the first whole, each later one only the part it
// changed, each shown for its FrameDelays share in milliseconds, looping for ever. Plays every
// frame. Nothing when a frame cannot be encoded.
[[nodiscard]] std::optional<QByteArray> ApngFile(AnimationFrames& frames, const AnimationTiming& timing,
                                                 const std::optional<Recipe>& recipe);

}  // namespace lorvane
