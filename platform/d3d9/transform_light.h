// transform_light.h - the vertex stage: transform to clip space and fixed-function lighting.
//
// Conventions: row vectors (v' = v * M), left-handed, camera looking down +z. Positions go to clip
// space by world * view * projection. Lighting runs in camera space: the position by world * view,
// the normal by the inverse-transpose of the 3x3 part of world * view (renormalised only when
// asked), light directions and positions by the view matrix alone (lights are given in world
// space). Per light i, with dot products clamped at 0:
//   diffuse  = Ca * (Ga + sum Atten*Spot*La_i) + sum Cd * Ld_i * (N.L_i) * Atten*Spot + Ce
//   specular = Cs * sum Ls_i * (N.H_i)^P * Atten*Spot, only where N.L_i > 0 and N.H_i > 0
// with H = norm(norm(-V) + L) for a local viewer, norm((0,0,-1) + L) otherwise; both sums are
// clamped to [0, 1] per vertex after all lights (the per-light terms Atten and Spot of point and spot
// lights: light_terms.h). Colour sources follow the material-source states
// while COLORVERTEX is on; a source naming a colour the vertex lacks takes the material colour.
// Without lighting the diffuse colour is the vertex colour (white without one) and specular is 0.
// Without specular enabled, specular is 0. A vertex without a normal gets ambient and emissive only.
//
// Each vertex also carries its diffuse alpha (the vertex colour's where the diffuse colour comes
// from the vertex, else the material's, clamped to [0, 1]; unlit: the vertex colour's, 1 without
// one) and its vertex fog factor (light_terms.h's fog_factor on the camera-space position; 1 without
// vertex fog).
//
// DOES NOT: own any state (the device does), clip, cull, or compute pixel (table) fog.
#pragma once

#include <d3d9.h>

#include "platform/d3d9/pipeline_vertex.h"
#include "platform/d3d9/viewport.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

// The lights the device reports it can enable at once; it lights every enabled light all the same.
inline constexpr int tnl_max_lights = 8;

// One vertex element as the fast stage reads it: element k lies at data + k * stride (any
// alignment). A null `data` means the vertices lack the element.
struct tnl_element {
    const unsigned char* data = nullptr;
    size_t stride = 0;
};

// The vertex data of a draw: float3 positions (required), float3 normals (absent: ambient and
// emissive lighting only), D3DCOLOR diffuse (absent: the material colours), float2 texture
// coordinates of the first and the second stage's set (absent: (0, 0)).
struct tnl_streams {
    tnl_element positions, normals, diffuse, texcoords, texcoords1;
};

inline D3DVECTOR tnl_read_vector(const tnl_element& e, uint32_t index) {
    D3DVECTOR v;
    std::memcpy(&v, e.data + size_t(index) * e.stride, sizeof v);
    return v;
}

inline uint32_t tnl_read_colour(const tnl_element& e, uint32_t index) {
    uint32_t c;
    std::memcpy(&c, e.data + size_t(index) * e.stride, sizeof c);
    return c;
}

inline void tnl_read_texcoord(const tnl_element& e, uint32_t index, float* u, float* v) {
    float uv[2];
    std::memcpy(uv, e.data + size_t(index) * e.stride, sizeof uv);
    *u = uv[0], *v = uv[1];
}

// A light as the device stores it, under the index the program gave it.
struct tnl_light_slot {
    D3DLIGHT9 light{};
    bool enabled = false;
    DWORD index = 0;
};

// The matrices derived from world, view and projection; rebuilt when one of them changes.
struct tnl_matrices {
    float world_view_projection[4][4];
    float world_view[4][4];
    float normal[3][3];  // inverse-transpose of world_view's 3x3 part; zero when that is singular
    float view[4][4];
};

void tnl_build_matrices(const D3DMATRIX& world, const D3DMATRIX& view, const D3DMATRIX& projection, tnl_matrices* out);

// The render states that the vertex stage reads.
struct tnl_switches {
    bool lighting = true;
    bool specular = false;
    bool local_viewer = true;
    bool normalize_normals = false;
    bool colour_vertex = true;
    uint32_t diffuse_source = 1;  // D3DMCS_*
    uint32_t specular_source = 2;
    uint32_t ambient_source = 0;
    uint32_t emissive_source = 0;
    uint32_t global_ambient = 0;  // D3DCOLOR
    uint32_t fog_mode = 0;        // vertex fog's D3DFOG_* formula; NONE: no vertex fog
    bool range_fog = false;
    float fog_start = 0.0f, fog_end = 1.0f, fog_density = 1.0f;
};

// A light prepared for one draw, in camera space.
struct tnl_light {
    D3DLIGHTTYPE type;
    float diffuse[3], specular[3], ambient[3];
    float to_light[3];   // directional: unit direction towards the light
    float position[3];   // point and spot
    float spot_axis[3];  // spot: unit direction the light shines in
    float range, attenuation[3], cos_half_theta, cos_half_phi, falloff;
};

// Everything one draw needs per vertex; built once per draw by tnl_prepare.
struct tnl_draw {
    const tnl_matrices* matrices;
    tnl_streams streams;
    viewport_mapping viewport;
    bool lighting, specular, local_viewer, normalize_normals, needs_eye_position;
    bool diffuse_from_vertex, ambient_from_vertex, emissive_from_vertex;
    float material_diffuse[3], material_ambient[3], material_specular[3], material_emissive[3], power;
    int whole_power;       // power when it is a whole number in [0, 1024] (raised by squaring), else -1
    float power_floor;     // whole powers: bases below it give 0 (their power is below the smallest
                           // normal float, flushed to zero as the hardware does)
    bool fog_alpha;        // carry the fog factor and alpha (tnl_prepare: true); false: the batched
                           // stage may leave them unset, for draws whose pixels read neither
    float material_alpha;  // the material's diffuse alpha, clamped to [0, 1]
    uint32_t fog_mode;     // as tnl_switches
    bool range_fog;
    float fog_start, fog_end, fog_density;
    float ambient_light[3];   // global ambient plus the directional lights' ambient
    const tnl_light* lights;  // the enabled lights, in the storage tnl_prepare was given
    int light_count;
};

// Prepares the enabled ones of `light_count` lights into `light_storage`, which has room for
// `light_count` lights and must outlive the draw.
void tnl_prepare(const tnl_matrices& matrices, const D3DMATERIAL9& material, const tnl_light_slot lights[],
                 size_t light_count, tnl_light* light_storage, const tnl_switches& switches, const tnl_streams& streams,
                 const viewport_mapping& viewport, tnl_draw* out);

// A transformed and lit vertex. `screen` is valid when (outcode & clip_needed_mask) == 0.
struct tnl_vertex {
    clip_vertex clip;
    raster_vertex screen;
    uint32_t outcode;
};

void tnl_process(const tnl_draw& draw, uint32_t index, tnl_vertex* out);

// Whether tnl_process_batch can take the draw: lighting off, or any lights with specular off or a
// whole specular power (transform_light_batch.cpp).
bool tnl_batch_supported(const tnl_draw& draw);

// tnl_process for each of `count` vertex indices, several at a time, into vertices[index]; the same
// results bit for bit.
void tnl_process_batch(const tnl_draw& draw, const uint32_t* indices, size_t count, tnl_vertex* vertices);

// The batched stage per instruction-set level (transform_light_batch_*.cpp, four or eight vertices
// at a time; x86-64-v4: sixteen for draws with point or spot lights, the x86-64-v3 stage for the
// rest), and the one this CPU runs (tnl_dispatch_*.cpp).
using tnl_batch_fn = void (*)(const tnl_draw& draw, const uint32_t* indices, size_t count, tnl_vertex* vertices);
tnl_batch_fn tnl_batch_baseline();
tnl_batch_fn tnl_batch_x86_64_v3();
tnl_batch_fn tnl_batch_x86_64_v4();
tnl_batch_fn tnl_batch_selected();
