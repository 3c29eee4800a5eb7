// sampler_dispatch_x86_64.cpp - picks the x86-64-v3 sampler routines when the CPU has AVX2 and FMA.
#include "platform/d3d9/sampler_plan.h"

sampler_choose_fn sampler_variant() {
    const bool v3 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") && __builtin_cpu_supports("bmi") &&
                    __builtin_cpu_supports("bmi2");
    return v3 ? sampler_choose_x86_64_v3 : sampler_choose_baseline;
}
