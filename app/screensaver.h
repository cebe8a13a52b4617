#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QRasterWindow>
#include <QTimer>

#include "app/fitted_player.h"
#include "picture/picture_sequence.h"

namespace lorvane {

class Clock;
class RandomSource;

// Draws into a window made by someone else, as X11 screensaver hosts run their modules: a child
// of that window that covers it, a new picture of the continuing sequence every interval, fitted
// and centred on black. It makes no window of its own and follows the host window's size.
class Screensaver : public QRasterWindow {
    Q_OBJECT

public:
    // `host` is the window drawn into; its size is asked for with `hostSize`, which gives
    // nothing once the window is gone (the program then ends with status 0).
    Screensaver(QWindow* host, std::function<std::optional<QSize>()> hostSize, RandomSource& random, Clock& clock,
                double intervalSeconds);

    // Each picture paints itself over `seconds`; none shows it whole at once.
    void PaintOver(std::optional<double> seconds) { picture_.PaintOver(seconds); }
    // Seeds the random source from the time of day, as the window does, and shows the first picture.
    void Start();
    [[nodiscard]] const FittedPlayer& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Next();
    void FollowHost();

    std::function<std::optional<QSize>()> hostSize_;
    PictureSequence sequence_;
    FittedPlayer picture_;
    QTimer next_;
    QTimer follow_;
};

// The X11 window a screensaver draws into: `window`, or the root window when none.
// Checks that it exists, then draws into it until it is gone (status 0), SIGTERM (status 0),
// or returns at once with one line on standard error: status 2 for a window that does not
// exist, 1 without an X server.
// Each picture paints itself over `paintSeconds`, when given.
[[nodiscard]] int RunScreensaver(std::optional<std::uint32_t> window, double intervalSeconds,
                                 std::optional<double> paintSeconds = std::nullopt);

}  // namespace lorvane
