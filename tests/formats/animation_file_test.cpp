// Animated files read back by decoders of their own: Pillow frame by frame, webpmux for the
// WebP's chunks.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "formats/file_format.h"
#include "picture/picture_sequence.h"
#include "players/raster_player.h"
#include "recording/picture_frames.h"
#include "tests/decoded_image.h"
#include "tests/files.h"
#include "tests/pillow_frames.h"

namespace lorvane {
namespace {

using testing::Decode;
using testing::DecodedFrames;
using testing::Hash;
using testing::Shown;

const Recipe kRecipe{32702.5F, 3, "20240307090502"};

// The frames the raster player plays, the background first, each shown for `delays`.
std::vector<Shown> PlayersFrames(const RecordedPicture& picture, double scale, const std::vector<int>& delays)
{
    RasterPlayer player(scale);
    player.PlayBackground(picture);
    std::vector<Shown> frames{{delays.at(0), Hash(player.Image())}};
    for (const PaintingStep& step : PaintingSteps(picture)) {
        player.PlayItems(picture.Items().subspan(step.firstItem, step.endItem - step.firstItem));
        frames.push_back({delays.at(frames.size()), Hash(player.Image())});
    }
    return frames;
}

TEST(EncodeAnimation, EveryFrameAViewerShowsIsTheRasterPlayersAndTheLastIsTheStillPng)
{
    const RecordedPicture picture = DrawRecipe(kRecipe).recording;
    const std::size_t frames = PaintingSteps(picture).size() + 1;
    const struct {
        AnimationFormat format = AnimationFormat::Apng;
        int scale = 1;
        AnimationTiming timing;
    } cases[] = {
        {AnimationFormat::Apng, 1, {}},
        {AnimationFormat::Webp, 1, {}},
        // Each picture pixel a block of device pixels, and another painting time.
        {AnimationFormat::Webp, 2, {2500, 3000}},
    };
    for (const auto& [format, scale, timing] : cases) {
        SCOPED_TRACE(Suffix(format).toStdString() + " at scale " + std::to_string(scale));
        const std::optional<QByteArray> file =
            EncodeAnimation(picture, format, {static_cast<double>(scale), std::nullopt, Framing::Fit}, timing, kRecipe);
        ASSERT_TRUE(file.has_value());
        const DecodedFrames decoded = Decode(*file);
        EXPECT_EQ(decoded.header, "frames " + std::to_string(frames) + " loop 0");
        const std::vector<int> delays = FrameDelays(frames, timing.paintingMilliseconds, 3000);
        EXPECT_EQ(decoded.frames, PlayersFrames(picture, scale, delays));
        const std::string still = Hash(testing::DecodedPng(*EncodeFile(picture, FileFormat::Png, scale, kRecipe)));
        ASSERT_FALSE(decoded.frames.empty());
        EXPECT_EQ(decoded.frames.back().pixels, still);
        EXPECT_EQ(decoded.still, format == AnimationFormat::Apng ? still : "");
    }
}

TEST(EncodeAnimation, FramedInAnAreaEndsOnTheStillFittedOrFilledPng)
{
    const RecordedPicture picture = DrawRecipe(kRecipe).recording;
    for (const AnimationFormat format : {AnimationFormat::Apng, AnimationFormat::Webp}) {
        for (const Framing framing : {Framing::Fit, Framing::Fill}) {
            const QSize area(801, 601);
            const std::optional<QByteArray> file = EncodeAnimation(picture, format, {1.0, area, framing}, {}, kRecipe);
            ASSERT_TRUE(file.has_value());
            const DecodedFrames decoded = Decode(*file);
            ASSERT_EQ(decoded.frames.size(), PaintingSteps(picture).size() + 1);
            EXPECT_EQ(decoded.frames.back().pixels,
                      Hash(testing::DecodedPng(*EncodeFittedPng(picture, area, kRecipe, framing))))
                << Suffix(format).toStdString() << (framing == Framing::Fill ? " filled" : " fitted");
        }
    }
}

TEST(EncodeAnimation, WebpmuxFindsTheCanvasTheLoopTheFramesAndTheXmp)
{
    const RecordedPicture picture = DrawRecipe(kRecipe).recording;
    const QTemporaryDir dir;
    const QString path = testing::Written(dir.filePath(QStringLiteral("a.webp")),
                                          *EncodeAnimation(picture, AnimationFormat::Webp,
                                                           {2.0, std::nullopt, Framing::Fit}, {}, kRecipe));
    QProcess webpmux;
    webpmux.start(QStringLiteral("webpmux"), {QStringLiteral("-info"), path});
    ASSERT_TRUE(webpmux.waitForFinished());
    const QString info = QString::fromUtf8(webpmux.readAllStandardOutput());
    EXPECT_EQ(webpmux.exitCode(), 0) << info.toStdString();
    for (const QString& line : {QStringLiteral("Canvas size: 1200 x 900"),
                                QStringLiteral("Features present: animation XMP"), QStringLiteral("Loop Count : 0"),
                                QStringLiteral("Number of frames: %1").arg(PaintingSteps(picture).size() + 1)}) {
        EXPECT_TRUE(info.contains(line)) << line.toStdString() << "\n" << info.toStdString();
    }
}

}  // namespace
}  // namespace lorvane
