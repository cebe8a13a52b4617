#include "render/batch_writer.h"

#include <gtest/gtest.h>

#include "tests/decoded_image.h"

#include <utility>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>

#include "tests/files.h"

namespace lorvane {
namespace {

using testing::Contents;

// 09:05:02.5 on 7 March 2024, as the window's clock would give it.
constexpr float kSeed = 32702.5F;
// Captions start on this row; everything above it is background and squares.
constexpr int kCaptionTop = 425;
constexpr QRgb kWhite = 0xFFFFFFFF;

RenderOptions Options(const QTemporaryDir& dir, int pictures, FileFormat format, int scale = 1, int jobs = 2)
{
    RenderOptions options;
    options.seed = kSeed;
    options.pictures = pictures;
    options.at.emplace(2024, 3, 7, 9, 5, 2);
    options.scale = scale;
    options.format = format;
    options.folder = QFile::encodeName(dir.path());
    options.jobs = jobs;
    return options;
}

QStringList Render(const RenderOptions& options)
{
    QStringList written;
    const std::optional<Problem> problem = BatchWriter(options).Run([&](const QByteArray& path) {
        written << QFile::decodeName(path);
        return std::nullopt;
    });
    EXPECT_EQ(problem, std::nullopt);
    return written;
}

// The smallest rectangle holding every pure white pixel; only caption text is pure white.
QRect WhiteArea(const QImage& image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == kWhite) {
                area |= QRect(x, y, 1, 1);
            }
        }
    }
    return area;
}

TEST(BatchWriter, SameSeedAndClockGiveByteIdenticalFilesInOrderWhateverTheJobsOrTheTime)
{
    constexpr int kPictures = 9;
    const std::pair<FileFormat, QString> formats[] = {{FileFormat::Png, ".png"},
                                                      {FileFormat::Svg, ".svg"},
                                                      {FileFormat::Pdf, ".pdf"}};
    const QTemporaryDir first;
    const QTemporaryDir second;
    std::vector<QStringList> firstFiles;
    for (const auto& [format, extension] : formats) {
        firstFiles.push_back(Render(Options(first, kPictures, format, 1, 1)));
    }
    // The computer's clock moves on between the runs; only the picture's own time may show.
    QThread::msleep(1100);
    for (std::size_t f = 0; f < std::size(formats); ++f) {
        const QStringList secondFiles = Render(Options(second, kPictures, formats[f].first, 1, 2));
        ASSERT_EQ(firstFiles[f].size(), kPictures);
        ASSERT_EQ(secondFiles.size(), kPictures);
        for (int i = 0; i < kPictures; ++i) {
            EXPECT_EQ(secondFiles[i],
                      second.filePath(QStringLiteral("T20240307090502-%1%2").arg(i + 1).arg(formats[f].second)));
            EXPECT_EQ(QFileInfo(secondFiles[i]).permissions() & QFile::ReadOther, QFile::ReadOther);
            EXPECT_FALSE(Contents(firstFiles[f][i]).isEmpty());
            EXPECT_EQ(Contents(firstFiles[f][i]), Contents(secondFiles[i])) << secondFiles[i].toStdString();
        }
    }
}

TEST(BatchWriter, ScaleThreeDrawsEachPixelAsABlockAndTheCaptionsThreeTimesAsLarge)
{
    const QTemporaryDir dir;
    const QImage small = testing::Decoded(Render(Options(dir, 1, FileFormat::Png, 1)).value(0));
    const QImage large = testing::Decoded(Render(Options(dir, 1, FileFormat::Png, 3)).value(0));
    ASSERT_EQ(large.size(), QSize(1800, 1350));
    // Above the captions every 3 x 3 block is one picture pixel.
    EXPECT_EQ(testing::PixelsUnlikeTheirBlock(large, small, 3, kCaptionTop), 0);

    // Where the captions stand, three times as far from the corner and three times as large,
    // give or take the pixel or two that drawing at 36 rather than 12 pixels moves.
    const QRect smallText = WhiteArea(small);
    const QRect largeText = WhiteArea(large);
    ASSERT_FALSE(smallText.isEmpty());
    EXPECT_GE(smallText.top(), kCaptionTop);
    EXPECT_NEAR(largeText.left(), smallText.left() * 3, 3);
    EXPECT_NEAR(largeText.top(), smallText.top() * 3, 3);
    EXPECT_NEAR(largeText.right(), smallText.right() * 3, 9);
    EXPECT_NEAR(largeText.bottom(), smallText.bottom() * 3, 9);
}

}  // namespace
}  // namespace lorvane
