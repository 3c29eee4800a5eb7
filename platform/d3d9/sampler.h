// sampler.h - the sampler: a texture stage's sampler states and levels, compiled once per draw
// into a plan (filters, mip levels and address modes as routines of one instruction-set variant)
// and run over spans of pixels (the general route) or lane group by lane group (the span kernels
// of the fast route, raster_kernels.h).
//
// Texture space: (0, 0) is the top-left corner of the image, u to the right, v downwards; texels
// stay 0xAARRGGBB. The conventions of the filters and address modes are in sampler_kernels.h.
#pragma once

#include <cstdint>

// The most levels a texture has: a full chain of the largest side a texture may have.
inline constexpr int sampler_max_levels = 14;

// One level as sampled: decoded texels 0xAARRGGBB, rows top to bottom, `width` texels per row;
// `alpha_or` is ORed into every texel read (0xFF000000 for formats without alpha whose memory
// leaves the top byte undefined, 0 otherwise).
struct sampler_level {
    const uint32_t* texels = nullptr;
    int width = 0;
    int height = 0;
    uint32_t alpha_or = 0;
};

// A stage's sampler states and texture, resolved once per draw. Levels start at the most detailed
// level the texture lets the sampler use (its LOD); `max_level` is MAXMIPLEVEL relative to that.
struct sampler_setup {
    sampler_level levels[sampler_max_levels];
    int level_count = 0;                                      // 0: no texture
    uint32_t mag_filter = 1, min_filter = 1, mip_filter = 0;  // D3DTEXF_*
    uint32_t address_u = 1, address_v = 1;                    // D3DTADDRESS_*
    uint32_t border_colour = 0;                               // 0xAARRGGBB
    float lod_bias = 0.0f;
    uint32_t max_level = 0;
};

struct sampler_plan;  // sampler.cpp: the setup plus the routines chosen for it
struct sampler_plan_storage {
    alignas(16) unsigned char bytes[512];
};

// Compiles `setup` into `storage` (no allocation) and returns the plan.
const sampler_plan* sampler_compile(const sampler_setup& setup, sampler_plan_storage* storage);

// Whether the plan reads the level of detail: false when magnification and minification filter
// alike on a single level, so the caller need not compute `lod`.
bool sampler_needs_lod(const sampler_plan* plan);

// Samples `count` pixels at texture coordinates (u[i], v[i]) with level of detail lod[i] =
// log2(rho), rho the larger of the texel-space lengths of the coordinates' screen derivatives
// (before the bias; ignored when !sampler_needs_lod). Writes the filtered colour as floats in
// [0, 1]. Arrays hold at least `count` rounded up to a multiple of 4 entries.
void sampler_run(const sampler_plan* plan, int count, const float* u, const float* v, const float* lod, float* r,
                 float* g, float* b, float* a);
