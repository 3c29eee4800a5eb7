// sampler_kernels_x86_64_v3.cpp - the general sampler's routines for x86-64-v3 CPUs (AVX2, FMA):
// eight pixels per step, texels read with the gather instruction. Built with -march=x86-64-v3;
// only chosen after sampler_variant() has checked the CPU.
#include "platform/d3d9/sampler_gather.h"
#include "platform/d3d9/sampler_kernels.h"

void sampler_choose_x86_64_v3(sampler_plan& plan, const sampler_choice& choice) {
    sampler_kernels<avx2_sampler_ops>::choose(plan, choice);
}
