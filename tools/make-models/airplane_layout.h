// airplane_layout.h - the dimensions of the aeroplane and the layout of its skin texture, shared
// by the geometry (airplane.cpp) and the texture painter (airplane_skin.cpp) so that markings land
// where the surfaces are.
//
// Conventions: model units; the nose points along +x, y is up, the left (port) wing lies on +z.
// Fuselage stations are given by s = 0 at the nose ring to 1 at the tail; wing stations by
// eta = |z| / semi-span; chord positions by the fraction from the leading edge (0) to the trailing
// edge (1). Around a lofted ring, t runs from 0 to 1 as the grid maker lays it out.
#pragma once

#include "vec.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace models::airplane_layout {

constexpr float nose_x = 2.9f;  // the nose ring, where the spinner sits
constexpr float tail_x = -3.9f;
constexpr float fuselage_length = nose_x - tail_x;
constexpr float semi_span = 4.6f;
constexpr float wing_root_chord = 1.9f;
constexpr float wing_quarter_chord_x = 0.95f;
constexpr float wing_root_y = -0.30f;
constexpr float dihedral = 6.0f * pi / 180.0f;

// Cross-section of the fuselage at station s: centre height and half-height / half-width.
struct fuselage_shape {
    float y, ry, rz;
};

inline float smoothstep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

inline fuselage_shape fuselage_section(float s) {
    struct station_key {
        float s, ry, rz;
    };
    static constexpr station_key keys[] = {{0.00f, 0.40f, 0.40f}, {0.05f, 0.45f, 0.44f}, {0.16f, 0.53f, 0.48f},
                                           {0.30f, 0.56f, 0.48f}, {0.45f, 0.50f, 0.44f}, {0.75f, 0.30f, 0.24f},
                                           {1.00f, 0.11f, 0.07f}};
    size_t k = 0;
    while (k + 2 < std::size(keys) && s > keys[k + 1].s) ++k;
    const float f = smoothstep(keys[k].s, keys[k + 1].s, s);
    return {0.20f * smoothstep(0.42f, 1.0f, s), keys[k].ry + (keys[k + 1].ry - keys[k].ry) * f,
            keys[k].rz + (keys[k + 1].rz - keys[k].rz) * f};
}

// Ramanujan's approximation of the perimeter of the section (for letters of even height).
inline float fuselage_perimeter(float s) {
    const fuselage_shape c = fuselage_section(s);
    const float a = c.ry, b = c.rz;
    return pi * (3.0f * (a + b) - std::sqrt((3.0f * a + b) * (a + 3.0f * b)));
}

// Elliptic-like wing planform: the chord at span station eta (0 root, 1 tip).
inline float wing_chord(float eta) {
    return wing_root_chord * (0.22f + 0.78f * std::sqrt(std::max(0.0f, 1.0f - eta * eta)));
}

// Chord fraction at ring parameter t of an airfoil grid (cosine spacing from trailing edge over
// the upper surface to the leading edge at t = 0.5 and back along the lower surface).
inline float chord_fraction(float t) { return 0.5f * (1.0f + std::cos(2.0f * pi * t)); }

// A rectangle of the texture that one group of surfaces maps onto, inset by a texel and a half
// so that point sampling at a border never picks a neighbour's texel.
struct skin_region {
    float u0, v0, u1, v1;

    vec2 map(float s, float t, int texture_size) const {
        const float inset = 1.5f / static_cast<float>(texture_size);
        return {u0 + inset + (u1 - u0 - 2 * inset) * s, v0 + inset + (v1 - v0 - 2 * inset) * t};
    }
    bool contains(float u, float v) const { return u >= u0 && u < u1 && v >= v0 && v < v1; }
    // The inverse of map, clamped to [0, 1].
    vec2 local(float u, float v, int texture_size) const {
        const float inset = 1.5f / static_cast<float>(texture_size);
        return {std::clamp((u - u0 - inset) / (u1 - u0 - 2 * inset), 0.0f, 1.0f),
                std::clamp((v - v0 - inset) / (v1 - v0 - 2 * inset), 0.0f, 1.0f)};
    }
};

constexpr int skin_size = 512;
constexpr const char* skin_file = "airplane_skin.png";
constexpr skin_region fuselage_region{0.0f, 0.0f, 1.0f, 0.40f};
constexpr skin_region wing_region{0.0f, 0.40f, 1.0f, 0.75f};
constexpr skin_region fin_region{0.0f, 0.75f, 0.5f, 0.96f};
constexpr skin_region tailplane_region{0.5f, 0.75f, 1.0f, 0.96f};
constexpr skin_region plain_region{0.0f, 0.96f, 1.0f, 1.0f};  // plain white

// Where the untextured parts point their uvs: a white texel, so that they keep their own colour
// even when drawn while the skin texture is still bound.
inline vec2 plain_uv() { return plain_region.map(0.5f, 0.5f, skin_size); }

}  // namespace models::airplane_layout
