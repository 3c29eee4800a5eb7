// compare_load.cpp - loads each .x file given on the command line with our loader and with Assimp,
// from the same bytes in memory, alternately, and prints the median times side by side.
//
// Ours: xfile_load to one triangulated mesh, the model freed. Assimp: ReadFileFromMemory with
// aiProcess_Triangulate through one Importer kept across loads, the scene freed. Each side is
// loaded once untimed first; the timed loads alternate so that both see the same machine state.
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/xfile/xfile.h"

namespace {

using clock_type = std::chrono::steady_clock;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

bool load_ours(const std::vector<uint8_t>& bytes, std::string* error) {
    xfile_model model;
    return xfile_load(bytes.data(), bytes.size(), &model, error);
}

bool load_assimp(Assimp::Importer& importer, const std::vector<uint8_t>& bytes, std::string* error) {
    const aiScene* scene = importer.ReadFileFromMemory(bytes.data(), bytes.size(), aiProcess_Triangulate, "x");
    if (scene == nullptr) *error = importer.GetErrorString();
    importer.FreeScene();
    return scene != nullptr;
}

template <typename Load>
double timed_ms(Load&& load, bool* ok) {
    const auto start = clock_type::now();
    *ok = load() && *ok;
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

// One table row; false when either loader fails on the file.
bool compare(const char* path, int loads) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const char* slash = std::strrchr(path, '/');
    const char* name = slash != nullptr ? slash + 1 : path;
    Assimp::Importer importer;
    std::string ours_error;
    std::string assimp_error;
    bool ours_ok = load_ours(bytes, &ours_error);
    bool assimp_ok = load_assimp(importer, bytes, &assimp_error);
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int i = 0; i < loads && ours_ok && assimp_ok; ++i) {
        ours.push_back(timed_ms([&] { return load_ours(bytes, &ours_error); }, &ours_ok));
        theirs.push_back(timed_ms([&] { return load_assimp(importer, bytes, &assimp_error); }, &assimp_ok));
    }
    if (!ours_ok || !assimp_ok || bytes.empty()) {
        std::printf("%-24s %10zu  %s\n", name, bytes.size(),
                    bytes.empty() ? "cannot be read"
                    : !ours_ok    ? ("ours failed: " + ours_error).c_str()
                                  : ("Assimp failed: " + assimp_error).c_str());
        return false;
    }
    const double ours_ms = median(ours);
    const double assimp_ms = median(theirs);
    std::printf("%-24s %10zu %10.3f %10.0f %10.3f %8.2fx\n", name, bytes.size(), ours_ms,
                double(bytes.size()) / 1e6 / (ours_ms / 1e3), assimp_ms, assimp_ms / ours_ms);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int loads = 15;
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--loads") {
        loads = std::max(1, std::atoi(argv[2]));
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: compare-load-with-assimp [--loads N] file.x...\n");
        return 2;
    }
    std::printf("medians of %d loads from memory; ratio = Assimp time / our time\n", loads);
    std::printf("%-24s %10s %10s %10s %10s %9s\n", "file", "bytes", "ours ms", "ours MB/s", "Assimp ms", "ratio");
    bool all = true;
    for (int i = first; i < argc; ++i) all = compare(argv[i], loads) && all;
    return all ? 0 : 1;
}
