#include "formats/pdf_file.h"

#include <algorithm>
#include <string>

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include "formats/byte_source.h"
#include "formats/markup_bounds.h"
#include "formats/xmp_packet.h"
#include "platform/picture_size.h"
#include "players/pdf_player.h"
#include "recording/recorded_picture.h"

namespace lorvane {

namespace {

constexpr int kDotsPerInch = 96;
constexpr QByteArrayView kXmpBegin = "<?xpacket begin=";
constexpr QByteArrayView kXmpEnd = "<?xpacket end=";
// A lorvane01 PDF has one packet; a file with many more is not searched further.
constexpr int kMostXmpPackets = 16;
// Searched at a time.
constexpr qsizetype kBlock = qsizetype{64} * 1024;
// lorvane01's packet takes under 1 kB; a longer one is not read.
constexpr qsizetype kLongestPacket = qsizetype{64} * 1024;

// QPdfWriter dates the document by the wall clock and offers no way to set the date. The picture's
// own time (local, so with no time zone) takes its place, padded with blanks after the string so
// that every offset in the cross-reference table stays right; the wall clock's form, with its
// zone ("Z" at least), is never shorter.
void DateByPicture(QByteArray& document, const Recipe& recipe)
{
    constexpr QByteArrayView key = "/CreationDate (";
    const qsizetype start = document.indexOf(key);
    const qsizetype end = start < 0 ? -1 : document.indexOf(')', start);
    if (end < 0) {
        return;
    }
    const qsizetype from = start + key.size();
    QByteArray date = "D:" + QByteArray::fromStdString(recipe.at) + ')';
    if (date.size() > end + 1 - from) {
        return;
    }
    date.append(QByteArray(end + 1 - from - date.size(), ' '));
    document.replace(from, date.size(), date);
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
            writer.setDocumentXmpMetadata(XmpPacket(*recipe, "application/pdf"));
        }
        QPainter painter(&writer);
        // Pages come in whole points, so the page is half a point taller than the picture:
        // the background covers the whole page.
        PlayPdf(picture, painter, writer.pageLayout().fullRectPixels(kDotsPerInch));
    }
    if (recipe) {
        DateByPicture(document, *recipe);
    }
    return document;
}

// QPdfWriter keeps the document's XMP packet as it is given, uncompressed; its packet markers
// find it without reading the PDF's structure. The file is searched a block at a time.
FoundRecipe ReadPdfRecipe(ByteSource& source)
{
    FoundRecipe found;
    QByteArray window;
    bool atEnd = false;
    const auto more = [&] {
        const QByteArray block = source.Read(kBlock);
        atEnd = block.isEmpty();
        window += block;
        return !atEnd;
    };
    for (int packets = 0; packets < kMostXmpPackets; ++packets) {
        qsizetype begin = window.indexOf(kXmpBegin);
        while (begin < 0 && !atEnd) {
            // Keep what could be the start of a marker cut by the block's end.
            window.remove(0, std::max<qsizetype>(0, window.size() - kXmpBegin.size() + 1));
            more();
            begin = window.indexOf(kXmpBegin);
        }
        if (begin < 0) {
            break;
        }
        window.remove(0, begin);
        qsizetype end = -1;
        for (;;) {
            const qsizetype endMarker = window.indexOf(kXmpEnd);
            end = endMarker < 0 ? -1 : window.indexOf("?>", endMarker);
            if (end >= 0 || window.size() > kLongestPacket || !more()) {
                break;
            }
        }
        if (end < 0 && window.size() <= kLongestPacket) {
            return FoundRecipe::Refused(QStringLiteral("is a damaged PDF file (its metadata is cut short)"));
        }
        if (end < 0) {
            // Not a packet lorvane01 writes: look on past its start.
            window.remove(0, kXmpBegin.size());
            continue;
        }
        const QByteArray packet = window.first(end + 2);
        if (const QString problem = MarkupBounds().Check(packet); !problem.isEmpty()) {
            return FoundRecipe::Refused(problem);
        }
        if (std::optional<QString> keywords = XmpRecipe(packet)) {
            found.Add(*keywords);
            if (found.problem) {
                return found;
            }
        }
        window.remove(0, end + 2);
    }
    return found;
}

}  // namespace lorvane
