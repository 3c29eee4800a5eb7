// raster_kernels_x86_64_v3.cpp - the span kernels for x86-64-v3 CPUs (AVX2, FMA): eight pixels per
// step. Built with -march=x86-64-v3; only called after raster_kernels() has checked the CPU.
#include "platform/d3d9/raster_batch.h"
#include "platform/d3d9/raster_kernels.h"
#include "platform/d3d9/sampler_gather.h"

#include <immintrin.h>

namespace {

struct avx2_ops : avx2_sampler_ops {
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
    // Four pixels at p and four at p + below.
    static I load_colour_rows(const uint32_t* p, size_t below) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + below));
        return I(_mm256_inserti128_si256(_mm256_castsi128_si256(first), second, 1));
    }
    // 0x00RRGGBB from channels in 0..255: round(clamp(c, 0, 255)) with the clamp's lower half and
    // NaN left to the saturating packs (below 0 and NaN convert to negative values, packed as 0).
    static I pixel(F r, F g, F b) {
        return pixel_in_range(min(splat(255.0f), r), min(splat(255.0f), g), min(splat(255.0f), b));
    }
    // The same for channels known to be below 255.5, which need no clamp (c + 0.5 truncated).
    static I pixel_in_range(F r, F g, F b) {
        const __m256 half = _mm256_set1_ps(0.5f);
        const auto byte = [&](F c) { return _mm256_cvttps_epi32(_mm256_add_ps(__m256(c), half)); };
        const __m256i red = byte(r);
        // Per 128-bit half: b0..b3 g0..g3 r0..r3 r0..r3 as bytes, then each pixel's b g r 0.
        const __m256i bytes = _mm256_packus_epi16(_mm256_packus_epi32(byte(b), byte(g)), _mm256_packus_epi32(red, red));
        const __m256i order = _mm256_setr_epi8(0, 4, 8, -128, 1, 5, 9, -128, 2, 6, 10, -128, 3, 7, 11, -128, 0, 4, 8,
                                               -128, 1, 5, 9, -128, 2, 6, 10, -128, 3, 7, 11, -128);
        return I(_mm256_shuffle_epi8(bytes, order));
    }
    // The depth value truncated, limited to `high`; below 0 or NaN gives some negative value (the
    // depth stores saturate it to 0).
    static I depth_at_most(F z, float high) {
        return I(_mm256_cvttps_epi32(_mm256_min_ps(_mm256_set1_ps(high), __m256(z))));
    }
    static F min(F a, F b) { return F(_mm256_min_ps(__m256(a), __m256(b))); }
    static F max_nan_low(F a, F b) { return F(_mm256_max_ps(__m256(a), __m256(b))); }  // b where a is NaN
    static unsigned bits(I mask) { return unsigned(_mm256_movemask_ps(__m256(mask))); }
};

}  // namespace

const raster_kernel_table& raster_kernels_x86_64_v3() {
    static const raster_kernel_table table = [] {
        raster_kernel_table t = span_kernel<avx2_ops>::table();
        t.triangles = triangle_batch<avx2_ops>::triangles;
        t.small_one = triangle_batch<avx2_ops>::small_one;
        return t;
    }();
    return table;
}
