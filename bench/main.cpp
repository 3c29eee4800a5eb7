// main.cpp - the benchmark program's entry; each bench/*.cpp registers its own benchmarks.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
