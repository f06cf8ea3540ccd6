// Seeds for randomised tests: a fresh one per run, printed on failure; ZR_TEST_SEED=<n>
// repeats a run.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

namespace zaprelay::test {

inline uint32_t SeedForTest() {
    if (const char* fixed = std::getenv("ZR_TEST_SEED")) {
        return static_cast<uint32_t>(std::strtoul(fixed, nullptr, 0));
    }
    return std::random_device{}();
}

}  // namespace zaprelay::test

#define TRACE_SEED(seed) SCOPED_TRACE(testing::Message() << "seed " << (seed) << " (rerun with ZR_TEST_SEED)")
