// program_frame_bench.cpp - the cost of one whole frame of a demo program (clear, scene, present),
// headless and unpaced, on one thread. Built once per program.
#include "framework.h"
#include "platform/win32/win_headless.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>

namespace {

// Starts the program as its entry does, up to the main loop, on a headless window.
bool start_program() {
    win_headless_enable();
    if (demo.enters_program_directory && ::chdir(MODEL_DIR) != 0) return false;
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = handle_window_message;
    window_class.lpszClassName = "BenchWindow";
    RegisterClassExA(&window_class);
    HWND window = CreateWindowExA(0, "BenchWindow", "bench", WS_OVERLAPPEDWINDOW, 100, 100, 640, 480, nullptr, nullptr,
                                  nullptr, nullptr);
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
