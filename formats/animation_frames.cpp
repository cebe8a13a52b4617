#include "formats/animation_frames.h"

#include <span>
#include <variant>

#include <QPainter>

#include "platform/platform_error.h"
#include "recording/recorded_picture.h"

namespace lorvane {

namespace {

PictureFit CanvasFit(const AnimationCanvas& canvas)
{
    return canvas.area ? FitPicture(*canvas.area, canvas.framing) : PictureFit{canvas.scale, {}};
}

}  // namespace

AnimationFrames::AnimationFrames(const RecordedPicture& picture, const AnimationCanvas& canvas)
    : picture_(picture),
      steps_(PaintingSteps(picture)),
      fit_(CanvasFit(canvas)),
      framed_(canvas.area.has_value()),
      player_(fit_.scale)
{
    if (framed_) {
        canvas_ = QImage(*canvas.area, QImage::Format_RGB32);
        if (canvas_.isNull()) {
            throw PlatformError("not enough memory for the canvas");
        }
        canvas_.fill(Qt::black);
    }
}

QRect AnimationFrames::Placed(const QRect& rect) const
{
    if (!framed_) {
        return rect;
    }
    const QRect placed = rect.translated(fit_.placed.topLeft()) & canvas_.rect();
    return placed.isEmpty() ? QRect(0, 0, 1, 1) : placed;
}

QRect AnimationFrames::Place(const QRect& rect)
{
    const QRect placed = Placed(rect);
    if (framed_ && rect.translated(fit_.placed.topLeft()).intersects(canvas_.rect())) {
        QPainter painter(&canvas_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(placed.topLeft(), player_.Image(), placed.translated(-fit_.placed.topLeft()));
    }
    return placed;
}

AnimationFrames::Coming AnimationFrames::Peek() const
{
    if (next_ >= Count()) {
        return {};
    }
    if (next_ == 0) {
        return {Canvas().rect(), true};
    }
    const PaintingStep& step = steps_[next_ - 1];
    const std::span<const RecordedItem> items = picture_.Items().subspan(step.firstItem, step.endItem - step.firstItem);
    return {Placed(player_.DeviceRect(step.area)),
            items.size() == 1 && std::holds_alternative<FillItem>(items.front())};
}

QRect AnimationFrames::Next()
{
    if (next_ >= Count()) {
        return {};
    }
    const std::size_t frame = next_++;
    if (frame == 0) {
        player_.PlayBackground(picture_);
        Place(player_.Image().rect());
        return Canvas().rect();
    }
    const PaintingStep& step = steps_[frame - 1];
    player_.PlayItems(picture_.Items().subspan(step.firstItem, step.endItem - step.firstItem));
    return Place(player_.DeviceRect(step.area));
}

}  // namespace lorvane
