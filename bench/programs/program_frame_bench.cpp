// program_frame_bench.cpp - the cost of one whole frame of a demo program (clear, scene, present),
// headless and unpaced, on one thread. Built once per program.
#include "framework.h"
#include "headless_device.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>

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

void program_frame(benchmark::State& state) {
    static const bool started = start_program();
    if (!started) {
        state.SkipWithError("the program could not start");
        return;
    }
    for (auto _ : state) draw_frame();
    state.SetItemsProcessed(state.iterations());
    state.counters["frames_per_second"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(program_frame)->Name(PROGRAM_NAME "/frame")->Unit(benchmark::kMicrosecond)->MinTime(2.0);

BENCHMARK_MAIN();
