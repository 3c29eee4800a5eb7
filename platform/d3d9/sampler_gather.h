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
    // The four texels of bilinear filtering: rows j0 and j1, columns i0 and i1.
    static void gather_quad(const uint32_t* texels, int width, I j0, I j1, I i0, I i1, U& t00, U& t10, U& t01, U& t11) {
        t00 = gather(texels, width, j0, i0);
        t10 = gather(texels, width, j0, i1);
        t01 = gather(texels, width, j1, i0);
        t11 = gather(texels, width, j1, i1);
    }
    // The same from two known rows, and one row's texels at `column` (point sampling).
    static void gather_in_rows(const uint32_t* first, const uint32_t* second, int, I i0, I i1, U& t00, U& t10, U& t01,
                               U& t11) {
        for (int i = 0; i < lanes; ++i) {
            t00[i] = first[i0[i]], t10[i] = first[i1[i]], t01[i] = second[i0[i]], t11[i] = second[i1[i]];
        }
    }
    static U gather_in_row(const uint32_t* row, int, I column) {
        U t;
        for (int i = 0; i < lanes; ++i) t[i] = row[column[i]];
        return t;
    }
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
    // Whether any lane, or every lane, of a comparison's result is set.
    static bool any(I mask) {
        uint64_t halves[2];
        __builtin_memcpy(halves, &mask, sizeof halves);
        return (halves[0] | halves[1]) != 0;
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

    // The four texels of bilinear filtering: rows j0 and j1, columns i0 and i1; through
    // gather_in_rows where every lane reads the same two rows.
    static void gather_quad(const uint32_t* texels, int width, I j0, I j1, I i0, I i1, U& t00, U& t10, U& t01, U& t11) {
        const int row0 = j0[0], row1 = j1[0];
        const __m256i other_rows = __m256i((j0 ^ row0) | (j1 ^ row1));
        if (_mm256_testz_si256(other_rows, other_rows)) {
            gather_in_rows(texels + size_t(row0) * size_t(width), texels + size_t(row1) * size_t(width), width, i0, i1,
                           t00, t10, t01, t11);
            return;
        }
        t00 = gather(texels, width, j0, i0);
        t10 = gather(texels, width, j0, i1);
        t01 = gather(texels, width, j1, i0);
        t11 = gather(texels, width, j1, i1);
    }

    // The lowest column a group can read through windows of a row: along a row of pixels the
    // columns rise or fall, so the end lanes hold the extremes where windows pay at all.
    static int window_start(I column) { return column[0] < column[lanes - 1] ? column[0] : column[lanes - 1]; }

    // The four texels of bilinear filtering from two known rows of a level `width` texels wide.
    // Where the first columns lie within eight texels of column m and the second within eight of
    // m + 1 (a magnified texture, mostly), they come from two unaligned loads per row, [m, m + 8)
    // and [m + 1, m + 9), and one permutation per texel set instead of four gathers. Every column
    // lies in the row, so m >= 0; m + 8 < width keeps the loads in the row.
    static void gather_in_rows(const uint32_t* first, const uint32_t* second, int width, I i0, I i1, U& t00, U& t10,
                               U& t01, U& t11) {
        const int m = window_start(i0);
        const I d0 = i0 - m, d1 = i1 - (m + 1);
        const __m256i outside = __m256i((d0 | d1) & ~7);
        if (m + 8 < width && _mm256_testz_si256(outside, outside)) {
            t00 = window(first + m, d0);
            t10 = window(first + m + 1, d1);
            t01 = window(second + m, d0);
            t11 = window(second + m + 1, d1);
            return;
        }
        t00 = gather_row(first, i0);
        t10 = gather_row(first, i1);
        t01 = gather_row(second, i0);
        t11 = gather_row(second, i1);
    }

    // One known row's texels at `column`: from the window [m, m + 8) where the columns allow.
    static U gather_in_row(const uint32_t* row, int width, I column) {
        const int m = window_start(column);
        const I d = column - m;
        const __m256i outside = __m256i(d & ~7);
        if (m + 8 <= width && _mm256_testz_si256(outside, outside)) return window(row + m, d);
        return gather_row(row, column);
    }

    // One row's texels at `column`, by the gather instruction.
    static U gather_row(const uint32_t* row, I column) {
        return U(_mm256_i32gather_epi32(reinterpret_cast<const int*>(row), __m256i(column), 4));
    }

    // The eight texels from `p` on, in the order `offset` picks them.
    static U window(const uint32_t* p, I offset) {
        return U(_mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)), __m256i(offset)));
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
    // Whether any lane, or every lane, of a comparison's result is set.
    static bool any(I mask) { return _mm256_movemask_ps(__m256(mask)) != 0; }
    static bool all(I mask) { return _mm256_movemask_ps(__m256(mask)) == 0xFF; }
    // floor(x) for |x| < 2^31, lanes that are numbers: one rounding instruction.
    static F floor_bounded(F x) { return F(_mm256_floor_ps(__m256(x))); }
};
#endif

}  // namespace
