// teapot_patches.h - the classic teapot as data: 32 bicubic Bezier patches over 306 control points.
//
// Each patch lists 16 zero-based indices into d3dx_teapot_points, row by row: control point
// (row r, column c) is entry 4r + c. Points are (x, y, z) in the data's own frame: right-handed,
// z up, spout towards +x, handle towards -x.
#pragma once

#include <cstdint>

inline constexpr int d3dx_teapot_patch_count = 32;
inline constexpr int d3dx_teapot_point_count = 306;

extern const uint16_t d3dx_teapot_patches[d3dx_teapot_patch_count][16];
extern const float d3dx_teapot_points[d3dx_teapot_point_count][3];
