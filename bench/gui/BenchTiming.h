// Wall-clock timing of single interface steps, reported as the percentiles a user feels.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace mireka::bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Sorts `ms` and reports its median and 99th percentile.
inline void ReportPercentiles(benchmark::State& state, std::vector<double>& ms) {
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
}

// Times each iteration's `step(n)` (n counting from 0) on the wall clock as the iteration's
// manual time; `before(n)`, when given, runs first and is not timed. Reports the median and 99th
// percentile and returns the times, sorted.
template <class Step>
std::vector<double> TimeEachStep(benchmark::State& state, Step step,
                                 const std::function<void(int)>& before = {}) {
    std::vector<double> ms;
    int n = 0;
    for (auto _ : state) {
        if (before) before(n);
        const auto start = Clock::now();
        step(n++);
        const double t = Ms(Clock::now() - start);
        ms.push_back(t);
        state.SetIterationTime(t / 1000.0);
    }
    ReportPercentiles(state, ms);
    return ms;
}

} // namespace mireka::bench
