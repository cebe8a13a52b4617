#include <QByteArray>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include "goal_reporter.h"

namespace {

constexpr double kPictureGoalMilliseconds = 0.2;
constexpr double kYardstickRatioGoal = 40.0;
constexpr double kFloorRatioGoal = 2.5;

}  // namespace

int main(int argc, char* argv[])
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    // Captions need a running application with fonts, but no display.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    const QGuiApplication app(argc, argv);

    lorvane::GoalReporter reporter;
    reporter.AddTimeGoal("BM_DrawPicture", kPictureGoalMilliseconds);
    reporter.AddRatioAtLeast("BM_DrawPictureQPainterLines", "BM_DrawPicture", kYardstickRatioGoal);
    reporter.AddRatioAtMost("BM_DrawPicture", "BM_RectFillFloor", kFloorRatioGoal);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // A missed goal fails the run, so that it cannot pass unnoticed.
    return reporter.AllGoalsMet() ? 0 : 1;
}
