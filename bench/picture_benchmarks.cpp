#include <array>
#include <cstddef>
#include <vector>

#include <benchmark/benchmark.h>
#include <QImage>
#include <QPainter>

#include "captions.h"
#include "composer.h"
#include "fill_recorder.h"
#include "fixed_clock.h"
#include "palette.h"
#include "picture_state.h"
#include "qpainter_line_surface.h"
#include "raster_surface.h"
#include "seeded_random_source.h"

namespace lorvane {

namespace {

// Every benchmark cycles through the same pictures, so their times compare.
constexpr std::array<float, 8> kSeeds = {0.0F, 1.5F, 3600.25F, 32767.5F, 43210.75F, 50000.0F, 71999.5F, 86399.0F};

FixedClock PictureClock()
{
    return {2024, 3, 7, 9, 5, 2};
}

std::array<SeededRandomSource, kSeeds.size()> SeededSources()
{
    std::array<SeededRandomSource, kSeeds.size()> sources{};
    for (std::size_t i = 0; i < kSeeds.size(); ++i) {
        sources[i].Seed(kSeeds[i]);
    }
    return sources;
}

PictureState WindowState()
{
    PictureState state;
    state.sir = PictureState::kWidth;
    state.vis = PictureState::kHeight;
    state.tekst1 = kArtistAddress;
    state.tekst2 = kAttribution;
    return state;
}

// What a press of "next" does to the surface: clear it and draw a whole picture.
template <class PictureSurface>
void DrawPictures(benchmark::State& benchState, PictureSurface& surface)
{
    FixedClock clock = PictureClock();
    const auto seeded = SeededSources();
    SeededRandomSource random;
    PictureState state = WindowState();
    Composer composer(state, surface, random, clock);
    std::size_t picture = 0;
    for (auto _ : benchState) {
        random = seeded[picture++ % seeded.size()];
        surface.Cls();
        composer.DrawPicture();
        benchmark::DoNotOptimize(surface.Image().constBits());
        benchmark::ClobberMemory();
    }
}

void BM_DrawPicture(benchmark::State& benchState)
{
    RasterSurface surface;
    DrawPictures(benchState, surface);
}

void BM_DrawPictureQPainterLines(benchmark::State& benchState)
{
    QPainterLineSurface surface;
    DrawPictures(benchState, surface);
}

void BM_MakePalette(benchmark::State& benchState)
{
    SeededRandomSource random;
    random.Seed(kSeeds[0]);
    Palette palette;
    for (auto _ : benchState) {
        MakePalette(palette, random);
        benchmark::DoNotOptimize(&palette);
        benchmark::ClobberMemory();
    }
}

void BM_RectFillFloor(benchmark::State& benchState)
{
    constexpr std::size_t kFillsPerPicture = 201;
    FixedClock clock = PictureClock();
    auto seeded = SeededSources();
    std::vector<std::vector<FillRecorder::Fill>> pictures;
    for (SeededRandomSource& random : seeded) {
        FillRecorder recorder;
        PictureState state = WindowState();
        Composer(state, recorder, random, clock).DrawPicture();
        if (recorder.Fills().size() != kFillsPerPicture) {
            benchState.SkipWithError("a picture did not come out as 201 fills");
            return;
        }
        pictures.push_back(recorder.Fills());
    }
    QImage image(RasterSurface::kWidth, RasterSurface::kHeight, QImage::Format_RGB32);
    std::size_t picture = 0;
    for (auto _ : benchState) {
        const std::vector<FillRecorder::Fill>& fills = pictures[picture++ % pictures.size()];
        image.fill(fills.front().colour);
        QPainter painter(&image);
        for (std::size_t i = 1; i < fills.size(); ++i) {
            painter.fillRect(fills[i].rect, fills[i].colour);
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_DrawPicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MakePalette)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawPictureQPainterLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RectFillFloor)->Unit(benchmark::kMicrosecond);

}  // namespace lorvane
