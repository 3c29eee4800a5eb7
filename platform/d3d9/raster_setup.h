// raster_setup.h - the per-triangle record that set-up (raster.cpp) hands to the span kernels
// (raster_kernels.h), and the kernel table.
//
// Small triangles (at most raster_state::small_extent <= 64 pixels wide and high) are walked over
// their bounding box with the three edge functions evaluated per pixel in 32-bit lanes, which
// cannot overflow at that size. Larger ones use edge walkers: for an edge E = a*px + b*py + c
// (inside when E >= 0), the covered columns of a row are bounded on one side by
// floor(+-(b*py + c) / |a|); a walker keeps that quotient q and its remainder r and advances both
// by one row exactly, without a division. Planes: f(px, py) = origin + dx*(px - x0) + dy*(py - y0)
// for depth, 1/w and the attributes over w.
#pragma once

#include "platform/d3d9/raster.h"
#include "platform/d3d9/sampler_plan.h"

#include <cstdint>

struct raster_walker {
    int64_t q, r, d, step_q, step_r;
};

// Plane slots, in the order of the raster vertex values they interpolate.
enum : int {
    plane_depth = raster_value_z,                   // z * 65535 + 0.5
    plane_q = raster_value_q,                       // 1 / w
    plane_c0 = raster_value_attr + attr_diffuse_r,  // diffuse r, g, b times 255
    plane_c1,                                       //   (untextured: plus specular)
    plane_c2,
    plane_s0 = raster_value_attr + attr_specular_r,  // specular r, g, b times 255
    plane_s1,
    plane_s2,
    plane_u = raster_value_attr + attr_u,
    plane_v = raster_value_attr + attr_v,
    plane_u1 = raster_value_attr + attr_u1,  // the second stage's coordinates
    plane_v1 = raster_value_attr + attr_v1,
    plane_fog = raster_value_attr + attr_fog,      // the vertex fog factor
    plane_alpha = raster_value_attr + attr_alpha,  // diffuse alpha
    plane_count = raster_value_count,
};

struct raster_setup {
    raster_walker left[2], right[2];  // large: columns x >= -left.q and x <= right.q; unused never bind
    int32_t edge_start[3];            // small: E at (column_first, row_first), and its steps
    int32_t edge_dx[3];
    int32_t edge_dy[3];
    alignas(16) float origin[raster_value_storage];
    alignas(16) float dx[raster_value_storage];
    alignas(16) float dy[raster_value_storage];
    float x0, y0;  // vertex 0 in pixels
    int row_first, row_last, column_first, column_last;
};

// The planes a kernel variant reads, one bit per plane: depth, 1/w and diffuse; textured, also
// specular and the texture coordinates (of both stages with two); the fog factor with fog; alpha
// when blending by it. Always a run of planes from 0 plus planes past the texture coordinates (the
// batched set-up relies on it).
constexpr uint32_t raster_planes_read(bool textured, bool two_stages, bool fog, bool alpha) {
    const uint32_t base = (1u << (plane_c2 + 1)) - 1u;
    const uint32_t texture = textured ? (1u << ((two_stages ? plane_v1 : plane_v) + 1)) - 1u : 0u;
    return base | texture | (fog ? 1u << plane_fog : 0u) | (alpha ? 1u << plane_alpha : 0u);
}

// What the planes scale each raster vertex value by: depth to 16-bit steps, colours to 0..255.
// (The slots past the values are padding.)
alignas(16) inline constexpr float raster_plane_scale[raster_value_storage] = {
    65535.0f, 1.0f, 255.0f, 255.0f, 255.0f, 255.0f, 255.0f, 255.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
static_assert(raster_value_storage == 16, "a scale per slot");

// Small triangles as set-up leaves them for the small-triangle kernel, up to raster_lanes_max at
// once, one per lane (structure of arrays): triangle `lane` of a record is drawn by
// kernel(record, lane, state). Bounds and edges as in raster_setup; the planes' dx and dy, and
// their value at the bounding box's first pixel, origin + dy * (row_first - y0) + dx *
// (column_first - x0), evaluated as one expression of the kernels' instruction set (fused
// multiply-adds where it has them), for triangles set up together and alone alike.
inline constexpr int raster_lanes_max = 8;

struct raster_small_batch {
    alignas(32) int32_t column_first[raster_lanes_max], column_last[raster_lanes_max];
    alignas(32) int32_t row_first[raster_lanes_max], row_last[raster_lanes_max];
    alignas(32) int32_t edge_start[3][raster_lanes_max], edge_dx[3][raster_lanes_max], edge_dy[3][raster_lanes_max];
    alignas(32) float base[plane_count][raster_lanes_max];
    alignas(32) float dx[plane_count][raster_lanes_max];
    alignas(32) float dy[plane_count][raster_lanes_max];
};

// The row loops for every state combination, indexed [texture][specular][depth mode][fog][blend]
// (blend: raster_blend as an integer).
enum raster_depth_mode : int {
    raster_depth_off,
    raster_depth_less_equal_write,
    raster_depth_generic,
    raster_depth_less_equal_read,  // LESSEQUAL without writing (blended layers over a drawn scene)
    raster_depth_modes
};
inline constexpr int raster_blend_modes = 3;

// How the kernels sample: not at all; stage 0 with point or bilinear filtering of one level with
// wrapping on both axes, inline (the common cases); stage 0 with any other sampler state through the plan's
// group routine; stage 0 and stage 1 (TEXTURE times CURRENT on its own coordinates) through theirs.
enum raster_texture_mode : int {
    raster_texture_none,
    raster_texture_point_wrap,
    raster_texture_linear_wrap,
    raster_texture_plan,
    raster_texture_two_stages,
    raster_texture_modes
};

struct raster_kernel_table {
    // large triangles: exact spans from the walkers
    raster_rows_fn rows[raster_texture_modes][2][raster_depth_modes][2][raster_blend_modes];
    // small triangles: bounding box, per-pixel edges
    raster_small_fn small[raster_texture_modes][2][raster_depth_modes][2][raster_blend_modes];
    raster_batch_fn triangles;         // set-up of several triangles (raster_batch.h)
    raster_small_one_fn small_one;     // the end of one small triangle's set-up (raster_batch.h)
    sampler_choose_fn sampler_choose;  // the sampler routines of the kernels' lane width
};

// The portable kernels (four pixels per step) and, where the build has them, kernels for the
// x86-64-v3 level (AVX2, FMA; eight pixels per step). raster_kernels() picks what the CPU runs.
const raster_kernel_table& raster_kernels_baseline();
const raster_kernel_table& raster_kernels_x86_64_v3();
const raster_kernel_table& raster_kernels();

// The per-triangle terms of the attribute planes, for clockwise (a, b, c): the edge vectors
// b - a and c - a in pixels, and 2^16 / area (area: twice the triangle's area in sub-pixel units
// squared, > 0).
struct raster_plane_terms {
    float e1x, e1y, e2x, e2y, inv_area;
};
