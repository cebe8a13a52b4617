#include "formats/png_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include <zlib.h>

#include "formats/file_format.h"
#include "tests/decoded_image.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <QtEndian>

#include "picture/picture_sequence.h"
#include "players/raster_player.h"

namespace lorvane {
namespace {

QImage APicture()
{
    return RasterPlayer().Play(DrawRecipe(Recipe{32702.5F, 1, "20240307090502"}).recording);
}

// The chunks' types in order, each checked against its CRC as zlib computes it (Qt's decoder
// passes over a wrong one); nothing when a CRC is wrong or the file ends inside a chunk.
std::optional<QList<QByteArray>> CheckedChunks(const QByteArray& png)
{
    QList<QByteArray> types;
    const auto number = [&](qsizetype at) {
        return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(png.constData() + at));
    };
    for (qsizetype at = 8; at < png.size(); at += 12 + static_cast<qsizetype>(number(at))) {
        const qsizetype length = number(at);
        if (at + 12 + length > png.size()) {
            return std::nullopt;
        }
        const auto* checked = reinterpret_cast<const Bytef*>(png.constData() + at + 4);
        if (crc32(0, checked, static_cast<uInt>(length + 4)) != number(at + 8 + length)) {
            return std::nullopt;
        }
        types.append(png.mid(at + 4, 4));
    }
    return types;
}

TEST(PngEncoder, DecodesToExactlyThePixelsOfOpaqueAndTranslucentPictures)
{
    const QImage picture = APicture();
    QImage translucent = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < translucent.height(); ++y) {
        translucent.setPixel(y, y, qRgba(y % 256, 40, 200, y % 256));
    }
    for (const QImage& image : {picture, translucent}) {
        const std::optional<QByteArray> png = EncodePng(image);
        ASSERT_TRUE(png.has_value());
        EXPECT_TRUE(png->startsWith("\x89PNG\r\n\x1a\n"));
        EXPECT_EQ(CheckedChunks(*png), (QList<QByteArray>{"IHDR", "sRGB", "pHYs", "IDAT", "IEND"}));
        const QImage decoded = QImage::fromData(*png, "png");
        EXPECT_EQ(decoded.hasAlphaChannel(), image.hasAlphaChannel());
        EXPECT_EQ(testing::Decoded(decoded, image.format()), image);
    }
}

TEST(PngEncoder, WritesTextChunksThatReadBack)
{
    QImage image = APicture();
    image.setText(QStringLiteral("Comment"), QStringLiteral("the picture's own"));
    const PngText text = {
        {QStringLiteral("Title"), QStringLiteral("T20240307090502")},
        {QStringLiteral("Software"), QStringLiteral("lorvane01-render 1.00")},
        {QStringLiteral("Creation Time"), QStringLiteral("2024-03-07T09:05:02")},
        // Long enough to be compressed, and beyond latin-1.
        {QStringLiteral("lorvane01-recipe"),
         QStringList(20, QStringLiteral("seed=32702.5 \u00e9\u2192\u263a")).join(';')},
    };
    const std::optional<QByteArray> png = EncodePng(image, text);
    ASSERT_TRUE(png.has_value());
    QBuffer buffer;
    buffer.setData(*png);
    QImageReader reader(&buffer, "png");
    const QImage decoded = QImage::fromData(*png, "png");
    EXPECT_EQ(reader.text(QStringLiteral("Comment")), QStringLiteral("the picture's own"));
    EXPECT_EQ(decoded.text(QStringLiteral("Comment")), QStringLiteral("the picture's own"));
    for (const auto& [key, value] : text) {
        // Qt's reader cannot give a keyword with a space in it; the image it reads has them all.
        if (!key.contains(QLatin1Char(' '))) {
            EXPECT_EQ(reader.text(key), value) << key.toStdString();
        }
        EXPECT_EQ(decoded.text(key), value) << key.toStdString();
    }
}

TEST(PngEncoder, FilesAreNoLargerThanQtsWriterMakesThem)
{
    // Paeth on rows that change, Up on rows that repeat: the other way round gives files about
    // three times as large, with the same pixels.
    const QImage picture = APicture();
    QByteArray qt;
    QBuffer buffer(&qt);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(picture.save(&buffer, "png"));
    const std::optional<QByteArray> ours = EncodePng(picture);
    ASSERT_TRUE(ours.has_value());
    EXPECT_LT(ours->size(), qt.size() * 5 / 4) << ours->size() << " bytes, Qt's " << qt.size();
}

TEST(PngEncoder, RefusesANullImageAndKeywordsPngCannotHold)
{
    EXPECT_EQ(EncodePng(QImage()), std::nullopt);
    const QImage image = APicture();
    for (const QString& keyword : {QString(), QString(80, QLatin1Char('k')), QStringLiteral("caf\u00e9\u2192"),
                                   QStringLiteral("no\u00a0break")}) {
        EXPECT_EQ(EncodePng(image, {{keyword, QStringLiteral("value")}}), std::nullopt) << keyword.toStdString();
    }
}

TEST(PngFile, IsMarkedAsSrgbAtNinetySixDotsPerInchTimesItsScale)
{
    const Recipe recipe{32702.5F, 3, "20240307090502"};
    for (const auto& [scale, dotsPerMetre] : {std::pair{1, 3780}, std::pair{4, 15118}}) {
        const std::optional<QByteArray> png = PngFile(APicture(), scale, recipe);
        ASSERT_TRUE(png.has_value());
        const QImage read = QImage::fromData(*png, "png");
        EXPECT_EQ(read.dotsPerMeterX(), dotsPerMetre) << scale;
        EXPECT_EQ(read.dotsPerMeterY(), dotsPerMetre) << scale;
        EXPECT_EQ(read.colorSpace(), QColorSpace(QColorSpace::SRgb));
        EXPECT_EQ(read.text(QStringLiteral("lorvane01-recipe")), "seed=32702.5 picture=3 at=20240307090502");
        EXPECT_EQ(CheckedChunks(*png),
                  (QList<QByteArray>{"IHDR", "sRGB", "pHYs", "tEXt", "tEXt", "tEXt", "tEXt", "IDAT", "IEND"}));
    }
}

TEST(PngFile, FittedToAnAreaIsMarkedAsNinetySixDotsPerInchTimesItsScaleWholeOrNot)
{
    // So that the picture in it prints at its own size, as every other PNG does.
    const Recipe recipe{32702.5F, 3, "20240307090502"};
    const RecordedPicture picture = DrawRecipe(recipe).recording;
    for (const auto& [area, dotsPerMetre] :
         {std::pair{QSize(1920, 1080), 9071}, std::pair{QSize(1200, 900), 7559}, std::pair{QSize(400, 300), 3780}}) {
        const std::optional<QByteArray> png = EncodeFittedPng(picture, area, recipe);
        ASSERT_TRUE(png.has_value());
        const QImage read = QImage::fromData(*png, "png");
        EXPECT_EQ(read.size(), area);
        EXPECT_EQ(read.dotsPerMeterX(), dotsPerMetre) << area.width();
        EXPECT_EQ(read.dotsPerMeterY(), dotsPerMetre) << area.width();
    }
}

}  // namespace
}  // namespace lorvane
