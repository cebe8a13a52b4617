#pragma once

#include <span>
#include <utility>
#include <vector>

#include "platform/colour.h"
#include "recording/recorded_item.h"

namespace lorvane {

// A picture as the composer drew it: the colour of the whole area and the items painted over it,
// later ones over earlier ones. Players only read it; the window and the saving pool
// keep it. It holds nothing that points into itself or its recorder.
//
//     PictureRecorder recorder;
//     Composer(state, recorder, random, clock).DrawPicture();
//     const RecordedPicture picture = recorder.Picture();
//     const QImage image = RasterPlayer(2.0).Play(picture);
class RecordedPicture {
public:
    RecordedPicture() = default;
    RecordedPicture(Colour background, std::vector<RecordedItem> items)
        : background_(background), items_(std::move(items))
    {
    }

    // Intentionally copyable: a few kilobytes, and every copy stands on its own.
    RecordedPicture(const RecordedPicture&) = default;
    RecordedPicture& operator=(const RecordedPicture&) = default;
    RecordedPicture(RecordedPicture&&) noexcept = default;
    RecordedPicture& operator=(RecordedPicture&&) noexcept = default;
    ~RecordedPicture() = default;

    // The colour the whole area has before the items are painted over it.
    [[nodiscard]] Colour Background() const { return background_; }
    // In painting order, later items over earlier ones.
    [[nodiscard]] std::span<const RecordedItem> Items() const { return items_; }

    bool operator==(const RecordedPicture&) const = default;

private:
    Colour background_ = 0;
    std::vector<RecordedItem> items_;
};

}  // namespace lorvane
