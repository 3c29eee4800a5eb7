// program_frame_bench.cpp - the cost of one whole frame of a demo program (clear, scene, present),
// headless, on one thread: unpaced (frames back to back), and paced as in a 60 Hz window (each
// frame after a pause of one refresh period, timed by the thread's CPU clock, so that the cost of
// starting from cold caches shows without an X server). Built once per program.
#include "framework.h"
#include "headless_device.h"

#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// Starts the program as its entry does, up to the main loop, on a headless window.
bool start_program() {
    HWND window = open_headless_window(handle_window_message);
    if (window == nullptr) return false;
    if (demo.enters_program_directory && ::chdir(MODEL_DIR) != 0) return false;
    ShowWindow(window, SW_SHOWDEFAULT);
    setup_device(window);
    setup_light();
    build_scene(window);
    return true;
}

// Starts the program once per process, for whichever benchmark runs first; false (the benchmark
// marked as failed) when it could not start.
bool program_started(benchmark::State& state) {
    static const bool started = start_program();
    if (!started) state.SkipWithError("the program could not start");
    return started;
}

void program_frame(benchmark::State& state) {
    if (!program_started(state)) return;
    for (auto _ : state) draw_frame();
    state.SetItemsProcessed(state.iterations());
    state.counters["frames_per_second"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

double thread_cpu_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void program_frame_after_pause(benchmark::State& state) {
    if (!program_started(state)) return;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::microseconds(16667));
        const double start = thread_cpu_seconds();
        draw_frame();
        state.SetIterationTime(thread_cpu_seconds() - start);
    }
}

}  // namespace

BENCHMARK(program_frame)->Name(PROGRAM_NAME "/frame")->Unit(benchmark::kMicrosecond)->MinTime(2.0);
// A fixed count: each iteration waits a whole refresh period.
BENCHMARK(program_frame_after_pause)
    ->Name(PROGRAM_NAME "/frame_paced_60hz")
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(180);

BENCHMARK_MAIN();
