#include "formats/pdf_file.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "recording/picture_recorder.h"
#include "tests/files.h"
#include "tests/players/reference_surface.h"

namespace lorvane {
namespace {

// Runs one of poppler's tools and gives what it printed.
QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished() || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Largest difference of any channel of any pixel of the two images, which must be of one size.
int LargestChannelDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max(
                {largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

TEST(PdfPlayer, OnePageThePicturesSizeWithItsRectanglesAndSelectableCaptions)
{
    constexpr int kCaptionTop = 425;
    const QTemporaryDir dir;
    for (const testing::Picture& picture : testing::ManyPictures(2)) {
        PictureRecorder recording;
        testing::ReferenceSurface reference;
        testing::DrawWindowPicture(recording, picture);
        testing::DrawWindowPicture(reference, picture);
        const QString pdf = testing::Written(dir.filePath("picture.pdf"), PdfFile(recording.Picture(), std::nullopt));

        const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages: +1\n")))) << info.toStdString();
        // 600 x 450 pixels at 96 dots per inch, in whole points.
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size: +450 x 338 pts"))))
            << info.toStdString();

        const QString text = RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).simplified();
        EXPECT_EQ(text, QStringLiteral("T20240307%1%2%3 varlenko.art Generative Art by Varlenko")
                            .arg(picture.hour, 2, 10, QLatin1Char('0'))
                            .arg(picture.minute, 2, 10, QLatin1Char('0'))
                            .arg(picture.second, 2, 10, QLatin1Char('0')));

        // Rasterised at 96 dots per inch, the squares are the reference's, up to rounding of colours.
        RunTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-aa"), QStringLiteral("no"),
                 QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("page"))});
        const QImage page(dir.filePath(QStringLiteral("page.png")));
        ASSERT_EQ(page.width(), kPictureWidth);
        const QRect squares(0, 0, kPictureWidth, kCaptionTop);
        EXPECT_LE(LargestChannelDifference(page.copy(squares), reference.Image().copy(squares)), 1)
            << "seed " << picture.seed;
    }
}

}  // namespace
}  // namespace lorvane
