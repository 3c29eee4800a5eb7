// transform_light_batch_x86_64_v4.cpp - the batched vertex stage for x86-64-v4 CPUs (AVX-512):
// sixteen vertices at a time for draws with point or spot lights, whose long chains of square roots
// and divisions gain most from the wider lanes; other draws take the x86-64-v3 stage, so that
// cheap vertices do not pay for 512-bit work (some CPUs lower their clock for it). Built with
// -march=x86-64-v4 -ffp-contract=off (no fused multiply-adds, so the results match the one-vertex
// path); only called after tnl_batch_selected() has checked the CPU.
#include "platform/d3d9/transform_light_lanes.h"

namespace {

struct avx512_tnl_ops {
    static constexpr int lanes = 16;
    using F = float __attribute__((vector_size(64)));
    using I = int32_t __attribute__((vector_size(64)));
    static F splat(float v) { return v - F{}; }  // exact for every v, -0 included
    static I splat(int32_t v) { return I{} + v; }
    // One instruction each, written out: GCC 12's intrinsics warn about their undefined operand.
    static F square_root(F v) {  // correctly rounded
        F r;
        asm("vsqrtps %1, %0" : "=v"(r) : "v"(v));
        return r;
    }
    static I round_to_int(F v) {  // in the current rounding mode: to nearest, ties to even
        I r;
        asm("vcvtps2dq %1, %0" : "=v"(r) : "v"(v));
        return r;
    }
};

// Whether the draw is lit by point or spot lights (the test tnl_lanes::process makes).
bool local_lights(const tnl_draw& d) {
    return d.lighting && std::any_of(d.lights, d.lights + d.light_count,
                                     [](const tnl_light& l) { return l.type != D3DLIGHT_DIRECTIONAL; });
}

void process(const tnl_draw& d, const uint32_t* indices, size_t count, tnl_vertex* vertices) {
    if (local_lights(d)) {
        tnl_lanes<avx512_tnl_ops>::process(d, indices, count, vertices);
    } else {
        tnl_batch_x86_64_v3()(d, indices, count, vertices);
    }
}

}  // namespace

tnl_batch_fn tnl_batch_x86_64_v4() { return process; }
