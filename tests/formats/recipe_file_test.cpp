#include <string>
#include <variant>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include "formats/file_format.h"
#include "formats/png_file.h"
#include "formats/recipe_file.h"
#include "recording/recorded_picture.h"
#include "tests/files.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <zlib.h>

namespace lorvane {
namespace {

using testing::Written;

const Recipe kRecipe{32702.5F, 3, "20240307090502"};
const std::string kText = kRecipe.Text();

// A small picture, written by the program's own writers.
QByteArray File(FileFormat format, const std::optional<Recipe>& recipe = kRecipe)
{
    return EncodeFile(RecordedPicture(0x405060, {FillItem{10, 10, 50, 40, 0x102030}}), format, 1, recipe).value();
}

// A PNG from the program's encoder whose recipe chunk holds `text` (none when null).
QByteArray Png(const QString& text)
{
    QImage image(60, 45, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    PngText chunks{{QStringLiteral("Title"), QString::fromStdString(kRecipe.Name())}};
    if (!text.isNull()) {
        chunks.emplace_back(QString::fromLatin1(kPngRecipeKey), text);
    }
    return EncodePng(image, chunks).value();
}

// One PNG chunk, its length and check sum as the standard has them.
QByteArray Chunk(const QByteArray& type, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian(static_cast<quint32>(data.size()), chunk.data());
    chunk += type + data;
    const uLong crc = crc32(crc32(0, reinterpret_cast<const Bytef*>(type.constData()), 4),
                            reinterpret_cast<const Bytef*>(data.constData()), static_cast<uInt>(data.size()));
    QByteArray sum(4, '\0');
    qToBigEndian(static_cast<quint32>(crc), sum.data());
    return chunk + sum;
}

QByteArray Compressed(const QByteArray& text)
{
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    QByteArray out(static_cast<qsizetype>(size), '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.constData()),
             static_cast<uLong>(text.size()));
    return out.left(static_cast<qsizetype>(size));
}

const QByteArray kRecipeKeyword("lorvane01-recipe\0", 17);
const QByteArray kIend = Chunk("IEND", {});
const QByteArray kPngSignature("\x89PNG\r\n\x1a\n");

// An IHDR chunk's data: a square of 8-bit RGB.
QByteArray HeaderData(quint32 side)
{
    QByteArray header(13, '\0');
    qToBigEndian(side, header.data());
    qToBigEndian(side, header.data() + 4);
    header[8] = 8;
    header[9] = 2;
    return header;
}

// The chunks as the reader walks them: the signature and a header first, no image data needed.
QByteArray PngOf(const QByteArray& chunks)
{
    return kPngSignature + Chunk("IHDR", HeaderData(600)) + chunks;
}

QByteArray WithWrongCrc(QByteArray chunk)
{
    chunk.back() = static_cast<char>(chunk.back() ^ 1);
    return chunk;
}

// A chunk's length and type, and nothing after them.
QByteArray ChunkHeader(quint32 length, const QByteArray& type)
{
    QByteArray header(4, '\0');
    qToBigEndian(length, header.data());
    return header + type;
}

// `png` with `chunks` put after its image data, before its end.
QByteArray After(const QByteArray& png, const QByteArray& chunks)
{
    return png.chopped(kIend.size()) + chunks + kIend;
}

// The small picture as an animation.
QByteArray Animation(AnimationFormat format, const std::optional<Recipe>& recipe = kRecipe)
{
    return EncodeAnimation(RecordedPicture(0x405060, {FillItem{10, 10, 50, 40, 0x102030}}), format, {}, {}, recipe)
        .value();
}

QByteArray LittleEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// One chunk of a WebP, its data padded to an even length, with a `length` that may lie.
QByteArray WebpChunk(const QByteArray& type, const QByteArray& data, std::optional<quint32> length = {})
{
    return type + LittleEndian(length.value_or(static_cast<quint32>(data.size()))) + data +
           QByteArray(data.size() % 2, '\0');
}

// A WebP file of `chunks`.
QByteArray WebpOf(const QByteArray& chunks)
{
    return "RIFF" + LittleEndian(static_cast<quint32>(chunks.size() + 4)) + "WEBP" + chunks;
}

// A real file with its recipe's text replaced.
QByteArray Edited(FileFormat format, const std::string& text)
{
    return File(format).replace(QByteArray::fromStdString(kText), QByteArray::fromStdString(text));
}

// "recipe <text>", or the problem's exit status and message without the folder.
std::string Answer(const QString& path, const QTemporaryDir& dir)
{
    const auto read = RecipeReader::Read(QFile::encodeName(path));
    if (const auto* recipe = std::get_if<Recipe>(&read)) {
        return "recipe " + recipe->Text();
    }
    const auto& problem = std::get<Problem>(read);
    QString message = QString::fromStdString(problem.message);
    message.remove(dir.path() + "/");
    return std::to_string(problem.status) + " " + message.toStdString();
}

// "recipe <text>", or the problem.
std::string Said(const std::variant<Recipe, Problem>& read)
{
    const auto* recipe = std::get_if<Recipe>(&read);
    return recipe != nullptr ? "recipe " + recipe->Text() : std::get<Problem>(read).message;
}

// What the reader makes of `bytes` in a file and in memory, which skip and end in different ways:
// the same for both.
std::string Read(const QTemporaryDir& dir, const char* name, const QByteArray& bytes)
{
    std::string inMemory = Said(RecipeReader::ReadBytes(bytes));
    const QString path = Written(dir.filePath(QString::fromLatin1(name)), bytes);
    std::string inFile = Said(RecipeReader::Read(QFile::encodeName(path)));
    if (const std::string named = path.toStdString() + ": "; inFile.starts_with(named)) {
        inFile.erase(0, named.size());
    }
    EXPECT_EQ(inFile, inMemory) << name;
    return inMemory;
}

TEST(RecipeReader, ReadsTheRecipeEachWriterWritesWhateverTheFilesName)
{
    const QTemporaryDir dir;
    const std::string expected = "recipe " + kText;
    EXPECT_EQ(Answer(Written(dir.filePath("a.png"), File(FileFormat::Png)), dir), expected);
    EXPECT_EQ(Answer(Written(dir.filePath("b.pdf"), File(FileFormat::Svg)), dir), expected);
    EXPECT_EQ(Answer(Written(dir.filePath("c"), File(FileFormat::Pdf)), dir), expected);
    EXPECT_EQ(Answer(Written(dir.filePath("d.gif"), Animation(AnimationFormat::Webp)), dir), expected);
    EXPECT_EQ(Answer(Written(dir.filePath("e"), Animation(AnimationFormat::Apng)), dir), expected);

    // Where each writer keeps the name and the recipe, as other programs see them.
    EXPECT_TRUE(File(FileFormat::Svg)
                    .contains("<title>T20240307090502</title>\n    <metadata>\n        <recipe "
                              "xmlns=\"https://varlenko.art/lorvane01/recipe\">seed=32702.5 picture=3 "
                              "at=20240307090502</recipe>\n    </metadata>"));
    const QByteArray pdf = File(FileFormat::Pdf);
    // Dated by the picture's time, not the clock's, so that the same picture gives the same bytes.
    for (const char* xmp :
         {"/CreationDate (D:20240307090502)", "<pdf:Keywords>seed=32702.5 picture=3 at=20240307090502</pdf:Keywords>",
          "<rdf:li xml:lang=\"x-default\">T20240307090502</rdf:li>",
          "<xmp:CreateDate>2024-03-07T09:05:02</xmp:CreateDate>",
          "<xmp:CreatorTool>lorvane01 1.00</xmp:CreatorTool>"}) {
        EXPECT_TRUE(pdf.contains(xmp)) << xmp;
    }
    const QImage png = QImage::fromData(File(FileFormat::Png));
    EXPECT_EQ(png.text("Title"), "T20240307090502");
    EXPECT_EQ(png.text("Software"), "lorvane01 1.00");
    EXPECT_EQ(png.text("lorvane01-recipe"), "seed=32702.5 picture=3 at=20240307090502");
}

TEST(RecipeReader, SaysWhatIsWrongWithFilesGivenAndStatusTwo)
{
    const QTemporaryDir dir;
    const QByteArray svg = File(FileFormat::Svg);
    const std::string noRecipe = "has no recipe; it is not a picture saved by lorvane01";
    const QByteArray recipeElement = "<recipe xmlns=\"https://varlenko.art/lorvane01/recipe\">";
    const std::string twoRecipes = "holds two different recipes; it is not a picture saved by lorvane01";
    const QByteArray pdf = File(FileFormat::Pdf);
    const QByteArray xmp = pdf.mid(pdf.indexOf("<?xpacket begin="),
                                   pdf.indexOf("<?xpacket end=\"w\"?>") + 19 - pdf.indexOf("<?xpacket begin="));
    // 16000 x 16000 pixels: never decoded to find that there is no recipe.
    const QByteArray large =
        kPngSignature + Chunk("IHDR", HeaderData(16000)) + Chunk("IDAT", Compressed(QByteArray(48001, '\0'))) + kIend;
    const QByteArray webp = Animation(AnimationFormat::Webp);
    const qsizetype xmpAt = webp.indexOf("XMP ");
    // The XMP chunk's little-endian size, a byte at a time.
    qsizetype xmpSize = 0;
    for (int byte = 3; byte >= 0; --byte) {
        xmpSize = xmpSize * 256 + static_cast<quint8>(webp.at(xmpAt + 4 + byte));
    }
    const QByteArray webpXmp = webp.sliced(xmpAt + 8, xmpSize);
    QByteArray utf16("\xFF\xFE");
    const QString svgText = QString::fromUtf8(svg);
    utf16.append(reinterpret_cast<const char*>(svgText.utf16()), svgText.size() * 2);
    const struct {
        const char* name;
        QByteArray bytes;
        std::string answer;
    } cases[] = {
        {"plain.png", Png({}), noRecipe},
        {"seed.png", Png("seed=abc picture=3 at=20240307090502"), "its recipe is damaged: seed 'abc' is not a number"},
        {"zero.png", Png("seed=1 picture=0 at=20240307090502"),
         "its recipe is damaged: picture '0' is not a whole number from 1 to 10000000"},
        {"past.svg", Edited(FileFormat::Svg, "seed=1 picture=10000001 at=20240307090502"),
         "its recipe is damaged: picture '10000001' is not a whole number from 1 to 10000000"},
        {"month.pdf", Edited(FileFormat::Pdf, "seed=1 picture=3 at=20241399000000"),
         "its recipe is damaged: at '20241399000000' is not a date and time YYYYMMDDhhmmss"},
        {"day.png", Png("seed=1 picture=3 at=20240300090502"),
         "its recipe is damaged: at '20240300090502' is not a date and time YYYYMMDDhhmmss"},
        {"cut.png", File(FileFormat::Png).left(20), "is a damaged PNG file"},
        {"garbage.png", QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(5000, '\x7f'), "is a damaged PNG file"},
        {"plain.svg", File(FileFormat::Svg, std::nullopt), noRecipe},
        {"elsewhere.svg", QByteArray(svg).replace("<metadata>", "<g>").replace("</metadata>", "</g>"), noRecipe},
        {"namespace.svg", QByteArray(svg).replace(" xmlns=\"https://varlenko.art/lorvane01/recipe\"", ""), noRecipe},
        {"nested.svg", Edited(FileFormat::Svg, "<b/>"), "is a damaged SVG file (line 5: Expected character data.)"},
        {"cut.svg", svg.left(svg.indexOf("</recipe>")), "is a damaged SVG file (line 5: Premature end of document.)"},
        {"entities.svg",
         "<!DOCTYPE svg [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
         "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
         "<svg><metadata>" +
             recipeElement + "&c;</recipe></metadata></svg>",
         "is a damaged SVG file (line 1: Entity expands to more characters than the entity expansion limit.)"},
        {"page.html", "<html><body>hello</body></html>", "is not a PNG, WebP, SVG or PDF file"},
        {"notes.txt", "seed=1 picture=3 at=20240307090502", "is not a PNG, WebP, SVG or PDF file"},
        {"empty.png", "", "is empty"},
        {"cut.pdf", File(FileFormat::Pdf).left(File(FileFormat::Pdf).indexOf("<?xpacket end=")),
         "is a damaged PDF file (its metadata is cut short)"},
        {"plain.pdf", File(FileFormat::Pdf, std::nullopt), noRecipe},
        // Read strictly wherever it is kept, with no blanks tidied away.
        {"spaces.png", Png("seed=1  picture=3 at=20240307090502"),
         "its recipe is damaged: the recipe 'seed=1  picture=3 at=20240307090502' is not of the form seed=S "
         "picture=N at=YYYYMMDDhhmmss"},
        {"long.png", Png(QString::fromStdString(kText) + QString(10'000'000, QLatin1Char(' '))),
         "its recipe is damaged: the recipe is longer than 200 characters"},
        {"two.png",
         After(Png(QString::fromStdString(kText)),
               Chunk("tEXt", kRecipeKeyword + "seed=2 picture=3 at=20240307090502")),
         twoRecipes},
        {"two.svg",
         QByteArray(svg).replace("</metadata>",
                                 recipeElement + "seed=2 picture=3 at=20240307090502</recipe></metadata>"),
         twoRecipes},
        {"two.pdf",
         pdf + QByteArray(xmp).replace(QByteArray::fromStdString(kText), "seed=2 picture=3 at=20240307090502"),
         twoRecipes},
        // What hostile files cost is bounded by what a recipe needs.
        {"length.png",
         Png({}).left(33) + QByteArray("\x80\0\0\0tEXt", 8) + kRecipeKeyword + QByteArray::fromStdString(kText),
         "is a damaged PNG file"},
        {"chunks.png",
         After(Png({}), Chunk("zTXt", QByteArray("Comment\0\0", 9) + Compressed("remark")).repeated(2000)),
         "has more than 64 text chunks; no picture saved by lorvane01 has"},
        {"attributes.svg", QByteArray(svg).replace("<svg ", "<svg " + QByteArray("a=\"\" ").repeated(1001)),
         "has an element with more than 1000 attributes; no picture saved by lorvane01 has"},
        {"large.png", large, noRecipe},
        {"plain.webp", Animation(AnimationFormat::Webp, std::nullopt), noRecipe},
        {"cut.webp", webp.left(webp.indexOf("<pdf:Keywords>")), "is a damaged WebP file"},
        {"riff.webp", webp.left(4) + LittleEndian(5) + webp.sliced(8), "is a damaged WebP file"},
        {"length.webp", WebpOf(WebpChunk("XMP ", webpXmp, 0x7FFFFFF0)), "is a damaged WebP file"},
        {"past.webp", WebpOf(WebpChunk("ANMF", "frame", 100) + WebpChunk("XMP ", webpXmp)), "is a damaged WebP file"},
        {"chunks.webp", WebpOf(WebpChunk("JUNK", {}).repeated(5000) + WebpChunk("XMP ", webpXmp)),
         "has more than 4096 chunks; no picture saved by lorvane01 has"},
        {"xmp.webp", WebpOf(WebpChunk("XMP ", QByteArray(70000, ' '))),
         "has XMP metadata longer than 64 KiB; no picture saved by lorvane01 has"},
        {"two.webp",
         WebpOf(webp.sliced(12) + WebpChunk("XMP ", QByteArray(webpXmp).replace(QByteArray::fromStdString(kText),
                                                                                "seed=2 picture=3 at=20240307090502"))),
         twoRecipes},
        {"utf16.svg", utf16, "is in UTF-16; lorvane01 saves and reads SVG files in UTF-8 only"},
    };
    for (const auto& [name, bytes, answer] : cases) {
        EXPECT_EQ(Answer(Written(dir.filePath(name), bytes), dir), "2 " + std::string(name) + ": " + answer);
    }
    EXPECT_EQ(Answer(dir.filePath("missing.png"), dir), "2 missing.png: no such file");
    EXPECT_EQ(Answer(dir.path(), dir), "2 " + dir.path().toStdString() + ": is a folder, not a picture");
}

TEST(RecipeReader, ReadsTheRecipeWhereverThePngOrSvgKeepsItAndWhenTheFileIsCutAfterIt)
{
    const QTemporaryDir dir;
    const QByteArray png = File(FileFormat::Png);
    const QByteArray svg = File(FileFormat::Svg);
    const QByteArray text = QByteArray::fromStdString(kText);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"cut.png", png.left(png.indexOf("IDAT") + 100)},
        {"after.png", After(Png({}), Chunk("tEXt", kRecipeKeyword + text))},
        {"twice.png", After(png, Chunk("tEXt", kRecipeKeyword + text))},
        {"ztxt.png", After(Png({}), Chunk("zTXt", kRecipeKeyword + '\0' + Compressed(text)))},
        {"itxt.png", After(Png({}), Chunk("iTXt", kRecipeKeyword + QByteArray("\1\0\0\0", 4) + Compressed(text)))},
        {"mark.svg", "\xEF\xBB\xBF" + svg},
        {"blank.svg", "\n\n  \t" + svg.mid(svg.indexOf("<svg"))},
        {"cut.svg", svg.left(svg.indexOf("</metadata>") + 11)},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_EQ(Answer(Written(dir.filePath(name), bytes), dir), "recipe " + kText) << name;
    }
}

TEST(RecipeReader, NamesWhyAFileCannotBeOpenedWithItsStatus)
{
    const QTemporaryDir dir;
    // Names are bytes: one that is not UTF-8 is opened as it is.
    const QByteArray odd = QFile::encodeName(dir.path()) + "/p\xff.png";
    const int descriptor = open(odd.constData(), O_WRONLY | O_CREAT, 0644);  // NOLINT
    ASSERT_GE(descriptor, 0);
    const QByteArray png = File(FileFormat::Png);
    ASSERT_EQ(write(descriptor, png.constData(), static_cast<std::size_t>(png.size())), png.size());
    close(descriptor);
    const auto read = RecipeReader::Read(odd);
    // QTemporaryDir removes names by their UTF-8 form, so this one would be left behind.
    unlink(odd.constData());
    ASSERT_TRUE(std::holds_alternative<Recipe>(read)) << std::get<Problem>(read).message;

    ASSERT_TRUE(QFile::link(dir.filePath("loop-b"), dir.filePath("loop-a")));
    ASSERT_TRUE(QFile::link(dir.filePath("loop-a"), dir.filePath("loop-b")));
    EXPECT_EQ(Answer(dir.filePath("loop-a"), dir),
              "2 loop-a: is a symbolic link in a loop of links; it leads to no file");

    // The system refuses to open a socket as a file.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(dir.filePath("socket"));
    ASSERT_LT(static_cast<std::size_t>(socketPath.size()), sizeof(address.sun_path));
    std::copy(socketPath.begin(), socketPath.end(), static_cast<char*>(address.sun_path));
    const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(Answer(dir.filePath("socket"), dir), "1 socket: cannot read it: No such device or address");
    close(listening);

    if (geteuid() != 0) {
        const QString locked = Written(dir.filePath("locked.png"), png);
        QFile::setPermissions(locked, {});
        EXPECT_EQ(Answer(locked, dir), "1 locked.png: cannot read it: Permission denied");
    }
}

TEST(RecipeReader, TellsSoundPngChunksFromDamagedOnesAtEachLimit)
{
    const QTemporaryDir dir;
    const QByteArray text = QByteArray::fromStdString(kText);
    const QByteArray recipe = Chunk("tEXt", kRecipeKeyword + text);
    const QByteArray comment = Chunk("tEXt", QByteArray("Comment\0remark", 14));
    // A recipe chunk of `size` bytes: the recipe and blanks.
    const auto padded = [&](qsizetype size) {
        return Chunk("tEXt", kRecipeKeyword + text + QByteArray(size - kRecipeKeyword.size() - text.size(), ' '));
    };
    const std::string read = "recipe " + kText;
    const std::string damaged = "is a damaged PNG file";
    const std::string tooLong = "its recipe is damaged: the recipe is longer than 200 characters";
    const struct {
        const char* name;
        QByteArray bytes;
        std::string answer;
    } cases[] = {
        // The header: 13 bytes, and first.
        {"header-12.png", kPngSignature + Chunk("IHDR", HeaderData(600).chopped(1)) + recipe + kIend, damaged},
        {"header-14.png", kPngSignature + Chunk("IHDR", HeaderData(600) + '\0') + recipe + kIend, damaged},
        {"header-second.png", kPngSignature + recipe + Chunk("IHDR", HeaderData(600)) + kIend, damaged},
        {"after-end.png", PngOf(kIend + recipe), "has no recipe; it is not a picture saved by lorvane01"},
        // The recipe chunk is checked whole, up to 64 KiB; of a longer one only that much is read.
        {"crc.png", PngOf(WithWrongCrc(recipe) + kIend), damaged},
        {"cut-in-crc.png", PngOf(recipe.chopped(1)), damaged},
        {"cut-in-data.png", PngOf(recipe.chopped(5)), damaged},
        {"longest-recipe-chunk.png", PngOf(WithWrongCrc(padded(qsizetype{64} * 1024)) + kIend), damaged},
        {"past-longest-recipe-chunk.png", PngOf(WithWrongCrc(padded(qsizetype{64} * 1024 + 1)) + kIend), tooLong},
        // 64 text chunks are the most, the recipe's among them.
        {"64-texts.png", PngOf(comment.repeated(63) + recipe + kIend), read},
        {"65-texts.png", PngOf(comment.repeated(64) + recipe + kIend),
         "has more than 64 text chunks; no picture saved by lorvane01 has"},
        // A chunk's length is at most 2^31 - 1; a file cut short after its recipe still gives it.
        {"longest-chunk.png", PngOf(recipe + ChunkHeader(0x7FFFFFFF, "abCd")), read},
        {"past-longest-chunk.png", PngOf(recipe + ChunkHeader(0x80000000, "abCd")), damaged},
        {"odd-type.png", PngOf(recipe + ChunkHeader(4, "ab1d") + "dataCRC!" + kIend), damaged},
        // Over 4 KiB, ending right after a chunk that is skipped, with no IEND.
        {"ends-after-a-chunk.png", PngOf(recipe + Chunk("abCd", QByteArray(5000, 'x'))), read},
    };
    for (const auto& [name, bytes, answer] : cases) {
        EXPECT_EQ(Read(dir, name, bytes), answer) << name;
    }
}

TEST(RecipeReader, FindsThePdfsMetadataWhereverItsMarkersFallInTheBlocksRead)
{
    const QTemporaryDir dir;
    const QByteArray pdf = File(FileFormat::Pdf);
    constexpr qsizetype kBlock = qsizetype{64} * 1024;
    for (const QByteArray& marker : {QByteArray("<?xpacket begin="), QByteArray("<?xpacket end=")}) {
        // The 16 or 14 characters of each marker cut after one, after half, and before the last.
        for (const qsizetype before : {qsizetype{1}, marker.size() / 2, marker.size() - 1}) {
            const qsizetype at = pdf.indexOf(marker);
            ASSERT_LT(at, kBlock - before);
            // Blanks within the packet before its end marker, or between objects before its start.
            const QByteArray moved = QByteArray(pdf).insert(at, QByteArray(kBlock - before - at, ' '));
            ASSERT_EQ(moved.indexOf(marker), kBlock - before);
            EXPECT_EQ(Read(dir, "moved.pdf", moved), "recipe " + kText) << marker.toStdString() << before;
        }
    }
}

TEST(RecipeReader, ReadsAnSvgPastSkippedMarkupOfAnyLengthAndBoundsWhatItKeeps)
{
    // Read in memory only: an SVG is read from a file the same way, a piece at a time.
    const QByteArray svg = File(FileFormat::Svg);
    // `markup` on the metadata's line (the fourth), before it.
    const auto before = [&svg](const QByteArray& markup) {
        return QByteArray(svg).insert(svg.indexOf("<metadata>"), markup);
    };
    // Stand for runs longer than any the XML reader is given and a little over half that, many
    // pieces long, made only when their case is read.
    const QByteArray longest = "{17 MiB}";
    const QByteArray half = "{9 MiB}";
    const auto nested = [](int depth) {
        return QByteArray("<g>").repeated(depth) + QByteArray("</g>").repeated(depth);
    };
    const std::string read = "recipe " + kText;
    const std::string damaged = "is a damaged SVG file ";
    const std::string most =
        "has more than 32 MiB or a million elements and attributes before its recipe; no picture saved by lorvane01 "
        "has";
    const struct {
        const char* name;
        QByteArray bytes;
        std::string answer;
    } cases[] = {
        // Comments, processing instructions and character data are not kept, however long.
        {"comment.svg", before("<!--" + longest + "-->"), read},
        {"instruction.svg", before("<?note " + longest + "?>"), read},
        {"data.svg", before("<g><![CDATA[" + longest + "]]></g>"), read},
        {"stylesheet.svg", QByteArray(svg).insert(svg.indexOf('\n') + 1, "<?xml-stylesheet href=\"a.css\"?>\n"), read},
        // Small elements of 18 MB in all: the bound is on each one, and on a tag and its text apart.
        {"elements.svg", before(("<g id=\"" + QByteArray(1000, 'g') + "\"/>\n").repeated(18000)), read},
        {"runs.svg", before("<g id=\"" + half + "\">" + half + "<g id=\"" + half + "\"/></g>"), read},
        // What is given to the reader before the recipe is bounded in all, as well as each piece.
        {"many-elements.svg", before(QByteArray("<g/>").repeated(1'000'001)), most},
        {"many-attributes.svg", before(QByteArray(R"(<g a="" b="" c="" d=""/>)").repeated(200'001)), most},
        {"much-markup.svg", before(("<g>" + half + "</g>").repeated(4)), most},
        // Text and tags are given to the reader, and bounded.
        {"text.svg", before("<g>" + longest + "</g>"),
         "has an element or text longer than 16 MiB; no picture saved by lorvane01 has"},
        // The XML declaration is kept whole: it names the encoding.
        {"latin1.svg",
         QByteArray(svg)
             .replace("encoding=\"UTF-8\"", "encoding=\"ISO-8859-1\"")
             .insert(svg.indexOf("<metadata>"), "<desc>caf\xE9</desc>"),
         read},
        // What the reader refuses in them is still its to refuse, on its line.
        {"dashes.svg", before("<!--\n\n -- -->"), damaged + "(line 6: Expected '>', but got ' '.)"},
        {"no-target.svg", before("<? note?>"), damaged + "(line 4: Expected '[a-zA-Z]', but got ' '.)"},
        {"lines.svg", before("<!--\n\r\n-->\n<?note\n?><![CDATA[" + longest + "\n]]></g>"),
         damaged + "(line 9: Opening and ending tag mismatch.)"},
        // In the recipe, a comment is dropped and character data counts.
        {"recipe-comment.svg", Edited(FileFormat::Svg, "seed=32702.5<!-- a -->  picture=3 at=20240307090502"),
         "its recipe is damaged: the recipe 'seed=32702.5  picture=3 at=20240307090502' is not of the form seed=S "
         "picture=N at=YYYYMMDDhhmmss"},
        {"recipe-data.svg", Edited(FileFormat::Svg, "<![CDATA[" + kText + "]]>"), read},
        {"long-recipe-data.svg", Edited(FileFormat::Svg, "<![CDATA[" + kText + longest.toStdString() + "]]>"),
         "its recipe is damaged: the recipe is longer than 200 characters"},
        // lorvane01 nests two deep; 64 is the most.
        {"deepest.svg", before(nested(63)), read},
        {"too-deep.svg", before(nested(64)), damaged + "(line 4: Elements are nested more than 64 deep.)"},
    };
    for (const auto& [name, bytes, answer] : cases) {
        const QByteArray made = QByteArray(bytes)
                                    .replace(longest, QByteArray(qsizetype{17} * 1024 * 1024, 'x'))
                                    .replace(half, QByteArray(qsizetype{9} * 1024 * 1024, 'x'));
        EXPECT_EQ(Said(RecipeReader::ReadBytes(made)), answer) << name;
    }
}

TEST(RecipeReader, AFileTheSystemCannotReadIsStatusOne)
{
    // Reading the process's own memory from address 0 fails with an input/output error, even
    // for root, who may read any file.
    const QTemporaryDir dir;
    const std::string answer = Answer(QStringLiteral("/proc/self/mem"), dir);
    EXPECT_EQ(answer.substr(0, answer.find(':', 2)), "1 /proc/self/mem") << answer;
    EXPECT_NE(answer.find("cannot read it: "), std::string::npos) << answer;
}

}  // namespace
}  // namespace lorvane
