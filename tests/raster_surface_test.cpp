#include "raster_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QImage>

#include "captions.h"
#include "composer.h"
#include "device_colour.h"
#include "fixed_clock.h"
#include "picture_state.h"
#include "platform_error.h"
#include "seeded_random_source.h"
#include "text_painter.h"

namespace lorvane {
namespace {

constexpr int kWidth = RasterSurface::kWidth;
constexpr int kHeight = RasterSurface::kHeight;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kBlue = 0xFF0000;

// The plain way: every line on its own, pixel by pixel, and text drawn by TextPainter as text.
// The fast surface has to come out the same.
class ReferenceSurface final : public Surface {
public:
    explicit ReferenceSurface(double scale = 1.0)
        : scale_(scale), image_(Edge(kWidth), Edge(kHeight), QImage::Format_RGB32)
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
            for (int row = std::max(std::min(y, endY), -1); row <= std::min(std::max(y, endY), kHeight); ++row) {
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
        TextPainter::Draw(image_, scale_, currentX_, currentY_, fontSize_, foreColour_, text);
        currentX_ = 0;
        currentY_ += TextPainter::LineHeight(scale_, fontSize_);
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
        if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) {
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
std::string Difference(const QImage& actual, const QImage& expected)
{
    if (actual.size() != expected.size()) {
        return "sizes differ";
    }
    for (int y = 0; y < actual.height(); ++y) {
        const auto* const a = reinterpret_cast<const std::uint32_t*>(actual.constScanLine(y));
        const auto* const e = reinterpret_cast<const std::uint32_t*>(expected.constScanLine(y));
        for (int x = 0; x < actual.width(); ++x) {
            if (a[x] != e[x]) {
                return "first difference at (" + std::to_string(x) + ", " + std::to_string(y) + "): " +
                       std::to_string(a[x]) + " instead of " + std::to_string(e[x]);
            }
        }
    }
    return {};
}

// Draws the same calls on the fast surface and on the reference.
template <class Draw>
void DrawOnBoth(RasterSurface& fast, ReferenceSurface& reference, Draw draw)
{
    draw(static_cast<Surface&>(fast));
    draw(static_cast<Surface&>(reference));
}

struct Picture {
    float seed = 0.0F;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Draws whole pictures as the window does, one after another on the same surfaces.
void ExpectPicturesMatch(RasterSurface& fast, ReferenceSurface& reference, const std::vector<Picture>& pictures)
{
    for (const Picture& picture : pictures) {
        FixedClock clock(2024, 3, 7, picture.hour, picture.minute, picture.second);
        PictureState fastState;
        PictureState referenceState;
        for (PictureState* state : {&fastState, &referenceState}) {
            state->sir = PictureState::kWidth;
            state->vis = PictureState::kHeight;
            state->tekst1 = kArtistAddress;
            state->tekst2 = kAttribution;
        }
        SeededRandomSource fastRandom;
        SeededRandomSource referenceRandom;
        fastRandom.Seed(picture.seed);
        referenceRandom.Seed(picture.seed);
        fast.Cls();
        reference.Cls();
        Composer(fastState, fast, fastRandom, clock).DrawPicture();
        Composer(referenceState, reference, referenceRandom, clock).DrawPicture();
        ASSERT_EQ(Difference(fast.Image(), reference.Image()), "") << "picture with seed " << picture.seed;
    }
}

std::vector<Picture> ManyPictures(int count)
{
    std::vector<Picture> pictures;
    for (int i = 0; i < count; ++i) {
        // Seeds as the clock gives them, and a new name for each picture.
        pictures.push_back({static_cast<float>(i) * 2161.37F + 0.25F, i % 24, (i * 7) % 60, (i * 13) % 60});
    }
    return pictures;
}

TEST(RasterSurface, WholePicturesMatchLineByLineDrawingPixelForPixel)
{
    RasterSurface fast;
    ReferenceSurface reference;
    ExpectPicturesMatch(fast, reference, ManyPictures(40));
}

TEST(RasterSurface, WholePicturesMatchAtTwoDevicePixelsPerPixel)
{
    RasterSurface fast(2.0);
    ReferenceSurface reference(2.0);
    ExpectPicturesMatch(fast, reference, ManyPictures(4));
}

TEST(RasterSurface, PictureLooksTheSameWhenAskedForHalfwayThrough)
{
    RasterSurface fast;
    ReferenceSurface reference;
    fast.Cls();
    reference.Cls();
    int calls = 0;
    // Every 97th line the picture is looked at, as a repaint in the middle of drawing would.
    DrawOnBoth(fast, reference, [&](Surface& surface) {
        SeededRandomSource random;
        random.Seed(3.5F);
        for (int i = 0; i < 3000; ++i) {
            const float x = std::floor(random.Next() * 640.0F) - 20.0F;
            const float top = std::floor(random.Next() * 500.0F) - 25.0F;
            const auto colour = static_cast<Colour>(random.Next() * 3.0F) * 0x7F;
            for (float column = x; column < x + 30.0F; column += 1.0F) {
                surface.Line(column, top, column, top + 40.0F, colour);
                if (&surface == &fast && ++calls % 97 == 0) {
                    (void)fast.Image();
                }
            }
        }
    });
    EXPECT_EQ(Difference(fast.Image(), reference.Image()), "");
}

TEST(RasterSurface, RunsOfColumnsAreClippedAtEveryEdge)
{
    RasterSurface fast;
    ReferenceSurface reference;
    DrawOnBoth(fast, reference, [](Surface& surface) {
        // Squares hanging over the left, right, top and bottom edges and the corners.
        const float centres[][2] = {{0, 200}, {599, 200}, {300, 0}, {300, 449}, {-40, -40}, {640, 490}, {599, 0}};
        Colour colour = 0x102030;
        for (const auto& centre : centres) {
            for (float x = centre[0] - 49.0F; x <= centre[0] + 49.0F; x += 1.0F) {
                surface.Line(x, centre[1] - 49.0F, x, centre[1] + 49.0F, colour);
            }
            colour += 0x111111;
        }
        // A run that would go on past the last column, then one starting beyond it.
        for (float x = 590.0F; x <= 620.0F; x += 1.0F) {
            surface.Line(x, 100.0F, x, 449.0F, kGreen);
        }
        for (float x = 600.0F; x <= 610.0F; x += 1.0F) {
            surface.Line(x, 0.0F, x, 449.0F, kRed);
        }
        // Horizontal lines across and beyond the left and right edges.
        surface.Line(-100.0F, 10.0F, 700.0F, 10.0F, kBlue);
        surface.Line(-5.0F, 0.0F, 5.0F, 0.0F, kRed);
        surface.Line(595.0F, 449.0F, 1.0e6F, 449.0F, kRed);
        surface.Line(-1.0e6F, 448.0F, 1.0e6F, 448.0F, kGreen);
        // Lines entirely outside.
        surface.Line(-1.0F, 0.0F, -1.0F, 449.0F, kRed);
        surface.Line(0.0F, -1.0F, 599.0F, -1.0F, kRed);
        surface.Line(0.0F, 450.0F, 599.0F, 450.0F, kRed);
        surface.Line(-1.0e30F, -1.0e30F, -1.0e30F, 1.0e30F, kRed);
    });
    EXPECT_EQ(Difference(fast.Image(), reference.Image()), "");
    // Nothing wraps from the right edge onto the next row.
    EXPECT_EQ(fast.Image().pixel(0, 101), ToDevicePixel(0));
}

TEST(RasterSurface, ColumnsRoundHalvesToEvenAndMergeOnlyWhenAlike)
{
    RasterSurface fast;
    ReferenceSurface reference;
    DrawOnBoth(fast, reference, [](Surface& surface) {
        // Fractional and half coordinates, reversed end points, a change of colour or extent
        // in the middle of a run, and a run interrupted by a slanted line.
        for (float x = 10.5F; x < 40.0F; x += 1.0F) {
            surface.Line(x, 20.5F, x, 60.5F, kRed);
        }
        for (float x = 50.4F; x < 80.0F; x += 1.0F) {
            surface.Line(x, 90.6F, x, 30.4F, kGreen);
        }
        for (float x = 100.0F; x < 130.0F; x += 1.0F) {
            surface.Line(x, 10.0F, x, x < 115.0F ? 50.0F : 51.0F, x < 120.0F ? kBlue : kRed);
        }
        for (float x = 140.0F; x < 170.0F; x += 1.0F) {
            surface.Line(x, 10.0F, x, 50.0F, kGreen);
            if (x == 150.0F) {
                surface.Line(135.0F, 5.0F, 175.0F, 55.0F, kRed);
            }
        }
        for (float x = 200.0F; x < 230.0F; x += 0.5F) {
            surface.Line(x, 100.0F, x, 140.0F, kBlue);
        }
        surface.Line(300.0F, 300.0F, 300.0F, 300.0F, kRed);
    });
    EXPECT_EQ(Difference(fast.Image(), reference.Image()), "");
}

TEST(RasterSurface, SlantedLinesIncludeBothEndsWithoutGaps)
{
    RasterSurface surface;
    const int ends[][4] = {{10, 10, 100, 37}, {100, 300, 20, 200}, {500, 20, 510, 400}, {590, 440, 5, 3}};
    for (const auto& end : ends) {
        surface.Cls();
        surface.Line(static_cast<float>(end[0]), static_cast<float>(end[1]), static_cast<float>(end[2]),
                     static_cast<float>(end[3]), kRed);
        const QImage& image = surface.Image();
        const auto lit = [&](int x, int y) { return image.pixel(x, y) == ToDevicePixel(kRed); };
        EXPECT_TRUE(lit(end[0], end[1]));
        EXPECT_TRUE(lit(end[2], end[3]));
        // Exactly one pixel for each step along the longer axis, each next to the one before.
        const bool steep = std::abs(end[3] - end[1]) > std::abs(end[2] - end[0]);
        const int from = steep ? std::min(end[1], end[3]) : std::min(end[0], end[2]);
        const int to = steep ? std::max(end[1], end[3]) : std::max(end[0], end[2]);
        int previous = -1;
        for (int major = from; major <= to; ++major) {
            int count = 0;
            int minor = -1;
            for (int other = 0; other < (steep ? kWidth : kHeight); ++other) {
                if (steep ? lit(other, major) : lit(major, other)) {
                    ++count;
                    minor = other;
                }
            }
            ASSERT_EQ(count, 1) << "at " << major;
            if (previous >= 0) {
                EXPECT_LE(std::abs(minor - previous), 1);
            }
            previous = minor;
        }
    }
}

TEST(RasterSurface, ScaleTwoGivesTwoByTwoBlocksAndRendersThePictureAgain)
{
    RasterSurface surface;
    surface.SetBackColor(0x203040);
    surface.Cls();
    for (float x = -10.0F; x < 300.0F; x += 1.0F) {
        surface.Line(x, 20.0F, x, 200.0F, 0x445566);
    }
    surface.Line(10.0F, 440.0F, 590.0F, 5.0F, kRed);
    const QImage atOne = surface.Image().copy();

    surface.SetScale(2.0);
    const QImage& atTwo = surface.Image();
    ASSERT_EQ(atTwo.size(), QSize(2 * kWidth, 2 * kHeight));
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const QRgb expected = atOne.pixel(x, y);
            ASSERT_TRUE(atTwo.pixel(2 * x, 2 * y) == expected && atTwo.pixel(2 * x + 1, 2 * y) == expected &&
                        atTwo.pixel(2 * x, 2 * y + 1) == expected && atTwo.pixel(2 * x + 1, 2 * y + 1) == expected)
                << "block of (" << x << ", " << y << ")";
        }
    }
    surface.SetScale(1.0);
    EXPECT_EQ(Difference(surface.Image(), atOne), "");
}

TEST(RasterSurface, ClsErasesToTheBackColourAndForgetsUnfinishedRuns)
{
    RasterSurface fast;
    ReferenceSurface reference;
    DrawOnBoth(fast, reference, [](Surface& surface) {
        surface.SetBackColor(kGreen);
        for (float x = 0.0F; x < 600.0F; x += 1.0F) {
            surface.Line(x, 0.0F, x, 450.0F, kRed);
        }
        for (float x = 10.0F; x < 50.0F; x += 1.0F) {
            surface.Line(x, 10.0F, x, 50.0F, kBlue);
        }
        surface.Cls();
    });
    EXPECT_EQ(Difference(fast.Image(), reference.Image()), "");
    EXPECT_EQ(fast.Image().pixel(20, 20), ToDevicePixel(kGreen));

    // Text after a clear starts at the top-left corner.
    DrawOnBoth(fast, reference, [](Surface& surface) { surface.Print("after a clear"); });
    EXPECT_EQ(Difference(fast.Image(), reference.Image()), "");
}

TEST(RasterSurface, PicturesHandedOutStayAsTheyWere)
{
    RasterSurface surface;
    surface.Cls();
    surface.Line(5.0F, 5.0F, 5.0F, 100.0F, kRed);
    const QImage handedOut = surface.Image();
    const QImage before = handedOut.copy();
    for (float x = 0.0F; x < 600.0F; x += 1.0F) {
        surface.Line(x, 0.0F, x, 450.0F, kBlue);
    }
    surface.Line(10.0F, 10.0F, 10.0F, 20.0F, kGreen);
    (void)surface.Image();
    EXPECT_EQ(Difference(handedOut, before), "");
}

TEST(RasterSurface, InvalidColoursAndCoordinatesRaisePlatformErrorAndDrawNothing)
{
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    constexpr Colour kTooLarge = 0x1000000;
    RasterSurface surface;
    surface.Cls();
    // A run in progress, so that the quick path for its next column is tried first.
    surface.Line(10.0F, 10.0F, 10.0F, 20.0F, kRed);
    EXPECT_THROW(surface.Line(11.0F, 10.0F, 11.0F, 20.0F, kTooLarge), PlatformError);
    EXPECT_THROW(surface.Line(kNaN, 10.0F, 11.0F, 20.0F, kRed), PlatformError);
    EXPECT_THROW(surface.Line(11.0F, 10.0F, kNaN, 20.0F, kRed), PlatformError);
    EXPECT_THROW(surface.Line(11.0F, kNaN, 11.0F, 20.0F, kRed), PlatformError);
    EXPECT_THROW(surface.Line(11.0F, 10.0F, 11.0F, kInfinity, kRed), PlatformError);
    EXPECT_THROW(surface.Line(-kInfinity, 10.0F, 11.0F, 20.0F, kRed), PlatformError);
    EXPECT_THROW(surface.SetForeColor(kTooLarge), PlatformError);
    EXPECT_THROW(surface.SetBackColor(kTooLarge), PlatformError);
    EXPECT_THROW(surface.SetCurrentX(kNaN), PlatformError);
    EXPECT_THROW(surface.SetCurrentY(kInfinity), PlatformError);
    EXPECT_THROW(surface.SetFontSize(0.0F), PlatformError);
    EXPECT_THROW(surface.SetFontSize(kNaN), PlatformError);
    EXPECT_THROW(surface.SetScale(0.5), PlatformError);
    EXPECT_THROW(surface.SetScale(std::nan("")), PlatformError);
    // The run goes on as if the failed calls had not been made.
    surface.Line(11.0F, 10.0F, 11.0F, 20.0F, kRed);
    const QImage& image = surface.Image();
    EXPECT_EQ(image.pixel(10, 15), ToDevicePixel(kRed));
    EXPECT_EQ(image.pixel(11, 15), ToDevicePixel(kRed));
    EXPECT_EQ(image.pixel(12, 15), ToDevicePixel(0));
    EXPECT_EQ(image.size(), QSize(kWidth, kHeight));
}

TEST(RasterSurface, OddScalesCoverEveryDevicePixelExactlyOnce)
{
    // At 1.5 and 3.25 device pixels per pixel the edges round; fills must still tile the image
    // and stay inside it.
    for (const double scale : {1.5, 3.25}) {
        RasterSurface fast(scale);
        ReferenceSurface reference(scale);
        DrawOnBoth(fast, reference, [](Surface& surface) {
            // Every column its own colour, so no two are merged.
            for (float x = -3.0F; x < 603.0F; x += 1.0F) {
                surface.Line(x, -5.0F, x, 455.0F, (static_cast<Colour>(x + 3.0F) % 256) * 0x010101);
            }
            for (float x = 550.0F; x < 700.0F; x += 1.0F) {
                surface.Line(x, 400.0F, x, 1.0e7F, kRed);
            }
        });
        EXPECT_EQ(Difference(fast.Image(), reference.Image()), "") << "scale " << scale;
    }
}

}  // namespace
}  // namespace lorvane
