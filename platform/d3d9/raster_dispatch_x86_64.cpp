// raster_dispatch_x86_64.cpp - picks the x86-64-v3 span kernels when the CPU has AVX2 and FMA.
#include "platform/d3d9/raster_setup.h"

const raster_kernel_table& raster_kernels() {
    static const bool v3 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") &&
                           __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2");
    return v3 ? raster_kernels_x86_64_v3() : raster_kernels_baseline();
}
