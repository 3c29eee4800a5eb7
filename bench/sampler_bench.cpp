// sampler_bench.cpp - the general sampler on spans of 64 pixels, as the rasteriser calls it: a
// 256 x 256 texture with its full chain of levels, coordinates stepping across the span as on a
// slightly minified, slanted surface. Cases: point sampling, bilinear filtering (wrapping and
// clamped), and bilinear filtering between two levels (trilinear). Counter: pixels per second.
#include "platform/d3d9/sampler.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int span = 64;

struct sampler_bench_texture {
    std::vector<std::vector<uint32_t>> levels;

    sampler_bench_texture() {
        for (int side = 256; side >= 1; side /= 2) {
            std::vector<uint32_t>& texels = levels.emplace_back(size_t(side) * size_t(side));
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    texels[size_t(y * side + x)] = 0xFF000000u | uint32_t(x * 255 / side) << 16 |
                                                   uint32_t(y * 255 / side) << 8 | uint32_t(((x ^ y) & 1) * 255);
        }
    }
};

void run_span(benchmark::State& state, uint32_t filter, uint32_t mip_filter, uint32_t address, float lod) {
    static const sampler_bench_texture texture;
    sampler_setup setup;
    for (size_t i = 0; i < texture.levels.size(); ++i) {
        const int side = 256 >> i;
        setup.levels[i] = {texture.levels[i].data(), side, side, 0};
    }
    setup.level_count = int(texture.levels.size());
    setup.mag_filter = setup.min_filter = filter;
    setup.mip_filter = mip_filter;
    setup.address_u = setup.address_v = address;
    sampler_plan_storage storage;
    const sampler_plan* plan = sampler_compile(setup, &storage);

    alignas(32) float u[span], v[span], lods[span], r[span], g[span], b[span], a[span];
    for (int i = 0; i < span; ++i) {
        u[i] = 0.3f + float(i) * 1.3f / 256.0f;
        v[i] = 0.6f + float(i) * 0.4f / 256.0f;
        lods[i] = lod + float(i % 7) * 0.01f;
    }
    for (auto _ : state) {
        sampler_run(plan, span, u, v, lods, r, g, b, a);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(a);
        benchmark::ClobberMemory();
    }
    state.counters["pixels_per_second"] =
        benchmark::Counter(double(state.iterations()) * span, benchmark::Counter::kIsRate);
}

void BM_sampler_point(benchmark::State& state) { run_span(state, 1, 0, 1, 0.4f); }
void BM_sampler_bilinear(benchmark::State& state) { run_span(state, 2, 0, 1, 0.4f); }
void BM_sampler_bilinear_clamp(benchmark::State& state) { run_span(state, 2, 0, 3, 0.4f); }
void BM_sampler_trilinear(benchmark::State& state) { run_span(state, 2, 2, 1, 1.4f); }

BENCHMARK(BM_sampler_point)->Name("sampler_point_span64");
BENCHMARK(BM_sampler_bilinear)->Name("sampler_bilinear_span64");
BENCHMARK(BM_sampler_bilinear_clamp)->Name("sampler_bilinear_clamp_span64");
BENCHMARK(BM_sampler_trilinear)->Name("sampler_trilinear_span64");

}  // namespace
