// tnl_dispatch_x86_64.cpp - picks the x86-64-v3 batched vertex stage when the CPU has AVX2.
#include "platform/d3d9/transform_light.h"

tnl_batch_fn tnl_batch_selected() {
    return __builtin_cpu_supports("avx2") ? tnl_batch_x86_64_v3() : tnl_batch_baseline();
}
