#include "formats/webp_file.h"

#include <cstdint>
#include <vector>

#include <QImage>
#include <QRect>

#include "formats/animation_frames.h"
#include "formats/byte_source.h"
#include "formats/markup_bounds.h"
#include "formats/vp8l_image.h"
#include "formats/xmp_packet.h"
#include "platform/platform_error.h"
#include "recording/picture_frames.h"

namespace lorvane {

namespace {

constexpr qsizetype kChunkHeader = 8;
// "RIFF", the size, "WEBP".
constexpr qsizetype kFileHeader = 12;
constexpr std::uint8_t kAnimationFlag = 0x02;
constexpr std::uint8_t kXmpFlag = 0x04;
// ANMF's flags: each frame replaces its part of the canvas, and stays when the next comes.
constexpr std::uint8_t kDoNotBlend = 0x02;
// lorvane01 writes a frame for each square, the background and the captions, and three more
// chunks; a file with more is not walked further.
constexpr int kMostChunks = 4096;
// lorvane01's packet takes under 1 kB.
constexpr std::uint32_t kLongestXmp = 64U * 1024U;

void AppendLittleEndian(QByteArray& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.append(static_cast<char>((value >> (8 * i)) & 0xFFU));
    }
}

std::uint32_t LittleEndian(QByteArrayView bytes)
{
    std::uint32_t value = 0;
    for (qsizetype i = 3; i >= 0; --i) {
        value = (value << 8U) | static_cast<unsigned char>(bytes[i]);
    }
    return value;
}

void AppendChunk(QByteArray& out, QByteArrayView type, QByteArrayView data)
{
    out.append(type);
    AppendLittleEndian(out, static_cast<std::uint32_t>(data.size()), 4);
    out.append(data);
    if (data.size() % 2 != 0) {
        out.append('\0');
    }
}

}  // namespace

std::optional<QByteArray> WebpFile(AnimationFrames& frames, const AnimationTiming& timing,
                                   const std::optional<Recipe>& recipe)
{
    const QSize canvas = frames.Canvas().size();
    if (canvas.width() > kLargestWebpSide || canvas.height() > kLargestWebpSide) {
        return std::nullopt;
    }
    QByteArray body = "WEBP";
    QByteArray header;
    header.append(static_cast<char>(kAnimationFlag | (recipe ? kXmpFlag : 0)));
    header.append(3, '\0');
    AppendLittleEndian(header, static_cast<std::uint32_t>(canvas.width() - 1), 3);
    AppendLittleEndian(header, static_cast<std::uint32_t>(canvas.height() - 1), 3);
    AppendChunk(body, "VP8X", header);
    QByteArray animation;
    // A black background (shown by no viewer: the first frame covers the canvas), played for ever.
    AppendLittleEndian(animation, 0xFF000000U, 4);
    AppendLittleEndian(animation, 0, 2);
    AppendChunk(body, "ANIM", animation);
    for (const int delay : FrameDelays(frames.Count(), timing.paintingMilliseconds, timing.holdingMilliseconds)) {
        QRect rect = frames.Next();
        // Frames stand at even offsets: the part widens to the left and up by a pixel when needed.
        rect.setLeft(rect.left() & ~1);
        rect.setTop(rect.top() & ~1);
        QByteArray frame;
        AppendLittleEndian(frame, static_cast<std::uint32_t>(rect.left() / 2), 3);
        AppendLittleEndian(frame, static_cast<std::uint32_t>(rect.top() / 2), 3);
        AppendLittleEndian(frame, static_cast<std::uint32_t>(rect.width() - 1), 3);
        AppendLittleEndian(frame, static_cast<std::uint32_t>(rect.height() - 1), 3);
        AppendLittleEndian(frame, static_cast<std::uint32_t>(delay), 3);
        frame.append(static_cast<char>(kDoNotBlend));
        frame.append(Vp8lChunk(frames.Canvas(), rect));
        AppendChunk(body, "ANMF", frame);
    }
    if (recipe) {
        AppendChunk(body, "XMP ", XmpPacket(*recipe, "image/webp"));
    }
    QByteArray file = "RIFF";
    AppendLittleEndian(file, static_cast<std::uint32_t>(body.size()), 4);
    file.append(body);
    return file;
}

FoundRecipe ReadWebpRecipe(ByteSource& source)
{
    FoundRecipe damaged = FoundRecipe::Refused(QStringLiteral("is a damaged WebP file"));
    const QByteArray header = source.Read(kFileHeader);
    if (header.size() < kFileHeader || !header.startsWith("RIFF") || QByteArrayView(header).sliced(8) != "WEBP") {
        return damaged;
    }
    // The bytes the RIFF header says follow "WEBP".
    const std::uint64_t length = LittleEndian(QByteArrayView(header).sliced(4));
    if (length < 4 || length % 2 != 0) {
        return damaged;
    }
    std::uint64_t left = length - 4;
    FoundRecipe found;
    for (int chunks = 0; left > 0; ++chunks) {
        if (chunks == kMostChunks) {
            return FoundRecipe::Refused(
                QStringLiteral("has more than %1 chunks; no picture saved by lorvane01 has").arg(kMostChunks));
        }
        const QByteArray chunk = source.Read(kChunkHeader);
        if (chunk.size() < kChunkHeader) {
            // Cut short: what matters is the recipe, if it came before the cut.
            return found.text ? found : damaged;
        }
        const std::uint32_t size = LittleEndian(QByteArrayView(chunk).sliced(4));
        const std::uint64_t padded = std::uint64_t{size} + (size % 2);
        if (kChunkHeader + padded > left) {
            return damaged;
        }
        left -= kChunkHeader + padded;
        if (QByteArrayView(chunk).first(4) != "XMP ") {
            if (!source.Skip(static_cast<qint64>(padded))) {
                return found.text ? found : damaged;
            }
            continue;
        }
        if (size > kLongestXmp) {
            return FoundRecipe::Refused(
                QStringLiteral("has XMP metadata longer than %1 KiB; no picture saved by lorvane01 has")
                    .arg(kLongestXmp / 1024));
        }
        const QByteArray packet = source.Read(static_cast<qsizetype>(size));
        if (packet.size() < static_cast<qsizetype>(size)) {
            return found.text ? found : damaged;
        }
        if (const QString problem = MarkupBounds().Check(packet); !problem.isEmpty()) {
            return FoundRecipe::Refused(problem);
        }
        const std::optional<QString> recipe = XmpRecipe(packet);
        if (recipe) {
            found.Add(*recipe);
            if (found.problem) {
                return found;
            }
        }
        source.Skip(static_cast<qint64>(padded - size));
        if (source.Error() != 0) {
            return found;
        }
    }
    return found;
}

std::optional<QByteArray> EncodeWebpAnimation(const RecordedPicture& picture, double scale,
                                              const AnimationTiming& timing, const std::optional<Recipe>& recipe)
{
    try {
        AnimationFrames frames(picture, {scale, {}, Framing::Fit});
        return WebpFile(frames, timing, recipe);
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

}  // namespace lorvane
