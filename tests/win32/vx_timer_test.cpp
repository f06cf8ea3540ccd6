// The performance-counter stopwatch: readings never go negative and grow while time passes.
#include "skin/form/vx_timer.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace zaprelay::skin {
namespace {

TEST(VxTimer, ElapsedIsNonNegativeAndGrows) {
    TVxTimer timer;
    EXPECT_GE(timer.Elapsed(), 0.0) << "unstarted: counts from construction";

    timer.Start();
    const double first = timer.Elapsed();
    EXPECT_GE(first, 0.0);

    // Poll until the counter has moved past the first reading; the deadline only guards a hang.
    const DWORD start = GetTickCount();
    double later = first;
    while (later <= first && GetTickCount() - start < 5000) {
        later = timer.Elapsed();
    }
    EXPECT_GT(later, first);
    EXPECT_GE(timer.Elapsed(), later);

    // A restart counts from the new start.
    timer.Start();
    const double restarted = timer.Elapsed();
    EXPECT_GE(restarted, 0.0);
    EXPECT_GE(timer.Elapsed(), restarted);
}

}  // namespace
}  // namespace zaprelay::skin
