#include "formats/png_file.h"

#include "formats/byte_source.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include <libdeflate.h>
#include <zlib.h>

#include "formats/zlib_rows.h"

namespace lorvane {

namespace {

// As Qt does, text longer than this is compressed.
constexpr qsizetype kLongestPlainText = 40;
constexpr qsizetype kLongestKeyword = 79;
// PNG's filter type Up, the byte before each row.
constexpr unsigned char kFilterUp = 2;
// sRGB's rendering intent: perceptual.
constexpr unsigned char kPerceptual = 0;
constexpr unsigned char kUnitMetre = 1;
constexpr unsigned char kBitDepth = 8;
constexpr unsigned char kColourRgb = 2;
constexpr unsigned char kColourRgba = 6;
constexpr unsigned char kCompressed = 1;
constexpr int kByteBits = 8;

// Printable latin-1, as PNG keywords must be.
bool IsKeyword(const QString& keyword)
{
    if (keyword.isEmpty() || keyword.size() > kLongestKeyword) {
        return false;
    }
    return std::ranges::all_of(keyword, [](QChar c) {
        const char16_t u = c.unicode();
        return u >= u' ' && (u <= u'~' || u >= 0xA1) && u <= 0xFF;
    });
}

bool IsLatin1(const QString& text)
{
    return std::ranges::all_of(text, [](QChar c) { return c.unicode() <= 0xFF; });
}

void AppendUint32(QByteArray& out, std::uint32_t value)
{
    for (int shift = 3 * kByteBits; shift >= 0; shift -= kByteBits) {
        out.append(static_cast<char>((value >> shift) & 0xFFU));
    }
}

std::uint32_t Crc(QByteArrayView type, QByteArrayView data)
{
    const std::uint32_t crc = libdeflate_crc32(0, type.data(), static_cast<std::size_t>(type.size()));
    // libdeflate takes a null buffer, as an empty chunk's data is, to ask for the starting value.
    return data.isEmpty() ? crc : libdeflate_crc32(crc, data.data(), static_cast<std::size_t>(data.size()));
}

// A text chunk as its type and data: latin-1 values as tEXt (zTXt when long), others as UTF-8
// iTXt (compressed when long), with no language and no translated keyword.
std::pair<QByteArrayView, QByteArray> TextChunk(const QString& keyword, const QString& value)
{
    const bool latin1 = IsLatin1(value);
    const QByteArray text = latin1 ? value.toLatin1() : value.toUtf8();
    const bool compressed = text.size() > kLongestPlainText;
    QByteArray data = keyword.toLatin1();
    data.append('\0');
    if (latin1) {
        if (!compressed) {
            return {"tEXt", data + text};
        }
        data.append('\0');  // the compression method, zlib's
        return {"zTXt", data + ZlibRows::Compress(text)};
    }
    data.append(static_cast<char>(compressed ? kCompressed : 0));
    data.append(QByteArrayView("\0\0\0", 3));  // the method, an empty language and translated keyword
    return {"iTXt", data + (compressed ? ZlibRows::Compress(text) : text)};
}

template <std::size_t Channels>
void FilterRow(const QRgb* row, const QRgb* above, std::size_t width, unsigned char* out)
{
    for (std::size_t x = 0; x < width; ++x, out += Channels) {
        const QRgb pixel = row[x];
        const QRgb up = above != nullptr ? above[x] : 0;
        out[0] = static_cast<unsigned char>(qRed(pixel) - qRed(up));
        out[1] = static_cast<unsigned char>(qGreen(pixel) - qGreen(up));
        out[2] = static_cast<unsigned char>(qBlue(pixel) - qBlue(up));
        if constexpr (Channels == 4) {
            out[3] = static_cast<unsigned char>(qAlpha(pixel) - qAlpha(up));
        }
    }
}

// The image's rows as PNG keeps them before compression, into `zlib`: a filter byte, then the
// row as its difference from the row above (Up; the first row's is zeros), so that a row that
// repeats the one above is all zeros and a changed row is zeros but where it changed, with runs of
// one difference where a square's edge lies.
void FilterRows(const QImage& pixels, bool alpha, ZlibRows& zlib)
{
    const auto width = static_cast<std::size_t>(pixels.width());
    const std::size_t rowBytes = width * (alpha ? 4 : 3);
    const auto* above = static_cast<const QRgb*>(nullptr);
    for (int y = 0; y < pixels.height(); ++y) {
        unsigned char* const out = zlib.NextRow();
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        out[0] = kFilterUp;
        if (above == nullptr || std::memcmp(row, above, width * sizeof(QRgb)) != 0) {
            alpha ? FilterRow<4>(row, above, width, out + 1) : FilterRow<3>(row, above, width, out + 1);
        } else {
            std::memset(out + 1, 0, rowBytes);
        }
        zlib.AddRow();
        above = row;
    }
}

constexpr QByteArrayView kPngSignature = "\x89PNG\r\n\x1a\n";
constexpr qsizetype kChunkHeader = 8;
constexpr qsizetype kChunkCrc = 4;
constexpr std::uint32_t kHeaderChunkLength = 13;
// As the PNG standard bounds a chunk's length.
constexpr std::uint32_t kLongestChunk = 0x7FFFFFFF;
// lorvane01 writes four; other programs add a few.
constexpr int kMostTextChunks = 64;
// The keyword and its terminating zero, as every text chunk starts.
constexpr QByteArrayView kRecipeKeyword{"lorvane01-recipe\0", 17};
// A recipe of Recipe::kLongestText characters takes far fewer bytes, compressed or not; of a
// longer chunk only this much is read, which is enough to tell it is too long.
constexpr qsizetype kLongestRecipeChunk = qsizetype{64} * 1024;
// One character more than a recipe may have, so that the parser can say it is too long.
constexpr qsizetype kLongestRecipeText = static_cast<qsizetype>(Recipe::kLongestText) + 1;

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A chunk's length or CRC: four bytes, most significant first.
std::uint32_t ReadUint32(QByteArrayView bytes)
{
    std::uint32_t value = 0;
    for (const char byte : bytes.first(4)) {
        value = (value << kByteBits) | static_cast<unsigned char>(byte);
    }
    return value;
}

// The first kLongestRecipeText bytes that `compressed` (a zlib stream) holds; nothing when it is
// damaged or ends before giving them all.
std::optional<QByteArray> Inflated(QByteArrayView compressed)
{
    QByteArray text(kLongestRecipeText, Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return std::nullopt;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));  // NOLINT: zlib only reads it
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = reinterpret_cast<Bytef*>(text.data());
    stream.avail_out = static_cast<uInt>(text.size());
    const int result = inflate(&stream, Z_FINISH);
    const uLong produced = stream.total_out;
    inflateEnd(&stream);
    if (result != Z_STREAM_END && !(result == Z_BUF_ERROR && stream.avail_out == 0)) {
        return std::nullopt;
    }
    text.truncate(static_cast<qsizetype>(produced));
    return text;
}

// The recipe's text in a recipe chunk's data (its keyword first), as written: latin-1 in tEXt and
// zTXt, UTF-8 in iTXt, compressed or not. Nothing when the chunk is not well-formed.
std::optional<QString> RecipeText(QByteArrayView type, QByteArrayView data)
{
    QByteArrayView rest = data.sliced(kRecipeKeyword.size());
    const auto bounded = [](QByteArrayView text) { return text.first(std::min(text.size(), kLongestRecipeText)); };
    if (type == "tEXt") {
        return QString::fromLatin1(bounded(rest));
    }
    if (type == "zTXt") {
        if (rest.isEmpty() || rest.front() != 0) {
            return std::nullopt;
        }
        const std::optional<QByteArray> text = Inflated(rest.sliced(1));
        return text ? std::optional<QString>(QString::fromLatin1(*text)) : std::nullopt;
    }
    // iTXt: compression flag and method, language and translated keyword, each ended by a zero.
    if (rest.size() < 2 || rest[0] > 1 || rest[1] != 0) {
        return std::nullopt;
    }
    const bool compressed = rest[0] == 1;
    rest = rest.sliced(2);
    for (int skipped = 0; skipped < 2; ++skipped) {
        const qsizetype end = rest.indexOf('\0');
        if (end < 0) {
            return std::nullopt;
        }
        rest = rest.sliced(end + 1);
    }
    if (!compressed) {
        return QString::fromUtf8(bounded(rest));
    }
    const std::optional<QByteArray> text = Inflated(rest);
    return text ? std::optional<QString>(QString::fromUtf8(*text)) : std::nullopt;
}

}  // namespace

void AppendPngChunk(QByteArray& file, QByteArrayView type, QByteArrayView data)
{
    AppendUint32(file, static_cast<std::uint32_t>(data.size()));
    file.append(type);
    file.append(data);
    AppendUint32(file, Crc(type, data));
}

std::optional<QByteArray> EncodePng(const QImage& image, const PngText& text, int dotsPerMetre)
{
    if (image.isNull()) {
        return std::nullopt;
    }
    PngText all;
    for (const QString& key : image.textKeys()) {
        all.emplace_back(key, image.text(key));
    }
    all.insert(all.end(), text.begin(), text.end());
    if (!std::ranges::all_of(all, [](const auto& entry) { return IsKeyword(entry.first); })) {
        return std::nullopt;
    }

    const bool alpha = image.hasAlphaChannel();
    const QImage::Format format = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    // A shallow copy when the picture is in that format already, as the surface's pictures are.
    const QImage pixels = image.format() == format ? image : image.convertToFormat(format);
    if (pixels.isNull()) {
        return std::nullopt;
    }
    const std::size_t pixelBytes = alpha ? 4 : 3;
    ZlibRows zlib(1 + static_cast<std::size_t>(pixels.width()) * pixelBytes, pixelBytes);
    FilterRows(pixels, alpha, zlib);

    QByteArray file = kPngSignature.toByteArray();
    QByteArray header;
    AppendUint32(header, static_cast<std::uint32_t>(pixels.width()));
    AppendUint32(header, static_cast<std::uint32_t>(pixels.height()));
    // Bit depth, colour type, then compression, filter and interlace methods: the standard ones.
    header.append(static_cast<char>(kBitDepth));
    header.append(static_cast<char>(alpha ? kColourRgba : kColourRgb));
    header.append(QByteArrayView("\0\0\0", 3));
    AppendPngChunk(file, "IHDR", header);
    // The pictures' colours are sRGB values; colour-managed viewers then show them as meant.
    AppendPngChunk(file, "sRGB", QByteArray(1, static_cast<char>(kPerceptual)));
    const int dotsX = dotsPerMetre > 0 ? dotsPerMetre : image.dotsPerMeterX();
    const int dotsY = dotsPerMetre > 0 ? dotsPerMetre : image.dotsPerMeterY();
    if (dotsX > 0 && dotsY > 0) {
        QByteArray resolution;
        AppendUint32(resolution, static_cast<std::uint32_t>(dotsX));
        AppendUint32(resolution, static_cast<std::uint32_t>(dotsY));
        resolution.append(static_cast<char>(kUnitMetre));
        AppendPngChunk(file, "pHYs", resolution);
    }
    for (const auto& [key, value] : all) {
        const auto [type, data] = TextChunk(key, value);
        AppendPngChunk(file, type, data);
    }
    AppendPngChunk(file, "IDAT", zlib.Finish());
    AppendPngChunk(file, "IEND", {});
    return file;
}

std::optional<QByteArray> PngFile(const QImage& image, double scale, const std::optional<Recipe>& recipe)
{
    constexpr double kDotsPerInch = 96.0;
    constexpr double kMetresPerInch = 0.0254;
    // Given to the encoder, not set on the image: that would copy a shared image whole.
    const auto dotsPerMetre = static_cast<int>(std::lround(kDotsPerInch * scale / kMetresPerInch));
    PngText text;
    if (recipe) {
        for (const auto& [keyword, value] : SavedPngTexts(*recipe)) {
            text.emplace_back(QString::fromStdString(keyword), QString::fromStdString(value));
        }
    }
    return EncodePng(image, text, dotsPerMetre);
}

FoundRecipe ReadPngRecipe(ByteSource& source)
{
    FoundRecipe damaged = FoundRecipe::Refused(QStringLiteral("is a damaged PNG file"));
    if (source.Read(kPngSignature.size()) != kPngSignature) {
        return damaged;
    }
    FoundRecipe found;
    int textChunks = 0;
    bool first = true;
    for (;;) {
        const QByteArray header = source.Read(kChunkHeader);
        if (header.size() < kChunkHeader) {
            // Cut short: what matters is the recipe, if it came before the cut.
            return found.text || found.problem ? found : damaged;
        }
        const std::uint32_t length = ReadUint32(header);
        const QByteArrayView type = QByteArrayView(header).sliced(4);
        if (length > kLongestChunk || !std::ranges::all_of(type, IsAsciiLetter) ||
            (first && (type != "IHDR" || length != kHeaderChunkLength))) {
            return damaged;
        }
        first = false;
        if (type == "IEND") {
            return found;
        }
        const bool text = type == "tEXt" || type == "zTXt" || type == "iTXt";
        if (text && ++textChunks > kMostTextChunks) {
            return FoundRecipe::Refused(
                QStringLiteral("has more than %1 text chunks; no picture saved by lorvane01 has").arg(kMostTextChunks));
        }
        const QByteArrayView start = text ? source.Peek(kRecipeKeyword.size()) : QByteArrayView();
        if (!text || length < kRecipeKeyword.size() || start != kRecipeKeyword) {
            source.Skip(qint64{length} + kChunkCrc);
        } else {
            const qsizetype kept = std::min<qsizetype>(length, kLongestRecipeChunk);
            const QByteArray data = source.Read(kept);
            const QByteArray crc = source.Read(length > kept ? 0 : kChunkCrc);
            if (length > kept) {
                source.Skip(qint64{length} - kept + kChunkCrc);
            }
            std::optional<QString> recipe;
            if (data.size() == kept && (length > kept || crc.size() == kChunkCrc)) {
                const bool checked = length > kept || Crc(type, data) == ReadUint32(crc);
                recipe = checked ? RecipeText(type, data) : std::nullopt;
            }
            if (!recipe) {
                // A damaged recipe chunk, or one cut short.
                return found.text ? found : damaged;
            }
            found.Add(*recipe);
            if (found.problem) {
                return found;
            }
        }
        if (source.Error() != 0) {
            return found;
        }
    }
}

}  // namespace lorvane
