// load_bench.h - what the load benchmarks share: one benchmark loop over bytes in memory.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

// Loads `bytes` with xfile_load once per iteration and reports bytes per second; a load that fails
// ends the benchmark with the loader's reason.
void load_bench_run(benchmark::State& state, const std::string& bytes);
