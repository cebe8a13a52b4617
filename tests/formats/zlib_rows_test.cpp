#include "formats/zlib_rows.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <zlib.h>

namespace lorvane {
namespace {

using Bytes = std::vector<unsigned char>;

// What zlib's own inflate makes of `stream`, or nothing when it is not one whole zlib stream.
std::optional<Bytes> Inflated(const QByteArray& stream, std::size_t size)
{
    Bytes out(size + 1);
    uLongf length = out.size();
    if (uncompress(out.data(), &length, reinterpret_cast<const Bytef*>(stream.constData()),
                   static_cast<uLong>(stream.size())) != Z_OK) {
        return std::nullopt;
    }
    out.resize(length);
    return out;
}

QByteArray Compressed(const Bytes& bytes, std::size_t rowBytes, std::size_t pixelBytes)
{
    ZlibRows zlib(rowBytes, pixelBytes);
    for (std::size_t at = 0; at < bytes.size(); at += rowBytes) {
        std::memcpy(zlib.NextRow(), bytes.data() + at, rowBytes);
        zlib.AddRow();
    }
    return zlib.Finish();
}

unsigned char Noise(unsigned& state)
{
    state = state * 1103515245U + 12345U;
    return static_cast<unsigned char>(state >> 24U);
}

// Filtered rows as the pictures make them: mostly zeros, with runs of one pixel's difference
// where an edge lies, and a few rows of noise, as captions' smoothed edges are.
Bytes PictureLikeRows(std::size_t width, std::size_t height, std::size_t pixelBytes)
{
    const std::size_t rowBytes = 1 + width * pixelBytes;
    Bytes rows(rowBytes * height, 0);
    unsigned state = 7;
    for (std::size_t y = 0; y < height; ++y) {
        unsigned char* const row = rows.data() + y * rowBytes;
        row[0] = 2;
        if (y % 5 == 0) {
            const std::size_t from = (y * 37) % width;
            const std::size_t to = std::min(width, from + 1 + (y * 53) % width);
            const unsigned char pixel[4] = {Noise(state), Noise(state), Noise(state), Noise(state)};
            for (std::size_t x = from; x < to; ++x) {
                std::memcpy(row + 1 + x * pixelBytes, pixel, pixelBytes);
            }
        } else if (y + 3 >= height) {
            for (std::size_t at = 1; at < rowBytes; ++at) {
                row[at] = Noise(state) & 0x0FU;
            }
        }
    }
    return rows;
}

Bytes NoiseRows(std::size_t size)
{
    Bytes bytes(size);
    unsigned state = 1;
    for (unsigned char& byte : bytes) {
        byte = Noise(state);
    }
    return bytes;
}

struct RowsCase {
    std::string what;
    Bytes bytes;
    std::size_t rowBytes;
    std::size_t pixelBytes;
};

TEST(ZlibRows, InflatesBackToTheSameRows)
{
    const std::vector<RowsCase> cases = {
        {"one short row", {2, 1, 2, 3}, 4, 3},
        {"a picture's rows", PictureLikeRows(600, 450, 3), 1801, 3},
        {"rows with alpha", PictureLikeRows(300, 200, 4), 1201, 4},
        // Further than DEFLATE reaches back: the row above may not be copied.
        {"rows wider than 32 KiB", PictureLikeRows(9000, 12, 4), 36001, 4},
        // More literals than one block holds, and more bytes than the window keeps.
        {"noise", NoiseRows(std::size_t{1001} * 300), 1001, 3},
    };
    for (const RowsCase& rows : cases) {
        const QByteArray stream = Compressed(rows.bytes, rows.rowBytes, rows.pixelBytes);
        EXPECT_EQ(Inflated(stream, rows.bytes.size()), rows.bytes) << rows.what;
    }
    const Bytes picture = PictureLikeRows(600, 450, 3);
    EXPECT_LT(Compressed(picture, 1801, 3).size(), picture.size() / 50);
}

TEST(ZlibRows, EachStreamStandsAloneThoughTheThreadKeepsItsBuffers)
{
    // The same bytes again must not be copied from the stream before, nor from one still open.
    const Bytes noise = NoiseRows(std::size_t{1001} * 20);
    ZlibRows open(1001, 3);
    std::memcpy(open.NextRow(), noise.data(), 1001);
    open.AddRow();
    EXPECT_EQ(Inflated(Compressed(noise, 1001, 3), noise.size()), noise);
    EXPECT_EQ(Inflated(Compressed(noise, 1001, 3), noise.size()), noise);
    EXPECT_EQ(Inflated(open.Finish(), 1001), Bytes(noise.begin(), noise.begin() + 1001));
}

TEST(ZlibRows, CompressesTextAsOneRow)
{
    for (const QByteArray& text : {QByteArray(), QByteArray("x"), QByteArray(500, 'a') + "seed=1.5;picture=2"}) {
        const QByteArray stream = ZlibRows::Compress(text);
        const std::optional<Bytes> inflated = Inflated(stream, static_cast<std::size_t>(text.size()));
        ASSERT_TRUE(inflated) << text.size();
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(inflated->data()), static_cast<qsizetype>(inflated->size())),
                  text);
    }
}

}  // namespace
}  // namespace lorvane
