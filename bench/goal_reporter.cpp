#include "bench/goal_reporter.h"

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

std::unique_ptr<benchmark::BenchmarkReporter> MakeDisplay(std::string_view format)
{
    if (format == "json") {
        return std::make_unique<benchmark::JSONReporter>();
    }
    if (format == "csv") {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        return std::make_unique<benchmark::CSVReporter>();
#pragma GCC diagnostic pop
    }
    return std::make_unique<benchmark::ConsoleReporter>(isatty(STDOUT_FILENO) != 0
                                                            ? benchmark::ConsoleReporter::OO_ColorTabular
                                                            : benchmark::ConsoleReporter::OO_Tabular);
}

}  // namespace

GoalReporter::GoalReporter(std::string_view format) : display_(MakeDisplay(format)) {}

std::string_view GoalReporter::FormatArgument(int argc, char* argv[])
{
    constexpr std::string_view kFlag = "--benchmark_format=";
    std::string_view format = "console";
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument.starts_with(kFlag)) {
            format = argument.substr(kFlag.size());
        }
    }
    return format;
}

void GoalReporter::AddTimeGoal(std::string benchmark, double limit)
{
    goals_.push_back({std::move(benchmark), {}, limit, true, {}});
}

void GoalReporter::AddRatioAtLeast(std::string slower, std::string faster, double limit)
{
    goals_.push_back({std::move(slower), std::move(faster), limit, false, {}});
}

void GoalReporter::AddRatioAtMost(std::string slower, std::string faster, double limit)
{
    goals_.push_back({std::move(slower), std::move(faster), limit, true, {}});
}

void GoalReporter::AddCounterRatioAtMost(std::string first, std::string second, std::string counter, double limit)
{
    goals_.push_back({std::move(first), std::move(second), limit, true, std::move(counter)});
}

void GoalReporter::AddMeasuredAtMost(std::string name, double value, double limit, std::string unit)
{
    measured_.push_back({std::move(name), value, limit, std::move(unit)});
}

bool GoalReporter::ReportContext(const Context& context)
{
    // The library gives this reporter its streams; the display writes where it would have.
    display_->SetOutputStream(&GetOutputStream());
    display_->SetErrorStream(&GetErrorStream());
    return display_->ReportContext(context);
}

void GoalReporter::ReportRuns(const std::vector<Run>& reports)
{
    display_->ReportRuns(reports);
    for (const Run& run : reports) {
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
            const std::string name =
                run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
            medianMilliseconds_[name] = ToMilliseconds(run.GetAdjustedRealTime(), run.time_unit);
            for (const auto& [counter, value] : run.counters) {
                medianCounters_[name][counter] = value.value;
            }
        }
    }
}

void GoalReporter::Finalize()
{
    display_->Finalize();
    // The runs go through the reporter's stream; finish them before the report follows them.
    GetOutputStream().flush();
    std::FILE* out = stderr;
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
        double value = isRatio ? first->second / second->second : first->second;
        if (!goal.counter.empty()) {
            const double firstCount = medianCounters_[goal.first][goal.counter];
            const double secondCount = medianCounters_[goal.second][goal.counter];
            value = secondCount > 0.0 ? firstCount / secondCount : 0.0;
            const bool met = value > 0.0 && value <= goal.limit;
            allMet_ = allMet_ && met;
            std::fprintf(out, "  %s / %s (%s) = %.4g, goal <= %.4g: %s\n", goal.first.c_str(), goal.second.c_str(),
                         goal.counter.c_str(), value, goal.limit, met ? "met" : "MISSED");
            continue;
        }
        const bool met = goal.atMost ? value <= goal.limit : value >= goal.limit;
        allMet_ = allMet_ && met;
        std::fprintf(out, "  %s%s%s = %.4g%s, goal %s %.4g%s: %s\n", goal.first.c_str(), isRatio ? " / " : "",
                     goal.second.c_str(), value, isRatio ? "" : " ms", goal.atMost ? "<=" : ">=", goal.limit,
                     isRatio ? "" : " ms", met ? "met" : "MISSED");
    }
    for (const Measured& figure : measured_) {
        const bool met = figure.value <= figure.limit;
        allMet_ = allMet_ && met;
        std::fprintf(out, "  %s = %.4g %s, goal <= %.4g %s: %s\n", figure.name.c_str(), figure.value,
                     figure.unit.c_str(), figure.limit, figure.unit.c_str(), met ? "met" : "MISSED");
    }
    std::fflush(out);
}

}  // namespace lorvane
