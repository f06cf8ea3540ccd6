// The part of Google Benchmark's interface our benchmarks use, for the Windows build, where
// the library is not packaged. It times with steady_clock, grows the iteration count until a
// run lasts --benchmark_min_time seconds, and prints one line per benchmark.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#if defined(__GNUC__)
#define ZR_SHIM_UNUSED __attribute__((unused))
#else
#define ZR_SHIM_UNUSED
#endif

namespace benchmark {

using IterationCount = int64_t;

class Counter {
public:
    enum Flags { kDefaults = 0, kIsRate = 1, kIsIterationInvariant = 2, kIsIterationInvariantRate = 3 };
    Counter(double v = 0, Flags f = kDefaults) : value(v), flags(f) {}
    operator double() const { return value; }
    double value;
    Flags flags;
};

using UserCounters = std::map<std::string, Counter>;

template <class T>
inline void DoNotOptimize(T&& value) {
#if defined(__GNUC__)
    asm volatile("" : : "r,m"(value) : "memory");
#else
    static volatile auto sink = &value;
    (void)sink;
#endif
}

inline void ClobberMemory() {
#if defined(__GNUC__)
    asm volatile("" : : : "memory");
#endif
}

class State {
public:
    struct ZR_SHIM_UNUSED Value {};
    class Iterator {
    public:
        Iterator(State* state, IterationCount left) : m_state(state), m_left(left) {}
        Value operator*() const { return {}; }
        void operator++() { --m_left; }
        bool operator!=(const Iterator&) {
            if (m_left != 0) {
                return true;
            }
            m_state->StopTimer();
            return false;
        }

    private:
        State* m_state;
        IterationCount m_left;
    };

    State(IterationCount iterations, std::vector<int64_t> args) : m_iterations(iterations), m_args(std::move(args)) {}

    Iterator begin() {
        StartTimer();
        return {this, m_iterations};
    }
    Iterator end() { return {this, 0}; }

    int64_t range(std::size_t i = 0) const { return i < m_args.size() ? m_args[i] : 0; }
    IterationCount iterations() const { return m_iterations; }
    void PauseTiming() { StopTimer(); }
    void ResumeTiming() { StartTimer(); }
    void SetItemsProcessed(int64_t items) { counters["items_per_second"] = Counter(double(items), Counter::kIsRate); }
    void SetBytesProcessed(int64_t bytes) { counters["bytes_per_second"] = Counter(double(bytes), Counter::kIsRate); }
    void SkipWithError(const char* message) { m_error = message; }
    const std::string& Error() const { return m_error; }
    double Seconds() const { return m_seconds; }

    UserCounters counters;

private:
    using Clock = std::chrono::steady_clock;
    void StartTimer() {
        m_running = true;
        m_start = Clock::now();
    }
    void StopTimer() {
        if (m_running) {
            m_seconds += std::chrono::duration<double>(Clock::now() - m_start).count();
            m_running = false;
        }
    }

    IterationCount m_iterations;
    std::vector<int64_t> m_args;
    Clock::time_point m_start;
    double m_seconds = 0;
    bool m_running = false;
    std::string m_error;
};

namespace internal {

class Benchmark {
public:
    Benchmark(std::string name, void (*fn)(State&)) : m_name(std::move(name)), m_fn(fn) {}
    Benchmark* Arg(int64_t a) {
        m_argSets.push_back({a});
        return this;
    }
    Benchmark* Args(const std::vector<int64_t>& args) {
        m_argSets.push_back(args);
        return this;
    }
    Benchmark* Name(const std::string& name) {
        m_name = name;
        return this;
    }
    Benchmark* Unit(int) { return this; }
    Benchmark* UseRealTime() { return this; }

    const std::string& BaseName() const { return m_name; }
    void (*Function() const)(State&) { return m_fn; }
    std::vector<std::vector<int64_t>> ArgSets() const {
        return m_argSets.empty() ? std::vector<std::vector<int64_t>>{{}} : m_argSets;
    }

private:
    std::string m_name;
    void (*m_fn)(State&);
    std::vector<std::vector<int64_t>> m_argSets;
};

inline std::vector<std::unique_ptr<Benchmark>>& Registry() {
    static std::vector<std::unique_ptr<Benchmark>> benchmarks;
    return benchmarks;
}

inline Benchmark* Register(const char* name, void (*fn)(State&)) {
    Registry().push_back(std::make_unique<Benchmark>(name, fn));
    return Registry().back().get();
}

struct Options {
    std::string filter = ".";
    double minTime = 0.5;
};

inline Options& Flags() {
    static Options options;
    return options;
}

}  // namespace internal

class BenchmarkReporter {
public:
    struct Run {
        std::string name;
        IterationCount iterations = 0;
        double seconds = 0;
        bool error_occurred = false;
        std::string error_message;
        UserCounters counters;
        const std::string& benchmark_name() const { return name; }
    };
    virtual ~BenchmarkReporter() = default;
    virtual void ReportRuns(const std::vector<Run>& runs) = 0;
};

class ConsoleReporter : public BenchmarkReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) {
                std::printf("%-40s ERROR: %s\n", run.name.c_str(), run.error_message.c_str());
                continue;
            }
            std::printf("%-40s %14.0f ns %12lld", run.name.c_str(), run.seconds * 1e9 / double(run.iterations),
                        static_cast<long long>(run.iterations));
            for (const auto& [key, counter] : run.counters) {
                std::printf(" %s=%.4g", key.c_str(), counter.value);
            }
            std::printf("\n");
        }
        std::fflush(stdout);
    }
};

inline void Initialize(int* argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < *argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("--benchmark_filter=", 0) == 0) {
            internal::Flags().filter = arg.substr(19);
        } else if (arg.rfind("--benchmark_min_time=", 0) == 0) {
            internal::Flags().minTime = std::atof(arg.c_str() + 21);
        } else {
            argv[kept++] = argv[i];
        }
    }
    *argc = kept;
}

inline bool ReportUnrecognizedArguments(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::fprintf(stderr, "%s: unrecognized argument '%s'\n", argv[0], argv[i]);
    }
    return argc > 1;
}

inline std::size_t RunSpecifiedBenchmarks(BenchmarkReporter* reporter = nullptr) {
    ConsoleReporter console;
    if (reporter == nullptr) {
        reporter = &console;
    }
    std::regex filter(internal::Flags().filter);
    std::size_t count = 0;
    for (const auto& benchmark : internal::Registry()) {
        for (const auto& args : benchmark->ArgSets()) {
            std::string name = benchmark->BaseName();
            for (int64_t a : args) {
                name += "/" + std::to_string(a);
            }
            if (!std::regex_search(name, filter)) {
                continue;
            }
            // Grow the iteration count until one run is long enough to time.
            IterationCount iterations = 1;
            for (;;) {
                State state(iterations, args);
                benchmark->Function()(state);
                double seconds = state.Seconds();
                bool done =
                    !state.Error().empty() || seconds >= internal::Flags().minTime || iterations >= 1'000'000'000;
                if (done) {
                    BenchmarkReporter::Run run;
                    run.name = name;
                    run.iterations = iterations;
                    run.seconds = seconds;
                    run.error_occurred = !state.Error().empty();
                    run.error_message = state.Error();
                    for (auto [key, counter] : state.counters) {
                        if (counter.flags & Counter::kIsIterationInvariant) {
                            counter.value *= double(iterations);
                        }
                        if ((counter.flags & Counter::kIsRate) && seconds > 0) {
                            counter.value /= seconds;
                        }
                        run.counters[key] = counter;
                    }
                    reporter->ReportRuns({run});
                    ++count;
                    break;
                }
                double factor = seconds > 0 ? 1.4 * internal::Flags().minTime / seconds : 100;
                iterations = static_cast<IterationCount>(double(iterations) * std::min(std::max(factor, 2.0), 100.0));
            }
        }
    }
    return count;
}

inline void Shutdown() {}

}  // namespace benchmark

#define ZR_SHIM_CONCAT2(a, b) a##b
#define ZR_SHIM_CONCAT(a, b) ZR_SHIM_CONCAT2(a, b)
#define BENCHMARK(fn)                                                                             \
    static ::benchmark::internal::Benchmark* ZR_SHIM_CONCAT(zr_bench_, __LINE__) ZR_SHIM_UNUSED = \
        ::benchmark::internal::Register(#fn, fn)

#define BENCHMARK_MAIN()                                            \
    int main(int argc, char** argv) {                               \
        ::benchmark::Initialize(&argc, argv);                       \
        if (::benchmark::ReportUnrecognizedArguments(argc, argv)) { \
            return 1;                                               \
        }                                                           \
        ::benchmark::RunSpecifiedBenchmarks();                      \
        ::benchmark::Shutdown();                                    \
        return 0;                                                   \
    }
