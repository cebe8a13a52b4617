#include "raster_player.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <QImage>

#include "decoded_image.h"
#include "device_colour.h"
#include "fakes.h"
#include "picture_recorder.h"
#include "platform_error.h"
#include "reference_surface.h"

namespace lorvane {
namespace {

using testing::Difference;
using testing::ReferenceSurface;

constexpr int kWidth = kPictureWidth;
constexpr int kHeight = kPictureHeight;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kBlue = 0xFF0000;

// The same calls recorded and played at a scale, and drawn line by line on the reference.
class BothWays {
public:
    explicit BothWays(double scale = 1.0) : player_(scale), reference_(scale) {}

    template <class Calls>
    void Draw(Calls draw)
    {
        draw(static_cast<Surface&>(recording_));
        draw(static_cast<Surface&>(reference_));
    }
    [[nodiscard]] std::string Difference() { return testing::Difference(Played(), reference_.Image()); }
    const QImage& Played() { return player_.Play(recording_.Picture()); }

private:
    PictureRecorder recording_;
    RasterPlayer player_;
    ReferenceSurface reference_;
};

TEST(RasterPlayer, WholePicturesMatchLineByLineDrawingPixelForPixelAtOneAndTwoDevicePixelsPerPixel)
{
    for (const auto& [scale, count] : {std::pair{1.0, 40}, std::pair{2.0, 4}}) {
        BothWays both(scale);
        for (const testing::Picture& picture : testing::ManyPictures(count)) {
            both.Draw([&](Surface& surface) { testing::DrawWindowPicture(surface, picture); });
            ASSERT_EQ(both.Difference(), "") << "picture with seed " << picture.seed << " at scale " << scale;
        }
    }
}

TEST(RasterPlayer, RunsOfColumnsAreClippedAtEveryEdge)
{
    BothWays both;
    both.Draw([](Surface& surface) {
        // Squares hanging over the left, right, top and bottom edges and the corners.
        const float centres[][2] = {{0, 200}, {599, 200}, {300, 0}, {300, 449}, {-40, -40}, {640, 490}, {599, 0}};
        Colour colour = 0x102030;
        for (const auto& centre : centres) {
            testing::DrawSquare(surface, centre[0], centre[1], 49.0F, colour);
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
    EXPECT_EQ(both.Difference(), "");
    // Nothing wraps from the right edge onto the next row.
    EXPECT_EQ(both.Played().pixel(0, 101), ToDevicePixel(0));
}

TEST(RasterPlayer, ColumnsRoundHalvesToEvenAndMergeOnlyWhenAlike)
{
    BothWays both;
    both.Draw([](Surface& surface) {
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
    EXPECT_EQ(both.Difference(), "");
}

TEST(RasterPlayer, SlantedLinesAreTheReferencesLinesWithBothEndsAndNoGaps)
{
    const float ends[][4] = {{10, 10, 100, 37}, {100, 300, 20, 200}, {500, 20, 510, 400}, {590, 440, 5, 3}};
    for (const auto& end : ends) {
        BothWays both;
        both.Draw([&](Surface& surface) { surface.Line(end[0], end[1], end[2], end[3], kRed); });
        EXPECT_EQ(both.Difference(), "") << end[0] << ", " << end[1];
    }
}

TEST(RasterPlayer, ScaleTwoPlaysEachPixelAsATwoByTwoBlock)
{
    PictureRecorder recording;
    recording.SetBackColor(0x203040);
    recording.Cls();
    for (float x = -10.0F; x < 300.0F; x += 1.0F) {
        recording.Line(x, 20.0F, x, 200.0F, 0x445566);
    }
    recording.Line(10.0F, 440.0F, 590.0F, 5.0F, kRed);
    const QImage atOne = RasterPlayer(1.0).Play(recording.Picture());

    RasterPlayer player(2.0);
    const QImage& atTwo = player.Play(recording.Picture());
    ASSERT_EQ(atTwo.size(), QSize(2 * kWidth, 2 * kHeight));
    EXPECT_EQ(testing::PixelsUnlikeTheirBlock(atTwo, atOne, 2, kHeight), 0);
}

TEST(RasterPlayer, ClsErasesToTheBackColourAndForgetsUnfinishedRuns)
{
    BothWays both;
    both.Draw([](Surface& surface) {
        surface.SetBackColor(kGreen);
        for (float x = 0.0F; x < 600.0F; x += 1.0F) {
            surface.Line(x, 0.0F, x, 450.0F, kRed);
        }
        for (float x = 10.0F; x < 50.0F; x += 1.0F) {
            surface.Line(x, 10.0F, x, 50.0F, kBlue);
        }
        surface.Cls();
    });
    EXPECT_EQ(both.Difference(), "");
    EXPECT_EQ(both.Played().pixel(20, 20), ToDevicePixel(kGreen));

    // Text after a clear starts at the top-left corner.
    both.Draw([](Surface& surface) { surface.Print("after a clear"); });
    EXPECT_EQ(both.Difference(), "");
}

TEST(RasterPlayer, PicturesHandedOutStayAsTheyWere)
{
    PictureRecorder recording;
    recording.Line(5.0F, 5.0F, 5.0F, 100.0F, kRed);
    RasterPlayer player;
    const QImage handedOut = player.Play(recording.Picture());
    const QImage before = handedOut.copy();
    for (float x = 0.0F; x < 600.0F; x += 1.0F) {
        recording.Line(x, 0.0F, x, 450.0F, kBlue);
    }
    recording.Line(10.0F, 10.0F, 10.0F, 20.0F, kGreen);
    (void)player.Play(recording.Picture());
    EXPECT_EQ(Difference(handedOut, before), "");
}

TEST(RasterPlayer, ScalesOutsideOneToSixteenAreRefused)
{
    for (const double scale : {0.5, 16.5, std::nan("")}) {
        EXPECT_THROW(RasterPlayer{scale}, PlatformError) << scale;
    }
}

TEST(RasterPlayer, OddScalesCoverEveryDevicePixelExactlyOnce)
{
    // At 1.5 and 3.25 device pixels per pixel the edges round; fills must still tile the image
    // and stay inside it.
    for (const double scale : {1.5, 3.25}) {
        BothWays both(scale);
        both.Draw([](Surface& surface) {
            // Every column its own colour, so no two are merged.
            for (float x = -3.0F; x < 603.0F; x += 1.0F) {
                surface.Line(x, -5.0F, x, 455.0F, (static_cast<Colour>(x + 3.0F) % 256) * 0x010101);
            }
            for (float x = 550.0F; x < 700.0F; x += 1.0F) {
                surface.Line(x, 400.0F, x, 1.0e7F, kRed);
            }
        });
        EXPECT_EQ(both.Difference(), "") << "scale " << scale;
    }
}

}  // namespace
}  // namespace lorvane
