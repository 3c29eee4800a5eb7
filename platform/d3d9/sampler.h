// sampler.h - point sampling of a texture with wrap addressing, a group of pixels at a time.
//
// Texture space: (0, 0) is the top-left corner of the image, u to the right, v downwards. Texels
// are points at texel centres, so point sampling picks texel floor(u * n), and wrap addressing
// takes it modulo n, for negative coordinates as well. Coordinates that are not finite, or so large
// that they have no fraction, give texel 0 of their axis. Texels stay 0xAARRGGBB.
//
// The functions are templates over the vector types of the caller (GCC/Clang vector extensions),
// so each instruction-set variant of the rasteriser gets its own copy.
//
// Those templates serve the fast path (point sampling of level 0 with wrapping). Every other
// sampler state goes through the general sampler at the end of this file: filters, mip levels and
// address modes, compiled once per draw into a sampler_plan and run over spans of pixels.
#pragma once

#include <cstdint>

struct sampler_texture {
    const uint32_t* texels = nullptr;  // rows top to bottom, `width` texels per row
    int width = 0;
    int height = 0;
};

// floor(t * n) mod n per lane. F is a float vector, I the int32 vector of the same width.
template <typename F, typename I>
inline I sampler_wrap(F t, int n) {
    const F truncated = __builtin_convertvector(__builtin_convertvector(t, I), F);
    const F floor = truncated > t ? truncated - 1.0f : truncated;
    const F magnitude = t < 0.0f ? -t : t;
    F fraction = magnitude < 8388608.0f ? t - floor : 0.0f;  // 2^23 and beyond: no fraction; NaN -> 0
    F scaled = fraction * float(n);
    scaled = scaled > 0.0f ? scaled : 0.0f;
    const float last = float(n - 1);
    scaled = scaled < last ? scaled : last;
    return __builtin_convertvector(scaled, I);
}

// The texels at (u, v) per lane.
template <typename F, typename I, int Lanes>
inline I sampler_point(const sampler_texture& tex, F u, F v) {
    const I index = sampler_wrap<F, I>(v, tex.height) * tex.width + sampler_wrap<F, I>(u, tex.width);
    I texel;
    for (int i = 0; i < Lanes; ++i) texel[i] = int32_t(tex.texels[index[i]]);
    return texel;
}

// ---- the general sampler (sampler.cpp) ----

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
