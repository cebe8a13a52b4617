#include "svg_file.h"

#include <algorithm>

#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "byte_source.h"
#include "markup_bounds.h"
#include "picture_size.h"
#include "recorded_picture.h"
#include "svg_player.h"

namespace lorvane {

namespace {

constexpr auto kMetadataElement = QLatin1StringView("metadata");
constexpr auto kRecipeElement = QLatin1StringView("recipe");
constexpr auto kRecipeNamespace = QLatin1StringView("https://varlenko.art/lorvane01/recipe");

FoundRecipe Damaged(const QXmlStreamReader& xml)
{
    return {{}, QStringLiteral("is a damaged SVG file (line %1: %2)").arg(xml.lineNumber()).arg(xml.errorString())};
}

// Read and checked at a time.
constexpr qsizetype kPiece = qsizetype{64} * 1024;
// One character more than a recipe may have, so that the parser can say it is too long.
constexpr qsizetype kLongestRecipeText = static_cast<qsizetype>(Recipe::kLongestText) + 1;
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
    MarkupBounds bounds;
    QXmlStreamReader xml;
    int depth = 0;
    bool sawRoot = false;
    bool inMetadata = false;
    bool inRecipe = false;
    bool metadataHadRecipe = false;
    QString recipe;
    FoundRecipe found;
    for (;;) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::Invalid && xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
            const QByteArray piece = source.Read(kPiece);
            if (source.Error() != 0) {
                return found;
            }
            if (!piece.isEmpty()) {
                if (const QString problem = bounds.Check(piece); !problem.isEmpty()) {
                    return {{}, problem};
                }
                xml.addData(piece);
                continue;
            }
            // The end of the file: the reader's error says the document is cut short.
        }
        if (xml.hasError()) {
            if (!sawRoot) {
                return {{}, QStringLiteral("is not a PNG, SVG or PDF file")};
            }
            return Damaged(xml);
        }
        switch (token) {
        case QXmlStreamReader::StartElement:
            ++depth;
            sawRoot = true;
            if (inRecipe) {
                xml.raiseError(QStringLiteral("Expected character data."));
                return Damaged(xml);
            }
            if (depth == 1 && xml.name() != QLatin1String("svg")) {
                return {{}, QStringLiteral("is not a PNG, SVG or PDF file")};
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
                if (!found.problem.isEmpty()) {
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
