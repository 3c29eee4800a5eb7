// pipeline_vertex.h - the vertex records that flow between the pipeline stages.
//
// A vertex leaves transform-and-lighting as a clip_vertex (homogeneous clip-space position plus
// the lit colours and texture coordinates), may be split by clipping, and reaches the rasteriser
// as a raster_vertex (snapped screen position, depth, 1/w, attributes pre-multiplied by 1/w for
// perspective-correct interpolation).
#pragma once

#include <cstdint>

// Attribute slots carried per vertex: lit diffuse rgb, lit specular rgb, texture u, v of the first
// and the second stage's coordinate set, the vertex fog factor (1: no fog) and the diffuse alpha.
inline constexpr int attr_diffuse_r = 0;
inline constexpr int attr_diffuse_g = 1;
inline constexpr int attr_diffuse_b = 2;
inline constexpr int attr_specular_r = 3;
inline constexpr int attr_specular_g = 4;
inline constexpr int attr_specular_b = 5;
inline constexpr int attr_u = 6;
inline constexpr int attr_v = 7;
inline constexpr int attr_u1 = 8;
inline constexpr int attr_v1 = 9;
inline constexpr int attr_fog = 10;
inline constexpr int attr_alpha = 11;
inline constexpr int attr_count = 12;

struct clip_vertex {
    float position[4];  // x, y, z, w in clip space
    float attr[attr_count];
};

// Screen positions are fixed point with `raster_subpixel_bits` fractional bits; pixel (i, j) has
// its centre at (i, j).
inline constexpr int raster_subpixel_bits = 8;
inline constexpr int raster_subpixel_one = 1 << raster_subpixel_bits;

// Interpolated values of a raster vertex: depth z in [0, 1], q = 1/w, then each attribute times q
// (in pipeline_attribute order).
inline constexpr int raster_value_z = 0;
inline constexpr int raster_value_q = 1;
inline constexpr int raster_value_attr = 2;
inline constexpr int raster_value_count = raster_value_attr + attr_count;

// Room for the values rounded up to whole groups of four, so set-up can read them four at a time.
inline constexpr int raster_value_storage = (raster_value_count + 3) / 4 * 4;

struct raster_vertex {
    int32_t x;
    int32_t y;
    float value[raster_value_storage];  // slots past raster_value_count are 0
};
