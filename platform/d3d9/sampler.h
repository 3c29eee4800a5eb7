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
// DOES NOT: filter, mipmap, or address other than by wrapping.
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
