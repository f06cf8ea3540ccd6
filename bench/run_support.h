// What the benchmarks that start processes under Wine share: a process start varies too much
// for a mean, so each case is timed round after round and reported by its median; and the
// codes their settings files learn.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace zaprelay::bench {

using Clock = std::chrono::steady_clock;

inline double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The code a remote sends for a row, as the benchmarks' settings files learn it.
inline std::string CodeOf(int row) {
    char text[16];
    std::snprintf(text, sizeof text, "CODE%04d", row);
    return text;
}

}  // namespace zaprelay::bench
