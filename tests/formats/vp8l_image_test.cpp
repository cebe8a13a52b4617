// The VP8L writer's frames, each made a still WebP and read back by Pillow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QRect>

#include "formats/vp8l_image.h"
#include "tests/pillow_frames.h"

namespace lorvane {
namespace {

// A still lossless WebP: the file's header and the one chunk.
QByteArray StillWebp(const QByteArray& chunk)
{
    QByteArray file = "RIFF";
    const auto size = static_cast<std::uint32_t>(chunk.size() + 4);
    for (int i = 0; i < 4; ++i) {
        file.append(static_cast<char>((size >> (8U * static_cast<unsigned>(i))) & 0xFFU));
    }
    return file + "WEBP" + chunk;
}

QImage Filled(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Red takes 20 values seen 1, 1, 2, 3, 5, ... 6765 times (17710 pixels), whose Huffman code
// would be 19 bits deep, past the 15 VP8L allows; green and blue are noise, with no runs.
QImage DeepCodes()
{
    std::vector<int> reds;
    for (int value = 0, count = 1, next = 1; value < 20; ++value) {
        reds.insert(reds.end(), static_cast<std::size_t>(count), value * 12);
        count = std::exchange(next, count + next);
    }
    std::mt19937 random(7);
    std::shuffle(reds.begin(), reds.end(), random);
    QImage image(161, 110, QImage::Format_RGB32);
    std::size_t next = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int red = reds.at(next++);
            image.setPixel(x, y, qRgb(red, static_cast<int>(random() % 256), static_cast<int>(random() % 256)));
        }
    }
    return image;
}

// Rows that repeat the row above but for their first pixel, as a square's frame widened by a
// column is, inside a larger image at an odd place.
QImage SquareBesideAColumn()
{
    QImage image = Filled(64, 48, qRgb(10, 20, 30));
    for (int y = 0; y < image.height(); ++y) {
        image.setPixel(3, y, qRgb(y * 5, 255 - y, 7));
    }
    return image;
}

TEST(Vp8lChunk, PillowReadsBackEveryPixel)
{
    const QImage column = [] {
        QImage image(1, 300, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            image.setPixel(0, y, (y / 3) % 2 == 0 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
        }
        return image;
    }();
    const struct {
        const char* what;
        QImage image;
        QRect rect;
    } cases[] = {
        {"one pixel", Filled(1, 1, qRgb(1, 2, 3)), {0, 0, 1, 1}},
        {"one colour, copies longer than 4096 pixels across rows", Filled(5000, 3, qRgb(200, 100, 0)), {0, 0, 5000, 3}},
        {"a column one pixel wide", column, column.rect()},
        {"codes that must be kept to 15 bits", DeepCodes(), {0, 0, 161, 110}},
        {"part of an image", SquareBesideAColumn(), {3, 5, 40, 30}},
    };
    for (const auto& [what, image, rect] : cases) {
        SCOPED_TRACE(what);
        const QByteArray chunk = Vp8lChunk(image, rect);
        EXPECT_EQ(chunk.size() % 2, 0);
        const testing::DecodedFrames decoded = testing::Decode(StillWebp(chunk));
        ASSERT_EQ(decoded.frames.size(), 1U);
        EXPECT_EQ(decoded.frames.front().pixels, testing::Hash(image.copy(rect)));
    }
}

}  // namespace
}  // namespace lorvane
