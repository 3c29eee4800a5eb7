// light_terms.h - the per-light terms of fixed-function lighting (transform_light.h gives the
// equations), shared by the fast vertex stage and the general one so that both light alike.
//
// Point and spot lights: no effect beyond Range (a Range of 0 or less lights nothing); attenuation
// 1 / (Att0 + Att1 d + Att2 d^2), +infinity when that sum is 0 (a colour component of 0 times it
// stays 0), nothing when it is negative or not a number; spot factor 1 inside the inner cone, 0 at
// or outside the outer one, ((rho - cos(Phi/2)) / (cos(Theta/2) - cos(Phi/2)))^Falloff between
// (an outer cone narrower than the inner one gives a hard edge at the outer one).
//
// DOES NOT: read vertices or write records; the stages do.
#pragma once

#include <d3d9.h>

#include "platform/d3d9/transform_light.h"

#include <algorithm>
#include <cmath>

namespace tnl_terms {

struct vec3 {
    float x, y, z;
};

inline vec3 operator+(vec3 a, vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline vec3 operator-(vec3 a, vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline vec3 operator*(vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Unit vector along v; zero for a zero vector.
inline vec3 normalised(vec3 v) {
    const float length_squared = dot(v, v);
    return length_squared > 0.0f ? v * (1.0f / std::sqrt(length_squared)) : vec3{0, 0, 0};
}

inline vec3 vec(const float v[3]) { return {v[0], v[1], v[2]}; }
inline void store(vec3 v, float out[3]) { out[0] = v.x, out[1] = v.y, out[2] = v.z; }

// Point (w = 1) times the 4x3 part of m.
inline vec3 transform_point(const float m[4][4], vec3 p) {
    return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
            p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
            p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
}

inline vec3 transform_direction(const float m[4][4], vec3 d) {
    return {d.x * m[0][0] + d.y * m[1][0] + d.z * m[2][0], d.x * m[0][1] + d.y * m[1][1] + d.z * m[2][1],
            d.x * m[0][2] + d.y * m[1][2] + d.z * m[2][2]};
}

inline void rgb(const D3DCOLORVALUE& c, float out[3]) { out[0] = c.r, out[1] = c.g, out[2] = c.b; }

inline void unpack_colour(D3DCOLOR c, float out[3]) {
    out[0] = float((c >> 16) & 0xFFu) * (1.0f / 255.0f);
    out[1] = float((c >> 8) & 0xFFu) * (1.0f / 255.0f);
    out[2] = float(c & 0xFFu) * (1.0f / 255.0f);
}

inline tnl_light prepare_light(const D3DLIGHT9& l, const float view[4][4]) {
    tnl_light p{};
    p.type = l.Type;
    rgb(l.Diffuse, p.diffuse);
    rgb(l.Specular, p.specular);
    rgb(l.Ambient, p.ambient);
    const vec3 direction = normalised(transform_direction(view, {l.Direction.x, l.Direction.y, l.Direction.z}));
    store(direction * -1.0f, p.to_light);
    store(direction, p.spot_axis);
    store(transform_point(view, {l.Position.x, l.Position.y, l.Position.z}), p.position);
    p.range = l.Range;
    p.attenuation[0] = l.Attenuation0, p.attenuation[1] = l.Attenuation1, p.attenuation[2] = l.Attenuation2;
    p.cos_half_theta = std::cos(0.5f * l.Theta);
    p.cos_half_phi = std::cos(0.5f * l.Phi);
    p.falloff = l.Falloff;
    return p;
}

// Attenuation times spot factor of a point or spot light at camera-space position v; sets *to_light.
inline float local_light_factor(const tnl_light& l, vec3 v, vec3* to_light) {
    const vec3 offset = vec(l.position) - v;
    const float distance = std::sqrt(dot(offset, offset));
    if (!(l.range > 0.0f) || !(distance <= l.range)) return 0.0f;
    *to_light = distance > 0.0f ? offset * (1.0f / distance) : vec3{0, 0, 0};
    const float denominator = l.attenuation[0] + distance * (l.attenuation[1] + distance * l.attenuation[2]);
    float factor = denominator >= 0.0f ? 1.0f / denominator : 0.0f;  // 1 / +0 = +infinity
    if (l.type == D3DLIGHT_SPOT) {
        const float rho = -dot(vec(l.spot_axis), *to_light);
        if (rho <= l.cos_half_phi) return 0.0f;
        if (rho < l.cos_half_theta) {
            const float t = (rho - l.cos_half_phi) / (l.cos_half_theta - l.cos_half_phi);
            factor *= l.falloff == 1.0f ? t : std::pow(t, l.falloff);
        }
    }
    return factor;
}

// The base below which x^P, P whole and at least 1, is below the smallest normal float: 2^(-126/P),
// rounded up. Such powers count as 0, as on hardware that flushes denormal numbers: computing them
// would cost the processor a slow assist per operation and change no colour. 0 for P = 0 (x^0 = 1).
inline float power_floor(int whole_power) {
    if (whole_power <= 0) return 0.0f;
    const double floor = std::exp2(-126.0 / whole_power);
    const float rounded = float(floor);
    return double(rounded) < floor ? std::nextafter(rounded, 1.0f) : rounded;
}

// x^P: by repeated squaring for a whole P (at most 20 multiplications; relative error about 2P ulp,
// far below one colour step for P <= 1024; 0 for x below d.power_floor), else pow. No squaring
// beyond the highest bit of P, so no intermediate value is below x^P.
inline float specular_power(float x, const tnl_draw& d) {
    if (d.whole_power < 0) return std::pow(x, d.power);
    if (x < d.power_floor) return 0.0f;
    float result = 1.0f;
    for (int e = d.whole_power; e > 0; e >>= 1) {
        if (e & 1) result *= x;
        if (e > 1) x *= x;
    }
    return result;
}

// Colour c times factor f, a zero component staying zero even when f is infinite.
inline vec3 scaled(vec3 c, float f) {
    return {c.x != 0.0f ? c.x * f : 0.0f, c.y != 0.0f ? c.y * f : 0.0f, c.z != 0.0f ? c.z * f : 0.0f};
}

struct light_sums {
    vec3 ambient, diffuse, specular;
};

// Sums the lights' contributions for a vertex at camera-space position v with normal n.
inline light_sums sum_lights(const tnl_draw& d, vec3 v, vec3 n, bool has_normal) {
    light_sums sums{vec(d.ambient_light), {0, 0, 0}, {0, 0, 0}};
    vec3 to_eye{0, 0, -1};  // a local viewer's is found at the first specular highlight
    bool to_eye_known = !d.local_viewer;
    for (int i = 0; i < d.light_count; ++i) {
        const tnl_light& l = d.lights[i];
        vec3 to_light = vec(l.to_light);
        float factor = 1.0f;
        if (l.type != D3DLIGHT_DIRECTIONAL) {
            factor = local_light_factor(l, v, &to_light);
            if (!(factor > 0.0f)) continue;
            sums.ambient = sums.ambient + scaled(vec(l.ambient), factor);
        }
        if (!has_normal) continue;
        const float n_dot_l = dot(n, to_light);
        if (!(n_dot_l > 0.0f)) continue;
        sums.diffuse = sums.diffuse + scaled(vec(l.diffuse), n_dot_l * factor);
        if (!d.specular) continue;
        if (!to_eye_known) {
            to_eye = normalised(v * -1.0f);
            to_eye_known = true;
        }
        const float n_dot_h = dot(n, normalised(to_eye + to_light));
        if (n_dot_h > 0.0f)
            sums.specular = sums.specular + scaled(vec(l.specular), specular_power(n_dot_h, d) * factor);
    }
    return sums;
}

inline vec3 clamp01(vec3 v) {
    return {std::min(std::max(0.0f, v.x), 1.0f), std::min(std::max(0.0f, v.y), 1.0f),
            std::min(std::max(0.0f, v.z), 1.0f)};
}

// Colour a times light sum b per component; a zero colour component gives zero even against an
// infinite sum.
inline vec3 times(vec3 a, vec3 b) {
    return {a.x != 0.0f ? a.x * b.x : 0.0f, a.y != 0.0f ? a.y * b.y : 0.0f, a.z != 0.0f ? a.z * b.z : 0.0f};
}

// x clamped to [0, 1]; NaN gives 0.
inline float clamp_unit(float x) { return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f; }

// What vertex fog measures from the camera-space position: its z, or with range fog its distance.
inline float fog_distance(bool range, vec3 eye) { return range ? std::sqrt(dot(eye, eye)) : eye.z; }

// The vertex fog factor of `mode` (D3DFOG_*) at `distance`, clamped to [0, 1]; LINEAR with start =
// end is a step (1 before end, 0 from it on); NONE and unknown modes give 1 (no fog).
inline float fog_factor(uint32_t mode, float start, float end, float density, float distance) {
    switch (mode) {
    case D3DFOG_LINEAR:
        if (end == start) return distance < end ? 1.0f : 0.0f;
        return clamp_unit((end - distance) / (end - start));
    case D3DFOG_EXP: return clamp_unit(std::exp(-distance * density));
    case D3DFOG_EXP2: {
        const float x = distance * density;
        return clamp_unit(std::exp(-x * x));
    }
    default: return 1.0f;
    }
}

inline vec3 unpacked(D3DCOLOR c) {
    float rgb[3];
    unpack_colour(c, rgb);
    return vec(rgb);
}

}  // namespace tnl_terms
