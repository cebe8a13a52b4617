#include "formats/png_file.h"

#include "formats/byte_source.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <csetjmp>
#include <cstddef>
#include <cstring>

#include <png.h>
#include <zlib.h>

namespace lorvane {

namespace {

// Measured on the pictures: Paeth with run-length matching at level 1 gives files of Qt's size
// in a third of its time; Up or Sub on every row is faster but makes files two to three times
// as large.
constexpr int kFilter = PNG_FILTER_PAETH;
constexpr int kZlibLevel = 1;
constexpr int kZlibStrategy = Z_RLE;
// As Qt does, text longer than this is compressed.
constexpr qsizetype kLongestPlainText = 40;
constexpr qsizetype kLongestKeyword = 79;
// Rows converted to libpng's byte order at a time: small enough to stay in the cache.
constexpr int kBandRows = 16;

struct TextChunk {
    QByteArray keyword;
    QByteArray value;
    bool utf8 = false;
};

void Append(png_structp png, png_bytep data, std::size_t length)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void FlushNothing(png_structp /*png*/) {}

[[noreturn]] void Fail(png_structp png, png_const_charp /*message*/)
{
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp /*png*/, png_const_charp /*message*/) {}

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

// libpng leaves through longjmp on an error, back to the setjmp of the function that called it;
// so nothing in these three may need destroying: every object with a destructor is the caller's.
bool Begin(png_structp png, png_infop info, const QImage& image, bool alpha, int dotsPerMetre, png_text* texts,
           int textCount, QByteArray* out)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_write_fn(png, out, Append, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Both filters' buffers are made before the first row; each row then picks one.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, kFilter | PNG_FILTER_UP);
    png_set_compression_level(png, kZlibLevel);
    png_set_compression_strategy(png, kZlibStrategy);
    // The pictures' colours are sRGB values; colour-managed viewers then show them as meant.
    png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    if (dotsPerMetre > 0) {
        png_set_pHYs(png, info, static_cast<png_uint_32>(dotsPerMetre), static_cast<png_uint_32>(dotsPerMetre),
                     PNG_RESOLUTION_METER);
    } else if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        png_set_pHYs(png, info, static_cast<png_uint_32>(image.dotsPerMeterX()),
                     static_cast<png_uint_32>(image.dotsPerMeterY()), PNG_RESOLUTION_METER);
    }
    if (textCount > 0) {
        png_set_text(png, info, texts, textCount);
    }
    png_write_info(png, info);
    return true;
}

// `repeats[i]` says whether row i is the same as the row above it.
bool WriteRows(png_structp png, const uchar* first, qsizetype bytesPerLine, int count, const bool* repeats)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        // Up gives a repeated row the same zeros as Paeth, for a fraction of the work.
        png_set_filter(png, PNG_FILTER_TYPE_BASE, repeats[i] ? PNG_FILTER_UP : kFilter);
        png_write_row(png, first + i * bytesPerLine);
    }
    return true;
}

bool End(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_write_end(png, info);
    return true;
}

// The write structures, destroyed however the writing ends.
class Writer {
public:
    Writer()
        : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, IgnoreWarning)),
          info_(png_ != nullptr ? png_create_info_struct(png_) : nullptr)
    {
    }
    ~Writer() { png_destroy_write_struct(&png_, &info_); }
    Writer(const Writer&) = delete;
    Writer(Writer&&) = delete;
    Writer& operator=(Writer&&) = delete;
    Writer& operator=(const Writer&) = delete;

    [[nodiscard]] bool Valid() const { return png_ != nullptr && info_ != nullptr; }
    [[nodiscard]] png_structp Png() const { return png_; }
    [[nodiscard]] png_infop Info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

constexpr QByteArrayView kPngSignature = "\x89PNG\r\n\x1a\n";
constexpr qsizetype kChunkHeader = 8;
constexpr qsizetype kChunkCrc = 4;
constexpr png_uint_32 kHeaderChunkLength = 13;
// As the PNG standard bounds a chunk's length.
constexpr png_uint_32 kLongestChunk = 0x7FFFFFFF;
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

png_uint_32 Crc(QByteArrayView type, QByteArrayView data)
{
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), static_cast<uInt>(type.size()));
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    return static_cast<png_uint_32>(crc);
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
    std::vector<TextChunk> chunks;
    for (const auto& [key, value] : all) {
        if (!IsKeyword(key)) {
            return std::nullopt;
        }
        const bool latin1 = IsLatin1(value);
        chunks.push_back({key.toLatin1(), latin1 ? value.toLatin1() : value.toUtf8(), !latin1});
    }
    std::vector<png_text> texts(chunks.size());
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        png_text& chunk = texts[i];
        const bool compressed = chunks[i].value.size() > kLongestPlainText;
        chunk.key = chunks[i].keyword.data();
        chunk.text = chunks[i].value.data();
        if (chunks[i].utf8) {
            chunk.compression = compressed ? PNG_ITXT_COMPRESSION_zTXt : PNG_ITXT_COMPRESSION_NONE;
            chunk.itxt_length = static_cast<std::size_t>(chunks[i].value.size());
        } else {
            chunk.compression = compressed ? PNG_TEXT_COMPRESSION_zTXt : PNG_TEXT_COMPRESSION_NONE;
            chunk.text_length = static_cast<std::size_t>(chunks[i].value.size());
        }
    }

    const bool alpha = image.hasAlphaChannel();
    const QImage::Format format = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    // A shallow copy when the picture is in that format already, as the surface's pictures are.
    const QImage pixels = image.format() == format ? image : image.convertToFormat(format);
    const std::size_t rowBytes = static_cast<std::size_t>(pixels.width()) * sizeof(QRgb);
    // Qt turns its 32-bit pixels into libpng's byte order with vector instructions, a band of
    // rows at a time, so that a large picture is never held twice.
    const QImage::Format packed = alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    QByteArray bytes;
    const Writer writer;
    if (!writer.Valid() || !Begin(writer.Png(), writer.Info(), pixels, alpha, dotsPerMetre, texts.data(),
                                  static_cast<int>(texts.size()), &bytes)) {
        return std::nullopt;
    }
    std::array<bool, kBandRows> repeats{};
    for (int top = 0; top < pixels.height(); top += kBandRows) {
        const int count = std::min(kBandRows, pixels.height() - top);
        for (int i = 0; i < count; ++i) {
            const int y = top + i;
            repeats[static_cast<std::size_t>(i)] =
                y > 0 && std::memcmp(pixels.constScanLine(y), pixels.constScanLine(y - 1), rowBytes) == 0;
        }
        const QImage band =
            QImage(pixels.constScanLine(top), pixels.width(), count, pixels.bytesPerLine(), pixels.format())
                .convertToFormat(packed);
        if (band.isNull() || !WriteRows(writer.Png(), band.constBits(), band.bytesPerLine(), count, repeats.data())) {
            return std::nullopt;
        }
    }
    if (!End(writer.Png(), writer.Info())) {
        return std::nullopt;
    }
    return bytes;
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
        const png_uint_32 length = png_get_uint_32(reinterpret_cast<png_const_bytep>(header.constData()));
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
                const bool checked =
                    length > kept ||
                    Crc(type, data) == png_get_uint_32(reinterpret_cast<png_const_bytep>(crc.constData()));
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
