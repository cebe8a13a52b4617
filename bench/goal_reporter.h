#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <benchmark/benchmark.h>

namespace lorvane {

// Shows the runs in the format asked for (console, json or csv) on standard output, as Google
// Benchmark's own programs do, and then writes the medians of the repetitions and whether each goal
// holds to standard error, so that standard output stays readable by tools.
class GoalReporter final : public benchmark::BenchmarkReporter {
public:
    // `format` is the value of --benchmark_format; the console table is in colour on a terminal.
    explicit GoalReporter(std::string_view format);

    // The value of --benchmark_format among the arguments (before benchmark::Initialize takes it),
    // or "console".
    static std::string_view FormatArgument(int argc, char* argv[]);

    // The median of `benchmark` is at most `limit` milliseconds.
    void AddTimeGoal(std::string benchmark, double limit);
    // The ratio of the medians of `slower` to `faster` is at least `limit`.
    void AddRatioAtLeast(std::string slower, std::string faster, double limit);
    // The ratio of the medians of `slower` to `faster` is at most `limit`.
    void AddRatioAtMost(std::string slower, std::string faster, double limit);
    // The ratio of the medians of user counter `counter` of `first` to `second` is at most `limit`.
    void AddCounterRatioAtMost(std::string first, std::string second, std::string counter, double limit);
    // A figure measured outside the benchmarks (`name`, in `unit`) is at most `limit`.
    void AddMeasuredAtMost(std::string name, double value, double limit, std::string unit);

    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& reports) override;
    void Finalize() override;

    // True once Finalize has seen every goal hold.
    [[nodiscard]] bool AllGoalsMet() const { return allMet_; }

private:
    struct Goal {
        std::string first;
        std::string second;  // empty for a time goal
        double limit = 0.0;
        bool atMost = true;
        std::string counter;  // compares this counter instead of the time
    };
    struct Measured {
        std::string name;
        double value = 0.0;
        double limit = 0.0;
        std::string unit;
    };

    std::unique_ptr<benchmark::BenchmarkReporter> display_;
    std::vector<Goal> goals_;
    std::vector<Measured> measured_;
    // By benchmark name with its arguments ("BM_RenderBatch/jobs:2").
    std::map<std::string, double, std::less<>> medianMilliseconds_;
    std::map<std::string, std::map<std::string, double>, std::less<>> medianCounters_;
    bool allMet_ = false;
};

}  // namespace lorvane
