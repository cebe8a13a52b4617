#pragma once

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include <QByteArray>
#include <QCryptographicHash>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/decoded_image.h"
#include "tests/files.h"

// An animated WebP, PNG or GIF read back by Pillow, a decoder of its own, frame by frame
// (tests/decode_frames.py). Needs LORVANE_PYTHON and LORVANE_SOURCE_DIR.
namespace lorvane::testing {

// What a viewer shows: each frame's duration in milliseconds and its pixels' hash.
struct Shown {
    int milliseconds = 0;
    std::string pixels;

    bool operator==(const Shown&) const = default;
    friend void PrintTo(const Shown& shown, std::ostream* out) { *out << shown.milliseconds << " " << shown.pixels; }
};

struct DecodedFrames {
    std::string header;
    // An APNG's own image, which viewers without animation show.
    std::string still;
    std::vector<Shown> frames;
};

// As the decoding script hashes a frame: 8-bit RGB, row after row.
inline std::string Hash(const QImage& image)
{
    const QImage rgb = Decoded(image, QImage::Format_RGB888);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int y = 0; y < rgb.height(); ++y) {
        hash.addData(QByteArrayView(rgb.constScanLine(y), qsizetype{rgb.width()} * 3));
    }
    return hash.result().toHex().toStdString();
}

inline DecodedFrames Decode(const QByteArray& file)
{
    const QTemporaryDir dir;
    const QString path = Written(dir.filePath(QStringLiteral("animation")), file);
    QProcess pillow;
    pillow.start(QStringLiteral(LORVANE_PYTHON), {QStringLiteral(LORVANE_SOURCE_DIR "/tests/decode_frames.py"), path});
    EXPECT_TRUE(pillow.waitForFinished(120000));
    EXPECT_EQ(pillow.exitCode(), 0) << pillow.readAllStandardError().toStdString();
    DecodedFrames decoded;
    const QList<QByteArray> lines = pillow.readAllStandardOutput().trimmed().split('\n');
    decoded.header = lines.value(0).toStdString();
    for (const QByteArray& line : lines.sliced(std::min<qsizetype>(1, lines.size()))) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.value(0) == "still") {
            decoded.still = fields.value(1).toStdString();
        } else {
            decoded.frames.push_back({fields.value(0).toInt(), fields.value(1).toStdString()});
        }
    }
    return decoded;
}

}  // namespace lorvane::testing
