#include "players/pdf_player.h"

#include <variant>

#include <QPainter>
#include <QString>

#include "players/device_colour.h"
#include "players/text_painter.h"
#include "recording/recorded_picture.h"

namespace lorvane {

namespace {

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

void PlayPdf(const RecordedPicture& picture, QPainter& painter, const QRect& page)
{
    painter.fillRect(page, ToQColor(picture.Background()));
    const PdfPainter play(painter);
    for (const RecordedItem& item : picture.Items()) {
        std::visit(play, item);
    }
}

}  // namespace lorvane
