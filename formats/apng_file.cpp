#include "formats/apng_file.h"

#include <cstdint>
#include <vector>

#include <QImage>
#include <QRect>

#include "formats/animation_frames.h"
#include "formats/png_file.h"
#include "platform/platform_error.h"
#include "recording/picture_frames.h"

namespace lorvane {

namespace {

constexpr qsizetype kSignature = 8;
constexpr qsizetype kChunkFrame = 12;
// Delays are written in milliseconds.
constexpr std::uint16_t kDelayUnits = 1000;

void AppendBigEndian(QByteArray& out, std::uint32_t value, int bytes = 4)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.append(static_cast<char>((value >> shift) & 0xFFU));
    }
}

std::uint32_t BigEndian(QByteArrayView bytes)
{
    std::uint32_t value = 0;
    for (const char byte : bytes.first(4)) {
        value = (value << 8U) | static_cast<unsigned char>(byte);
    }
    return value;
}

// One chunk of a PNG the program has just written.
struct Chunk {
    QByteArrayView type;
    QByteArrayView data;
    // The whole chunk: length, type, data and CRC.
    QByteArrayView whole;
};

std::vector<Chunk> Chunks(const QByteArray& png)
{
    std::vector<Chunk> chunks;
    for (qsizetype at = kSignature; at + kChunkFrame <= png.size();) {
        const auto length = static_cast<qsizetype>(BigEndian(QByteArrayView(png).sliced(at)));
        const QByteArrayView whole = QByteArrayView(png).sliced(at, length + kChunkFrame);
        chunks.push_back({whole.sliced(4, 4), whole.sliced(8, length), whole});
        at += whole.size();
    }
    return chunks;
}

// The zlib stream of a PNG's image, its IDAT chunks joined.
QByteArray ImageData(const QByteArray& png)
{
    QByteArray data;
    for (const Chunk& chunk : Chunks(png)) {
        if (chunk.type == "IDAT") {
            data.append(chunk.data);
        }
    }
    return data;
}

// The pixels of `rect` in `canvas`, shared, not copied.
QImage Part(const QImage& canvas, const QRect& rect)
{
    return {canvas.constScanLine(rect.top()) + static_cast<qsizetype>(rect.left()) * 4, rect.width(), rect.height(),
            canvas.bytesPerLine(), canvas.format()};
}

}  // namespace

std::optional<QByteArray> ApngFile(AnimationFrames& frames, const AnimationTiming& timing,
                                   const std::optional<Recipe>& recipe)
{
    const std::vector<int> delays =
        FrameDelays(frames.Count(), timing.paintingMilliseconds, timing.holdingMilliseconds);
    QByteArray animation;
    std::uint32_t sequence = 0;
    for (const int delay : delays) {
        const QRect rect = frames.Next();
        const std::optional<QByteArray> part = EncodePng(Part(frames.Canvas(), rect));
        if (!part) {
            return std::nullopt;
        }
        QByteArray control;
        AppendBigEndian(control, sequence++);
        for (const int value : {rect.width(), rect.height(), rect.left(), rect.top()}) {
            AppendBigEndian(control, static_cast<std::uint32_t>(value));
        }
        AppendBigEndian(control, static_cast<std::uint32_t>(delay), 2);
        AppendBigEndian(control, kDelayUnits, 2);
        // Nothing is disposed of and each frame replaces its part: the frames build the picture.
        control.append(2, '\0');
        AppendPngChunk(animation, "fcTL", control);
        QByteArray data;
        AppendBigEndian(data, sequence++);
        data.append(ImageData(*part));
        AppendPngChunk(animation, "fdAT", data);
    }

    const std::optional<QByteArray> still = PngFile(frames.Canvas(), frames.Scale(), recipe);
    if (!still) {
        return std::nullopt;
    }
    QByteArray control;
    AppendBigEndian(control, static_cast<std::uint32_t>(delays.size()));
    // Played for ever.
    AppendBigEndian(control, 0);
    QByteArray file = still->first(kSignature);
    file.reserve(still->size() + animation.size() + 2 * kChunkFrame + control.size());
    const std::vector<Chunk> chunks = Chunks(*still);
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const Chunk& chunk = chunks[i];
        if (chunk.type == "IDAT" && (i == 0 || chunks[i - 1].type != "IDAT")) {
            AppendPngChunk(file, "acTL", control);
        }
        if (chunk.type == "IEND") {
            file.append(animation);
        }
        file.append(chunk.whole);
    }
    return file;
}

std::optional<QByteArray> EncodeApngAnimation(const RecordedPicture& picture, double scale,
                                              const AnimationTiming& timing, const std::optional<Recipe>& recipe)
{
    try {
        AnimationFrames frames(picture, {scale, {}, Framing::Fit});
        return ApngFile(frames, timing, recipe);
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

}  // namespace lorvane
