// Draws the program's icon at build time: the picture a recipe names, as lorvane01-render would
// save it, cut to its middle square, whose side is two fifths of the picture's width. There the
// squares are large enough to read at 48 pixels, and no caption reaches it. It links the picture
// and its players, not lorvane01-render, so that the window's build never waits for that.
//
//   draw_icon RECIPE ICON.png SIZE     the square of the picture at scale 2, scaled to SIZE x SIZE
//   draw_icon RECIPE ICON.argb32 SIZE  the same as bare 32-bit pixels (QImage::Format_ARGB32),
//                                      which the window takes without decoding anything
//   draw_icon RECIPE ICON.svg          the SVG with the square as its view box, without captions
#include <cmath>
#include <cstdio>
#include <variant>

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "formats/file_format.h"
#include "picture/picture_sequence.h"
#include "picture/recipe.h"

namespace {

constexpr double kSideOfWidth = 0.4;

QRectF MiddleSquare(const QRectF& picture)
{
    const double side = std::round(picture.width() * kSideOfWidth);
    return {picture.center().x() - side / 2, picture.center().y() - side / 2, side, side};
}

bool CropPng(const QImage& picture, const QString& output, int size)
{
    if (picture.isNull() || size < 1) {
        return false;
    }
    const QRect square = MiddleSquare(QRectF(picture.rect())).toRect();
    QImage icon = picture.copy(square).scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (output.endsWith(QLatin1String(".argb32"))) {
        icon = icon.convertToFormat(QImage::Format_ARGB32);
        QFile pixels(output);
        const auto bytes = static_cast<qint64>(icon.sizeInBytes());
        return pixels.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               pixels.write(reinterpret_cast<const char*>(icon.constBits()), bytes) == bytes && pixels.flush();
    }
    // The icon keeps the picture's name and recipe, as any saved picture does.
    for (const QString& key : picture.textKeys()) {
        icon.setText(key, picture.text(key));
    }
    return icon.save(output);
}

// Copies the document element by element, with a square view box on the root and without <text>.
bool CropSvg(const QByteArray& svg, const QString& output)
{
    QFile out(output);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    QXmlStreamReader reader(svg);
    QXmlStreamWriter writer(&out);
    writer.setAutoFormatting(true);
    bool atRoot = true;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isWhitespace() || reader.isEndDocument()) {
            continue;
        }
        if (reader.isStartElement() && reader.name() == QLatin1String("text")) {
            reader.skipCurrentElement();
            continue;
        }
        if (!reader.isStartElement() || !atRoot) {
            writer.writeCurrentToken(reader);
            continue;
        }
        atRoot = false;
        const QStringList box = reader.attributes().value(QLatin1String("viewBox")).toString().split(QLatin1Char(' '));
        if (box.size() != 4) {
            return false;
        }
        const QRectF square =
            MiddleSquare({box[0].toDouble(), box[1].toDouble(), box[2].toDouble(), box[3].toDouble()});
        writer.writeStartElement(reader.qualifiedName().toString());
        for (const QXmlStreamNamespaceDeclaration& declaration : reader.namespaceDeclarations()) {
            if (declaration.prefix().isEmpty()) {
                writer.writeDefaultNamespace(declaration.namespaceUri().toString());
            } else {
                writer.writeNamespace(declaration.namespaceUri().toString(), declaration.prefix().toString());
            }
        }
        for (const QXmlStreamAttribute& attribute : reader.attributes()) {
            const auto name = attribute.qualifiedName();
            if (name != QLatin1String("viewBox") && name != QLatin1String("width") && name != QLatin1String("height")) {
                writer.writeAttribute(attribute);
            }
        }
        const QString side = QString::number(square.width());
        writer.writeAttribute(QStringLiteral("width"), side);
        writer.writeAttribute(QStringLiteral("height"), side);
        writer.writeAttribute(QStringLiteral("viewBox"),
                              QStringLiteral("%1 %2 %3 %3").arg(square.x()).arg(square.y()).arg(square.width()));
    }
    writer.writeEndDocument();
    return !reader.hasError() && !atRoot && out.flush();
}

}  // namespace

int main(int argc, char* argv[])
{
    const QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const auto parsed = arguments.empty() ? std::variant<lorvane::Recipe, lorvane::Problem>()
                                          : lorvane::ParseRecipe(arguments[0].toStdString());
    const auto* const recipe = std::get_if<lorvane::Recipe>(&parsed);
    const bool png = arguments.size() == 3 && !arguments[1].endsWith(QLatin1String(".svg"));
    if (recipe == nullptr || !(png || (arguments.size() == 2 && arguments[1].endsWith(QLatin1String(".svg"))))) {
        std::fprintf(stderr, "usage: draw_icon RECIPE ICON.png|ICON.argb32 SIZE | draw_icon RECIPE ICON.svg\n");
        return 2;
    }
    const lorvane::RecordedPicture picture = lorvane::DrawRecipe(*recipe).recording;
    const auto file =
        lorvane::EncodeFile(picture, png ? lorvane::FileFormat::Png : lorvane::FileFormat::Svg, png ? 2 : 1, *recipe);
    const bool done = file && (png ? CropPng(QImage::fromData(*file), arguments[1], arguments[2].toInt())
                                   : CropSvg(*file, arguments[1]));
    if (!done) {
        std::fprintf(stderr, "draw_icon: cannot make %s\n", qPrintable(arguments[1]));
        return 1;
    }
    return 0;
}
