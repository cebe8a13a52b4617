#include <algorithm>
#include <cstdio>
#include <vector>

#include <QByteArray>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QThread>

#include <optional>
#include <utility>

#include <benchmark/benchmark.h>

#include "child_run.h"
#include "gif_benchmarks.h"
#include "goal_reporter.h"
#include "picture_size.h"
#include "render_options.h"
#include "startup_timer.h"

namespace {

// One frame at 60 Hz.
constexpr double kFrameGoalMilliseconds = 16.0;
constexpr double kYardstickRatioGoal = 40.0;
constexpr double kFloorRatioGoal = 2.5;
constexpr double kEncoderRatioGoal = 2.5;
constexpr double kEncoderSizeRatioGoal = 1.05;
constexpr double kTwoJobsRatioGoal = 1.7;
// BM_RenderBatchScale8 draws eight pictures per batch.
constexpr double kScale8PictureGoalMilliseconds = 150.0;
constexpr int kScale8Pictures = 8;
constexpr double kOverheadGoalMegabytes = 30.0;
constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;
constexpr int kBytesPerPixel = 4;
// lorvane01 opens with its first picture drawn in about the time a Qt window with one line of text
// takes to open (the fonts are most of both); looking through the icon theme at start-up made it
// about 1.5 times as long.
constexpr double kStartUpRatioGoal = 1.2;
constexpr int kStartUpRuns = 15;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// From launch to the window mapped, lorvane01 against a minimal Qt window, launched in turn on a
// virtual X server of the run's own.
void AddStartUpGoal(lorvane::GoalReporter& reporter)
{
    lorvane::StartUpTimer timer;
    std::vector<double> program;
    std::vector<double> minimal;
    for (int run = 0; run < kStartUpRuns && timer.Ready(); ++run) {
        for (auto [path, times] : {std::pair{QStringLiteral(LORVANE01), &program},
                                   std::pair{QStringLiteral(LORVANE_MINIMAL_WINDOW), &minimal}}) {
            if (const std::optional<double> milliseconds = timer.Milliseconds(path)) {
                times->push_back(*milliseconds);
            }
        }
    }
    if (program.size() < kStartUpRuns || minimal.size() < kStartUpRuns) {
        std::fprintf(stderr, "start-up: %s\n", timer.Ready() ? "a window did not appear" : "Xvfb did not start");
        reporter.AddMeasuredAtMost("lorvane01 start-up / minimal Qt window", kStartUpRatioGoal + 1, kStartUpRatioGoal,
                                   "x");
        return;
    }
    const double ratio = Median(program) / Median(minimal);
    std::fprintf(stderr, "start-up to the window mapped, medians of %d: lorvane01 %.1f ms, minimal Qt window %.1f ms\n",
                 kStartUpRuns, Median(program), Median(minimal));
    reporter.AddMeasuredAtMost("lorvane01 start-up / minimal Qt window", ratio, kStartUpRatioGoal, "x");
}

// lorvane01-render itself at the largest scale, with one job per core: the most memory it holds
// may be the pictures in hand (one per job and the one being drawn) and a fixed amount besides.
void AddScale8MemoryGoal(lorvane::GoalReporter& reporter)
{
    const int jobs = std::max(QThread::idealThreadCount(), 1);
    const QTemporaryDir folder;
    const lorvane::ChildRun run = lorvane::RunChild(QStringLiteral(LORVANE01_RENDER),
                                                    {"--seed", "32767.5", "--at", "20240307090502", "--scale", "8",
                                                     "--pictures", "8", "--out", "."},
                                                    folder.path());
    constexpr int kScale = lorvane::RenderOptions::kLargestScale;
    const double pictureMegabytes = static_cast<double>(lorvane::kPictureWidth * kScale) * lorvane::kPictureHeight *
                                    kScale * kBytesPerPixel / kBytesPerMegabyte;
    const double limit = (jobs + 1) * pictureMegabytes + kOverheadGoalMegabytes;
    std::fprintf(stderr,
                 "lorvane01-render --scale 8 --pictures 8 (jobs %d): status %d, %.3f s, peak resident %.1f MiB\n", jobs,
                 run.status, run.seconds, run.peakMegabytes);
    reporter.AddMeasuredAtMost("lorvane01-render --scale 8 peak memory",
                               run.status == 0 ? run.peakMegabytes : limit + 1, limit, "MiB");
}

}  // namespace

int main(int argc, char* argv[])
{
    // Taken before Initialize removes it; the goal report keeps standard output in this format.
    lorvane::GoalReporter reporter(lorvane::GoalReporter::FormatArgument(argc, argv));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    // Captions need a running application with fonts, but no display.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    const QGuiApplication app(argc, argv);

    // Drawing a picture is held to the floor of filling its rectangles, measured in the same run:
    // an absolute time moves with the machine's load. Its median stays in the report.
    reporter.AddTimeGoal("BM_ShowFromHistory", kFrameGoalMilliseconds);
    reporter.AddTimeGoal("BM_PlayFullScreen4K", kFrameGoalMilliseconds);
    reporter.AddRatioAtLeast("BM_DrawPictureQPainterLines", "BM_DrawPicture", kYardstickRatioGoal);
    reporter.AddRatioAtMost("BM_DrawPicture", "BM_RectFillFloor", kFloorRatioGoal);
    reporter.AddRatioAtLeast("BM_EncodePngQtDefault", "BM_EncodePng", kEncoderRatioGoal);
    reporter.AddCounterRatioAtMost("BM_EncodePng", "BM_EncodePngQtDefault", "bytes", kEncoderSizeRatioGoal);
    reporter.AddRatioAtLeast("BM_RenderBatch/jobs:1", "BM_RenderBatch/jobs:2", kTwoJobsRatioGoal);
    reporter.AddTimeGoal("BM_RenderBatchScale8/jobs:2", kScale8PictureGoalMilliseconds * kScale8Pictures);
    AddScale8MemoryGoal(reporter);
    AddStartUpGoal(reporter);
    lorvane::AddGifGoals(reporter);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // A missed goal fails the run, so that it cannot pass unnoticed.
    return reporter.AllGoalsMet() ? 0 : 1;
}
