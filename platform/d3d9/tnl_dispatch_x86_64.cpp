// tnl_dispatch_x86_64.cpp - picks the x86-64-v4 batched vertex stage when the CPU has AVX-512 (the
// features of that level), else the x86-64-v3 one when it has AVX2.
#include "platform/d3d9/transform_light.h"

tnl_batch_fn tnl_batch_selected() {
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512cd") && __builtin_cpu_supports("avx512dq") &&
        __builtin_cpu_supports("avx512vl")) {
        return tnl_batch_x86_64_v4();
    }
    return __builtin_cpu_supports("avx2") ? tnl_batch_x86_64_v3() : tnl_batch_baseline();
}
