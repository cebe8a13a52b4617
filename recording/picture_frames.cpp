#include "recording/picture_frames.h"

#include <algorithm>
#include <cmath>
#include <variant>

#include "platform/picture_size.h"
#include "recording/overloaded.h"

namespace lorvane {

namespace {

PictureArea Clipped(PictureArea area)
{
    return {std::clamp(area.left, 0, kPictureWidth), std::clamp(area.top, 0, kPictureHeight),
            std::clamp(area.right, 0, kPictureWidth), std::clamp(area.bottom, 0, kPictureHeight)};
}

bool IsEmpty(const PictureArea& area)
{
    return area.left >= area.right || area.top >= area.bottom;
}

// A text's ink lies right of and below its position (its line's top-left corner, never above
// it), one pixel of margin for the snapping of the corner to device pixels; how far right and
// down depends on the font, so the area reaches the picture's right and bottom edges.
PictureArea TextArea(const TextItem& text)
{
    const auto corner = [](double position) {
        return static_cast<int>(std::clamp(std::floor(position) - 1.0, -1.0, 1.0e6));
    };
    return Clipped({corner(text.x), corner(text.y), kPictureWidth, kPictureHeight});
}

PictureArea ItemArea(const RecordedItem& item)
{
    return std::visit(Overloaded{[](const FillItem& fill) {
                                     return Clipped({fill.left, fill.top, fill.right, fill.bottom});
                                 },
                                 [](const LineItem& line) {
                                     return Clipped({std::min(line.x1, line.x2), std::min(line.y1, line.y2),
                                                     std::max(line.x1, line.x2) + 1, std::max(line.y1, line.y2) + 1});
                                 },
                                 [](const TextItem& text) { return TextArea(text); }},
                      item);
}

}  // namespace

std::vector<PaintingStep> PaintingSteps(const RecordedPicture& picture)
{
    const auto items = picture.Items();
    std::vector<PaintingStep> steps;
    steps.reserve(items.size());
    std::size_t index = 0;
    while (index < items.size()) {
        PaintingStep step{index, index + 1, ItemArea(items[index])};
        if (std::holds_alternative<TextItem>(items[index])) {
            // The captions: every text from here on, with what lies between them.
            const auto last = std::find_if(items.rbegin(), items.rend(), [](const RecordedItem& item) {
                return std::holds_alternative<TextItem>(item);
            });
            step.endItem = static_cast<std::size_t>(items.rend() - last);
            for (std::size_t other = index + 1; other < step.endItem; ++other) {
                const PictureArea area = ItemArea(items[other]);
                if (!IsEmpty(area)) {
                    step.area = IsEmpty(step.area) ? area
                                                   : PictureArea{std::min(step.area.left, area.left),
                                                                 std::min(step.area.top, area.top),
                                                                 std::max(step.area.right, area.right),
                                                                 std::max(step.area.bottom, area.bottom)};
                }
            }
        }
        if (!IsEmpty(step.area)) {
            steps.push_back(step);
        }
        index = step.endItem;
    }
    return steps;
}

std::vector<int> FrameDelays(std::size_t frames, int painting, int holding)
{
    std::vector<int> delays;
    if (frames == 0) {
        return delays;
    }
    delays.reserve(frames);
    const std::size_t painted = frames - 1;
    int shown = 0;
    for (std::size_t frame = 1; frame <= painted; ++frame) {
        const auto end = static_cast<int>(
            std::lround(static_cast<double>(painting) * static_cast<double>(frame) / static_cast<double>(painted)));
        delays.push_back(end - shown);
        shown = end;
    }
    delays.push_back(holding);
    return delays;
}

}  // namespace lorvane
