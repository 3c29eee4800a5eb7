// sampler_kernels_baseline.cpp - the general sampler's routines for any target: four pixels per
// step, portable vector operations, texels read one by one.
#include "platform/d3d9/sampler_gather.h"
#include "platform/d3d9/sampler_kernels.h"

void sampler_choose_baseline(sampler_plan& plan, const sampler_choice& choice) {
    sampler_kernels<portable_sampler_ops>::choose(plan, choice);
}
