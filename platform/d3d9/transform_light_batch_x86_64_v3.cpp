// transform_light_batch_x86_64_v3.cpp - the batched vertex stage for x86-64-v3 CPUs (AVX2): eight
// vertices at a time. Built with -march=x86-64-v3 -ffp-contract=off (no fused multiply-adds, so the
// results match the one-vertex path); only called after tnl_batch_selected() has checked the CPU.
#include "platform/d3d9/transform_light_lanes.h"
#include "platform/d3d9/simd_lanes.h"

#include <immintrin.h>

namespace {

struct avx2_tnl_ops : simd_lanes<8> {
    static F square_root(F v) { return F(_mm256_sqrt_ps(__m256(v))); }
    static I round_to_int(F v) { return I(_mm256_cvtps_epi32(__m256(v))); }
};

}  // namespace

tnl_batch_fn tnl_batch_x86_64_v3() { return tnl_lanes<avx2_tnl_ops>::process; }
