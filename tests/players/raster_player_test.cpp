#include "players/raster_player.h"

#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include <gtest/gtest.h>
#include <QImage>

#include "platform/platform_error.h"
#include "recording/picture_frames.h"
#include "recording/picture_recorder.h"
#include "tests/fakes.h"
#include "tests/players/reference_surface.h"

namespace lorvane {
namespace {

using testing::Difference;
using testing::ReferenceSurface;

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
    [[nodiscard]] std::string Difference()
    {
        return testing::Difference(player_.Play(recording_.Picture()), reference_.Image());
    }

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

// Whether two images of one size differ only inside `area`.
bool SameOutside(const QImage& before, const QImage& after, const QRect& area)
{
    const auto rowBytes = static_cast<std::size_t>(before.width()) * 4;
    const auto leftBytes = static_cast<std::size_t>(area.left()) * 4;
    const auto rightEnd = static_cast<std::size_t>(area.right() + 1) * 4;
    for (int y = 0; y < before.height(); ++y) {
        const uchar* const was = before.constScanLine(y);
        const uchar* const is = after.constScanLine(y);
        const bool differs = y < area.top() || y > area.bottom()
                                 ? std::memcmp(was, is, rowBytes) != 0
                                 : std::memcmp(was, is, leftBytes) != 0 ||
                                       std::memcmp(was + rightEnd, is + rightEnd, rowBytes - rightEnd) != 0;
        if (differs) {
            return false;
        }
    }
    return true;
}

// Frame by frame: each step changes nothing outside its area, and the last frame is the picture.
TEST(RasterPlayer, PaintsFrameByFrameInsideEachStepsAreaToThePictureItself)
{
    for (const auto& [scale, count] : {std::pair{1.0, 3}, std::pair{2.5, 1}}) {
        for (const testing::Picture& drawn : testing::ManyPictures(count)) {
            PictureRecorder recorder;
            testing::DrawWindowPicture(recorder, drawn);
            const RecordedPicture picture = recorder.Picture();
            RasterPlayer frames(scale);
            frames.PlayBackground(picture);
            for (const PaintingStep& step : PaintingSteps(picture)) {
                const QImage before = frames.Image().copy();
                frames.PlayItems(picture.Items().subspan(step.firstItem, step.endItem - step.firstItem));
                ASSERT_TRUE(SameOutside(before, frames.Image(), frames.DeviceRect(step.area)))
                    << "items " << step.firstItem << " to " << step.endItem << " at scale " << scale;
            }
            ASSERT_EQ(testing::Difference(frames.Image(), RasterPlayer(scale).Play(picture)), "") << "scale " << scale;
        }
    }
}

// Drawings with the awkward cases, each played at whole and fractional scales.
TEST(RasterPlayer, EdgesRoundingRunsAndClearsMatchLineByLineDrawingAtEveryScale)
{
    const struct {
        const char* name;
        void (*draw)(Surface&);
    } drawings[] = {
        {"runs of columns clipped at every edge",
         [](Surface& surface) {
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
             // Horizontal lines across and beyond the left and right edges; lines entirely outside.
             surface.Line(-100.0F, 10.0F, 700.0F, 10.0F, kBlue);
             surface.Line(-5.0F, 0.0F, 5.0F, 0.0F, kRed);
             surface.Line(595.0F, 449.0F, 1.0e6F, 449.0F, kRed);
             surface.Line(-1.0e6F, 448.0F, 1.0e6F, 448.0F, kGreen);
             surface.Line(-1.0F, 0.0F, -1.0F, 449.0F, kRed);
             surface.Line(0.0F, -1.0F, 599.0F, -1.0F, kRed);
             surface.Line(0.0F, 450.0F, 599.0F, 450.0F, kRed);
             surface.Line(-1.0e30F, -1.0e30F, -1.0e30F, 1.0e30F, kRed);
         }},
        {"columns round halves to even and merge only when alike",
         [](Surface& surface) {
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
         }},
        {"slanted lines with both ends and no gaps",
         [](Surface& surface) {
             surface.Line(10, 10, 100, 37, kRed);
             surface.Line(100, 300, 20, 200, kGreen);
             surface.Line(500, 20, 510, 400, kBlue);
             surface.Line(590, 440, 5, 3, 0x808080);
         }},
        {"every column its own colour, beyond every edge",
         [](Surface& surface) {
             for (float x = -3.0F; x < 603.0F; x += 1.0F) {
                 surface.Line(x, -5.0F, x, 455.0F, (static_cast<Colour>(x + 3.0F) % 256) * 0x010101);
             }
             for (float x = 550.0F; x < 700.0F; x += 1.0F) {
                 surface.Line(x, 400.0F, x, 1.0e7F, kRed);
             }
         }},
        {"Cls erases to the back colour, forgets unfinished runs and starts text at the corner",
         [](Surface& surface) {
             surface.SetBackColor(kGreen);
             for (float x = 0.0F; x < 600.0F; x += 1.0F) {
                 surface.Line(x, 0.0F, x, 450.0F, kRed);
             }
             for (float x = 10.0F; x < 50.0F; x += 1.0F) {
                 surface.Line(x, 10.0F, x, 50.0F, kBlue);
             }
             surface.Cls();
             surface.Print("after a clear");
         }},
    };
    for (const double scale : {1.0, 1.5, 2.0, 3.25}) {
        for (const auto& drawing : drawings) {
            SCOPED_TRACE(std::string(drawing.name) + " at scale " + std::to_string(scale));
            BothWays both(scale);
            both.Draw(drawing.draw);
            EXPECT_EQ(both.Difference(), "");
        }
    }
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

}  // namespace
}  // namespace lorvane
