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
    // Whether gather_pairs exists: reading texels one by one, pairs would save nothing.
    static constexpr bool pair_gather = false;

    // The texels at (column[i], row[i]) of a level `width` texels wide.
    static U gather(const uint32_t* texels, int width, I row, I column) {
        U t;
        for (int i = 0; i < lanes; ++i) t[i] = texels[size_t(row[i]) * size_t(width) + size_t(column[i])];
        return t;
    }
    static void gather_pairs(const uint32_t*, int, I, I, U&, U&) {}

    // floor(x) for |x| < 2^31, lanes that are numbers.
    static F floor_bounded(F x) {
        const F truncated = __builtin_convertvector(__builtin_convertvector(x, I), F);
        return truncated > x ? truncated - 1.0f : truncated;
    }

    // Byte `Shift / 8` of each lane, as a float.
    template <int Shift>
    static F channel(I v) {
        return __builtin_convertvector((v >> Shift) & 0xFF, F);
    }
    static bool all(I mask) {
        uint64_t halves[2];
        __builtin_memcpy(halves, &mask, sizeof halves);
        return (halves[0] & halves[1]) == ~uint64_t{0};
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

    // Whether gather_pairs exists: one 64-bit element per lane instead of two 32-bit ones, half
    // the elements the gather instruction loads.
    static constexpr bool pair_gather = true;

    // The texels at (column[i], row[i]) in `first` and at (column[i] + 1, row[i]) in `second`, for
    // columns below width - 1.
    static void gather_pairs(const uint32_t* texels, int width, I row, I column, U& first, U& second) {
        // Lanes 0 1 4 5 in the low half, 2 3 6 7 in the high one: the 64-bit gathers then fill the
        // 128-bit halves so that one in-half shuffle puts every first (second) texel in lane order.
        const __m256i index = _mm256_permute4x64_epi64(__m256i(row * width + column), 0xD8);
        const auto* base = reinterpret_cast<const long long*>(texels);
        const __m256 low = _mm256_castsi256_ps(_mm256_i32gather_epi64(base, _mm256_castsi256_si128(index), 4));
        const __m256 high = _mm256_castsi256_ps(_mm256_i32gather_epi64(base, _mm256_extracti128_si256(index, 1), 4));
        first = U(_mm256_castps_si256(_mm256_shuffle_ps(low, high, 0x88)));
        second = U(_mm256_castps_si256(_mm256_shuffle_ps(low, high, 0xDD)));
    }

    // Byte `Shift / 8` of each lane, as a float: the lowest byte by a mask, the highest by a shift,
    // the others by one byte shuffle (rather than a shift and a mask).
    template <int Shift>
    static F channel(I v) {
        if constexpr (Shift == 0) {
            return __builtin_convertvector(v & 0xFF, F);
        } else if constexpr (Shift == 24) {
            return __builtin_convertvector(I(U(v) >> 24), F);
        } else {
            constexpr char b = Shift / 8, z = -128;
            const __m256i order = _mm256_setr_epi8(b, z, z, z, b + 4, z, z, z, b + 8, z, z, z, b + 12, z, z, z, b, z, z,
                                                   z, b + 4, z, z, z, b + 8, z, z, z, b + 12, z, z, z);
            return F(_mm256_cvtepi32_ps(_mm256_shuffle_epi8(__m256i(v), order)));
        }
    }
    static bool all(I mask) { return _mm256_movemask_ps(__m256(mask)) == 0xFF; }
    // floor(x) for |x| < 2^31, lanes that are numbers: one rounding instruction.
    static F floor_bounded(F x) { return F(_mm256_floor_ps(__m256(x))); }
};
#endif

}  // namespace
