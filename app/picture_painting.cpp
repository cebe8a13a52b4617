#include "app/picture_painting.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QScreen>

#include "platform/platform_error.h"

namespace lorvane {

namespace {

// The timer's rate when the screen does not say its own.
constexpr double kUsualRefreshRate = 60.0;

void PlayStep(const RecordedPicture& picture, RasterPlayer& player, const PaintingStep& step)
{
    player.PlayItems(picture.Items().subspan(step.firstItem, step.endItem - step.firstItem));
}

}  // namespace

PicturePainting::PicturePainting(std::function<void(const QRect&)> changed) : changed_(std::move(changed))
{
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

void PicturePainting::Start(const RecordedPicture& picture, RasterPlayer& player, qint64 from, const QScreen* screen)
{
    timer_.stop();
    picture_ = &picture;
    player_ = &player;
    steps_.clear();
    due_.clear();
    painted_ = 0;
    if (!seconds_ || from == kFinished) {
        player.Play(picture);
        return;
    }
    steps_ = PaintingSteps(picture);
    // Frame 0 is the background; step k is due when frames 0 to k-1 have had their time.
    const std::vector<int> delays =
        FrameDelays(steps_.size() + 1, static_cast<int>(std::lround(*seconds_ * 1000.0)), 0);
    qint64 due = 0;
    for (std::size_t step = 0; step < steps_.size(); ++step) {
        due += delays[step];
        due_.push_back(due);
    }
    from_ = std::clamp<qint64>(from, 0, due);
    player.PlayBackground(picture);
    clock_.start();
    Tick();
    if (painted_ < steps_.size()) {
        const double rate =
            screen != nullptr && screen->refreshRate() >= 1.0 ? screen->refreshRate() : kUsualRefreshRate;
        timer_.start(std::max(1, static_cast<int>(std::lround(1000.0 / rate))));
    }
}

bool PicturePainting::PlayAtScale(const RecordedPicture& picture, RasterPlayer& player, double scale) const
{
    if (scale == player.Scale()) {
        return false;
    }
    try {
        player = RasterPlayer(scale);
    } catch (const PlatformError&) {
        return false;
    }
    if (Elapsed() == kFinished) {
        player.Play(picture);
        return true;
    }
    player.PlayBackground(picture);
    for (std::size_t step = 0; step < painted_; ++step) {
        PlayStep(picture, player, steps_[step]);
    }
    return true;
}

void PicturePainting::Finish()
{
    if (Elapsed() == kFinished) {
        return;
    }
    from_ = due_.back();
    Tick();
}

qint64 PicturePainting::Elapsed() const
{
    return painted_ < steps_.size() ? from_ + clock_.elapsed() : kFinished;
}

void PicturePainting::Tick()
{
    const qint64 now = from_ + clock_.elapsed();
    QRect changed;
    while (painted_ < steps_.size() && due_[painted_] <= now) {
        PlayStep(*picture_, *player_, steps_[painted_]);
        changed |= player_->DeviceRect(steps_[painted_].area);
        ++painted_;
    }
    if (painted_ == steps_.size()) {
        timer_.stop();
    }
    if (!changed.isEmpty()) {
        changed_(changed);
    }
}

}  // namespace lorvane
