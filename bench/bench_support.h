// Shared by the benchmarks (each is one translation unit): a count of heap
// allocations, the timing of a figure against its floor within one run, and
// a main that first checks every floor gives the same pixels or results as
// the rule it bounds.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Every malloc, calloc and realloc of the process, the library's included.
extern "C" void *__libc_malloc(size_t);
extern "C" void *__libc_calloc(size_t, size_t);
extern "C" void *__libc_realloc(void *, size_t);
inline std::atomic<long> heap_allocations{0};
extern "C" void *malloc(size_t n)
{
    heap_allocations++;
    return __libc_malloc(n);
}
extern "C" void *calloc(size_t n, size_t size)
{
    heap_allocations++;
    return __libc_calloc(n, size);
}
extern "C" void *realloc(void *p, size_t n)
{
    heap_allocations++;
    return __libc_realloc(p, n);
}

using bench_step = void (*)(void);

// Allocations per call of step, after one warm-up call.
inline double allocations_per_call(bench_step step)
{
    constexpr int CALLS = 50;
    step();
    long before = heap_allocations.load();
    for (int i = 0; i < CALLS; i++) {
        step();
    }
    return static_cast<double>(heap_allocations.load() - before) / CALLS;
}

// CPU time of the calling thread, so other people's load on the machine
// does not count.
inline double thread_seconds(void)
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

inline double seconds_for(bench_step step, int calls)
{
    double start = thread_seconds();
    for (int i = 0; i < calls; i++) {
        step();
    }
    benchmark::ClobberMemory();
    return thread_seconds() - start;
}

// The figure and its floor timed in alternating batches, so both see the
// same machine load; the medians give the floor's time and the ratio.
inline void report_against_floor(benchmark::State &state, bench_step figure, bench_step floor)
{
    constexpr int BATCHES = 21, CALLS = 20;
    std::vector<double> figure_s, floor_s;
    for (int b = 0; b < BATCHES; b++) {
        figure_s.push_back(seconds_for(figure, CALLS));
        floor_s.push_back(seconds_for(floor, CALLS));
    }
    std::nth_element(figure_s.begin(), figure_s.begin() + BATCHES / 2, figure_s.end());
    std::nth_element(floor_s.begin(), floor_s.begin() + BATCHES / 2, floor_s.end());
    state.counters["floor_us"] = floor_s[BATCHES / 2] / CALLS * 1e6;
    state.counters["x_floor"] = figure_s[BATCHES / 2] / floor_s[BATCHES / 2];
    state.counters["allocs"] = allocations_per_call(figure);
}

// A floor that gives other pixels or results than its rule is no floor.
inline void expect_same(bool same, const char *what)
{
    if (!same) {
        fprintf(stderr, "floor check failed: %s\n", what);
        exit(1);
    }
    fprintf(stderr, "floor check: %s gives the rule's output\n", what);
}

// Runs check_floors, then the benchmarks; with --benchmark_filter=^$ it
// only checks (the test suite runs it that way).
inline int run_benchmarks(int argc, char **argv, bench_step check_floors)
{
    check_floors();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
