// general_vertex.h - the vertex records of the general pipeline: the one for every state the fast
// path (transform_light.h, raster.h) does not cover.
//
// Attributes travel as floats: diffuse rgba, specular rgb plus the fog factor (1 = no fog) in the
// specular's alpha slot, and eight texture coordinate sets of four components each.
#pragma once

inline constexpr int gv_diffuse = 0;          // r, g, b, a in [0, 1]
inline constexpr int gv_specular = 4;         // r, g, b in [0, 1]
inline constexpr int gv_fog = 7;              // fog factor in [0, 1]
inline constexpr int gv_texcoord = 8;         // set s at gv_texcoord + 4 * s: u, v, w, q
inline constexpr int gv_attr_count = 8 + 32;  // 40

// Leaves the vertex stage: a clip-space position (for pre-transformed vertices: screen x, y, z and
// w = 1 / rhw), the attributes, the point size in pixels (scaled and clamped) and the signed
// distances to the enabled user clip planes (kept where >= 0).
struct gv_clip_vertex {
    float position[4];
    float attr[gv_attr_count];
    float point_size;
    float clip_distance[6];
};

// Reaches the general rasteriser: screen position in pixels (pixel centres at integers), depth in
// [0, 1] after the viewport's MinZ/MaxZ mapping, q = 1 / w (rhw for pre-transformed vertices; 1 when
// there is no perspective), the attributes as they are (not multiplied by q).
struct gv_screen_vertex {
    float x, y, z, q;
    float attr[gv_attr_count];
    float point_size;
};
