#include <string>
#include <variant>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "file_format.h"
#include "png_file.h"
#include "recipe_file.h"
#include "recorded_picture.h"

namespace lorvane {
namespace {

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

// A real file with its recipe's text replaced.
QByteArray Edited(FileFormat format, const std::string& text)
{
    return File(format).replace(QByteArray::fromStdString(kText), QByteArray::fromStdString(text));
}

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

// "recipe <text>", or the problem's exit status and message without the folder.
std::string Answer(const QString& path, const QTemporaryDir& dir)
{
    const auto read = RecipeReader::Read(path);
    if (const auto* recipe = std::get_if<Recipe>(&read)) {
        return "recipe " + recipe->Text();
    }
    const auto& problem = std::get<RecipeProblem>(read);
    QString message = problem.message;
    message.remove(dir.path() + "/");
    return std::to_string(problem.ExitStatus()) + " " + message.toStdString();
}

TEST(RecipeReader, ReadsTheRecipeEachWriterWritesWhateverTheFilesName)
{
    const QTemporaryDir dir;
    const std::string expected = "recipe " + kText;
    EXPECT_EQ(Answer(Write(dir, "a.png", File(FileFormat::Png)), dir), expected);
    EXPECT_EQ(Answer(Write(dir, "b.pdf", File(FileFormat::Svg)), dir), expected);
    EXPECT_EQ(Answer(Write(dir, "c", File(FileFormat::Pdf)), dir), expected);

    // Where each writer keeps the name and the recipe, as other programs see them.
    EXPECT_TRUE(File(FileFormat::Svg)
                    .contains("<title>T20240307090502</title>\n    <metadata>\n        <recipe "
                              "xmlns=\"https://varlenko.art/lorvane01/recipe\">seed=32702.5 picture=3 "
                              "at=20240307090502</recipe>\n    </metadata>"));
    const QByteArray pdf = File(FileFormat::Pdf);
    for (const char* xmp : {"<pdf:Keywords>seed=32702.5 picture=3 at=20240307090502</pdf:Keywords>",
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
    const std::string recipeElement = "<recipe xmlns=\"https://varlenko.art/lorvane01/recipe\">";
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
             QByteArray::fromStdString(recipeElement) + "&c;</recipe></metadata></svg>",
         "is a damaged SVG file (line 1: Entity expands to more characters than the entity expansion limit.)"},
        {"page.html", "<html><body>hello</body></html>", "is not a PNG, SVG or PDF file"},
        {"notes.txt", "seed=1 picture=3 at=20240307090502", "is not a PNG, SVG or PDF file"},
        {"empty.png", "", "is empty"},
        {"cut.pdf", File(FileFormat::Pdf).left(File(FileFormat::Pdf).indexOf("<?xpacket end=")),
         "is a damaged PDF file (its metadata is cut short)"},
        {"plain.pdf", File(FileFormat::Pdf, std::nullopt), noRecipe},
    };
    for (const auto& [name, bytes, answer] : cases) {
        EXPECT_EQ(Answer(Write(dir, name, bytes), dir), "2 " + std::string(name) + ": " + answer);
    }
    EXPECT_EQ(Answer(dir.filePath("missing.png"), dir), "2 missing.png: no such file");
    EXPECT_EQ(Answer(dir.path(), dir), "2 " + dir.path().toStdString() + ": is a folder, not a picture");
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
