#include "bench/gif_benchmarks.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

#include <benchmark/benchmark.h>
#include <QByteArray>

#include "bench/bench_pictures.h"
#include "formats/animation.h"
#include "formats/file_format.h"

namespace lorvane {

namespace {

constexpr double kGifRatioGoal = 10.0;
constexpr double kGifSizeGoalKilobytes = 64.0;
constexpr double kBytesPerKilobyte = 1024.0;

const Recipe kBenchRecipe{kBenchSeeds[0], 1, "20240307090502"};

// Each picture from its recording: the GIF plays it frame by frame, the PNG whole.
template <class Encode>
void EncodeRecordings(benchmark::State& state, Encode encode)
{
    std::vector<RecordedPicture> pictures;
    pictures.reserve(kBenchSeeds.size());
    for (const float seed : kBenchSeeds) {
        pictures.push_back(BenchPicture(seed));
    }
    std::size_t picture = 0;
    double bytes = 0;
    for (auto _ : state) {
        const QByteArray file = encode(pictures[picture++ % pictures.size()]).value_or(QByteArray());
        bytes += static_cast<double>(file.size());
        benchmark::DoNotOptimize(file.constData());
    }
    state.counters["bytes"] = benchmark::Counter(bytes, benchmark::Counter::kAvgIterations);
}

void BM_EncodePngFile(benchmark::State& state)
{
    EncodeRecordings(state, [](const RecordedPicture& picture) {
        return EncodeFile(picture, FileFormat::Png, 1, kBenchRecipe);
    });
}

void BM_EncodeGifAnimation(benchmark::State& state)
{
    EncodeRecordings(state, [](const RecordedPicture& picture) {
        return EncodeGifAnimation(picture, 1.0, AnimationTiming{}, kBenchRecipe);
    });
}

}  // namespace

BENCHMARK(BM_EncodePngFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeGifAnimation)->Unit(benchmark::kMillisecond);

void AddGifGoals(GoalReporter& reporter)
{
    reporter.AddRatioAtMost("BM_EncodeGifAnimation", "BM_EncodePngFile", kGifRatioGoal);
    qsizetype largest = 0;
    for (const float seed : kBenchSeeds) {
        const std::optional<QByteArray> gif =
            EncodeGifAnimation(BenchPicture(seed), 1.0, AnimationTiming{}, kBenchRecipe);
        largest = std::max(largest, gif ? gif->size() : qsizetype{1} << 30);
    }
    reporter.AddMeasuredAtMost("largest animated GIF of the bench pictures",
                               static_cast<double>(largest) / kBytesPerKilobyte, kGifSizeGoalKilobytes, "KiB");
}

}  // namespace lorvane
