#include "formats/svg_file.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QString>
#include <QSvgRenderer>

#include "players/text_painter.h"
#include "recording/picture_recorder.h"
#include "tests/players/reference_surface.h"

namespace lorvane {
namespace {

// Every <name ...> tag of the document, one a line.
std::string Elements(const QByteArray& document, const QString& name)
{
    QStringList found;
    const QRegularExpression element(QStringLiteral("<%1 [^>]*>").arg(name));
    for (auto match = element.globalMatch(QString::fromUtf8(document)); match.hasNext();) {
        found << match.next().captured();
    }
    return found.join(QLatin1Char('\n')).toStdString();
}

TEST(SvgPlayer, WholePicturesRasteriseToTheLineByLineReferenceAboveTheCaptions)
{
    constexpr int kCaptionTop = 425;
    for (const int scale : {1, 2}) {
        for (const testing::Picture& picture : testing::ManyPictures(3)) {
            PictureRecorder recording;
            testing::ReferenceSurface reference(scale);
            testing::DrawWindowPicture(recording, picture);
            testing::DrawWindowPicture(reference, picture);

            QSvgRenderer renderer(SvgFile(recording.Picture(), scale, std::nullopt));
            ASSERT_TRUE(renderer.isValid());
            QImage image(kPictureWidth * scale, kPictureHeight * scale, QImage::Format_RGB32);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            // Text is drawn by the viewer; everything else is the same pixel for pixel.
            const QRect squares(0, 0, image.width(), kCaptionTop * scale);
            EXPECT_EQ(testing::Difference(image.copy(squares), reference.Image().copy(squares)), "")
                << "seed " << picture.seed << " at scale " << scale;
        }
    }
}

TEST(SvgPlayer, PlacesTextAtTheRasterPlayersBaselineAndSize)
{
    constexpr int scale = 3;
    PictureRecorder recording;
    recording.SetFontSize(9);
    recording.SetForeColor(0xFFFFFF);
    recording.SetCurrentX(12);
    recording.SetCurrentY(425);
    recording.Print("a < b & c");
    const QByteArray document = SvgFile(recording.Picture(), scale, std::nullopt);

    const TextItem text{12, 425, 0, 9, 0xFFFFFF, "a < b & c"};
    const QString baseline = QString::number(TextPainter::Baseline(scale, text).y() / scale, 'g', 10);
    EXPECT_EQ(Elements(document, "text"), QStringLiteral(R"(<text x="12" y="%1" font-family="DejaVu Sans, sans-serif" )"
                                                         R"(font-size="12" fill="#ffffff" xml:space="preserve">)")
                                              .arg(baseline)
                                              .toStdString());
    EXPECT_TRUE(document.contains(">a &lt; b &amp; c</text>"));
    EXPECT_TRUE(document.contains(R"(width="1800" height="1350" viewBox="0 0 600 450")"));
}

TEST(SvgPlayer, PutsBothEndsOfALineOnPixelCentres)
{
    PictureRecorder recording;
    recording.Line(10.0F, 20.0F, 200.0F, 30.0F, 0x0000FF);
    EXPECT_EQ(Elements(SvgFile(recording.Picture(), 1, std::nullopt), "line"),
              R"(<line x1="10.5" y1="20.5" x2="200.5" y2="30.5" stroke="#ff0000" stroke-linecap="square"/>)");
}

}  // namespace
}  // namespace lorvane
