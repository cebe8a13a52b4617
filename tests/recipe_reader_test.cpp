#include <string>
#include <variant>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "recipe_metadata.h"
#include "recipe_reader.h"

namespace lorvane {
namespace {

const Recipe kRecipe{32702.5F, 3, "20240307090502"};

QString Key(std::string_view key)
{
    return QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
}

// A PNG as the writers make it: the name, the software, the time and the recipe as text.
QByteArray Png(const QString& recipeText)
{
    QImage image(60, 45, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.setText(Key(RecipeMetadata::kPngTitleKey), QString::fromStdString(kRecipe.Name()));
    image.setText(Key(RecipeMetadata::kPngSoftwareKey), QString::fromStdString(RecipeMetadata::Software()));
    image.setText(Key(RecipeMetadata::kPngCreationTimeKey), QString::fromStdString(kRecipe.IsoTime()));
    if (!recipeText.isNull()) {
        image.setText(Key(RecipeMetadata::kPngRecipeKey), recipeText);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

QByteArray Svg(const std::string& metadata)
{
    return QByteArray::fromStdString(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"600\" height=\"450\">\n<title>" +
        kRecipe.Name() + "</title>\n" + metadata + "\n<rect width=\"600\" height=\"450\" fill=\"#123456\"/>\n</svg>\n");
}

QByteArray Pdf(const QString& path, const QByteArray& xmp)
{
    {
        QPdfWriter writer(path);
        writer.setTitle(QString::fromStdString(kRecipe.Name()));
        writer.setCreator(QString::fromStdString(RecipeMetadata::Software()));
        writer.setDocumentXmpMetadata(xmp);
        QPainter painter(&writer);
        painter.fillRect(0, 0, 600, 450, Qt::darkCyan);
    }
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
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

TEST(RecipeReader, ReadsTheRecipeOfAPngAnSvgAndAPdfWhateverTheirNames)
{
    const QTemporaryDir dir;
    const QString text = QString::fromStdString(kRecipe.Text());
    const std::string expected = "recipe " + kRecipe.Text();
    EXPECT_EQ(Answer(Write(dir, "a.png", Png(text)), dir), expected);
    EXPECT_EQ(Answer(Write(dir, "b.pdf", Svg(RecipeMetadata::SvgMetadata(kRecipe))), dir), expected);
    const QByteArray pdf = Pdf(dir.filePath("c.pdf"), QByteArray::fromStdString(RecipeMetadata::Xmp(kRecipe)));
    EXPECT_EQ(Answer(Write(dir, "c", pdf), dir), expected);
}

TEST(RecipeReader, SaysWhatIsWrongWithFilesGivenAndStatusTwo)
{
    const QTemporaryDir dir;
    const QByteArray png = Png(QString::fromStdString(kRecipe.Text()));
    const std::string svgRecipe = RecipeMetadata::SvgMetadata(kRecipe);
    const std::string noRecipe = "has no recipe; it is not a picture saved by lorvane01";
    const struct {
        const char* name;
        QByteArray bytes;
        std::string answer;
    } cases[] = {
        {"plain.png", Png({}), noRecipe},
        {"seed.png", Png("seed=abc picture=3 at=20240307090502"), "its recipe is damaged: seed 'abc' is not a number"},
        {"zero.png", Png("seed=1 picture=0 at=20240307090502"),
         "its recipe is damaged: picture '0' is not a whole number from 1 to 10000000"},
        {"past.png", Png("seed=1 picture=10000001 at=20240307090502"),
         "its recipe is damaged: picture '10000001' is not a whole number from 1 to 10000000"},
        {"month.png", Png("seed=1 picture=3 at=20241399000000"),
         "its recipe is damaged: at '20241399000000' is not a date and time YYYYMMDDhhmmss"},
        {"cut.png", png.left(20), "is a damaged PNG file"},
        {"garbage.png", QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(5000, '\x7f'), "is a damaged PNG file"},
        {"plain.svg", Svg(""), noRecipe},
        {"elsewhere.svg", Svg("<g>" + svgRecipe + "</g>"), noRecipe},
        {"namespace.svg", Svg("<metadata><recipe>" + kRecipe.Text() + "</recipe></metadata>"), noRecipe},
        {"nested.svg",
         Svg("<metadata><recipe xmlns=\"https://varlenko.art/lorvane01/recipe\"><b/></recipe></metadata>"),
         "is a damaged SVG file (line 4: Expected character data.)"},
        {"cut.svg", Svg(svgRecipe).left(120), "is a damaged SVG file (line 3: Premature end of document.)"},
        {"entities.svg",
         "<!DOCTYPE svg [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
         "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
         "<svg><metadata><recipe xmlns=\"https://varlenko.art/lorvane01/recipe\">&c;</recipe></metadata></svg>",
         "is a damaged SVG file (line 1: Entity expands to more characters than the entity expansion limit.)"},
        {"page.html", "<html><body>hello</body></html>", "is not a PNG, SVG or PDF file"},
        {"notes.txt", "seed=1 picture=3 at=20240307090502", "is not a PNG, SVG or PDF file"},
        {"empty.png", "", "is empty"},
        {"cut.pdf", "%PDF-1.4\n<?xpacket begin=\"\"?><x:xmpmeta", "is a damaged PDF file (its metadata is cut short)"},
    };
    for (const auto& [name, bytes, answer] : cases) {
        EXPECT_EQ(Answer(Write(dir, name, bytes), dir), "2 " + std::string(name) + ": " + answer);
    }

    const QByteArray noKeywords = Pdf(dir.filePath("plain.pdf"), {});
    EXPECT_EQ(Answer(dir.filePath("plain.pdf"), dir), "2 plain.pdf: " + noRecipe);
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
