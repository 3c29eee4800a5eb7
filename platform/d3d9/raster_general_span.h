// raster_general_span.h - what the general rasteriser's coverage (raster_general.cpp) hands to its
// span stages (pixel_stages.cpp): the planes of a primitive, a span of pixels, and the program.
//
// A plane gives a value at plane coordinates (fx, fy): origin + dx * fx + dy * fy. Triangles and
// points use fx = column - x0, fy = row - y0; a line uses fx = t, its parameter from the first end
// point (0) to the second (1), and fy = 0. The planes carry depth z and q = 1 / w as they are and
// every other value multiplied by q, so that value = plane / q is perspective-correct.
//
// A span is up to gr_span_max pixels sharing fy, each with its own fx and its offset in the
// buffers (consecutive pixels of one row when `consecutive`: offset[i] = offset[0] + i); the entries from `count` up to
// the next multiple of four are padding (fx 0, offset 0, not live). The stages run in order over a span; each clears
// `live` for the pixels it rejects and returns false once none is left.
#pragma once

#include "platform/d3d9/pixel_texture_stages.h"
#include "platform/d3d9/raster_general.h"

#include <cstdint>

inline constexpr int gr_span_max = 64;

// Plane slots: depth, q, then the attributes the pixel stages read (over q).
enum : int {
    gr_z,
    gr_q,
    gr_diffuse,                    // r, g, b, a
    gr_specular = gr_diffuse + 4,  // r, g, b
    gr_fog = gr_specular + 3,
    gr_coordinates,  // the texture coordinate components the stages read (tx_cascade's planes)
    gr_plane_count = gr_coordinates + tx_coordinate_planes_max
};

struct gr_planes {
    float origin[gr_plane_count];
    float dx[gr_plane_count];
    float dy[gr_plane_count];
    float x0 = 0.0f, y0 = 0.0f;          // where fx and fy are 0, in pixels
    float step_x = 1.0f, step_y = 1.0f;  // the change of fx (fy) from a pixel to its right (lower) neighbour
    float depth_offset = 0.0f;           // added to z before the depth test (triangles' depth bias)
    int face = 0;                        // stencil face: 0 the clockwise set, 1 the counter-clockwise set
};

struct gr_span {
    int count = 0;
    bool consecutive = false;
    float fy = 0.0f;
    alignas(16) float fx[gr_span_max];
    uint32_t offset[gr_span_max];
    uint8_t live[gr_span_max];
    alignas(16) float z[gr_span_max];
    alignas(16) float w[gr_span_max];
    alignas(16) float r[gr_span_max];
    alignas(16) float g[gr_span_max];
    alignas(16) float b[gr_span_max];
    alignas(16) float a[gr_span_max];
    alignas(16) float sr[gr_span_max];
    alignas(16) float sg[gr_span_max];
    alignas(16) float sb[gr_span_max];
    alignas(16) float fog[gr_span_max];
    alignas(16) float coordinates[tx_coordinate_planes_max][gr_span_max];
};

using gr_stage = bool (*)(const gr_program& program, const gr_planes& planes, gr_span& span);

inline constexpr int gr_stages_max = 10;

struct gr_program {
    gr_state state;
    gr_stage stages[gr_stages_max];
    int stage_count = 0;
    bool marks_depth = false;    // drawing writes the depth buffer
    bool marks_stencil = false;  // drawing may write the stencil buffer
    gr_stencil_face faces[2];    // the clockwise and counter-clockwise sets in force
    float fog_rgb[3] = {0.0f, 0.0f, 0.0f};
    float fog_scale = 0.0f;  // LINEAR: 1 / (end - start)
    float blend_factor_rgb[3] = {1.0f, 1.0f, 1.0f};
    uint32_t source = 2, destination = 1, op = 1;                    // colour blend, BOTH* resolved
    uint32_t source_alpha = 2, destination_alpha = 1, op_alpha = 1;  // the alpha channel's (A8R8G8B8 targets)
    float blend_factor_rgba[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    uint32_t write_bits = 0x00FFFFFFu;  // the channels the write mask lets through
    int plane_count = gr_coordinates;   // the planes a primitive sets up
    bool wraps = false;                 // some coordinate plane wraps
    tx_cascade cascade;
};

// Runs the program's stages over the span.
inline void gr_run(const gr_program& program, const gr_planes& planes, gr_span& span) {
    for (int i = 0; i < program.stage_count; ++i) {
        if (!program.stages[i](program, planes, span)) return;
    }
}
