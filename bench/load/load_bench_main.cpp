// load_bench_main.cpp - load-bench: the .x loader's speed on bytes in memory (time and MB/s).
//
// Usage: load-bench [--benchmark_...] [file.x...]
// With files, one benchmark per file (BM_XFileLoadFile/<path>) and nothing else, so users can
// measure their own models. Without, the generated cases (load_bench_generated.cpp), plus 747.X
// from the shared corpus and the demos' models beside this program where they exist.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "bench/load/load_bench.h"
#include "platform/xfile/xfile.h"

void load_bench_run(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        xfile_model model;
        std::string error;
        if (!xfile_load(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &model, &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(model.mesh.indices.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

namespace {

// The file is read once, when its benchmark first runs; a file that cannot be read is reported
// as that benchmark's error.
void register_file(const std::string& label, const std::filesystem::path& path) {
    benchmark::RegisterBenchmark(("BM_XFileLoadFile/" + label).c_str(), [path](benchmark::State& state) {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            state.SkipWithError("cannot read the file");
            return;
        }
        load_bench_run(state, bytes);
    })->Unit(benchmark::kMillisecond);
}

void register_default_files() {
    const std::filesystem::path corpus_747 =
        std::filesystem::path(DEMOS_SHARED_DIR) / "xcorpus/blitz3d/DeathIsland/747.X";
    if (std::filesystem::is_regular_file(corpus_747)) register_file("747.X", corpus_747);
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return;
    for (const char* model : {"airplane 2.x", "spaceship 2.x"}) {
        if (std::filesystem::is_regular_file(self.parent_path() / model))
            register_file(model, self.parent_path() / model);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            benchmark::ReportUnrecognizedArguments(argc, argv);
            return 2;
        }
        paths.emplace_back(argv[i]);
    }
    if (paths.empty()) {
        register_default_files();
    } else {
        benchmark::ClearRegisteredBenchmarks();
        for (const std::string& path : paths) register_file(path, path);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
