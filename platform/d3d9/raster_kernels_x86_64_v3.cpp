// raster_kernels_x86_64_v3.cpp - the span kernels for x86-64-v3 CPUs (AVX2, FMA): eight pixels per
// step. Built with -march=x86-64-v3; only called after raster_kernels() has checked the CPU.
#include "platform/d3d9/raster_batch.h"
#include "platform/d3d9/raster_kernels.h"
#include "platform/d3d9/simd_lanes.h"

#include <immintrin.h>

namespace {

struct avx2_ops : simd_lanes<8> {
    static I round(F v) { return I(_mm256_cvttps_epi32(__m256(v + 0.5f))); }  // v >= 0: half up
    static I load_depth(const uint16_t* p) {
        return I(_mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))));
    }
    static void store_depth(uint16_t* p, I v) {  // v in [0, 65535]
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(__m256i(v), __m256i(v)), 0xD8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
    }
    // Four depth values at p and four at p + below.
    static I load_depth_rows(const uint16_t* p, size_t below) {
        const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        const __m128i second = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + below));
        return I(_mm256_cvtepu16_epi32(_mm_unpacklo_epi64(first, second)));
    }
    static void store_depth_rows(uint16_t* p, size_t below, I v) {  // v in [0, 65535]; the second row first
        const __m256i packed = _mm256_packus_epi32(__m256i(v), __m256i(v));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p + below), _mm256_extracti128_si256(packed, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
    }
    static F min(F a, F b) { return F(_mm256_min_ps(__m256(a), __m256(b))); }
    static F max_nan_low(F a, F b) { return F(_mm256_max_ps(__m256(a), __m256(b))); }  // b where a is NaN
    static bool any(I mask) { return _mm256_movemask_ps(__m256(mask)) != 0; }
    static unsigned bits(I mask) { return unsigned(_mm256_movemask_ps(__m256(mask))); }
};

}  // namespace

const raster_kernel_table& raster_kernels_x86_64_v3() {
    static const raster_kernel_table table = [] {
        raster_kernel_table t = span_kernel<avx2_ops>::table();
        t.triangles = triangle_batch<avx2_ops>::triangles;
        return t;
    }();
    return table;
}
