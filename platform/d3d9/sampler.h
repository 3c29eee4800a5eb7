// sampler.h - point sampling of a texture with wrap addressing.
//
// Texture space: (0, 0) is the top-left corner of the image, u to the right, v downwards. Texels
// are points at texel centres, so point sampling picks texel floor(u * n), and wrap addressing
// takes it modulo n, for negative coordinates as well. The texel stays 0xAARRGGBB.
//
// DOES NOT: filter, mipmap, or address other than by wrapping.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

struct sampler_texture {
    const uint32_t* texels = nullptr;  // rows top to bottom, `width` texels per row
    int width = 0;
    int height = 0;
};

// Texel index for coordinate `t` along an axis of `n` texels: floor(t * n) mod n. Coordinates that
// are not finite give texel 0.
inline int sampler_wrap(float t, int n) {
    const float fraction = t - std::floor(t);  // exact, in [0, 1)
    const float scaled = std::max(0.0f, fraction * float(n));
    return int(std::min(scaled, float(n - 1)));
}

inline uint32_t sampler_point(const sampler_texture& tex, float u, float v) {
    return tex.texels[size_t(sampler_wrap(v, tex.height)) * size_t(tex.width) + size_t(sampler_wrap(u, tex.width))];
}
