// The console reporter of the benchmarks that also keeps each finished run's items per second
// (divided by a scale), so a program can print its runs as ratios against a baseline.
#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

namespace zaprelay::bench {

class TRateReporter : public benchmark::ConsoleReporter {
public:
    explicit TRateReporter(double scale = 1) : m_scale(scale) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto rate = run.counters.find("items_per_second");
            if (!run.error_occurred && rate != run.counters.end()) {
                m_rates[run.benchmark_name()] = rate->second.value / m_scale;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Rate(const std::string& name) const {
        auto found = m_rates.find(name);
        return found == m_rates.end() ? 0 : found->second;
    }

private:
    double m_scale;
    std::map<std::string, double> m_rates;
};

// A benchmark program's run: the benchmarks the command line selects, reported through a
// TRateReporter of this scale, then printTable(reporter) for the ratios. 1 (before anything
// runs) for arguments the library does not know.
template <typename PrintTable>
int RunAndTabulate(int& argc, char** argv, double scale, PrintTable printTable) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    TRateReporter reporter(scale);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printTable(reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace zaprelay::bench
