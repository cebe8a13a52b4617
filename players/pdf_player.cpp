#include "pdf_player.h"

#include <variant>

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>

#include "device_colour.h"
#include "picture_size.h"
#include "recipe_metadata.h"
#include "recording.h"
#include "text_painter.h"

namespace lorvane {

namespace {

constexpr int kDotsPerInch = 96;
constexpr double kPixelCentre = 0.5;

QColor ToQColor(Colour colour)
{
    return QColor::fromRgb(ToDevicePixel(colour));
}

class PdfPainter {
public:
    explicit PdfPainter(QPainter& painter) : painter_(painter) {}

    void operator()(const FillItem& fill) const
    {
        painter_.fillRect(QRect(fill.left, fill.top, fill.right - fill.left, fill.bottom - fill.top),
                          ToQColor(fill.colour));
    }

    void operator()(const LineItem& line) const
    {
        QPen pen(ToQColor(line.colour), 1.0);
        pen.setCapStyle(Qt::SquareCap);
        painter_.setPen(pen);
        painter_.drawLine(QPointF(line.x1 + kPixelCentre, line.y1 + kPixelCentre),
                          QPointF(line.x2 + kPixelCentre, line.y2 + kPixelCentre));
    }

    void operator()(const TextItem& text) const
    {
        constexpr double scale = 1.0;
        painter_.setFont(TextPainter::Font(scale, text.points));
        painter_.setPen(ToQColor(text.colour));
        painter_.drawText(TextPainter::Baseline(scale, text), QString::fromStdString(text.text));
    }

private:
    QPainter& painter_;
};

}  // namespace

QByteArray PdfDocument(const Recording& recording, const std::optional<Recipe>& recipe)
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
            writer.setCreator(QString::fromStdString(RecipeMetadata::Software()));
            writer.setDocumentXmpMetadata(QByteArray::fromStdString(RecipeMetadata::Xmp(*recipe)));
        }
        QPainter painter(&writer);
        // Pages come in whole points, so the page is half a point taller than the picture:
        // the background covers the whole page.
        painter.fillRect(writer.pageLayout().fullRectPixels(kDotsPerInch), ToQColor(recording.Background()));
        const PdfPainter play(painter);
        for (const RecordedItem& item : recording.Items()) {
            std::visit(play, item);
        }
    }
    return document;
}

}  // namespace lorvane
