#include "pdf_file.h"

#include <string>
#include <string_view>

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QXmlStreamReader>

#include "pdf_player.h"
#include "picture_size.h"
#include "recorded_picture.h"

namespace lorvane {

namespace {

constexpr int kDotsPerInch = 96;
constexpr std::string_view kPdfNamespace = "http://ns.adobe.com/pdf/1.3/";
constexpr std::string_view kKeywordsElement = "Keywords";
constexpr QByteArrayView kXmpBegin = "<?xpacket begin=";
constexpr QByteArrayView kXmpEnd = "<?xpacket end=";
// A lorvane01 PDF has one packet; a file with many more is not searched further.
constexpr int kMostXmpPackets = 16;

QString Latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A complete XMP packet for QPdfWriter::setDocumentXmpMetadata. Recipes and names hold only
// letters, digits and signs, but the packet stays well-formed whatever it is given.
QByteArray Xmp(const Recipe& recipe)
{
    const auto text = [](const std::string& value) { return QString::fromStdString(value).toHtmlEscaped(); };
    return QStringLiteral(
               "<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
               "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
               "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
               "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
               "xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmlns:pdf=\"%1\">\n"
               "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%2</rdf:li></rdf:Alt></dc:title>\n"
               "<dc:format>application/pdf</dc:format>\n"
               "<xmp:CreatorTool>%3</xmp:CreatorTool>\n"
               "<xmp:CreateDate>%4</xmp:CreateDate>\n"
               "<pdf:%5>%6</pdf:%5>\n"
               "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>")
        .arg(Latin1(kPdfNamespace), text(recipe.Name()), text(SoftwareName()), text(recipe.IsoTime()),
             Latin1(kKeywordsElement), text(recipe.Text()))
        .toUtf8();
}

// The text of pdf:Keywords in one XMP packet, as an element or as an attribute of its
// rdf:Description; nothing when the packet has none or is not well-formed.
std::optional<QString> KeywordsOf(const QByteArray& packet)
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

}  // namespace

QByteArray PdfFile(const RecordedPicture& picture, const std::optional<Recipe>& recipe)
{
    QByteArray document;
    QBuffer buffer(&document);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kDotsPerInch);
        writer.setPageSize(QPageSize(QSizeF(static_cast<double>(kPictureWidth) / kDotsPerInch,
                                            static_cast<double>(kPictureHeight) / kDotsPerInch),
                                     QPageSize::Inch, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (recipe) {
            writer.setTitle(QString::fromStdString(recipe->Name()));
            writer.setCreator(QString::fromStdString(SoftwareName()));
            writer.setDocumentXmpMetadata(Xmp(*recipe));
        }
        QPainter painter(&writer);
        // Pages come in whole points, so the page is half a point taller than the picture:
        // the background covers the whole page.
        PlayPdf(picture, painter, writer.pageLayout().fullRectPixels(kDotsPerInch));
    }
    return document;
}

// QPdfWriter keeps the document's XMP packet as it is given, uncompressed; its packet markers
// find it without reading the PDF's structure.
FoundRecipe ReadPdfRecipe(const QByteArray& bytes)
{
    qsizetype from = 0;
    for (int packets = 0; packets < kMostXmpPackets; ++packets) {
        const qsizetype begin = bytes.indexOf(kXmpBegin, from);
        if (begin < 0) {
            break;
        }
        const qsizetype endMarker = bytes.indexOf(kXmpEnd, begin);
        const qsizetype end = endMarker < 0 ? -1 : bytes.indexOf("?>", endMarker);
        if (end < 0) {
            return {{}, QStringLiteral("is a damaged PDF file (its metadata is cut short)")};
        }
        from = end + 2;
        if (std::optional<QString> keywords = KeywordsOf(bytes.sliced(begin, from - begin))) {
            return {*keywords, {}};
        }
    }
    return {};
}

}  // namespace lorvane
