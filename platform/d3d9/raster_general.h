// raster_general.h - the general rasteriser: triangles, points and lines with every per-pixel
// state of the fixed-function pipeline, for the draws the fast path (raster.h) does not cover.
//
// The state is resolved once per draw into a program: a chain of span stages chosen for the states
// in force, never a decision per pixel. Pixel order: the texture stages (pixel_texture_stages.cpp),
// specular add, fog, alpha test, scissor/viewport rectangle, stencil and depth, blend, colour write
// mask, write. Depth is tested and stored at the depth buffer's precision.
//
// Texture coordinates: stage s reads the attributes at gv_texcoord + 4 * s, which the vertex stage
// fills with that stage's coordinates (after generation and transform). A stage samples (u, v) =
// its components 0 and 1, divided by component `coordinate_count - 1` when `projected`. Wrapped
// components (WRAPn of the set the stage reads) are interpolated the shorter way round: the second
// and third vertex of a triangle (the second end of a line) are shifted by whole numbers towards the
// first vertex's value.
//
// Coverage: triangles by the top-left rule of raster.h; a point is the square of side `point_size`
// centred on the vertex under the same rule; a line is one pixel per step along its major axis,
// pixel (c, floor(y(c) + 0.5)), the last pixel drawn only when asked; end points that round to the
// same pixel draw that pixel alone, only when the last pixel is asked. Values along a line use its
// parameter clamped to [0, 1], so the half pixel before the first end point repeats its values.
//
// DOES NOT: clip (vertices must lie inside the guard band of clip.h), cull, or transform.
#pragma once

#include "platform/d3d9/framebuffer.h"
#include "platform/d3d9/general_vertex.h"
#include "platform/d3d9/sampler.h"

#include <cstdint>

struct gr_stencil_face {
    uint32_t func = 8;                            // D3DCMP_*
    uint32_t fail = 1, depth_fail = 1, pass = 1;  // D3DSTENCILOP_*
};

struct gr_blend {
    uint32_t source = 2, destination = 1, op = 1;                    // D3DBLEND_*, D3DBLENDOP_* (colour)
    uint32_t source_alpha = 2, destination_alpha = 1, op_alpha = 1;  // the alpha channel's
};

inline constexpr int gr_texture_stages = 8;

// One texture stage's states (D3DTOP_*, D3DTA_* values) and what it samples.
struct gr_texture_stage {
    uint32_t colour_op = 1, colour_arg0 = 1, colour_arg1 = 2, colour_arg2 = 1;
    uint32_t alpha_op = 1, alpha_arg0 = 1, alpha_arg1 = 2, alpha_arg2 = 1;
    uint32_t result_arg = 1;          // D3DTA_CURRENT or D3DTA_TEMP
    uint32_t constant = 0xFFFFFFFFu;  // D3DTSS_CONSTANT, 0xAARRGGBB
    int coordinate_count = 2;         // components the vertex stage hands this stage (1 to 4)
    bool projected = false;           // divide by the last of them
    uint32_t wrap = 0;                // D3DWRAPCOORD_0..3 bits
    sampler_setup sampler;            // level_count 0: no texture
};

// Everything a draw asks of the pixels, resolved from the device's states.
struct gr_state {
    d3d9_framebuffer* target = nullptr;
    int left = 0, top = 0, right = 0, bottom = 0;  // pixels outside [left, right) x [top, bottom) are not drawn
    bool discard_outside_depth_range = false;      // pre-transformed: z outside [0, 1] draws nothing

    gr_texture_stage stages[gr_texture_stages];  // the texture stage states, stage by stage
    uint32_t texture_factor = 0xFFFFFFFFu;       // TEXTUREFACTOR, 0xAARRGGBB
    bool specular = false;                       // add the specular colour's rgb

    bool fog = false;
    uint32_t fog_table_mode = 0;  // D3DFOG_*; NONE: the interpolated fog factor of the vertices
    bool fog_uses_w = false;      // pixel fog measures 1/q (eye depth) rather than z
    float fog_start = 0.0f, fog_end = 1.0f, fog_density = 1.0f;
    uint32_t fog_colour = 0;  // 0x00RRGGBB

    bool alpha_test = false;
    uint32_t alpha_func = 8, alpha_ref = 0;

    bool depth_test = false;  // a depth buffer exists and ZENABLE is on
    bool depth_write = true;
    uint32_t depth_func = 4;
    float depth_bias = 0.0f, slope_scale_depth_bias = 0.0f;  // triangles only

    bool stencil = false;  // a stencil buffer exists and STENCILENABLE is on
    bool two_sided_stencil = false;
    gr_stencil_face clockwise, counter_clockwise;
    uint32_t stencil_ref = 0, stencil_mask = 0xFFFFFFFFu, stencil_write_mask = 0xFFFFFFFFu;

    bool blend = false;
    gr_blend blending;
    bool separate_alpha = false;
    uint32_t blend_factor = 0xFFFFFFFFu;
    uint32_t colour_write_mask = 0xF;  // D3DCOLORWRITEENABLE_* bits
    bool target_alpha = false;         // the target keeps alpha (A8R8G8B8): blended and written
};

struct gr_program;  // raster_general.cpp: the state plus the chosen span stages
struct gr_program_storage {
    alignas(16) unsigned char bytes[12288];
};

// Compiles `state` into `storage` (no allocation) and returns the program.
const gr_program* gr_compile(const gr_state& state, gr_program_storage* storage);

// The stages whose coordinates the program reads (bit s: stage s), for the vertex stage.
uint32_t gr_sampled_stages(const gr_program* program);

// Draws triangle (a, b, c), whatever its winding (the caller culls); the winding on screen picks
// the stencil face.
void gr_triangle(const gr_program* program, const gv_screen_vertex& a, const gv_screen_vertex& b,
                 const gv_screen_vertex& c);

// Draws a point of a.point_size pixels; `sprite` replaces every texture coordinate set with (0, 0)
// at the square's top-left corner to (1, 1) at its bottom-right.
void gr_point(const gr_program* program, const gv_screen_vertex& a, bool sprite);

// Draws the line from a to b; the pixel of b only when `last_pixel`.
void gr_line(const gr_program* program, const gv_screen_vertex& a, const gv_screen_vertex& b, bool last_pixel);
