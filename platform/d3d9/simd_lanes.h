// simd_lanes.h - the vector types of 4 or 8 32-bit lanes (GCC and clang vector extensions) that the
// span kernels, the batched triangle set-up and the batched vertex stage are written over. Each
// instruction-set variant derives its operations struct from the width it uses. Internal linkage,
// like the code written over it, so variants built for different instruction sets never mix.
#pragma once

#include <cstdint>
#include <type_traits>

namespace {
namespace simd_vectors {
using f4 = float __attribute__((vector_size(16)));
using i4 = int32_t __attribute__((vector_size(16)));
using u4 = uint32_t __attribute__((vector_size(16)));
using d4 = double __attribute__((vector_size(32)));
using h4 = uint16_t __attribute__((vector_size(8)));
using f8 = float __attribute__((vector_size(32)));
using i8 = int32_t __attribute__((vector_size(32)));
using u8 = uint32_t __attribute__((vector_size(32)));
using d8 = double __attribute__((vector_size(64)));
using h8 = uint16_t __attribute__((vector_size(16)));
}  // namespace simd_vectors

template <int N>
struct simd_lanes {
    static_assert(N == 4 || N == 8);
    static constexpr int lanes = N;
    using F = std::conditional_t<N == 4, simd_vectors::f4, simd_vectors::f8>;
    using I = std::conditional_t<N == 4, simd_vectors::i4, simd_vectors::i8>;
    using U = std::conditional_t<N == 4, simd_vectors::u4, simd_vectors::u8>;
    using D = std::conditional_t<N == 4, simd_vectors::d4, simd_vectors::d8>;
    using U16 = std::conditional_t<N == 4, simd_vectors::h4, simd_vectors::h8>;

    static F splat(float v) { return v - F{}; }  // exact for every v, -0 included
    static I splat(int32_t v) { return I{} + v; }
    static F load(const void* p) {  // unaligned
        F v;
        __builtin_memcpy(&v, p, sizeof v);
        return v;
    }
};

}  // namespace
