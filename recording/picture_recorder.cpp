#include "recording/picture_recorder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "platform/platform_error.h"

namespace lorvane {

namespace {

constexpr Colour kLargestColour = 0xFFFFFF;
constexpr float kLargestFontSize = 2048.0F;
// Coordinates are clamped to this before they become integers; it is far outside the picture.
constexpr double kCoordinateLimit = 1.0e7;
// Text that starts further away than this cannot reach the picture.
constexpr double kFarAway = 1.0e6;
// More than the height of a line of text of one point, in pixels, whatever the scale and font.
constexpr double kLineHeightPerPointBound = 2.0 * 96.0 / 72.0;

void RequireFinite(std::initializer_list<float> values)
{
    for (const float value : values) {
        if (!std::isfinite(value)) {
            throw PlatformError("overflow: coordinate is not a finite number");
        }
    }
}

void RequireColour(Colour colour)
{
    if (colour > kLargestColour) {
        throw PlatformError("invalid colour");
    }
}

// Nearest whole number, halves to even: lrint rounds in the current mode as nearbyint does, and
// unlike nearbyint it becomes a single instruction on every x86-64 when errno need not be set.
int ToPixel(double coordinate)
{
    return static_cast<int>(std::lrint(std::clamp(coordinate, -kCoordinateLimit, kCoordinateLimit)));
}

// Liang-Barsky: shortens the segment to the pixels of the picture; false when none is inside.
bool ClipToPicture(double& x1, double& y1, double& x2, double& y2)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    double enter = 0.0;
    double leave = 1.0;
    const std::array<std::pair<double, double>, 4> edges = {
        {{-dx, x1 + 0.5}, {dx, kPictureWidth - 0.5 - x1}, {-dy, y1 + 0.5}, {dy, kPictureHeight - 0.5 - y1}}};
    for (const auto& [p, q] : edges) {
        if (p == 0.0) {
            if (q < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q / p;
        if (p < 0.0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
    }
    if (enter > leave) {
        return false;
    }
    const double startX = x1 + enter * dx;
    const double startY = y1 + enter * dy;
    x2 = x1 + leave * dx;
    y2 = y1 + leave * dy;
    x1 = startX;
    y1 = startY;
    return true;
}

}  // namespace

inline void PictureRecorder::WidenRun()
{
    ++run_->right;
    runNext_ += 1.0F;
    if (run_->right == kPictureWidth) [[unlikely]] {
        RunReachedRightEdge();
    }
}

void PictureRecorder::Cls()
{
    items_.clear();
    background_ = backColour_;
    run_ = nullptr;
    runNext_ = kNoRun;
    currentX_ = 0.0;
    currentY_ = 0.0;
    linesBelow_ = 0;
}

void PictureRecorder::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    // The composer draws each square column by column: this test is all most lines cost. Equal
    // coordinates round alike, so the line is exactly the run's next column.
    if (x1 == runNext_ && x2 == x1 && y1 == runY1_ && y2 == runY2_ && colour == runColour_) {
        WidenRun();
        return;
    }
    AddLine(x1, y1, x2, y2, colour);
}

void PictureRecorder::AddLine(float x1, float y1, float x2, float y2, Colour colour)
{
    RequireFinite({x1, y1, x2, y2});
    RequireColour(colour);
    const int column = ToPixel(x1);
    if (column == ToPixel(x2)) {
        const int top = std::max(0, ToPixel(std::min(y1, y2)));
        const int bottom = std::min(kPictureHeight - 1, ToPixel(std::max(y1, y2)));
        if (column < 0 || column >= kPictureWidth || top > bottom) {
            return;
        }
        if (run_ != nullptr && run_->right == column && run_->top == top && run_->bottom == bottom + 1 &&
            run_->colour == colour) {
            WidenRun();
            return;
        }
        Append(FillItem{column, top, column + 1, bottom + 1, colour});
        run_ = std::get_if<FillItem>(&items_.back());
        runNext_ = column + 1 < kPictureWidth ? static_cast<float>(column + 1) : kNoRun;
        runY1_ = y1;
        runY2_ = y2;
        runColour_ = colour;
        return;
    }
    double ax = x1;
    double ay = y1;
    double bx = x2;
    double by = y2;
    if (!ClipToPicture(ax, ay, bx, by)) {
        return;
    }
    const auto pixel = [](double value, int size) { return std::clamp(ToPixel(value), 0, size - 1); };
    Append(LineItem{pixel(ax, kPictureWidth), pixel(ay, kPictureHeight), pixel(bx, kPictureWidth),
                    pixel(by, kPictureHeight), colour});
}

void PictureRecorder::RunReachedRightEdge()
{
    runNext_ = kNoRun;
    // A fill of the whole area hides everything before it, so a recording stays one picture long.
    if (run_->left == 0 && run_->top == 0 && run_->bottom == kPictureHeight) {
        background_ = run_->colour;
        items_.clear();
        run_ = nullptr;
    }
}

void PictureRecorder::Append(RecordedItem item)
{
    run_ = nullptr;
    runNext_ = kNoRun;
    items_.push_back(std::move(item));
}

void PictureRecorder::SetFontSize(float points)
{
    if (!std::isfinite(points) || points <= 0.0F || points > kLargestFontSize) {
        throw PlatformError("invalid font size");
    }
    fontSize_ = points;
}

void PictureRecorder::SetForeColor(Colour colour)
{
    RequireColour(colour);
    foreColour_ = colour;
}

void PictureRecorder::SetCurrentX(float x)
{
    RequireFinite({x});
    currentX_ = x;
}

void PictureRecorder::SetCurrentY(float y)
{
    RequireFinite({y});
    currentY_ = y;
    linesBelow_ = 0;
}

void PictureRecorder::Print(std::string_view text)
{
    const double mostBelow =
        std::abs(currentY_) + linesBelow_ * kLineHeightPerPointBound * static_cast<double>(fontSize_);
    if (!text.empty() && std::abs(currentX_) <= kFarAway && mostBelow <= kFarAway) {
        Append(TextItem{currentX_, currentY_, linesBelow_, fontSize_, foreColour_, std::string(text)});
    }
    currentX_ = 0.0;
    if (mostBelow <= kFarAway) {
        ++linesBelow_;
    }
}

void PictureRecorder::SetBackColor(Colour colour)
{
    RequireColour(colour);
    backColour_ = colour;
}

}  // namespace lorvane
