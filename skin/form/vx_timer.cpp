#include "skin/form/vx_timer.h"

#include <windows.h>

namespace zaprelay::skin {

namespace {

int64_t ReadCounter() {
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

}  // namespace

TVxTimer::TVxTimer() {
    LARGE_INTEGER frequency{};
    if (QueryPerformanceFrequency(&frequency)) {
        m_frequency = frequency.QuadPart;
    }
    m_start = ReadCounter();
    m_stop = ReadCounter();
    m_overhead = m_stop - m_start;
}

void TVxTimer::Start() {
    m_start = ReadCounter();
}

double TVxTimer::Elapsed() {
    m_stop = ReadCounter();
    if (m_frequency <= 0) {
        return 0.0;
    }
    const int64_t ticks = m_stop - m_start - m_overhead;
    return ticks > 0 ? static_cast<double>(ticks) / static_cast<double>(m_frequency) : 0.0;
}

}  // namespace zaprelay::skin
