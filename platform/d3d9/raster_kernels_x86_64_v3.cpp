// raster_kernels_x86_64_v3.cpp - the span kernels for x86-64-v3 CPUs (AVX2, FMA): eight pixels per
// step. Built with -march=x86-64-v3; only called after raster_kernels() has checked the CPU.
#include "platform/d3d9/raster_kernels.h"

namespace {

struct Avx2Ops {
    static constexpr int lanes = 8;
    using F = float __attribute__((vector_size(32)));
    using I = int32_t __attribute__((vector_size(32)));
    using U16 = uint16_t __attribute__((vector_size(16)));

    static F splat(float v) { return F{v, v, v, v, v, v, v, v}; }
    static I splat(int32_t v) { return I{v, v, v, v, v, v, v, v}; }
    static F min(F a, F b) { return __builtin_ia32_minps256(a, b); }
    static F max_nan_low(F a, F b) { return __builtin_ia32_maxps256(a, b); }  // b where a is NaN
    static bool any(I mask) { return __builtin_ia32_movmskps256(F(mask)) != 0; }
};

}  // namespace

const raster_kernel_table& raster_kernels_x86_64_v3() {
    static const raster_kernel_table table = Kernel<Avx2Ops>::table();
    return table;
}
