#include "formats/xmp_packet.h"

#include <string>

#include <QXmlStreamReader>

#include "formats/file_metadata.h"

namespace lorvane {

namespace {

constexpr std::string_view kPdfNamespace = "http://ns.adobe.com/pdf/1.3/";
constexpr std::string_view kKeywordsElement = "Keywords";

QString Latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QByteArray XmpPacket(const Recipe& recipe, std::string_view mediaType)
{
    const auto text = [](const std::string& value) { return QString::fromStdString(value).toHtmlEscaped(); };
    return QStringLiteral(
               "<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
               "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
               "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
               "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
               "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmlns:pdf=\"%1\">\n"
               "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%2</rdf:li></rdf:Alt></dc:title>\n"
               "<dc:format>%7</dc:format>\n"
               "<xmp:CreatorTool>%3</xmp:CreatorTool>\n"
               "<xmp:CreateDate>%4</xmp:CreateDate>\n"
               "<pdf:%5>%6</pdf:%5>\n"
               "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>")
        .arg(Latin1(kPdfNamespace), text(recipe.Name()), text(SoftwareName()), text(recipe.IsoTime()),
             Latin1(kKeywordsElement), text(recipe.Text()), Latin1(mediaType).toHtmlEscaped())
        .toUtf8();
}

std::optional<QString> XmpRecipe(const QByteArray& packet)
{
    const QString pdfNamespace = Latin1(kPdfNamespace);
    const QString keywords = Latin1(kKeywordsElement);
    QXmlStreamReader xml(packet);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.namespaceUri() == pdfNamespace && xml.name() == keywords) {
            QString text = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
            return xml.hasError() ? std::nullopt : std::optional<QString>(text);
        }
        if (const QXmlStreamAttributes attributes = xml.attributes(); attributes.hasAttribute(pdfNamespace, keywords)) {
            return attributes.value(pdfNamespace, keywords).toString();
        }
    }
    return std::nullopt;
}

}  // namespace lorvane
