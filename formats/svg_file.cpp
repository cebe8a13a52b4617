#include "formats/svg_file.h"

#include <algorithm>
#include <cstring>

#include <QIODevice>
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "formats/byte_source.h"
#include "formats/markup_bounds.h"
#include "platform/picture_size.h"
#include "players/svg_player.h"
#include "recording/recorded_picture.h"

namespace lorvane {

namespace {

constexpr auto kMetadataElement = QLatin1StringView("metadata");
constexpr auto kRecipeElement = QLatin1StringView("recipe");
constexpr auto kRecipeNamespace = QLatin1StringView("https://varlenko.art/lorvane01/recipe");

FoundRecipe Damaged(const QXmlStreamReader& xml)
{
    return FoundRecipe::Refused(
        QStringLiteral("is a damaged SVG file (line %1: %2)").arg(xml.lineNumber()).arg(xml.errorString()));
}

// Read and checked at a time.
constexpr qsizetype kPiece = qsizetype{64} * 1024;
// One character more than a recipe may have, so that the parser can say it is too long.
constexpr qsizetype kLongestRecipeText = static_cast<qsizetype>(Recipe::kLongestText) + 1;
// lorvane01 nests its elements two deep; the reader holds every open element, so a file of
// nothing but opening tags is refused early.
constexpr int kDeepest = 64;
// The elements, attributes and text before the recipe cost the reader time in proportion to
// their count and length (a million of them or 32 MiB take about a quarter of a second); a
// picture saved by lorvane01 has its recipe in its first kilobyte.
constexpr qint64 kMostMarkupBeforeRecipe = qint64{32} * 1024 * 1024;
constexpr qint64 kMostNamesBeforeRecipe = 1'000'000;

// The file's bytes as the XML reader asks for them, checked and trimmed a piece at a time. The
// reader takes them as it scans, so that it scans each token once: bytes added piece by piece
// make it scan an unfinished token again with each piece.
class CheckedMarkup final : public QIODevice {
public:
    explicit CheckedMarkup(ByteSource& source) : source_(source) { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }

    [[nodiscard]] bool isSequential() const override { return true; }
    // What the bounds found wrong, if anything; the reader then sees the file end there.
    [[nodiscard]] const QString& Problem() const { return problem_; }

protected:
    qint64 readData(char* data, qint64 most) override
    {
        while (at_ == kept_.size() && !ended_) {
            kept_.clear();
            at_ = 0;
            const QByteArray piece = source_.Read(kPiece);
            problem_ = piece.isEmpty() ? QString() : bounds_.Check(piece, &kept_);
            ended_ = piece.isEmpty() || !problem_.isEmpty();
            if (!problem_.isEmpty()) {
                kept_.clear();
            }
        }
        const qint64 count = std::min<qint64>(most, kept_.size() - at_);
        std::memcpy(data, kept_.constData() + at_, static_cast<std::size_t>(count));
        at_ += count;
        return count;
    }
    qint64 writeData(const char* /*data*/, qint64 /*count*/) override { return -1; }

private:
    ByteSource& source_;
    MarkupBounds bounds_;
    QByteArray kept_;
    qsizetype at_ = 0;
    bool ended_ = false;
    QString problem_;
};
}  // namespace

QByteArray SvgFile(const RecordedPicture& picture, int scale, const std::optional<Recipe>& recipe)
{
    QByteArray document;
    QXmlStreamWriter xml(&document);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    xml.writeAttribute(QStringLiteral("width"), QString::number(kPictureWidth * scale));
    xml.writeAttribute(QStringLiteral("height"), QString::number(kPictureHeight * scale));
    xml.writeAttribute(QStringLiteral("viewBox"), QStringLiteral("0 0 %1 %2").arg(kPictureWidth).arg(kPictureHeight));
    // Edges on whole pixels stay sharp; no seams between neighbouring rectangles.
    xml.writeAttribute(QStringLiteral("shape-rendering"), QStringLiteral("crispEdges"));
    if (recipe) {
        xml.writeTextElement(QStringLiteral("title"), QString::fromStdString(recipe->Name()));
        xml.writeStartElement(kMetadataElement);
        xml.writeStartElement(kRecipeElement);
        xml.writeDefaultNamespace(kRecipeNamespace);
        xml.writeCharacters(QString::fromStdString(recipe->Text()));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    PlaySvg(picture, scale, xml);
    xml.writeEndDocument();
    return document;
}

FoundRecipe ReadSvgRecipe(ByteSource& source)
{
    CheckedMarkup markup(source);
    QXmlStreamReader xml(&markup);
    int depth = 0;
    bool sawRoot = false;
    bool inMetadata = false;
    bool inRecipe = false;
    bool metadataHadRecipe = false;
    QString recipe;
    FoundRecipe found;
    qint64 names = 0;
    for (;;) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (!markup.Problem().isEmpty()) {
            return FoundRecipe::Refused(markup.Problem());
        }
        if (source.Error() != 0) {
            return found;
        }
        if (xml.hasError()) {
            if (!sawRoot) {
                return FoundRecipe::Refused(QStringLiteral("is not a PNG, WebP, SVG or PDF file"));
            }
            return Damaged(xml);
        }
        if (xml.characterOffset() > kMostMarkupBeforeRecipe || names > kMostNamesBeforeRecipe) {
            return FoundRecipe::Refused(
                QStringLiteral("has more than 32 MiB or a million elements and attributes before its recipe; no "
                               "picture saved by lorvane01 has"));
        }
        switch (token) {
        case QXmlStreamReader::StartElement:
            sawRoot = true;
            names += 1 + xml.attributes().size();
            if (++depth > kDeepest) {
                xml.raiseError(QStringLiteral("Elements are nested more than %1 deep.").arg(kDeepest));
                return Damaged(xml);
            }
            if (inRecipe) {
                xml.raiseError(QStringLiteral("Expected character data."));
                return Damaged(xml);
            }
            if (depth == 1 && xml.name() != QLatin1String("svg")) {
                return FoundRecipe::Refused(QStringLiteral("is not a PNG, WebP, SVG or PDF file"));
            }
            if (depth == 2) {
                inMetadata = xml.name() == kMetadataElement;
                metadataHadRecipe = false;
            }
            if (depth == 3 && inMetadata && xml.name() == kRecipeElement && xml.namespaceUri() == kRecipeNamespace) {
                inRecipe = true;
                recipe.clear();
            }
            break;
        case QXmlStreamReader::Characters:
            if (inRecipe && recipe.size() < kLongestRecipeText) {
                recipe += xml.text().first(std::min(xml.text().size(), kLongestRecipeText - recipe.size()));
            }
            break;
        case QXmlStreamReader::EndElement:
            if (inRecipe) {
                inRecipe = false;
                metadataHadRecipe = true;
                found.Add(recipe);
                if (found.problem) {
                    return found;
                }
            }
            if (depth == 2 && inMetadata && metadataHadRecipe) {
                // Nothing after the metadata that holds the recipe is needed.
                return found;
            }
            if (--depth == 0) {
                return found;
            }
            break;
        case QXmlStreamReader::EndDocument:
            return found;
        default:
            break;
        }
    }
}

}  // namespace lorvane
