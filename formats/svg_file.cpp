#include "svg_file.h"

#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

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

FoundRecipe ReadSvgRecipe(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    int depth = 0;
    bool sawRoot = false;
    bool inMetadata = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            sawRoot = true;
            if (depth == 1 && xml.name() != QLatin1String("svg")) {
                return {{}, QStringLiteral("is not a PNG, SVG or PDF file")};
            }
            if (depth == 2) {
                inMetadata = xml.name() == kMetadataElement;
            }
            if (depth == 3 && inMetadata && xml.name() == kRecipeElement && xml.namespaceUri() == kRecipeNamespace) {
                QString text = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
                if (xml.hasError()) {
                    return Damaged(xml);
                }
                return {text, {}};
            }
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) {
        if (!sawRoot) {
            return {{}, QStringLiteral("is not a PNG, SVG or PDF file")};
        }
        return Damaged(xml);
    }
    return {};
}

}  // namespace lorvane
