#include "batch_writer.h"

#include <cstdint>
#include <utility>

#include <QBuffer>
#include <QImageWriter>

#include "captions.h"
#include "composer.h"
#include "output_folder.h"
#include "picture_state.h"
#include "raster_surface.h"
#include "seeded_random_source.h"
#include "svg_surface.h"
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
    if (options_.format == ImageFormat::Svg) {
        SvgSurface surface(options_.scale);
        return Draw(surface, clock, [&surface] { return surface.Document(); }, QStringLiteral(".svg"), written);
    }
    RasterSurface surface(options_.scale);
    return Draw(surface, clock, [&surface] { return Png(surface.Image()); }, QStringLiteral(".png"), written);
}

std::optional<QString> BatchWriter::Draw(Surface& surface, Clock& clock, const std::function<QByteArray()>& encode,
                                         const QString& extension,
                                         const std::function<void(const QString& path)>& written) const
{
    const OutputFolder folder(options_.folder);
    if (std::optional<QString> problem = folder.Problem()) {
        return problem;
    }
    SeededRandomSource random;
    PictureState state;
    Composer composer(state, surface, random, clock);

    // The window's start-up, in its order.
    random.Seed(options_.seed);
    state.tekst1 = kArtistAddress;
    state.tekst2 = kAttribution;
    state.sir = PictureState::kWidth;
    state.vis = PictureState::kHeight;
    // The pictures before the first one, as if drawn.
    random.Skip(static_cast<std::uint64_t>(Composer::kDrawsPerPicture) *
                static_cast<std::uint64_t>(options_.first - 1));
    const int last = options_.first + options_.pictures - 1;
    for (int number = options_.first; number <= last; ++number) {
        // Each further picture as the "next" button draws it.
        if (number > options_.first) {
            surface.Cls();
        }
        composer.DrawPicture();
        const QByteArray bytes = encode();
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
