#include "batch_writer.h"

#include <memory>
#include <utility>

#include "file_format.h"
#include "picture_sequence.h"
#include "picture_state.h"
#include "platform_error.h"
#include "raster_player.h"
#include "seeded_random_source.h"
#include "system_clock.h"

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

}  // namespace

BatchWriter::BatchWriter(RenderOptions options) : options_(std::move(options)) {}

std::optional<QString> BatchWriter::Run(const SavingPool::Reporter& written)
{
    if (stop_.stop_requested()) {
        return std::nullopt;
    }
    OutputFolder folder(options_.folder);
    if (std::optional<QString> problem = folder.Problem()) {
        return problem;
    }
    SavingPool pool(options_.jobs, std::move(folder), QLatin1Char('.') + Suffix(options_.format), written,
                    stop_.get_token());
    SystemClock systemClock;
    Clock& clock = options_.at ? static_cast<Clock&>(*options_.at) : systemClock;
    SeededRandomSource random;
    PictureState state = PictureState::AtStartUp();
    PictureSequence sequence(state, random, clock);
    sequence.Start(options_.seed, options_.first);
    for (int order = 1; order <= options_.pictures && !stop_.stop_requested(); ++order) {
        const int number = sequence.NextNumber();
        // The pool plays the picture and encodes it, so that this thread only draws.
        SequencePicture drawn = sequence.DrawNext();
        SavingJob job{order, QStringLiteral("%1-%2").arg(QString::fromStdString(state.imeslike)).arg(number),
                      [drawn = std::move(drawn), format = options_.format, scale = options_.scale,
                       fit = options_.fit]() -> std::optional<QByteArray> {
                          if (fit) {
                              return EncodeFittedPng(drawn.recording, *fit, drawn.recipe);
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
    std::optional<QString> problem = pool.Finish();
    return stop_.stop_requested() ? std::nullopt : problem;
}

}  // namespace lorvane
