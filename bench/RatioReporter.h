// RatioReporter.h: a console reporter that also keeps each benchmark's time
// per iteration (the median when run with repetitions), so that a benchmark
// program can print speed ratios against the peer libraries it ran with.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace benchsupport {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        // Repetitions report their median after the single runs; it wins.
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }

    // The time of the first benchmark whose name starts with `prefix`; 0
    // when none ran.
    double find(const std::string& prefix) const
    {
        for (const auto& t : times)
            if (t.first.compare(0, prefix.size(), prefix) == 0)
                return t.second;
        return 0.0;
    }

    std::map<std::string, double> times;
};

} // namespace benchsupport
