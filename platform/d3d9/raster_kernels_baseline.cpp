// raster_kernels_baseline.cpp - the span kernels for any target: four pixels per step, written with
// portable vector operations only.
#include "platform/d3d9/raster_batch.h"
#include "platform/d3d9/raster_kernels.h"
#include "platform/d3d9/sampler_gather.h"

namespace {

struct portable_ops : portable_sampler_ops {
    static I round(F v) { return __builtin_convertvector(v + 0.5f, I); }  // v >= 0: half up
    static I load_depth(const uint16_t* p) {
        U16 v;
        std::memcpy(&v, p, sizeof v);
        return __builtin_convertvector(v, I);
    }
    static void store_depth(uint16_t* p, I v) {
        const U16 narrow = __builtin_convertvector(v, U16);
        std::memcpy(p, &narrow, sizeof narrow);
    }
    // Two depth values at p and two at p + below.
    static I load_depth_rows(const uint16_t* p, size_t below) {
        uint16_t v[lanes];
        std::memcpy(v, p, sizeof v / 2);
        std::memcpy(v + lanes / 2, p + below, sizeof v / 2);
        return load_depth(v);
    }
    static void store_depth_rows(uint16_t* p, size_t below, I v) {  // the second row first
        uint16_t narrow[lanes];
        store_depth(narrow, v);
        std::memcpy(p + below, narrow + lanes / 2, sizeof narrow / 2);
        std::memcpy(p, narrow, sizeof narrow / 2);
    }
    // Two pixels at p and two at p + below, as one vector (not through memory in halves, which the
    // processor could not forward to the whole load).
    static I load_colour_rows(const uint32_t* p, size_t below) {
        using pair = uint64_t __attribute__((vector_size(16)));
        uint64_t first, second;
        std::memcpy(&first, p, sizeof first);
        std::memcpy(&second, p + below, sizeof second);
        return I(pair{first, second});
    }
    // 0x00RRGGBB from channels in 0..255: round(clamp(c, 0, 255)), NaN as 0.
    static I pixel(F r, F g, F b) {
        const auto byte = [](F c) { return round(min(max_nan_low(c, splat(0.0f)), splat(255.0f))); };
        return (byte(r) << 16) | (byte(g) << 8) | byte(b);
    }
    // The same for channels known to be in [0, 255.5), which need no clamp.
    static I pixel_in_range(F r, F g, F b) { return (round(r) << 16) | (round(g) << 8) | round(b); }
    // The depth value clamped to [0, high] and truncated (NaN as 0).
    static I depth_at_most(F z, float high) {
        return __builtin_convertvector(min(max_nan_low(z, splat(0.0f)), splat(high)), I);
    }
    static F min(F a, F b) { return a < b ? a : b; }
    static F max_nan_low(F a, F b) { return a > b ? a : b; }  // b where a is NaN
    static unsigned bits(I mask) {
        unsigned b = 0;
        for (int k = 0; k < lanes; ++k) b |= unsigned(mask[k] != 0) << k;
        return b;
    }
};

}  // namespace

const raster_kernel_table& raster_kernels_baseline() {
    static const raster_kernel_table table = [] {
        raster_kernel_table t = span_kernel<portable_ops>::table();
        t.triangles = triangle_batch<portable_ops>::triangles;
        t.small_one = triangle_batch<portable_ops>::small_one;
        return t;
    }();
    return table;
}
