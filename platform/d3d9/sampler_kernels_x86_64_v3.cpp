// sampler_kernels_x86_64_v3.cpp - the general sampler's routines for x86-64-v3 CPUs (AVX2, FMA):
// eight pixels per step, texels read with the gather instruction. Built with -march=x86-64-v3;
// only chosen after sampler_variant() has checked the CPU.
#include "platform/d3d9/sampler_kernels.h"

#include <immintrin.h>

namespace {

struct avx2_sampler_ops : simd_lanes<8> {
    // The texels at (column[i], row[i]) of a level `width` texels wide (at most 8192 x 8192, so the
    // index fits 32 bits).
    static U gather(const uint32_t* texels, int width, I row, I column) {
        const I index = row * width + column;
        return U(_mm256_i32gather_epi32(reinterpret_cast<const int*>(texels), __m256i(index), 4));
    }
};

}  // namespace

void sampler_choose_x86_64_v3(sampler_plan& plan, const sampler_choice& choice) {
    sampler_kernels<avx2_sampler_ops>::choose(plan, choice);
}
