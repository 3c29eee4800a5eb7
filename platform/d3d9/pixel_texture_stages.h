// pixel_texture_stages.h - the texture stage cascade of the general rasteriser: up to eight stages,
// each sampling its texture and combining its arguments by its colour and alpha operations.
//
// Resolved once per draw (tx_compile) into a list of stage programs: the operations as function
// pointers over float arrays, the arguments as registers chosen per span, so no pixel decides by
// state. Conventions: colours are floats in [0, 1], every stage's result is clamped to [0, 1];
// CURRENT starts as the diffuse colour; TEMP starts as (0, 0, 0, 0) at every pixel; the output is
// CURRENT after the last stage that runs.
//
// The cascade ends before the first stage whose COLOROP is DISABLE, one of the bump-map operations
// or an unknown value, and before a stage whose colour operation reads its texture when none is
// bound (its alpha arguments then read TEXTURE as DIFFUSE). An ALPHAOP of DISABLE (or an unknown or
// bump-map value) passes CURRENT's alpha on; the colour-only operations (MODULATEALPHA_ADDCOLOR and
// the three like it) as ALPHAOP act as SELECTARG1. DOTPRODUCT3 as COLOROP writes its result to all
// four channels. PREMODULATE selects ARG1 and multiplies its texture into the next stage's.
#pragma once

#include "platform/d3d9/sampler.h"

#include <cstdint>

struct gr_state;
struct gr_planes;
struct gr_span;

// The colour channels an operation reads from one argument: r, g, b, a.
struct tx_channels {
    const float* c[4];
};

// An operation's inputs: ARG0, ARG1, ARG2 and the alpha that the blending operations weigh by
// (the operations on ARG1's alpha take it from ARG1).
struct tx_inputs {
    tx_channels arg[3];
    const float* alpha;
};

// Writes the operation's result, clamped, for n pixels: the colour operations r, g, b (and a for
// DOTPRODUCT3), the alpha operations a. `out` may be one of the inputs: pixel i reads only index i.
using tx_operation = void (*)(int n, const tx_inputs& in, float* const out[4]);

// The colour and alpha operation of a D3DTOP value (null for DISABLE, the bump-map operations and
// unknown values; the alpha operation of the colour-only ones is SELECTARG1's).
tx_operation tx_colour_operation(uint32_t op);
tx_operation tx_alpha_operation(uint32_t op);

inline constexpr int tx_stages_max = 8;
inline constexpr int tx_coordinate_planes_max = 3 * tx_stages_max;

struct tx_stage {
    int stage = 0;
    tx_operation colour = nullptr, alpha = nullptr;  // alpha null: CURRENT's alpha passes on
    uint32_t colour_args[3] = {}, alpha_args[3] = {};
    uint8_t colour_used = 0, alpha_used = 0;  // bit k: the operation reads ARGk
    // The D3DTA register whose alpha the blending operations weigh by; 0xFF: ARG1's, 0xFE: none.
    uint32_t colour_weight = 0xFE, alpha_weight = 0xFE;
    bool colour_sets_alpha = false;
    bool to_temp = false;
    bool sample = false;
    bool premodulate = false;                    // its texture is multiplied into the next stage's
    int plane_u = 0, plane_v = 0, plane_q = -1;  // coordinate planes; q: the divisor when projected
    const sampler_plan* plan = nullptr;
    bool needs_lod = false;
    float width = 0.0f, height = 0.0f;  // of the sampled texture's first level
    float constant[4] = {};
};

// The cascade of one draw, and the coordinate planes it reads.
struct tx_cascade {
    tx_stage stages[tx_stages_max];
    int count = 0;
    float factor[4] = {};
    bool keep_diffuse = false;  // a later stage reads DIFFUSE after CURRENT changed
    bool uses_temp = false;
    bool reads_specular = false;
    int coordinate_count = 0;
    uint8_t coordinate_attr[tx_coordinate_planes_max] = {};  // gv attribute index of each plane
    uint8_t coordinate_wrap[tx_coordinate_planes_max] = {};  // 1: the component wraps
    uint8_t coordinate_component[tx_coordinate_planes_max] = {};
    uint32_t sampled_stages = 0;  // bit s: stage s reads its coordinates
    sampler_plan_storage plans[tx_stages_max];
};

// Resolves the stages of `state` into `out`.
void tx_compile(const gr_state& state, tx_cascade* out);

// Runs the cascade over a span whose diffuse colour is in span.r .. span.a (and specular and
// coordinates interpolated as the cascade asks); leaves CURRENT there.
void tx_run(const tx_cascade& cascade, const gr_planes& planes, gr_span& span);
