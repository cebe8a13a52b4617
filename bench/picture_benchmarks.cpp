#include <array>
#include <cstddef>
#include <vector>

#include <benchmark/benchmark.h>
#include <QImage>
#include <QPainter>

#include "bench/bench_pictures.h"
#include "bench/qpainter_line_surface.h"
#include "formats/svg_file.h"
#include "picture/composer.h"
#include "picture/palette.h"
#include "picture/picture_sequence.h"
#include "picture/picture_state.h"
#include "platform/fixed_clock.h"
#include "platform/seeded_random_source.h"
#include "players/device_colour.h"
#include "players/picture_fit.h"
#include "players/raster_player.h"
#include "recording/picture_recorder.h"

namespace lorvane {

namespace {

FixedClock PictureClock()
{
    return {2024, 3, 7, 9, 5, 2};
}

std::array<SeededRandomSource, kBenchSeeds.size()> SeededSources()
{
    std::array<SeededRandomSource, kBenchSeeds.size()> sources{};
    for (std::size_t i = 0; i < kBenchSeeds.size(); ++i) {
        sources[i].Seed(kBenchSeeds[i]);
    }
    return sources;
}

// What a press of "next" does, as the window and lorvane01-render do it: draw the sequence's next
// picture; then `show` turns it into an output.
template <class Show>
void DrawSequencePictures(benchmark::State& benchState, Show show)
{
    PictureSequence sequence(PictureClock());
    std::size_t picture = 0;
    for (auto _ : benchState) {
        sequence.Start(kBenchSeeds[picture++ % kBenchSeeds.size()]);
        show(sequence.DrawNext().recording);
        benchmark::ClobberMemory();
    }
}

// The same on another surface: clear it and draw a whole picture; then `show` turns it into an
// output.
template <class PictureSurface, class Show>
void DrawPictures(benchmark::State& benchState, PictureSurface& surface, Show show)
{
    FixedClock clock = PictureClock();
    const auto seeded = SeededSources();
    SeededRandomSource random;
    PictureState state = PictureState::AtStartUp();
    Composer composer(state, surface, random, clock);
    std::size_t picture = 0;
    for (auto _ : benchState) {
        random = seeded[picture++ % seeded.size()];
        surface.Cls();
        composer.DrawPicture();
        show();
        benchmark::ClobberMemory();
    }
}

void BM_DrawPicture(benchmark::State& benchState)
{
    RasterPlayer player;
    DrawSequencePictures(benchState, [&](const RecordedPicture& picture) {
        benchmark::DoNotOptimize(player.Play(picture).constBits());
    });
}

void BM_RecordPicture(benchmark::State& benchState)
{
    DrawSequencePictures(benchState,
                         [](const RecordedPicture& picture) { benchmark::DoNotOptimize(picture.Items().data()); });
}

void BM_WriteSvg(benchmark::State& benchState)
{
    DrawSequencePictures(benchState, [](const RecordedPicture& picture) {
        benchmark::DoNotOptimize(SvgFile(picture, 1, std::nullopt).constData());
    });
}

void BM_DrawPictureQPainterLines(benchmark::State& benchState)
{
    QPainterLineSurface surface;
    DrawPictures(benchState, surface, [&] { benchmark::DoNotOptimize(surface.Image().constBits()); });
}

void BM_MakePalette(benchmark::State& benchState)
{
    SeededRandomSource random;
    random.Seed(kBenchSeeds[0]);
    Palette palette;
    for (auto _ : benchState) {
        MakePalette(palette, random);
        benchmark::DoNotOptimize(&palette);
        benchmark::ClobberMemory();
    }
}

// The floor: the recorded rectangles of each picture, one QImage::fill and a fillRect each.
void BM_RectFillFloor(benchmark::State& benchState)
{
    std::vector<RecordedPicture> pictures;
    pictures.reserve(kBenchSeeds.size());
    for (const float seed : kBenchSeeds) {
        pictures.push_back(BenchPicture(seed));
    }
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    std::size_t picture = 0;
    for (auto _ : benchState) {
        const RecordedPicture& recording = pictures[picture++ % pictures.size()];
        image.fill(QColor::fromRgb(ToDevicePixel(recording.Background())));
        QPainter painter(&image);
        for (const RecordedItem& item : recording.Items()) {
            if (const auto* fill = std::get_if<FillItem>(&item)) {
                painter.fillRect(QRect(fill->left, fill->top, fill->right - fill->left, fill->bottom - fill->top),
                                 QColor::fromRgb(ToDevicePixel(fill->colour)));
            }
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}

// Back or Forward in the window: a picture of the run drawn again from its recipe (a jump of the
// random source to it, wherever it is in the sequence) and played for the drawing area.
void BM_ShowFromHistory(benchmark::State& benchState)
{
    RasterPlayer player;
    std::size_t step = 0;
    for (auto _ : benchState) {
        const Recipe recipe{kBenchSeeds[step % kBenchSeeds.size()], static_cast<int>(1 + (step * 997) % 10000),
                            "20240307090502"};
        ++step;
        benchmark::DoNotOptimize(player.Play(DrawRecipe(recipe).recording).constBits());
        benchmark::ClobberMemory();
    }
}

// Full screen on a 3840 x 2160 screen: each picture played at the scale that fits (4.8).
void BM_PlayFullScreen4K(benchmark::State& benchState)
{
    std::vector<RecordedPicture> pictures;
    pictures.reserve(kBenchSeeds.size());
    for (const float seed : kBenchSeeds) {
        pictures.push_back(BenchPicture(seed));
    }
    RasterPlayer player(FitPicture(QSize(3840, 2160)).scale);
    std::size_t picture = 0;
    for (auto _ : benchState) {
        benchmark::DoNotOptimize(player.Play(pictures[picture++ % pictures.size()]).constBits());
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_ShowFromHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayFullScreen4K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordPicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteSvg)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MakePalette)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawPictureQPainterLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RectFillFloor)->Unit(benchmark::kMicrosecond);

}  // namespace lorvane
