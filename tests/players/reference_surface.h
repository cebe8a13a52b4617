#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QImage>

#include "picture/composer.h"
#include "picture/picture_state.h"
#include "platform/fixed_clock.h"
#include "platform/picture_size.h"
#include "platform/platform_error.h"
#include "platform/seeded_random_source.h"
#include "platform/surface.h"
#include "players/device_colour.h"
#include "players/text_painter.h"
#include "recording/recorded_item.h"

namespace lorvane::testing {

// The plain way: every line on its own, pixel by pixel, and text drawn by TextPainter as text.
// The fast surface has to come out the same.
class ReferenceSurface final : public Surface {
public:
    explicit ReferenceSurface(double scale = 1.0)
        : scale_(scale), image_(Edge(kPictureWidth), Edge(kPictureHeight), QImage::Format_RGB32)
    {
        image_.fill(ToDevicePixel(0));
    }

    void Cls() override
    {
        image_.fill(ToDevicePixel(backColour_));
        currentX_ = 0;
        currentY_ = 0;
    }
    void Line(float x1, float y1, float x2, float y2, Colour colour) override
    {
        for (const float value : {x1, y1, x2, y2}) {
            if (!std::isfinite(value)) {
                throw PlatformError("not finite");
            }
        }
        const std::uint32_t pixel = ToDevicePixel(colour);
        int x = Round(x1);
        int y = Round(y1);
        const int endX = Round(x2);
        const int endY = Round(y2);
        if (x == endX) {
            for (int row = std::max(std::min(y, endY), -1); row <= std::min(std::max(y, endY), kPictureHeight); ++row) {
                Plot(x, row, pixel);
            }
            return;
        }
        const int dx = std::abs(endX - x);
        const int dy = -std::abs(endY - y);
        const int stepX = x < endX ? 1 : -1;
        const int stepY = y < endY ? 1 : -1;
        int error = dx + dy;
        while (true) {
            Plot(x, y, pixel);
            if (x == endX && y == endY) {
                return;
            }
            const int doubled = 2 * error;
            if (doubled >= dy) {
                error += dy;
                x += stepX;
            }
            if (doubled <= dx) {
                error += dx;
                y += stepY;
            }
        }
    }
    void SetFontSize(float points) override { fontSize_ = points; }
    void SetForeColor(Colour colour) override { foreColour_ = colour; }
    void SetCurrentX(float x) override { currentX_ = x; }
    void SetCurrentY(float y) override { currentY_ = y; }
    void Print(std::string_view text) override
    {
        // Text drawn as text, with a font built for the occasion.
        if (!text.empty() && std::abs(currentX_) <= 1.0e6 && std::abs(currentY_) <= 1.0e6) {
            TextPainter::Draw(image_, scale_,
                              TextItem{currentX_, currentY_, 0, fontSize_, foreColour_, std::string(text)});
        }
        currentX_ = 0;
        // The next line starts one line of the font below, as the font itself measures it.
        currentY_ += QFontMetricsF(TextPainter::Font(scale_, fontSize_)).height() / scale_;
    }
    void SetBackColor(Colour colour) override { backColour_ = colour; }

    [[nodiscard]] const QImage& Image() const { return image_; }

private:
    static int Round(float value)
    {
        return static_cast<int>(std::nearbyint(std::clamp(static_cast<double>(value), -1.0e7, 1.0e7)));
    }
    [[nodiscard]] int Edge(int pixel) const { return static_cast<int>(std::lround(pixel * scale_)); }
    void Plot(int x, int y, std::uint32_t pixel)
    {
        if (x < 0 || x >= kPictureWidth || y < 0 || y >= kPictureHeight) {
            return;
        }
        for (int row = Edge(y); row < Edge(y + 1); ++row) {
            auto* const line = reinterpret_cast<std::uint32_t*>(image_.scanLine(row));
            std::fill(line + Edge(x), line + Edge(x + 1), pixel);
        }
    }

    double scale_ = 1.0;
    QImage image_;
    Colour backColour_ = 0;
    Colour foreColour_ = 0;
    float fontSize_ = 9.0F;
    double currentX_ = 0;
    double currentY_ = 0;
};

// Empty when the images are the same; otherwise where and how they first differ.
inline std::string Difference(const QImage& actual, const QImage& expected)
{
    if (actual.size() != expected.size()) {
        return "sizes differ";
    }
    for (int y = 0; y < actual.height(); ++y) {
        const auto* const a = reinterpret_cast<const std::uint32_t*>(actual.constScanLine(y));
        const auto* const e = reinterpret_cast<const std::uint32_t*>(expected.constScanLine(y));
        for (int x = 0; x < actual.width(); ++x) {
            if (a[x] != e[x]) {
                return "first difference at (" + std::to_string(x) + ", " + std::to_string(y) +
                       "): " + std::to_string(a[x]) + " instead of " + std::to_string(e[x]);
            }
        }
    }
    return {};
}

// A picture as the window draws it: the seed, and the time of day that names it.
struct Picture {
    float seed = 0.0F;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

inline std::vector<Picture> ManyPictures(int count)
{
    std::vector<Picture> pictures;
    pictures.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        // Seeds as the clock gives them, and a new name for each picture.
        pictures.push_back({static_cast<float>(i) * 2161.37F + 0.25F, i % 24, (i * 7) % 60, (i * 13) % 60});
    }
    return pictures;
}

// Clears the surface and draws the picture on it as the window does.
inline void DrawWindowPicture(Surface& surface, const Picture& picture)
{
    FixedClock clock(2024, 3, 7, picture.hour, picture.minute, picture.second);
    PictureState state = PictureState::AtStartUp();
    SeededRandomSource random;
    random.Seed(picture.seed);
    surface.Cls();
    Composer(state, surface, random, clock).DrawPicture();
}

}  // namespace lorvane::testing
