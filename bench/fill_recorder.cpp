#include "fill_recorder.h"

#include <algorithm>
#include <cmath>

#include "device_colour.h"

namespace lorvane {

void FillRecorder::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    // The composer gives whole-number coordinates and only vertical lines.
    const int x = static_cast<int>(std::lround(x1));
    const int top = static_cast<int>(std::lround(std::min(y1, y2)));
    const int bottom = static_cast<int>(std::lround(std::max(y1, y2)));
    const QColor qcolour = QColor::fromRgb(ToDevicePixel(colour));
    if (x1 == x2 && !fills_.empty()) {
        QRect& last = fills_.back().rect;
        if (fills_.back().colour == qcolour && last.right() + 1 == x && last.top() == top &&
            last.bottom() == bottom) {
            last.setRight(x);
            return;
        }
    }
    fills_.push_back({QRect(QPoint(x, top), QPoint(static_cast<int>(std::lround(x2)), bottom)), qcolour});
}

}  // namespace lorvane
