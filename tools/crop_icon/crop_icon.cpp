// Cuts the program's icon out of a picture made by lorvane01-render: the middle square, whose side
// is two fifths of the picture's width. There the squares are large enough to read at 48 pixels,
// and no caption reaches it.
//
//   crop_icon PICTURE.png ICON.png SIZE   the square, scaled to SIZE x SIZE pixels
//   crop_icon PICTURE.png ICON.argb32 SIZE  the same as bare 32-bit pixels (QImage::Format_ARGB32),
//                                          which the window takes without decoding anything
//   crop_icon PICTURE.svg ICON.svg        the square as the new view box; the captions are left out
#include <cmath>
#include <cstdio>

#include <QFile>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

constexpr double kSideOfWidth = 0.4;

QRectF MiddleSquare(const QRectF& picture)
{
    const double side = std::round(picture.width() * kSideOfWidth);
    return {picture.center().x() - side / 2, picture.center().y() - side / 2, side, side};
}

bool CropPng(const QString& input, const QString& output, int size)
{
    const QImage picture(input);
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
bool CropSvg(const QString& input, const QString& output)
{
    QFile in(input);
    QFile out(output);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    QXmlStreamReader reader(&in);
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
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    bool done = false;
    if (arguments.size() == 3 && arguments[0].endsWith(QLatin1String(".png"))) {
        done = CropPng(arguments[0], arguments[1], arguments[2].toInt());
    } else if (arguments.size() == 2 && arguments[0].endsWith(QLatin1String(".svg"))) {
        done = CropSvg(arguments[0], arguments[1]);
    } else {
        std::fprintf(stderr, "usage: crop_icon PICTURE.png ICON.png SIZE | crop_icon PICTURE.svg ICON.svg\n");
        return 2;
    }
    if (!done) {
        std::fprintf(stderr, "crop_icon: cannot make %s from %s\n", argv[2], argv[1]);
        return 1;
    }
    return 0;
}
