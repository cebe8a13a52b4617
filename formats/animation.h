#pragma once

#include <optional>

#include <QByteArray>

#include "picture/recipe.h"

namespace lorvane {

class RecordedPicture;

// How long a picture paints itself in an animated file, and how long the finished picture then
// stays before it starts again.
struct AnimationTiming {
    int paintingMilliseconds = 4000;
    int holdingMilliseconds = 3000;
};

// An animated file of a picture painting itself (PaintingSteps), played at `scale` (1 to 16): frame
// 0 the background, each later frame only the area that changed, the last the finished picture,
// looping; with the recipe in the format's own metadata place when there is one. Nothing when the
// picture cannot be played or encoded. Thread-safe; needs a running QGuiApplication.
[[nodiscard]] std::optional<QByteArray> EncodeApngAnimation(const RecordedPicture& picture, double scale,
                                                            const AnimationTiming& timing,
                                                            const std::optional<Recipe>& recipe);
[[nodiscard]] std::optional<QByteArray> EncodeWebpAnimation(const RecordedPicture& picture, double scale,
                                                            const AnimationTiming& timing,
                                                            const std::optional<Recipe>& recipe);
[[nodiscard]] std::optional<QByteArray> EncodeGifAnimation(const RecordedPicture& picture, double scale,
                                                           const AnimationTiming& timing,
                                                           const std::optional<Recipe>& recipe);

}  // namespace lorvane
