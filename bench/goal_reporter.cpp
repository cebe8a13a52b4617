#include "goal_reporter.h"

#include <cstdio>
#include <ostream>
#include <utility>

#include <unistd.h>

namespace lorvane {

namespace {

constexpr double kMillisecondsPerSecond = 1e3;

double ToMilliseconds(double value, benchmark::TimeUnit unit)
{
    return value * kMillisecondsPerSecond / benchmark::GetTimeUnitMultiplier(unit);
}

}  // namespace

GoalReporter::GoalReporter()
    : ConsoleReporter(isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular)
{
}

void GoalReporter::AddTimeGoal(std::string benchmark, double limit)
{
    goals_.push_back({std::move(benchmark), {}, limit, true});
}

void GoalReporter::AddRatioAtLeast(std::string slower, std::string faster, double limit)
{
    goals_.push_back({std::move(slower), std::move(faster), limit, false});
}

void GoalReporter::AddRatioAtMost(std::string slower, std::string faster, double limit)
{
    goals_.push_back({std::move(slower), std::move(faster), limit, true});
}

void GoalReporter::ReportRuns(const std::vector<Run>& reports)
{
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
            medianMilliseconds_[run.run_name.function_name] = ToMilliseconds(run.GetAdjustedRealTime(), run.time_unit);
        }
    }
}

void GoalReporter::Finalize()
{
    ConsoleReporter::Finalize();
    // The table goes through the reporter's stream; finish it before writing after it.
    GetOutputStream().flush();
    std::FILE* out = stdout;
    std::fprintf(out, "\nMedians (real time):\n");
    for (const auto& [name, milliseconds] : medianMilliseconds_) {
        std::fprintf(out, "  %-30s %10.4f ms\n", name.c_str(), milliseconds);
    }
    std::fprintf(out, "Goals:\n");
    allMet_ = !goals_.empty();
    for (const Goal& goal : goals_) {
        const auto first = medianMilliseconds_.find(goal.first);
        const auto second = goal.second.empty() ? medianMilliseconds_.end() : medianMilliseconds_.find(goal.second);
        const bool isRatio = !goal.second.empty();
        if (first == medianMilliseconds_.end() || (isRatio && second == medianMilliseconds_.end())) {
            std::fprintf(out, "  %s%s%s: not measured (run with --benchmark_repetitions)\n", goal.first.c_str(),
                         isRatio ? " / " : "", goal.second.c_str());
            allMet_ = false;
            continue;
        }
        const double value = isRatio ? first->second / second->second : first->second;
        const bool met = goal.atMost ? value <= goal.limit : value >= goal.limit;
        allMet_ = allMet_ && met;
        std::fprintf(out, "  %s%s%s = %.4g%s, goal %s %.4g%s: %s\n", goal.first.c_str(), isRatio ? " / " : "",
                     goal.second.c_str(), value, isRatio ? "" : " ms", goal.atMost ? "<=" : ">=", goal.limit,
                     isRatio ? "" : " ms", met ? "met" : "MISSED");
    }
    std::fflush(out);
}

}  // namespace lorvane
