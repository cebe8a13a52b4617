#include "render/batch_writer.h"

#include <memory>
#include <utility>

#include <malloc.h>

#include "formats/file_format.h"
#include "picture/picture_sequence.h"
#include "platform/picture_size.h"
#include "platform/platform_error.h"
#include "players/picture_fit.h"
#include "players/raster_player.h"

namespace lorvane {

namespace {

// One player for each thread that makes files, kept from picture to picture: its image is written
// over in place rather than allocated, faulted in and zeroed anew for each (66 MiB at scale 8).
// The pool's threads end with the batch, and their images with them.
RasterPlayer& ThreadPlayer(int scale)
{
    thread_local std::unique_ptr<RasterPlayer> player;
    if (!player || player->Scale() != scale) {
        player.reset();
        player = std::make_unique<RasterPlayer>(scale);
    }
    return *player;
}

// The pool's threads make the same buffers for every file (the rows to compress, the compressed
// stream). glibc's default gives the freed top of a thread's heap back to the kernel as soon as
// it passes 128 KiB, so every file faulted in and zeroed its buffers again: a third of the
// batch's time went to the kernel. Freed memory below this is kept for the next file...
constexpr int kKeptFreeBytes = 32 * 1024 * 1024;
// ...and only blocks larger than this (the image and rows of a scaled picture) are mapped on
// their own, so that they go back at once and their untouched pages never take memory.
constexpr int kSeparatelyMappedBytes = 4 * 1024 * 1024;

void KeepFreedMemoryForTheNextFile()
{
    // Once, before this batch's pool starts its threads; glibc takes its arenas' locks for it.
    static const bool set = [] {
        mallopt(M_TRIM_THRESHOLD, kKeptFreeBytes);          // NOLINT(concurrency-mt-unsafe)
        mallopt(M_MMAP_THRESHOLD, kSeparatelyMappedBytes);  // NOLINT(concurrency-mt-unsafe)
        return true;
    }();
    static_cast<void>(set);
}

// A file that is not 600 x 450 says its size in its name, as the option that made it gives it:
// "-2560x1440" for --fit 2560x1440, "@4x" for --scale 4. A PDF page is the picture's size
// whatever the scale, so it keeps the plain name.
QString SizeInName(const RenderOptions& options)
{
    if (options.fit) {
        return *options.fit == QSize(kPictureWidth, kPictureHeight)
                   ? QString()
                   : QStringLiteral("-%1x%2").arg(options.fit->width()).arg(options.fit->height());
    }
    if (options.scale == 1 || (!options.animation && options.format == FileFormat::Pdf)) {
        return {};
    }
    return QStringLiteral("@%1x").arg(options.scale);
}

// An animated PNG has a still PNG's suffix, which every viewer opens, so its name says what it is
// and it never takes the name of the same picture's still: "T20240307090502-1-painting.png".
QString AnimationInName(const RenderOptions& options)
{
    return options.animation == AnimationFormat::Apng ? QStringLiteral("-painting") : QString();
}

QString Extension(const RenderOptions& options)
{
    return QLatin1Char('.') + (options.animation ? Suffix(*options.animation) : Suffix(options.format));
}

}  // namespace

BatchWriter::BatchWriter(RenderOptions options) : options_(std::move(options)) {}

std::optional<Problem> BatchWriter::Run(const SavingPool::Reporter& written, const Notice& notice)
{
    if (stop_.stop_requested()) {
        return std::nullopt;
    }
    KeepFreedMemoryForTheNextFile();
    OutputFolder folder(options_.folder);
    const OutputFolder::Made made = folder.MakeIfMissing();
    if (made.problem) {
        return made.problem;
    }
    if (std::optional<Problem> problem = folder.Unwritable()) {
        folder.RemoveMade();
        return problem;
    }
    if (made.made && notice) {
        notice(QStringLiteral("made the folder %1").arg(QString::fromLocal8Bit(options_.folder)));
    }
    const QString size = SizeInName(options_) + AnimationInName(options_);
    // Kept to take the made folders back, when they are still empty at the end.
    OutputFolder madeFolder = folder;
    SavingPool pool(options_.jobs, std::move(folder), Extension(options_), written, stop_.get_token());
    PictureSequence sequence = options_.at ? PictureSequence(*options_.at) : PictureSequence();
    sequence.Start(options_.seed, options_.first);
    for (int order = 1; order <= options_.pictures && !stop_.stop_requested(); ++order) {
        const int number = sequence.NextNumber();
        // The pool plays the picture and encodes it, so that this thread only draws.
        Drawing drawn = sequence.DrawNext();
        SavingJob job{
            order,
            QStringLiteral("%1-%2%3").arg(QString::fromStdString(sequence.State().imeslike)).arg(number).arg(size),
            [drawn = std::move(drawn), format = options_.format, scale = options_.scale, fit = options_.fit,
             framing = options_.fill ? Framing::Fill : Framing::Fit, animation = options_.animation,
             timing = options_.timing]() -> std::optional<QByteArray> {
                if (animation) {
                    return EncodeAnimation(drawn.recording, *animation, {static_cast<double>(scale), fit, framing},
                                           timing, drawn.recipe);
                }
                if (fit) {
                    return EncodeFittedPng(drawn.recording, *fit, drawn.recipe, framing);
                }
                try {
                    return EncodeFile(drawn.recording, format, ThreadPlayer(scale), drawn.recipe);
                } catch (const PlatformError&) {
                    // No memory for the image: the pool reports that it cannot encode it.
                    return std::nullopt;
                }
            }};
        if (!pool.Submit(std::move(job))) {
            break;
        }
    }
    std::optional<Problem> problem = pool.Finish();
    if (problem || stop_.stop_requested()) {
        madeFolder.RemoveMade();
    }
    return stop_.stop_requested() ? std::nullopt : problem;
}

}  // namespace lorvane
