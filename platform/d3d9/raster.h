// raster.h - the rasteriser: fills one screen-space triangle into the framebuffer.
//
// Conventions: pixel centres at whole coordinates (pixel (i, j) is the point (i, j)); a pixel is
// drawn when its centre is inside the triangle, and a centre exactly on an edge belongs to the
// triangle only for a top edge (horizontal, interior below) or a left edge, so triangles sharing
// an edge never both draw, nor both miss, a pixel. Edge functions are exact integers on the
// sub-pixel grid of pipeline_vertex.h. A front face is clockwise on screen (y down).
//
// Set-up (raster.cpp) prepares edges and planes per triangle; the row loops (raster_kernels.h)
// come in variants per state combination and instruction set, chosen once per draw by
// raster_compile.
//
// Per pixel: depth round(z * 65535) tested (and written on pass) before any shading; colours and
// texture coordinates interpolated perspective-correctly; texture stage 0 MODULATE (texel times
// diffuse; diffuse alone without a texture), optionally stage 1 MODULATE (its texel times that, at
// the second coordinate set), each texel filtered as the general sampler filters it
// (sampler.h: any filters, mip filter, address modes, LOD bias and MAXMIPLEVEL, the level of detail
// from the coordinates at the pixel's right and lower neighbours as the general route computes it); specular added
// after texturing; then, where the state asks for them, vertex fog (the colour clamped to [0, 1], then f * C + (1 - f)
// * fog colour with the interpolated factor f clamped to [0, 1]) and blending with BLENDOP ADD (SRCALPHA / INVSRCALPHA
// with the source alpha = diffuse alpha, times the texel's alpha when textured, clamped to [0, 1]; or ONE / ONE)
// against the target, whose alpha reads as 1; colours clamped to [0, 1] and written as round(c * 255) into 0x00RRGGBB.
// Pixels are limited to the framebuffer. The tiles under every drawn triangle's bounding box are marked dirty in the
// framebuffer.
//
// DOES NOT: clip (vertices must be inside the guard band of clip.h), alpha-test, pixel (table) fog,
// or blend with other factors and operations.
#pragma once

#include "platform/d3d9/framebuffer.h"
#include "platform/d3d9/pipeline_vertex.h"
#include "platform/d3d9/sampler.h"

#include <cstddef>
#include <cstdint>

enum class raster_cull { none, clockwise, counter_clockwise };

// Blending with BLENDOP ADD: none (off, or ONE / ZERO), SRCALPHA / INVSRCALPHA, ONE / ONE.
enum class raster_blend { none, source_alpha, add };

// What a draw asks of the rasteriser; filled by the device once per draw.
struct raster_state {
    d3d9_framebuffer* target = nullptr;
    uint32_t* colour = nullptr;  // set by raster_compile: the target's pixels and depth values (null
    uint16_t* depth = nullptr;   // without a depth buffer)
    int pitch = 0;
    // Stage 0's sampler (its states and levels) and where raster_compile keeps its compiled plan;
    // null, or a sampler without levels: untextured.
    const sampler_setup* sampler = nullptr;
    sampler_plan_storage* sampler_storage = nullptr;
    const sampler_plan* plan = nullptr;  // set by raster_compile: null when untextured
    // The same for stage 1, modulating CURRENT by its texture at the second coordinate set (null,
    // or a sampler without levels: no second stage; only with a textured stage 0).
    const sampler_setup* sampler1 = nullptr;
    sampler_plan_storage* sampler1_storage = nullptr;
    const sampler_plan* plan1 = nullptr;  // set by raster_compile
    bool specular = false;                // add the specular colour (untextured: the vertices' diffuse
                                          // values must already hold diffuse + specular, see viewport.h)
    bool depth_test = false;              // a depth buffer exists and testing is on
    bool depth_write = true;
    uint32_t depth_func = 4;  // D3DCMP_* (LESSEQUAL)
    raster_cull cull = raster_cull::none;
    bool fog = false;              // blend with fog_rgb by the interpolated vertex fog factor
    float fog_rgb[3] = {0, 0, 0};  // the fog colour, 0..255 per channel
    raster_blend blend = raster_blend::none;
    int small_extent = 64;  // triangles up to this many pixels wide and high take the
                            // bounding-box path (at most 64: 32-bit edge values)

    // Drawing changes the depth buffer (the tiles a later clear must refill).
    bool writes_depth() const { return depth != nullptr && depth_test && depth_write; }
};

struct raster_setup;
using raster_rows_fn = void (*)(const raster_setup&, const raster_state&);
struct raster_small_batch;
using raster_small_fn = void (*)(const raster_small_batch& batch, int lane, const raster_state& state);

// A triangle for raster_triangles: its vertices a, b, c.
struct raster_triangle_ref {
    const raster_vertex* v[3];
};

struct raster_program;
using raster_batch_fn = void (*)(const raster_program&, const raster_triangle_ref* triangles, size_t count);
using raster_small_one_fn = void (*)(const raster_program&, const raster_setup& setup);

// The state compiled for drawing: the row loops specialised for the state's combination.
struct raster_program {
    raster_state state;
    raster_rows_fn rows = nullptr;         // large triangles
    raster_small_fn small_rows = nullptr;  // small triangles
    raster_batch_fn triangles = nullptr;   // set-up of several triangles at once
    bool all_values = true;                // set-up interpolates every raster vertex value; false:
                                           // only the first eight (untextured: depth, 1/w, diffuse)
    uint32_t planes = ~0u;                 // the planes the kernels read, one bit per plane
    // A small triangle set up alone (raster_triangle): its record, then small_rows.
    raster_small_one_fn small_one = nullptr;
};

raster_program raster_compile(const raster_state& state);

// The same with an explicit set of kernels (raster_setup.h), for comparing the variants.
struct raster_kernel_table;
raster_program raster_compile(const raster_state& state, const raster_kernel_table& kernels);

// Draws triangle (a, b, c) unless it is culled, degenerate, or covers no pixel centre.
void raster_triangle(const raster_program& program, const raster_vertex& a, const raster_vertex& b,
                     const raster_vertex& c);

// Draws the triangles in order, each exactly as raster_triangle would (vertices inside the guard
// band likewise), setting up several at once.
void raster_triangles(const raster_program& program, const raster_triangle_ref* triangles, size_t count);

// True when the triangle is clockwise on screen (y down) and not degenerate; the cull decision
// for clipped triangles, from clip-space x, y and w.
bool raster_is_clockwise_clip(const float a[4], const float b[4], const float c[4]);
