// sampler_plan.h - what the general sampler keeps of a stage's states for one draw (sampler_plan),
// and the instruction-set variants that supply its routines. sampler.cpp resolves the states;
// each variant (sampler_kernels_*.cpp, written over sampler_kernels.h) picks the routines for the
// resolved combination. Internal to the sampler and its tests.
#pragma once

#include "platform/d3d9/sampler.h"

#include <cstdint>

enum sampler_address_mode : int {
    sampler_address_wrap,
    sampler_address_mirror,
    sampler_address_clamp,
    sampler_address_border,
    sampler_address_mirror_once,
    sampler_address_modes
};

enum sampler_mip_mode : int { sampler_mip_none, sampler_mip_point, sampler_mip_linear };

// The states as the routines see them.
struct sampler_choice {
    bool mag_linear = false;                  // bilinear when magnifying, else point
    bool min_linear = false;                  // bilinear when minifying, else point
    sampler_mip_mode mip = sampler_mip_none;  // none when only one level can be read
    sampler_address_mode address_u = sampler_address_wrap;
    sampler_address_mode address_v = sampler_address_wrap;
};

using sampler_run_fn = void (*)(const sampler_plan& plan, int count, const float* u, const float* v, const float* lod,
                                float* r, float* g, float* b, float* a);
using sampler_any_fn = void (*)();  // a variant's own routine, cast back by that variant

struct sampler_plan {
    sampler_level levels[sampler_max_levels];
    int level_count = 0;
    int base = 0;  // the most detailed level read: min(MAXMIPLEVEL, level_count - 1)
    float lod_bias = 0.0f;
    uint32_t border = 0;  // 0xAARRGGBB
    int mag_differs = 0;  // 1 when magnification and minification filter differently
    bool needs_lod = false;
    sampler_any_fn mag = nullptr;    // one level, magnification filter (the variant's type)
    sampler_any_fn min = nullptr;    // one level, minification filter
    sampler_any_fn group = nullptr;  // one group of the variant's lanes (sampler_kernels::group_fn)
    sampler_run_fn run = nullptr;
    sampler_choice choice;  // the states the routines were chosen for
};

// Fill plan.run, .group, .mag, .min and .needs_lod for `choice`; the rest of the plan is set.
using sampler_choose_fn = void (*)(sampler_plan& plan, const sampler_choice& choice);
void sampler_choose_baseline(sampler_plan& plan, const sampler_choice& choice);
void sampler_choose_x86_64_v3(sampler_plan& plan, const sampler_choice& choice);  // x86-64 only

// The variant this CPU runs (sampler_dispatch_*.cpp).
sampler_choose_fn sampler_variant();

// sampler_compile with a given variant (tests compare the variants).
const sampler_plan* sampler_compile_with(const sampler_setup& setup, sampler_plan_storage* storage,
                                         sampler_choose_fn choose);
