#include <cstddef>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include "bench/bench_pictures.h"
#include "bench/png_zlib_reference.h"
#include "formats/file_format.h"
#include "formats/png_file.h"
#include "players/raster_player.h"
#include "render/batch_writer.h"

namespace lorvane {

namespace {

// Enough that the pool's start (each thread's image, buffers and font caches, some 10 ms with two
// jobs) is a small part of the batch, as it is of a real one: with 100 pictures, two jobs measured
// only 1.46 to 1.6 times as fast as one once encoding took 0.5 ms, against 1.75 with 400.
constexpr int kBatchPictures = 300;
constexpr int kScale8Pictures = 8;

// The same pictures for both encoders: one from each seed, as the window draws them.
const std::vector<QImage>& Pictures()
{
    static const std::vector<QImage> pictures = [] {
        std::vector<QImage> drawn;
        drawn.reserve(kBenchSeeds.size());
        for (const float seed : kBenchSeeds) {
            drawn.push_back(RasterPlayer().Play(BenchPicture(seed)));
        }
        return drawn;
    }();
    return pictures;
}

// How lorvane01-render wrote PNG files before: Qt's writer with its defaults.
QByteArray EncodeQtDefault(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(image);
    return bytes;
}

template <class Encode>
void EncodePictures(benchmark::State& state, Encode encode)
{
    const std::vector<QImage>& pictures = Pictures();
    std::size_t picture = 0;
    double bytes = 0;
    for (auto _ : state) {
        const QByteArray png = encode(pictures[picture++ % pictures.size()]);
        bytes += static_cast<double>(png.size());
        benchmark::DoNotOptimize(png.constData());
    }
    state.counters["bytes"] = benchmark::Counter(bytes, benchmark::Counter::kAvgIterations);
}

void BM_EncodePngQtDefault(benchmark::State& state)
{
    EncodePictures(state, EncodeQtDefault);
}

void BM_EncodePng(benchmark::State& state)
{
    EncodePictures(state, [](const QImage& image) { return EncodePng(image).value_or(QByteArray()); });
}

// The encoder before our own DEFLATE: libpng with Paeth rows and zlib's run-length matching.
void BM_EncodePngZlibReference(benchmark::State& state)
{
    EncodePictures(state, EncodePngZlibReference);
}

// One picture's file from its recording, as lorvane01-render makes it: played and encoded.
template <class Encode>
void EncodeOnePicture(benchmark::State& state, Encode encode)
{
    const RecordedPicture picture = BenchPicture(kBenchSeeds[3]);
    const Recipe recipe{kBenchSeeds[3], 1, "20240307090502"};
    double bytes = 0;
    for (auto _ : state) {
        const QByteArray file = encode(picture, recipe).value_or(QByteArray());
        bytes += static_cast<double>(file.size());
        benchmark::DoNotOptimize(file.constData());
    }
    state.counters["bytes"] = benchmark::Counter(bytes, benchmark::Counter::kAvgIterations);
}

void BM_StillPng(benchmark::State& state)
{
    EncodeOnePicture(state, [](const RecordedPicture& picture, const Recipe& recipe) {
        return EncodeFile(picture, FileFormat::Png, 1, recipe);
    });
}

// The picture painting itself, at scale 1 with the default timing; Arg is the AnimationFormat.
void BM_Animation(benchmark::State& state)
{
    const auto format = static_cast<AnimationFormat>(state.range(0));
    EncodeOnePicture(state, [format](const RecordedPicture& picture, const Recipe& recipe) {
        return EncodeAnimation(picture, format, {}, {}, recipe);
    });
}

// lorvane01-render's whole batch: drawing, encoding and writing the files.
void RenderBatch(benchmark::State& state, int pictures, int scale, int jobs)
{
    RenderOptions options;
    options.seed = kBenchSeeds[3];
    options.pictures = pictures;
    options.at.emplace(2024, 3, 7, 9, 5, 2);
    options.scale = scale;
    options.jobs = jobs;
    // Kept, with their files, until the program ends. On a file system without a journal, a new
    // file's inode is found by stepping past every inode freed in the last few seconds; folders
    // removed between repetitions made the next ones pay for that, two threads contending for it,
    // which a batch into a folder of its own does not.
    static std::vector<std::unique_ptr<QTemporaryDir>> folders;
    for (auto _ : state) {
        state.PauseTiming();
        folders.push_back(std::make_unique<QTemporaryDir>());
        options.folder = QFile::encodeName(folders.back()->path());
        state.ResumeTiming();
        const std::optional<Problem> problem =
            BatchWriter(options).Run([](const QByteArray& /*path*/) { return std::optional<Problem>(); });
        if (problem) {
            state.SkipWithError(problem->message.c_str());
            return;
        }
    }
}

void BM_RenderBatch(benchmark::State& state)
{
    RenderBatch(state, kBatchPictures, 1, static_cast<int>(state.range(0)));
}

void BM_RenderBatchScale8(benchmark::State& state)
{
    RenderBatch(state, kScale8Pictures, RenderOptions::kMostScale, static_cast<int>(state.range(0)));
}

}  // namespace

BENCHMARK(BM_EncodePngQtDefault)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodePng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodePngZlibReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StillPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Animation)
    ->ArgName("format")
    ->Arg(static_cast<int>(AnimationFormat::Webp))
    ->Arg(static_cast<int>(AnimationFormat::Apng))
    ->Arg(static_cast<int>(AnimationFormat::Gif))
    ->Unit(benchmark::kMillisecond);
// One batch per repetition: a batch is long enough to time on its own.
BENCHMARK(BM_RenderBatch)->ArgName("jobs")->Arg(1)->Arg(2)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderBatchScale8)->ArgName("jobs")->Arg(2)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace lorvane
