// sampler_gather.h - the texel fetch of each instruction-set variant: the lane operations the
// sampler's routines (sampler_kernels.h) are written over. The general sampler and the span
// kernels of the rasteriser build on the same operations, so both instantiate the same filters.
// Internal linkage, like simd_lanes.h.
#pragma once

#include "platform/d3d9/simd_lanes.h"

#include <cstddef>
#include <cstdint>

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace {

// Any target: four lanes, texels read one by one.
struct portable_sampler_ops : simd_lanes<4> {
    // The texels at (column[i], row[i]) of a level `width` texels wide.
    static U gather(const uint32_t* texels, int width, I row, I column) {
        U t;
        for (int i = 0; i < lanes; ++i) t[i] = texels[size_t(row[i]) * size_t(width) + size_t(column[i])];
        return t;
    }
};

#if defined(__AVX2__)
// x86-64-v3: eight lanes, the gather instruction.
struct avx2_sampler_ops : simd_lanes<8> {
    // The texels at (column[i], row[i]) of a level `width` texels wide (at most 2^31 - 1 texels, so
    // the index fits 32 bits).
    static U gather(const uint32_t* texels, int width, I row, I column) {
        const I index = row * width + column;
        return U(_mm256_i32gather_epi32(reinterpret_cast<const int*>(texels), __m256i(index), 4));
    }
};
#endif

}  // namespace
