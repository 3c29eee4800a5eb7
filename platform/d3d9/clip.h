// clip.h - homogeneous clipping of triangles in clip space.
//
// The visible volume is -w <= x <= w, -w <= y <= w, 0 <= z <= w. Triangles entirely outside one of
// its planes are rejected whole. The near (z >= 0) and far (z <= w) planes are clipped exactly; the
// four side planes are clipped only at a guard band `clip_guard_band` times wider than the
// viewport, because the rasteriser limits its pixels to the viewport anyway, which gives the same
// picture. New vertices interpolate position and every attribute linearly in clip space, always
// measured from the vertex inside the plane, so two triangles sharing a clipped edge get the same
// new vertex.
//
// DOES NOT: cull, project, or rasterise.
#pragma once

#include "platform/d3d9/pipeline_vertex.h"

#include <cstdint>

inline constexpr float clip_guard_band = 4.0f;
// Smallest w divided by; below it a vertex is clipped (clip_out_w).
inline constexpr float clip_min_w = 1e-6f;
// Most vertices a clipped triangle can have: 3 plus one per clipping plane.
inline constexpr int clip_max_vertices = 12;

// Outcode bits of one vertex: `clip_reject_mask` bits say on which side of the visible volume it
// lies (a triangle whose three vertices share one is invisible); `clip_needed_mask` bits say which
// clipping planes it violates. A vertex with a non-finite coordinate sets every bit.
enum : uint32_t {
    clip_out_left = 1u << 0,
    clip_out_right = 1u << 1,
    clip_out_bottom = 1u << 2,
    clip_out_top = 1u << 3,
    clip_out_near = 1u << 4,
    clip_out_far = 1u << 5,
    clip_beyond_left = 1u << 6,
    clip_beyond_right = 1u << 7,
    clip_beyond_bottom = 1u << 8,
    clip_beyond_top = 1u << 9,
    clip_out_w = 1u << 10,  // w too small to divide by
    clip_reject_mask = 0x3Fu | clip_out_w,
    clip_needed_mask = clip_out_near | clip_out_far | 0x3C0u | clip_out_w,
};

uint32_t clip_outcode(const float position[4]);

// Clips triangle (a, b, c) against the planes named in `needed` (clip_needed_mask bits). Writes the
// resulting convex polygon, in the triangle's winding order, to `out` and returns its vertex count
// (0 when nothing is left, otherwise at least 3).
int clip_triangle(const clip_vertex& a, const clip_vertex& b, const clip_vertex& c, uint32_t needed,
                  clip_vertex out[clip_max_vertices]);
