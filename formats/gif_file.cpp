#include "formats/gif_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include <QImage>
#include <QRect>

#include "formats/animation.h"
#include "formats/animation_frames.h"
#include "formats/byte_source.h"
#include "platform/platform_error.h"
#include "recording/picture_frames.h"

namespace lorvane {

namespace {

constexpr char kExtensionIntroducer = 0x21;
constexpr char kImageSeparator = 0x2C;
constexpr char kTrailer = 0x3B;
constexpr uchar kGraphicControlLabel = 0xF9;
constexpr uchar kCommentLabel = 0xFE;
constexpr uchar kApplicationLabel = 0xFF;
constexpr qsizetype kLongestSubBlock = 255;
// The application extension that makes browsers play the frames again and again.
constexpr QByteArrayView kLoopApplication = "NETSCAPE2.0";
constexpr QByteArrayView kLoopForever{"\x01\x00\x00", 3};
// Codes are at most 12 bits wide.
constexpr int kCodeLimit = 4096;
constexpr int kWidestCode = 12;
constexpr int kLargestSide = 65535;
constexpr int kLongestDelay = 65535;
constexpr int kMillisecondsPerCentisecond = 10;
constexpr int kColourTableFlag = 0x80;
// Each frame stays where it is drawn, under the frames that follow.
constexpr int kLeaveInPlace = 1 << 2;
constexpr int kTransparencyFlag = 1;

void AppendByte(QByteArray& out, int value)
{
    out.append(static_cast<char>(value & 0xFF));
}

// Little-endian, as every number in a GIF.
void AppendWord(QByteArray& out, int value)
{
    AppendByte(out, value);
    AppendByte(out, value >> 8);
}

void AppendSubBlocks(QByteArray& out, QByteArrayView data)
{
    while (!data.isEmpty()) {
        const qsizetype length = std::min(data.size(), kLongestSubBlock);
        AppendByte(out, static_cast<int>(length));
        out.append(data.first(length));
        data = data.sliced(length);
    }
    AppendByte(out, 0);
}

// LZW codes of the width the decoder reads them at, least significant bit first, in sub-blocks.
// The caller keeps the strings; this counts them as the decoder does, and clears the table when
// it is full.
class CodeStream {
public:
    CodeStream(QByteArray& out, int minCodeSize) : out_(out), minCodeSize_(minCodeSize), clear_(1 << minCodeSize)
    {
        AppendByte(out_, minCodeSize);
        Restart();
        Put(clear_);
    }

    // The code the first string of two or more pixels gets after a clear.
    [[nodiscard]] int FirstString() const { return clear_ + 2; }

    // Puts `code`, with more pixels to come: the decoder then adds the string and the next pixel
    // under the code returned, or, at -1, the table was full and starts again empty.
    int PutWithEntry(int code)
    {
        Put(code);
        ++codesSinceClear_;
        const int entry = next_++;
        if (next_ == kCodeLimit) {
            Put(clear_);
            Restart();
            return -1;
        }
        if (next_ > (1 << width_)) {
            ++width_;
        }
        return entry;
    }

    // Puts the last code and the end code, and ends the data.
    void Finish(int code)
    {
        Put(code);
        // The decoder adds a string after every code but the first after a clear, the last one
        // too, so the end code may come one bit wider.
        if (codesSinceClear_ > 0 && next_ == (1 << width_) && width_ < kWidestCode) {
            ++width_;
        }
        Put(clear_ + 1);
        if (bitCount_ > 0) {
            PutByte(static_cast<std::uint8_t>(bits_));
        }
        if (blockSize_ > 0) {
            FlushBlock();
        }
        AppendByte(out_, 0);
    }

private:
    void Restart()
    {
        width_ = minCodeSize_ + 1;
        next_ = clear_ + 2;
        codesSinceClear_ = 0;
    }

    void Put(int code)
    {
        bits_ |= static_cast<std::uint64_t>(code) << bitCount_;
        bitCount_ += width_;
        while (bitCount_ >= 8) {
            PutByte(static_cast<std::uint8_t>(bits_));
            bits_ >>= 8;
            bitCount_ -= 8;
        }
    }

    void PutByte(std::uint8_t byte)
    {
        block_[blockSize_++] = byte;
        if (blockSize_ == block_.size()) {
            FlushBlock();
        }
    }

    void FlushBlock()
    {
        AppendByte(out_, static_cast<int>(blockSize_));
        out_.append(reinterpret_cast<const char*>(block_.data()), static_cast<qsizetype>(blockSize_));
        blockSize_ = 0;
    }

    QByteArray& out_;
    int minCodeSize_;
    int clear_;
    int width_ = 0;
    int next_ = 0;
    int codesSinceClear_ = 0;
    std::uint64_t bits_ = 0;
    int bitCount_ = 0;
    std::array<std::uint8_t, kLongestSubBlock> block_{};
    std::size_t blockSize_ = 0;
};

// The image data of `indices`, by plain LZW: the strings met so far are found by their prefix's
// code and last pixel in an open-addressed table.
void AppendIndices(QByteArray& out, int minCodeSize, std::span<const std::uint8_t> indices)
{
    constexpr int kSlotBits = 13;
    constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
    constexpr std::uint32_t kSpread = 2654435761U;
    // A string's key plus one, so that 0 is an empty slot.
    std::vector<std::uint32_t> keys(kSlots, 0);
    std::vector<std::uint16_t> codes(kSlots, 0);
    CodeStream stream(out, minCodeSize);
    int prefix = indices.front();
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const std::uint32_t key = ((static_cast<std::uint32_t>(prefix) << 8U) | indices[i]) + 1U;
        std::size_t slot = (key * kSpread) >> (32 - kSlotBits);
        while (keys[slot] != 0 && keys[slot] != key) {
            slot = (slot + 1) & (kSlots - 1);
        }
        if (keys[slot] == key) {
            prefix = codes[slot];
            continue;
        }
        const int entry = stream.PutWithEntry(prefix);
        if (entry < 0) {
            std::ranges::fill(keys, 0U);
        } else {
            keys[slot] = key;
            codes[slot] = static_cast<std::uint16_t>(entry);
        }
        prefix = indices[i];
    }
    stream.Finish(prefix);
}

// The image data of `count` pixels of one index, without looking at each: LZW of a run puts
// strings one pixel longer each time, whose codes follow one another.
void AppendRun(QByteArray& out, int minCodeSize, int index, qint64 count)
{
    CodeStream stream(out, minCodeSize);
    qint64 longest = 1;
    for (qint64 left = count;;) {
        const qint64 taken = std::min(longest, left);
        const int code = taken == 1 ? index : stream.FirstString() + static_cast<int>(taken) - 2;
        left -= taken;
        if (left == 0) {
            stream.Finish(code);
            return;
        }
        longest = stream.PutWithEntry(code) < 0 ? 1 : taken + 1;
    }
}

// Up to 255 colours of a piece of a frame, by index in the order met; the 256th index is left
// for the pixels that do not change.
class ColourTable {
public:
    static constexpr int kMostColours = 255;

    // The colour's index, added when new; -1 when it is new and the table is full.
    int Add(QRgb colour)
    {
        if (colour == lastColour_) {
            return lastIndex_;
        }
        std::size_t slot = (colour * 2654435761U) >> (32 - kSlotBits);
        while (keys_[slot] != 0 && keys_[slot] != colour) {
            slot = (slot + 1) & (kSlots - 1);
        }
        if (keys_[slot] == 0) {
            if (static_cast<int>(colours_.size()) == kMostColours) {
                return -1;
            }
            keys_[slot] = colour;
            indices_[slot] = static_cast<std::uint8_t>(colours_.size());
            colours_.push_back(colour);
        }
        lastColour_ = colour;
        lastIndex_ = indices_[slot];
        return lastIndex_;
    }

    void Clear()
    {
        keys_.fill(0);
        colours_.clear();
        lastColour_ = 0;
    }

    [[nodiscard]] const std::vector<QRgb>& Colours() const { return colours_; }

private:
    static constexpr int kSlotBits = 10;
    static constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
    // Opaque pixels, never 0, which marks an empty slot.
    std::array<QRgb, kSlots> keys_{};
    std::array<std::uint8_t, kSlots> indices_{};
    std::vector<QRgb> colours_;
    QRgb lastColour_ = 0;
    int lastIndex_ = 0;
};

// The bits of a colour table that holds `count` colours (2 to 256 entries).
int TableBits(int count)
{
    int bits = 1;
    while ((1 << bits) < count) {
        ++bits;
    }
    return bits;
}

// Pixels of an image in device coordinates, as RGB32 rows.
QRgb PixelAt(const QImage& image, int x, int y)
{
    return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

class GifWriter {
public:
    GifWriter(int width, int height)
    {
        out_.append(kGifSignature);
        AppendWord(out_, width);
        AppendWord(out_, height);
        // No global colour table: each frame has its own.
        AppendByte(out_, 0);
        AppendByte(out_, 0);
        AppendByte(out_, 0);
        // Plays again and again (a loop count of 0).
        AppendByte(out_, kExtensionIntroducer);
        AppendByte(out_, kApplicationLabel);
        AppendByte(out_, static_cast<int>(kLoopApplication.size()));
        out_.append(kLoopApplication);
        AppendSubBlocks(out_, kLoopForever);
    }

    void AddComment(QByteArrayView text)
    {
        AppendByte(out_, kExtensionIntroducer);
        AppendByte(out_, kCommentLabel);
        AppendSubBlocks(out_, text);
    }

    // Adds `rect` of `image` as a piece of one colour when it is; whether it was.
    bool AddUniform(const QImage& image, const QRect& rect, int delay)
    {
        const QRgb colour = PixelAt(image, rect.left(), rect.top());
        const auto rowBytes = static_cast<std::size_t>(rect.width()) * sizeof(QRgb);
        const auto* const first = reinterpret_cast<const QRgb*>(image.constScanLine(rect.top())) + rect.left();
        if (!std::all_of(first, first + rect.width(), [colour](QRgb pixel) { return pixel == colour; })) {
            return false;
        }
        for (int y = rect.top() + 1; y <= rect.bottom(); ++y) {
            if (std::memcmp(reinterpret_cast<const QRgb*>(image.constScanLine(y)) + rect.left(), first, rowBytes) !=
                0) {
                return false;
            }
        }
        AppendPieceHead(rect, delay, {colour}, false);
        AppendRun(out_, 2, 0, qint64{rect.width()} * rect.height());
        return true;
    }

    // Adds what changed in `rect` of `image` from `before` (that area as it was, or a null image
    // when every pixel is to be written), in pieces of at most 255 colours and the unchanged; the
    // frame's delay goes on its last piece.
    void AddChanged(const QImage& image, const QRect& rect, const QImage& before, int delay)
    {
        const auto changed = [&](int x, int y) {
            return before.isNull() || PixelAt(image, x, y) != PixelAt(before, x - rect.left(), y - rect.top());
        };
        QRect box;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (changed(x, y)) {
                    box |= QRect(x, y, 1, 1);
                }
            }
        }
        if (box.isEmpty()) {
            // Nothing changed, but the frame still shows for its time.
            AddUniform(image, QRect(rect.topLeft(), QSize(1, 1)), delay);
            return;
        }
        const std::vector<QRect> pieces = Pieces(image, box, changed);
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            AddPiece(image, pieces[i], changed, i + 1 == pieces.size() ? delay : 0);
        }
    }

    QByteArray Finish()
    {
        AppendByte(out_, kTrailer);
        return std::move(out_);
    }

private:
    // Columns of `box` together while their changed pixels have at most 255 colours, left to
    // right, so that a viewer that shows each piece for a moment writes the captions as a hand
    // would; a column with more alone is cut along its height.
    template <class Changed>
    std::vector<QRect> Pieces(const QImage& image, const QRect& box, const Changed& changed)
    {
        std::vector<QRect> pieces;
        table_.Clear();
        int left = box.left();
        for (int x = box.left(); x <= box.right();) {
            bool fits = true;
            for (int y = box.top(); y <= box.bottom() && fits; ++y) {
                fits = !changed(x, y) || table_.Add(PixelAt(image, x, y)) >= 0;
            }
            if (fits) {
                ++x;
                continue;
            }
            table_.Clear();
            if (x > left) {
                // The columns before this one; this one again in the next piece.
                pieces.emplace_back(left, box.top(), x - left, box.height());
                left = x;
                continue;
            }
            int top = box.top();
            for (int y = box.top(); y <= box.bottom(); ++y) {
                if (changed(x, y) && table_.Add(PixelAt(image, x, y)) < 0) {
                    pieces.emplace_back(x, top, 1, y - top);
                    table_.Clear();
                    table_.Add(PixelAt(image, x, y));
                    top = y;
                }
            }
            pieces.emplace_back(x, top, 1, box.bottom() + 1 - top);
            table_.Clear();
            left = ++x;
        }
        if (left <= box.right()) {
            pieces.emplace_back(left, box.top(), box.right() + 1 - left, box.height());
        }
        return pieces;
    }

    template <class Changed>
    void AddPiece(const QImage& image, const QRect& piece, const Changed& changed, int delay)
    {
        table_.Clear();
        bool unchanged = false;
        for (int y = piece.top(); y <= piece.bottom(); ++y) {
            for (int x = piece.left(); x <= piece.right(); ++x) {
                if (changed(x, y)) {
                    table_.Add(PixelAt(image, x, y));
                } else {
                    unchanged = true;
                }
            }
        }
        const auto transparent = static_cast<std::uint8_t>(table_.Colours().size());
        indices_.clear();
        indices_.reserve(static_cast<std::size_t>(piece.width()) * static_cast<std::size_t>(piece.height()));
        for (int y = piece.top(); y <= piece.bottom(); ++y) {
            for (int x = piece.left(); x <= piece.right(); ++x) {
                indices_.push_back(changed(x, y) ? static_cast<std::uint8_t>(table_.Add(PixelAt(image, x, y)))
                                                 : transparent);
            }
        }
        const int bits = AppendPieceHead(piece, delay, table_.Colours(), unchanged);
        AppendIndices(out_, std::max(2, bits), indices_);
    }

    // The piece's graphic control and image descriptor, and its colour table, whose bits it
    // returns; with `transparent`, the index after the colours stands for "as before".
    int AppendPieceHead(const QRect& rect, int delay, const std::vector<QRgb>& colours, bool transparent)
    {
        const int count = static_cast<int>(colours.size()) + (transparent ? 1 : 0);
        AppendByte(out_, kExtensionIntroducer);
        AppendByte(out_, kGraphicControlLabel);
        AppendByte(out_, 4);
        AppendByte(out_, kLeaveInPlace | (transparent ? kTransparencyFlag : 0));
        AppendWord(out_, delay);
        AppendByte(out_, transparent ? static_cast<int>(colours.size()) : 0);
        AppendByte(out_, 0);
        AppendByte(out_, kImageSeparator);
        AppendWord(out_, rect.left());
        AppendWord(out_, rect.top());
        AppendWord(out_, rect.width());
        AppendWord(out_, rect.height());
        const int bits = TableBits(count);
        AppendByte(out_, kColourTableFlag | (bits - 1));
        for (const QRgb colour : colours) {
            AppendByte(out_, qRed(colour));
            AppendByte(out_, qGreen(colour));
            AppendByte(out_, qBlue(colour));
        }
        out_.append(qsizetype{3} * ((1 << bits) - static_cast<qsizetype>(colours.size())), '\0');
        return bits;
    }

    QByteArray out_;
    ColourTable table_;
    std::vector<std::uint8_t> indices_;
};

std::optional<int> Centiseconds(int milliseconds)
{
    if (milliseconds < 0 || milliseconds > kLongestDelay * kMillisecondsPerCentisecond) {
        return std::nullopt;
    }
    return (milliseconds + kMillisecondsPerCentisecond / 2) / kMillisecondsPerCentisecond;
}

// What the reader allows: lorvane01 writes a frame for each square and a few for the captions,
// and an extension before each frame and three more.
constexpr int kMostFrames = 10000;
constexpr int kMostExtensions = 10000;
constexpr qsizetype kScreenDescriptor = 7;
constexpr qsizetype kImageDescriptor = 9;
constexpr qsizetype kGraphicControlBlock = 4;
constexpr qsizetype kApplicationBlock = 11;
constexpr int kSmallestCodeSize = 2;
constexpr int kLargestCodeSize = 8;
// Read at once while walking sub-blocks, so that each costs no system call of its own.
constexpr qsizetype kWindow = qsizetype{64} * 1024;
// One character more than a recipe may have, so that the parser can say it is too long.
constexpr qsizetype kLongestRecipeText = static_cast<qsizetype>(Recipe::kLongestText) + 1;

// The bytes of a colour table whose size a packed field gives.
qint64 ColourTableBytes(uchar packed)
{
    return (packed & kColourTableFlag) != 0 ? qint64{3} << ((packed & 7) + 1) : 0;
}

enum class Walk { Ended, CutShort, Stopped };

// Walks the sub-blocks of a block to its terminator, giving each sub-block's bytes to `take`,
// which returns whether to go on.
template <class Take>
Walk WalkSubBlocks(ByteSource& source, const Take& take)
{
    for (;;) {
        const QByteArrayView window = source.Peek(kWindow);
        qsizetype at = 0;
        while (at < window.size()) {
            const auto length = static_cast<uchar>(window[at]);
            if (length == 0) {
                source.Skip(at + 1);
                return Walk::Ended;
            }
            if (at + 1 + length > window.size()) {
                break;
            }
            if (!take(window.sliced(at + 1, length))) {
                return Walk::Stopped;
            }
            at += 1 + length;
        }
        if (window.size() < kWindow || source.Error() != 0) {
            return Walk::CutShort;
        }
        source.Skip(at);
    }
}

}  // namespace

std::optional<QByteArray> GifFile(AnimationFrames& frames, const AnimationTiming& timing,
                                  const std::optional<Recipe>& recipe)
{
    const std::optional<int> painting = Centiseconds(timing.paintingMilliseconds);
    const std::optional<int> holding = Centiseconds(timing.holdingMilliseconds);
    const QSize canvas = frames.Canvas().size();
    if (!painting || !holding || canvas.width() > kLargestSide || canvas.height() > kLargestSide) {
        return std::nullopt;
    }
    GifWriter gif(canvas.width(), canvas.height());
    if (recipe) {
        gif.AddComment(QByteArray::fromStdString(recipe->Name() + ", " + SoftwareName()));
        gif.AddComment(QByteArray::fromStdString(std::string(kGifRecipeLead) + recipe->Text()));
    }
    for (const int delay : FrameDelays(frames.Count(), *painting, *holding)) {
        // A square paints its area in one colour; what else changes is written against the area
        // as it was, so that the pixels it leaves alone cost nothing.
        const AnimationFrames::Coming coming = frames.Peek();
        const QImage before = coming.paintsAll ? QImage() : frames.Canvas().copy(coming.rect);
        const QRect rect = frames.Next();
        if (!gif.AddUniform(frames.Canvas(), rect, delay)) {
            gif.AddChanged(frames.Canvas(), rect, before, delay);
        }
    }
    return gif.Finish();
}

std::optional<QByteArray> EncodeGifAnimation(const RecordedPicture& picture, double scale,
                                             const AnimationTiming& timing, const std::optional<Recipe>& recipe)
{
    try {
        AnimationFrames frames(picture, {scale, {}, Framing::Fit});
        return GifFile(frames, timing, recipe);
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

FoundRecipe ReadGifRecipe(ByteSource& source)
{
    FoundRecipe damaged = FoundRecipe::Refused(QStringLiteral("is a damaged GIF file"));
    const QByteArray head = source.Read(kGifSignature.size() + kScreenDescriptor);
    if (head.size() < kGifSignature.size() + kScreenDescriptor || !head.startsWith(kGifSignature)) {
        return damaged;
    }
    const auto word = [](const QByteArray& bytes, qsizetype at) {
        return static_cast<uchar>(bytes[at]) | (static_cast<uchar>(bytes[at + 1]) << 8);
    };
    const int screenWidth = word(head, 6);
    const int screenHeight = word(head, 8);
    if (!source.Skip(ColourTableBytes(static_cast<uchar>(head[10])))) {
        return damaged;
    }
    FoundRecipe found;
    // Cut short: what matters is the recipe, if it came before the cut.
    const auto cut = [&found, &damaged] { return found.text || found.problem ? found : damaged; };
    const auto tooMany = [](int most, const char* what) {
        return FoundRecipe::Refused(QStringLiteral("has more than %1 %2; no picture saved by lorvane01 has")
                                        .arg(most)
                                        .arg(QLatin1StringView(what)));
    };
    int frames = 0;
    int extensions = 0;
    for (;;) {
        if (source.Error() != 0) {
            return found;
        }
        const QByteArray introducer = source.Read(1);
        if (introducer.isEmpty()) {
            return cut();
        }
        if (introducer[0] == kTrailer) {
            return found;
        }
        if (introducer[0] == kExtensionIntroducer) {
            if (++extensions > kMostExtensions) {
                return tooMany(kMostExtensions, "extensions");
            }
            const QByteArray label = source.Read(1);
            if (label.isEmpty()) {
                return cut();
            }
            const auto kind = static_cast<uchar>(label[0]);
            // The fixed first sub-block of the extensions that have one.
            const qsizetype fixed = kind == kGraphicControlLabel ? kGraphicControlBlock
                                    : kind == kApplicationLabel  ? kApplicationBlock
                                                                 : 0;
            if (fixed > 0 && source.Peek(1).size() == 1 && static_cast<uchar>(source.Peek(1)[0]) != fixed) {
                return damaged;
            }
            QByteArray comment;
            const Walk walk = WalkSubBlocks(source, [&](QByteArrayView data) {
                if (kind != kCommentLabel) {
                    return true;
                }
                const qsizetype room = static_cast<qsizetype>(kGifRecipeLead.size()) + kLongestRecipeText;
                comment.append(data.first(std::min(data.size(), room - comment.size())));
                // Past its room a comment that holds a recipe is too long anyway, however
                // much more follows.
                return comment.size() < room || !comment.startsWith(kGifRecipeLead);
            });
            if (walk == Walk::CutShort) {
                return cut();
            }
            if (comment.startsWith(kGifRecipeLead)) {
                found.Add(QString::fromLatin1(QByteArrayView(comment).sliced(kGifRecipeLead.size())));
                if (found.problem || walk == Walk::Stopped) {
                    return found;
                }
            }
            continue;
        }
        if (introducer[0] != kImageSeparator) {
            return damaged;
        }
        if (++frames > kMostFrames) {
            return tooMany(kMostFrames, "frames");
        }
        const QByteArray descriptor = source.Read(kImageDescriptor);
        if (descriptor.size() < kImageDescriptor) {
            return cut();
        }
        const int left = word(descriptor, 0);
        const int top = word(descriptor, 2);
        const int width = word(descriptor, 4);
        const int height = word(descriptor, 6);
        if (width == 0 || height == 0 || left + width > screenWidth || top + height > screenHeight) {
            return damaged;
        }
        if (!source.Skip(ColourTableBytes(static_cast<uchar>(descriptor[8])))) {
            return cut();
        }
        const QByteArray codeSize = source.Read(1);
        if (codeSize.isEmpty()) {
            return cut();
        }
        if (codeSize[0] < kSmallestCodeSize || codeSize[0] > kLargestCodeSize) {
            return damaged;
        }
        if (WalkSubBlocks(source, [](QByteArrayView /*data*/) { return true; }) != Walk::Ended) {
            return cut();
        }
    }
}

}  // namespace lorvane
