// sampler.cpp - the general sampler's entry: resolves a stage's sampler states into a plan (the
// levels it may read, the base level, the filters and address modes as routines of the variant
// this CPU runs) and runs the plan over spans. The routines are in sampler_kernels.h.
//
// States: MAGFILTER and MINFILTER NONE and POINT point-sample, LINEAR, ANISOTROPIC, PYRAMIDALQUAD,
// GAUSSIANQUAD and CONVOLUTIONMONO filter bilinearly, other values point-sample. MIPFILTER NONE,
// POINT, LINEAR (the other bilinear filters count as LINEAR, unknown values as NONE). Address modes
// WRAP, MIRROR, CLAMP, BORDER, MIRRORONCE on u and v; unknown values act as WRAP. MAXMIPLEVEL
// beyond the chain selects its last level. A chain ends at its first level without texels (or of
// more than 2^31 - 1 texels); without any level the sampler gives opaque black.
#include "platform/d3d9/sampler_plan.h"

#include <cstdint>
#include <new>

static_assert(sizeof(sampler_plan) <= sizeof(sampler_plan_storage));
static_assert(alignof(sampler_plan) <= alignof(sampler_plan_storage));

namespace {

bool filter_is_linear(uint32_t filter) {
    switch (filter) {
    case 2:  // LINEAR
    case 3:  // ANISOTROPIC
    case 6:  // PYRAMIDALQUAD
    case 7:  // GAUSSIANQUAD
    case 8:  // CONVOLUTIONMONO
        return true;
    default:  // NONE, POINT, unknown
        return false;
    }
}

sampler_mip_mode mip_mode(uint32_t filter) {
    if (filter == 1) return sampler_mip_point;
    return filter_is_linear(filter) ? sampler_mip_linear : sampler_mip_none;
}

sampler_address_mode address_mode(uint32_t mode) {
    switch (mode) {
    case 2: return sampler_address_mirror;
    case 3: return sampler_address_clamp;
    case 4: return sampler_address_border;
    case 5: return sampler_address_mirror_once;
    default: return sampler_address_wrap;
    }
}

void run_empty(const sampler_plan&, int count, const float*, const float*, const float*, float* r, float* g, float* b,
               float* a) {
    for (int i = 0; i < count; ++i) {
        r[i] = g[i] = b[i] = 0.0f;
        a[i] = 1.0f;
    }
}

}  // namespace

const sampler_plan* sampler_compile_with(const sampler_setup& setup, sampler_plan_storage* storage,
                                         sampler_choose_fn choose) {
    sampler_plan* plan = new (storage->bytes) sampler_plan;
    int count = setup.level_count < sampler_max_levels ? setup.level_count : sampler_max_levels;
    for (int i = 0; i < count; ++i) {
        const sampler_level& level = setup.levels[i];
        if (level.texels == nullptr || level.width <= 0 || level.height <= 0 ||
            int64_t(level.width) * level.height > INT32_MAX) {  // texel indices are 32-bit
            count = i;
            break;
        }
        plan->levels[i] = level;
    }
    plan->level_count = count > 0 ? count : 0;
    if (plan->level_count == 0) {
        plan->run = run_empty;
        return plan;
    }
    plan->base = setup.max_level < uint32_t(count - 1) ? int(setup.max_level) : count - 1;
    plan->lod_bias = setup.lod_bias;
    plan->border = setup.border_colour;

    sampler_choice choice;
    choice.mag_linear = filter_is_linear(setup.mag_filter);
    choice.min_linear = filter_is_linear(setup.min_filter);
    choice.mip = plan->base == count - 1 ? sampler_mip_none : mip_mode(setup.mip_filter);
    choice.address_u = address_mode(setup.address_u);
    choice.address_v = address_mode(setup.address_v);
    plan->choice = choice;
    choose(*plan, choice);
    return plan;
}

const sampler_plan* sampler_compile(const sampler_setup& setup, sampler_plan_storage* storage) {
    static const sampler_choose_fn choose = sampler_variant();
    return sampler_compile_with(setup, storage, choose);
}

bool sampler_needs_lod(const sampler_plan* plan) { return plan->needs_lod; }

void sampler_run(const sampler_plan* plan, int count, const float* u, const float* v, const float* lod, float* r,
                 float* g, float* b, float* a) {
    if (count <= 0) return;
    plan->run(*plan, count, u, v, lod, r, g, b, a);
}
