#include "recipe_reader.h"

#include <optional>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QXmlStreamReader>

#include "recipe_metadata.h"

namespace lorvane {

namespace {

constexpr QByteArrayView kPngSignature = "\x89PNG\r\n\x1a\n";
constexpr QByteArrayView kPdfSignature = "%PDF-";
constexpr QByteArrayView kUtf8Mark = "\xEF\xBB\xBF";
constexpr QByteArrayView kXmpBegin = "<?xpacket begin=";
constexpr QByteArrayView kXmpEnd = "<?xpacket end=";
// A lorvane01 PDF has one packet; a file with many more is not searched further.
constexpr int kMostXmpPackets = 16;

QString Latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// What was found in a file: the recipe's text, or what is wrong with the file, or neither when
// the file is sound but holds no recipe.
struct Found {
    std::optional<QString> text;
    QString wrong;
};

Found FromPng(QByteArray& bytes)
{
    const QString key = Latin1(RecipeMetadata::kPngRecipeKey);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // Text chunks before the pixels are read with the header; any after them only with the image.
    QImageReader header(&buffer, "png");
    if (QString text = header.text(key); !text.isNull()) {
        return {text, {}};
    }
    buffer.seek(0);
    QImageReader whole(&buffer, "png");
    const QImage image = whole.read();
    if (image.isNull()) {
        return {{}, QStringLiteral("is a damaged PNG file")};
    }
    if (!image.textKeys().contains(key)) {
        return {};
    }
    return {image.text(key), {}};
}

Found FromSvg(const QByteArray& bytes)
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
                inMetadata = xml.name() == Latin1(RecipeMetadata::kSvgMetadataElement);
            }
            if (depth == 3 && inMetadata && xml.name() == Latin1(RecipeMetadata::kSvgRecipeElement) &&
                xml.namespaceUri() == Latin1(RecipeMetadata::kSvgRecipeNamespace)) {
                QString text = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
                if (xml.hasError()) {
                    return {{},
                            QStringLiteral("is a damaged SVG file (line %1: %2)")
                                .arg(xml.lineNumber())
                                .arg(xml.errorString())};
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
        return {{}, QStringLiteral("is a damaged SVG file (line %1: %2)").arg(xml.lineNumber()).arg(xml.errorString())};
    }
    return {};
}

// The text of pdf:Keywords in one XMP packet, as an element or as an attribute of its
// rdf:Description; nothing when the packet has none or is not well-formed.
std::optional<QString> KeywordsOf(const QByteArray& packet)
{
    const QString pdfNamespace = Latin1(RecipeMetadata::kXmpPdfNamespace);
    const QString keywords = Latin1(RecipeMetadata::kXmpKeywordsElement);
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

// QPdfWriter keeps the document's XMP packet as it is given, uncompressed; its packet markers
// find it without reading the PDF's structure.
Found FromPdf(const QByteArray& bytes)
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

}  // namespace

std::variant<Recipe, RecipeProblem> RecipeReader::Read(const QString& path)
{
    const auto fileProblem = [&path](const QString& what) {
        return RecipeProblem{QStringLiteral("%1: %2").arg(path, what), RecipeProblem::Cause::File};
    };
    const auto systemProblem = [&path](const QString& reason) {
        return RecipeProblem{QStringLiteral("%1: cannot read it: %2").arg(path, reason), RecipeProblem::Cause::System};
    };

    const QFileInfo info(path);
    if (info.isDir()) {
        return fileProblem(QStringLiteral("is a folder, not a picture"));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!info.exists()) {
            return fileProblem(QStringLiteral("no such file"));
        }
        return systemProblem(file.errorString());
    }
    const QString tooLarge = QStringLiteral("is larger than %1 MiB; no picture saved by lorvane01 is")
                                 .arg(kLargestFile / (qint64{1024} * 1024));
    if (file.size() > kLargestFile) {
        return fileProblem(tooLarge);
    }
    QByteArray bytes = file.read(kLargestFile + 1);
    if (file.error() != QFileDevice::NoError) {
        return systemProblem(file.errorString());
    }
    if (bytes.size() > kLargestFile) {
        return fileProblem(tooLarge);
    }
    if (bytes.isEmpty()) {
        return fileProblem(QStringLiteral("is empty"));
    }

    Found found;
    if (bytes.startsWith(kPngSignature)) {
        found = FromPng(bytes);
    } else if (bytes.startsWith(kPdfSignature)) {
        found = FromPdf(bytes);
    } else if (QByteArrayView(bytes)
                   .sliced(bytes.startsWith(kUtf8Mark) ? kUtf8Mark.size() : 0)
                   .trimmed()
                   .startsWith('<')) {
        found = FromSvg(bytes);
    } else {
        found.wrong = QStringLiteral("is not a PNG, SVG or PDF file");
    }
    if (!found.wrong.isEmpty()) {
        return fileProblem(found.wrong);
    }
    if (!found.text) {
        return fileProblem(QStringLiteral("has no recipe; it is not a picture saved by lorvane01"));
    }
    auto parsed = ParseRecipe(found.text->toStdString());
    if (const auto* error = std::get_if<RecipeError>(&parsed)) {
        return fileProblem(QStringLiteral("its recipe is damaged: %1").arg(QString::fromStdString(error->message)));
    }
    return std::get<Recipe>(std::move(parsed));
}

}  // namespace lorvane
