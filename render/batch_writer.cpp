#include "batch_writer.h"

#include <utility>

#include "captions.h"
#include "composer.h"
#include "picture_state.h"
#include "png_encoder.h"
#include "raster_surface.h"
#include "seeded_random_source.h"
#include "svg_surface.h"
#include "system_clock.h"

namespace lorvane {

namespace {

// The drawing thread's part of a picture: what its file is made from, copied out of the surface.
DrawnPicture TakePicture(const RasterSurface& surface)
{
    return {0, {}, surface.Image().copy(), {}};
}

DrawnPicture TakePicture(const SvgSurface& surface)
{
    return {0, {}, {}, surface.Document()};
}

// The pool's part: the bytes of the file.
std::optional<QByteArray> FileBytes(const DrawnPicture& picture)
{
    if (!picture.image.isNull()) {
        return EncodePng(picture.image);
    }
    if (picture.document.isEmpty()) {
        return std::nullopt;
    }
    return picture.document;
}

}  // namespace

BatchWriter::BatchWriter(RenderOptions options) : options_(std::move(options)) {}

std::optional<QString> BatchWriter::Run(const SavingPool::Reporter& written)
{
    SystemClock systemClock;
    Clock& clock = options_.at ? static_cast<Clock&>(*options_.at) : systemClock;
    if (options_.format == ImageFormat::Svg) {
        SvgSurface surface(options_.scale);
        return Draw(surface, clock, [&surface] { return TakePicture(surface); }, QStringLiteral(".svg"), written);
    }
    RasterSurface surface(options_.scale);
    return Draw(surface, clock, [&surface] { return TakePicture(surface); }, QStringLiteral(".png"), written);
}

void BatchWriter::Cancel()
{
    const std::lock_guard lock(cancelMutex_);
    cancelled_ = true;
    if (pool_ != nullptr) {
        pool_->Cancel();
    }
}

std::optional<QString> BatchWriter::Draw(Surface& surface, Clock& clock, const std::function<DrawnPicture()>& take,
                                         const QString& extension, const SavingPool::Reporter& written)
{
    OutputFolder folder(options_.folder);
    if (std::optional<QString> problem = folder.Problem()) {
        return problem;
    }
    SavingPool pool(options_.jobs, std::move(folder), extension, FileBytes, written);
    {
        const std::lock_guard lock(cancelMutex_);
        if (cancelled_) {
            return std::nullopt;
        }
        pool_ = &pool;
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
    for (int number = 1; number <= options_.pictures; ++number) {
        // Each further picture as the "next" button draws it.
        if (number > 1) {
            surface.Cls();
        }
        composer.DrawPicture();
        const QString stem = QStringLiteral("%1-%2").arg(QString::fromStdString(state.imeslike)).arg(number);
        const bool submitted = pool.Submit([&] {
            DrawnPicture picture = take();
            picture.number = number;
            picture.stem = stem;
            return picture;
        });
        if (!submitted) {
            break;
        }
    }
    std::optional<QString> problem = pool.Finish();
    const std::lock_guard lock(cancelMutex_);
    pool_ = nullptr;
    return cancelled_ ? std::nullopt : problem;
}

}  // namespace lorvane
