#include "batch_writer.h"

#include <utility>

#include "file_format.h"
#include "picture_sequence.h"
#include "picture_state.h"
#include "seeded_random_source.h"
#include "system_clock.h"

namespace lorvane {

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
                      [drawn = std::move(drawn), format = options_.format, scale = options_.scale, fit = options_.fit] {
                          return fit ? EncodeFittedPng(drawn.recording, *fit, drawn.recipe)
                                     : EncodeFile(drawn.recording, format, scale, drawn.recipe);
                      }};
        if (!pool.Submit(std::move(job))) {
            break;
        }
    }
    std::optional<QString> problem = pool.Finish();
    return stop_.stop_requested() ? std::nullopt : problem;
}

}  // namespace lorvane
