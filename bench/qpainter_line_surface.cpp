#include "bench/qpainter_line_surface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPen>
#include <QString>

#include "platform/picture_size.h"
#include "players/device_colour.h"
#include "players/text_painter.h"

namespace lorvane {

QPainterLineSurface::QPainterLineSurface() : image_(kPictureWidth, kPictureHeight, QImage::Format_RGB32)
{
    image_.fill(ToDevicePixel(backColour_));
}

QPainterLineSurface::~QPainterLineSurface()
{
    if (painter_.isActive()) {
        painter_.end();
    }
}

void QPainterLineSurface::Cls()
{
    if (painter_.isActive()) {
        painter_.end();
    }
    image_.fill(ToDevicePixel(backColour_));
    currentX_ = 0;
    currentY_ = 0;
}

void QPainterLineSurface::Line(float x1, float y1, float x2, float y2, Colour colour)
{
    QPainter& painter = Painter();
    painter.setPen(QPen(QColor::fromRgb(ToDevicePixel(colour))));
    painter.drawLine(QLineF(x1, y1, x2, y2));
}

void QPainterLineSurface::SetFontSize(float points)
{
    fontSize_ = points;
}

void QPainterLineSurface::SetForeColor(Colour colour)
{
    foreColour_ = colour;
}

void QPainterLineSurface::SetCurrentX(float x)
{
    currentX_ = x;
}

void QPainterLineSurface::SetCurrentY(float y)
{
    currentY_ = y;
}

void QPainterLineSurface::Print(std::string_view text)
{
    const QFont font = TextPainter::Font(1.0, fontSize_);
    const QFontMetricsF metrics(font);
    QPainter& painter = Painter();
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(ToDevicePixel(foreColour_)));
    painter.drawText(QPointF(currentX_, currentY_ + metrics.ascent()),
                     QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    currentX_ = 0;
    currentY_ += metrics.height();
}

void QPainterLineSurface::SetBackColor(Colour colour)
{
    backColour_ = colour;
}

const QImage& QPainterLineSurface::Image()
{
    if (painter_.isActive()) {
        painter_.end();
    }
    return image_;
}

QPainter& QPainterLineSurface::Painter()
{
    if (!painter_.isActive()) {
        painter_.begin(&image_);
    }
    return painter_;
}

}  // namespace lorvane
