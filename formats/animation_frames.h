#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include <QImage>
#include <QRect>
#include <QSize>

#include "players/picture_fit.h"
#include "players/raster_player.h"
#include "recording/picture_frames.h"

namespace lorvane {

class RecordedPicture;

// Where an animation is played: the picture's own size at `scale` (1 to 16), or, with `area`,
// framed in that many device pixels by FitPicture, as a still --fit PNG is.
struct AnimationCanvas {
    double scale = 1.0;
    std::optional<QSize> area;
    Framing framing = Framing::Fit;
};

// A picture painting itself on its canvas, one frame at a time, as PaintingSteps says; every
// animated file is made from these frames. Holds the player's image and, when framed, the canvas.
class AnimationFrames {
public:
    // Raises PlatformError as RasterPlayer does, or when the canvas does not fit in memory.
    AnimationFrames(const RecordedPicture& picture, const AnimationCanvas& canvas);

    [[nodiscard]] std::size_t Count() const { return steps_.size() + 1; }
    // What the next frame will change, told before Next paints it: the part of the canvas Next
    // will give, and whether every pixel of it is painted anew (the background, or one fill), so
    // that a file that stores changes against the part as it was need not keep it.
    struct Coming {
        QRect rect;
        bool paintsAll = false;
    };
    [[nodiscard]] Coming Peek() const;
    // Paints the next frame on the canvas and gives the part of the canvas it changed: all of it
    // for the first. Never empty: a step that falls outside a filled canvas gives its top-left
    // pixel, unchanged, so that every frame keeps its place in time.
    QRect Next();
    // The canvas as it stands; after the last frame, the finished picture.
    [[nodiscard]] const QImage& Canvas() const { return framed_ ? canvas_ : player_.Image(); }
    // The scale the picture is played at, which the file's resolution follows.
    [[nodiscard]] double Scale() const { return player_.Scale(); }

private:
    // The part of the canvas that `rect` of the player's image goes to.
    [[nodiscard]] QRect Placed(const QRect& rect) const;
    // Copies `rect` of the player's image onto the canvas; the part of the canvas it covers.
    QRect Place(const QRect& rect);

    const RecordedPicture& picture_;
    std::vector<PaintingStep> steps_;
    PictureFit fit_;
    bool framed_ = false;
    RasterPlayer player_;
    QImage canvas_;
    std::size_t next_ = 0;
};

}  // namespace lorvane
