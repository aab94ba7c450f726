// RatioReporter.h: a console reporter that also keeps each benchmark's time
// per iteration (the median when repeated), so that a comparison benchmark
// can print the ratios of its own code's times to its peers' at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Keeps CPU time when `cpuTime`, else wall time.
    explicit RatioReporter(bool cpuTime = false) : m_cpuTime(cpuTime) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations <= 0)
                continue;
            std::string key = keyOf(run.run_name.function_name, run.report_label);
            double t = m_cpuTime ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medians[key] = t;
            else if (run.run_type == Run::RT_Iteration)
                m_times[key] = t;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The time of a benchmark function (with its label, when it set one); 0
    // when it did not run.
    double time(const std::string& function, const std::string& label = "") const
    {
        std::string key = keyOf(function, label);
        auto median = m_medians.find(key);
        if (median != m_medians.end())
            return median->second;
        auto it = m_times.find(key);
        return it == m_times.end() ? 0.0 : it->second;
    }

    // ours / theirs, or 0 when either did not run.
    double ratio(const std::string& ours, const std::string& theirs, const std::string& label = "") const
    {
        double a = time(ours, label);
        double b = time(theirs, label);
        return a > 0 && b > 0 ? a / b : 0.0;
    }

private:
    static std::string keyOf(const std::string& function, const std::string& label)
    {
        return label.empty() ? function : function + " " + label;
    }

    bool m_cpuTime;
    std::map<std::string, double> m_times;
    std::map<std::string, double> m_medians;
};

// The body of a comparison benchmark's main: runs the benchmarks, then lets
// `printRatios(reporter)` print the comparison.
template <class PrintRatios>
int runWithRatios(int argc, char** argv, bool cpuTime, PrintRatios printRatios)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(cpuTime);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
