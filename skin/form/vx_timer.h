// A stopwatch on the performance counter, for timing the frames of a show animation.
#pragma once

#include <cstdint>

namespace zaprelay::skin {

class TVxTimer {
public:
    // Reads the counter frequency and the cost of one counter read, which Elapsed subtracts.
    TVxTimer();

    void Start();
    // Seconds since Start (since construction when Start was never called); never negative.
    double Elapsed();

private:
    int64_t m_start = 0;
    int64_t m_stop = 0;
    int64_t m_frequency = 0;
    int64_t m_overhead = 0;
};

}  // namespace zaprelay::skin
