#include "batch_writer.h"

#include <cstdint>
#include <utility>

#include <QBuffer>
#include <QImageWriter>

#include "composer.h"
#include "output_folder.h"
#include "pdf_player.h"
#include "picture_state.h"
#include "raster_player.h"
#include "recording.h"
#include "seeded_random_source.h"
#include "svg_player.h"
#include "system_clock.h"

namespace lorvane {

namespace {

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        return {};
    }
    return bytes;
}

}  // namespace

BatchWriter::BatchWriter(RenderOptions options) : options_(std::move(options)) {}

std::optional<QString> BatchWriter::Run(const std::function<void(const QString& path)>& written)
{
    SystemClock systemClock;
    Clock& clock = options_.at ? static_cast<Clock&>(*options_.at) : systemClock;
    switch (options_.format) {
    case ImageFormat::Svg:
        return Draw(clock, [this](const Recording& picture) { return SvgDocument(picture, options_.scale); },
                    QStringLiteral(".svg"), written);
    case ImageFormat::Pdf:
        return Draw(clock, [](const Recording& picture) { return PdfDocument(picture); }, QStringLiteral(".pdf"), written);
    case ImageFormat::Png:
        break;
    }
    RasterPlayer player(options_.scale);
    return Draw(clock, [&player](const Recording& picture) { return Png(player.Play(picture)); },
                QStringLiteral(".png"), written);
}

std::optional<QString> BatchWriter::Draw(Clock& clock, const std::function<QByteArray(const Recording&)>& encode,
                                         const QString& extension,
                                         const std::function<void(const QString& path)>& written) const
{
    const OutputFolder folder(options_.folder);
    if (std::optional<QString> problem = folder.Problem()) {
        return problem;
    }
    Recording picture;
    SeededRandomSource random;
    PictureState state = PictureState::AtStartUp();
    Composer composer(state, picture, random, clock);

    random.Seed(options_.seed);
    // The pictures before the first one, as if drawn.
    random.Skip(static_cast<std::uint64_t>(Composer::kDrawsPerPicture) *
                static_cast<std::uint64_t>(options_.first - 1));
    const int last = options_.first + options_.pictures - 1;
    for (int number = options_.first; number <= last; ++number) {
        // Each further picture as the "next" button draws it.
        if (number > options_.first) {
            picture.Cls();
        }
        composer.DrawPicture();
        const QByteArray bytes = encode(picture);
        if (bytes.isEmpty()) {
            return QStringLiteral("cannot encode picture %1").arg(number);
        }
        const QString stem = QStringLiteral("%1-%2").arg(QString::fromStdString(state.imeslike)).arg(number);
        const OutputFolder::Saved saved = folder.Save(stem, extension, bytes);
        if (!saved.problem.isEmpty()) {
            return saved.problem;
        }
        written(saved.path);
    }
    return std::nullopt;
}

}  // namespace lorvane
