#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include <QElapsedTimer>
#include <QRect>
#include <QTimer>

#include "players/raster_player.h"
#include "recording/picture_frames.h"
#include "recording/recorded_picture.h"

class QScreen;

namespace lorvane {

// A picture painting itself into a player's image over a given time, step by step as
// PaintingSteps orders it, the steps evenly spread as FrameDelays spreads a file's frames. A timer
// at about the display's rate plays only the steps due since its last tick, over the image kept,
// and hands on the device pixels they changed. Without a time set, a picture plays whole at once.
// Painting draws no random value: it only plays a picture already recorded.
class PicturePainting {
public:
    static constexpr double kShortestSeconds = 0.1;
    static constexpr double kLongestSeconds = 60.0;
    // How far into its painting a picture is that has finished, or never paints.
    static constexpr qint64 kFinished = std::numeric_limits<qint64>::max();

    // `changed` is told the device pixels of the player's image that each tick changed.
    explicit PicturePainting(std::function<void(const QRect&)> changed);

    // Each picture shown from now on paints itself over `seconds`; none plays it whole.
    void SetSeconds(std::optional<double> seconds) { seconds_ = seconds; }
    [[nodiscard]] bool Paints() const { return seconds_.has_value(); }
    // Shows the picture in the player, `from` milliseconds into its painting: the steps due by
    // then at once, the rest as they come due. The picture must outlive the painting.
    void Start(const RecordedPicture& picture, RasterPlayer& player, qint64 from = 0, const QScreen* screen = nullptr);
    // Plays the picture again into a player of `scale`, as far as it has painted, unless the
    // player has that scale already; true when it did. Without the memory for the larger image
    // the player keeps its scale and the image is resized on the way to the screen: never a
    // failure. PictureBox and FittedPlayer follow the screen's pixels by this one rule.
    bool PlayAtScale(const RecordedPicture& picture, RasterPlayer& player, double scale) const;
    // Plays the steps not yet painted at once.
    void Finish();
    // Milliseconds into the painting under way, or kFinished.
    [[nodiscard]] qint64 Elapsed() const;

private:
    void Tick();

    std::function<void(const QRect&)> changed_;
    std::optional<double> seconds_;
    const RecordedPicture* picture_ = nullptr;
    RasterPlayer* player_ = nullptr;
    std::vector<PaintingStep> steps_;
    // When each step is due, in milliseconds from the start of the painting.
    std::vector<qint64> due_;
    std::size_t painted_ = 0;
    qint64 from_ = 0;
    QElapsedTimer clock_;
    QTimer timer_;
};

}  // namespace lorvane
