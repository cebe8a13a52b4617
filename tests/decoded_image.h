#pragma once

#include <QByteArray>
#include <QColorSpace>
#include <QImage>
#include <QString>

namespace lorvane::testing {

// A picture read back from a file, to compare with what a player made: the program's PNG files
// declare the sRGB colour space, which QImage keeps and compares, while the pixels are the same.
inline QImage Decoded(QImage image, QImage::Format format = QImage::Format_RGB32)
{
    image.setColorSpace(QColorSpace());
    return image.convertToFormat(format);
}

inline QImage Decoded(const QString& path)
{
    return Decoded(QImage(path));
}

inline QImage DecodedPng(const QByteArray& bytes, QImage::Format format = QImage::Format_RGB32)
{
    return Decoded(QImage::fromData(bytes, "png"), format);
}

// How many pixels of the top `rows` rows of `small`, enlarged `scale` times in each direction,
// are not one block of their colour in `large`.
inline int PixelsUnlikeTheirBlock(const QImage& large, const QImage& small, int scale, int rows)
{
    int unlike = 0;
    for (int y = 0; y < rows * scale; ++y) {
        for (int x = 0; x < small.width() * scale; ++x) {
            unlike += large.pixel(x, y) != small.pixel(x / scale, y / scale) ? 1 : 0;
        }
    }
    return unlike;
}

}  // namespace lorvane::testing
