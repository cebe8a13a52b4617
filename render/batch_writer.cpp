#include "batch_writer.h"

#include <cstdint>
#include <utility>

#include "composer.h"
#include "pdf_player.h"
#include "picture_state.h"
#include "png_text.h"
#include "raster_player.h"
#include "recording.h"
#include "seeded_random_source.h"
#include "svg_player.h"
#include "system_clock.h"

namespace lorvane {

namespace {

// The pool's part: the bytes of the file. A PNG's picture is played here, on the pool's thread,
// so that the drawing thread only draws.
std::optional<QByteArray> FileBytes(const DrawnPicture& picture)
{
    if (picture.recording) {
        return EncodePng(RasterPlayer(picture.scale).Play(*picture.recording), picture.text);
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
    switch (options_.format) {
    case ImageFormat::Svg:
        return Draw(
            clock,
            [this](const Recording& picture, const std::optional<Recipe>& recipe) {
                return DrawnPicture{0, {}, {}, 1, {}, SvgDocument(picture, options_.scale, recipe)};
            },
            QStringLiteral(".svg"), written);
    case ImageFormat::Pdf:
        return Draw(
            clock,
            [](const Recording& picture, const std::optional<Recipe>& recipe) {
                return DrawnPicture{0, {}, {}, 1, {}, PdfDocument(picture, recipe)};
            },
            QStringLiteral(".pdf"), written);
    case ImageFormat::Png:
        break;
    }
    // A copy of the recording is a few kilobytes: the pool plays it.
    return Draw(
        clock,
        [this](const Recording& picture, const std::optional<Recipe>& recipe) {
            return DrawnPicture{0, {}, picture, options_.scale, recipe ? RecipePngText(*recipe) : PngText{}, {}};
        },
        QStringLiteral(".png"), written);
}

void BatchWriter::Cancel()
{
    const std::lock_guard lock(cancelMutex_);
    cancelled_ = true;
    if (pool_ != nullptr) {
        pool_->Cancel();
    }
}

std::optional<QString> BatchWriter::Draw(Clock& clock, const Take& take, const QString& extension,
                                         const SavingPool::Reporter& written)
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
    Recording picture;
    SeededRandomSource random;
    PictureState state = PictureState::AtStartUp();
    Composer composer(state, picture, random, clock);

    random.Seed(options_.seed);
    // The pictures before the first one, as if drawn.
    random.Skip(static_cast<std::uint64_t>(Composer::kDrawsPerPicture) *
                static_cast<std::uint64_t>(options_.first - 1));
    for (int order = 1; order <= options_.pictures; ++order) {
        const int number = options_.first + order - 1;
        // Each further picture as the "next" button draws it.
        if (order > 1) {
            picture.Cls();
        }
        composer.DrawPicture();
        const QString stem = QStringLiteral("%1-%2").arg(QString::fromStdString(state.imeslike)).arg(number);
        const bool submitted = pool.Submit([&] {
            DrawnPicture drawn = take(picture, RecipeOfPicture(options_.seed, number, state.imeslike));
            // The pool names the files in the order they were drawn.
            drawn.number = order;
            drawn.stem = stem;
            return drawn;
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
