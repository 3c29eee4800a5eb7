// transform_light_batch_baseline.cpp - the batched vertex stage for any target: four vertices at a
// time with portable vector operations (SSE2 square roots and rounding where the target has them).
#include "platform/d3d9/transform_light_lanes.h"
#include "platform/d3d9/simd_lanes.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

struct portable_tnl_ops : simd_lanes<4> {
    static F square_root(F v) {
#if defined(__SSE2__)
        return F(_mm_sqrt_ps(__m128(v)));
#else
        F r;
        for (int i = 0; i < lanes; ++i) r[i] = std::sqrt(v[i]);
        return r;
#endif
    }

    static I round_to_int(F v) {
#if defined(__SSE2__)
        return I(_mm_cvtps_epi32(__m128(v)));
#else
        I r;
        for (int i = 0; i < lanes; ++i) r[i] = int32_t(std::lrint(v[i]));
        return r;
#endif
    }
};

}  // namespace

tnl_batch_fn tnl_batch_baseline() { return tnl_lanes<portable_tnl_ops>::process; }
