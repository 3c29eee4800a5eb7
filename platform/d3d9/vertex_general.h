// vertex_general.h - the general vertex stage: every vertex layout and vertex state of the
// fixed-function pipeline, producing the general pipeline's records (general_vertex.h); and the
// clipping and viewport mapping of those records.
//
// Untransformed vertices: transform by world * view * projection, lighting as in
// transform_light.h (directional, point and spot lights), vertex fog into the fog slot, point size
// (scaled when asked, clamped), texture coordinates per stage, distances to the enabled user clip
// planes. Pre-transformed vertices: position, colours and texture coordinates as given, the fog
// factor from the specular alpha (1 without a specular colour), w = 1 / rhw.
//
// Texture coordinates: the attributes at gv_texcoord + 4 * s hold stage s's coordinates for every
// stage in `stage_mask` (the others hold set s as read). A stage's input is its TEXCOORDINDEX set
// (a set the vertex lacks reads (0, 0)) or a generated camera-space vector: the normal, the
// position, the reflection vector R = I - 2 (N.I) N (I the unit eye-to-vertex direction with a
// local viewer, (0, 0, 1) without), each as (x, y, z, 1); or the sphere map (Rx / m + 0.5,
// -Ry / m + 0.5) with m = 2 sqrt(Rx^2 + Ry^2 + (Rz - 1)^2). With COUNTn in TEXTURETRANSFORMFLAGS
// the input, padded with 1 after its last component and 0 beyond, is multiplied by the stage's
// texture matrix. Pre-transformed vertices take their sets as they are (no generation, no matrix).
#pragma once

#include <d3d9.h>

#include "platform/d3d9/general_vertex.h"
#include "platform/d3d9/transform_light.h"
#include "platform/d3d9/vertex_input.h"

#include <cstdint>

// A texture stage's coordinate states.
struct vg_texture_stage {
    uint32_t index = 0;  // TEXCOORDINDEX: set (low 16 bits) | D3DTSS_TCI_* generation mode
    uint32_t flags = 0;  // TEXTURETRANSFORMFLAGS: D3DTTFF_COUNT1..4, | D3DTTFF_PROJECTED
    float matrix[4][4] = {};
};

// The number of components the vertex stage hands a stage (1 to 4): its COUNT when given, else what
// its input has (`set_components[set]`: 0 for a set the layout lacks, which reads as two).
int vg_coordinate_count(const vg_texture_stage& stage, const uint8_t set_components[8], bool pretransformed);

// The components of a texture coordinate element of D3DDECLTYPE `type` (0 for UNUSED).
int vg_type_components(int type);

// The states the general vertex stage reads, gathered by the device once per draw.
struct vg_inputs {
    const tnl_matrices* matrices = nullptr;  // tnl_build_matrices of world, view, projection
    D3DMATERIAL9 material{};
    const tnl_light_slot* lights = nullptr;  // the enabled lights (disabled ones are skipped)
    int light_count = 0;
    // Room for light_count prepared lights, kept for the draw; may stay null while light_count is at
    // most vg_inline_lights (vg_draw's own room).
    tnl_light* light_storage = nullptr;
    tnl_switches switches;
    bool pretransformed = false;

    bool fog = false;              // FOGENABLE
    uint32_t fog_vertex_mode = 0;  // D3DFOG_*; ignored when fog_table_mode is not NONE
    uint32_t fog_table_mode = 0;
    bool range_fog = false;
    float fog_start = 0.0f, fog_end = 1.0f, fog_density = 1.0f;

    float point_size = 1.0f, point_size_min = 1.0f, point_size_max = 64.0f;
    bool point_scale = false;
    float point_scale_a = 1.0f, point_scale_b = 0.0f, point_scale_c = 0.0f;
    float viewport_height = 0.0f;

    float clip_planes[6][4] = {};  // world space
    uint32_t clip_plane_enable = 0;

    vg_texture_stage stages[8];
    uint32_t stage_mask = 0;         // bit s: stage s's coordinates are needed
    uint8_t set_components[8] = {};  // components of each set in the layout, 0 when absent
};

struct vg_draw;  // vertex_general.cpp: the inputs prepared for one draw (camera-space lights, ...)
struct vg_draw_storage {
    alignas(16) unsigned char bytes[4096];
};

inline constexpr int vg_inline_lights = 16;

// Null when light_count is negative, or above vg_inline_lights without light_storage, or when an
// untransformed draw has no matrices.
const vg_draw* vg_prepare(const vg_inputs& inputs, vg_draw_storage* storage);

void vg_process(const vg_draw* draw, const vi_vertex& in, gv_clip_vertex* out);

// Clip-space outcode of a processed vertex, clip.h's bits plus bit (16 + i) for user plane i
// behind which it lies. Pre-transformed vertices: 0.
uint32_t vg_outcode(const vg_draw* draw, const gv_clip_vertex& v);

inline constexpr int vg_max_polygon = 20;  // 3 + one per clipping plane (frustum, guard band, user)

// Clips a triangle against the planes its outcodes name; returns the polygon's vertex count
// (0, or >= 3) in the triangle's winding order.
int vg_clip_triangle(const vg_draw* draw, const gv_clip_vertex& a, const gv_clip_vertex& b, const gv_clip_vertex& c,
                     uint32_t needed, gv_clip_vertex out[vg_max_polygon]);

// Clips a line; false when nothing is left.
bool vg_clip_line(const vg_draw* draw, const gv_clip_vertex& a, const gv_clip_vertex& b, uint32_t needed,
                  gv_clip_vertex* out_a, gv_clip_vertex* out_b);

// The viewport mapping: clip space to pixels (x/w = -1 at the centre-left edge X - 0.5 + ... as in
// viewport.h, offset by the viewport's X and Y) with depth MinZ + z/w * (MaxZ - MinZ); pre-transformed
// vertices keep x, y, z and take q = rhw.
struct vg_viewport {
    float x, y, width, height, min_z, max_z;
};
gv_screen_vertex vg_project(const vg_draw* draw, const gv_clip_vertex& v, const vg_viewport& viewport);
