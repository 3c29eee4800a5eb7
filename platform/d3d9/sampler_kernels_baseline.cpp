// sampler_kernels_baseline.cpp - the general sampler's routines for any target: four pixels per
// step, portable vector operations, texels read one by one.
#include "platform/d3d9/sampler_kernels.h"

namespace {

struct portable_sampler_ops : simd_lanes<4> {
    // The texels at (column[i], row[i]) of a level `width` texels wide.
    static U gather(const uint32_t* texels, int width, I row, I column) {
        U t;
        for (int i = 0; i < lanes; ++i) t[i] = texels[size_t(row[i]) * size_t(width) + size_t(column[i])];
        return t;
    }
};

}  // namespace

void sampler_choose_baseline(sampler_plan& plan, const sampler_choice& choice) {
    sampler_kernels<portable_sampler_ops>::choose(plan, choice);
}
