// The closing table of the whole-program benchmarks: a row a measure, beside the baseline
// measured in the same run, their ratio and the goal. scripts/bench joins the rows of several
// programs under one header.
#pragma once

#include <cstdio>
#include <string>

namespace zaprelay::bench {

inline std::string Figure(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

inline void PrintMeasureHeader() {
    std::printf("\n%-40s %12s  %-34s %8s  %s\n", "measure", "value", "baseline", "ratio", "goal");
}

// A ratio of 0 or less prints as none; the goal text carries its verdict, and an empty goal
// (a figure shown for reading only) prints as none, without one.
inline void PrintMeasure(const std::string& measure,
                         const std::string& value,
                         const std::string& baseline,
                         double ratio,
                         const std::string& goal,
                         bool met) {
    std::string ratioText = ratio > 0 ? Figure("%.2fx", ratio) : "-";
    std::string goalText = goal.empty() ? "-" : goal + (met ? " ok" : " MISSED");
    std::printf("%-40s %12s  %-34s %8s  %s\n", measure.c_str(), value.c_str(), baseline.c_str(), ratioText.c_str(),
                goalText.c_str());
    std::fflush(stdout);
}

}  // namespace zaprelay::bench
