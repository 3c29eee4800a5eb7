// pixel_texture_stages.cpp - the texture stage cascade (pixel_texture_stages.h): the operations,
// the arguments and their modifiers, resolved once per draw and run over spans.
//
// Arguments are registers of float arrays: DIFFUSE, CURRENT, TEXTURE, SPECULAR (its alpha the fog
// factor), TEMP, and the constants TFACTOR and CONSTANT filled once per span. ALPHAREPLICATE points
// the colour channels at the alpha array; COMPLEMENT writes 1 - x into a scratch array (after the
// replication). The texture a stage samples is its filtered texel (sampler.h) at its coordinates,
// divided by the last one when projected.
#include "platform/d3d9/pixel_texture_stages.h"

#include <d3d9.h>

#include "platform/d3d9/raster_general_span.h"

#include <bit>
#include <cmath>

// The operations' loops read and write index i only: an output that is also an input carries nothing
// from one pixel to the next, so the loops vectorise whatever aliases what.
// Instrumented builds (sanitizers, fuzzing) may not vectorise them, which is no fault of theirs.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wpass-failed"
#define TX_POINTWISE _Pragma("clang loop vectorize(assume_safety)")
#else
#define TX_POINTWISE _Pragma("GCC ivdep")
#endif

namespace {

float clamp01(float c) {
    c = c < 1.0f ? c : 1.0f;
    return c > 0.0f ? c : 0.0f;
}

// ---- operations: out = f(ARG0, ARG1, ARG2, alpha) per channel ----

struct select1 {
    static float f(float, float x1, float, float) { return x1; }
};
struct select2 {
    static float f(float, float, float x2, float) { return x2; }
};
struct modulate {
    static float f(float, float x1, float x2, float) { return x1 * x2; }
};
struct modulate2x {
    static float f(float, float x1, float x2, float) { return 2.0f * x1 * x2; }
};
struct modulate4x {
    static float f(float, float x1, float x2, float) { return 4.0f * x1 * x2; }
};
struct add {
    static float f(float, float x1, float x2, float) { return x1 + x2; }
};
struct add_signed {
    static float f(float, float x1, float x2, float) { return x1 + x2 - 0.5f; }
};
struct add_signed2x {
    static float f(float, float x1, float x2, float) { return 2.0f * (x1 + x2 - 0.5f); }
};
struct subtract {
    static float f(float, float x1, float x2, float) { return x1 - x2; }
};
struct add_smooth {
    static float f(float, float x1, float x2, float) { return x1 + x2 - x1 * x2; }
};
struct blend_alpha {  // BLENDDIFFUSEALPHA, BLENDTEXTUREALPHA, BLENDFACTORALPHA, BLENDCURRENTALPHA
    static float f(float, float x1, float x2, float a) { return x1 * a + x2 * (1.0f - a); }
};
struct blend_premultiplied {
    static float f(float, float x1, float x2, float a) { return x1 + x2 * (1.0f - a); }
};
struct modulate_alpha_add_colour {
    static float f(float, float x1, float x2, float a1) { return x1 + a1 * x2; }
};
struct modulate_colour_add_alpha {
    static float f(float, float x1, float x2, float a1) { return x1 * x2 + a1; }
};
struct modulate_inverse_alpha_add_colour {
    static float f(float, float x1, float x2, float a1) { return (1.0f - a1) * x2 + x1; }
};
struct modulate_inverse_colour_add_alpha {
    static float f(float, float x1, float x2, float a1) { return (1.0f - x1) * x2 + a1; }
};
struct multiply_add {
    static float f(float x0, float x1, float x2, float) { return x0 + x1 * x2; }
};
struct lerp {
    static float f(float x0, float x1, float x2, float) { return x0 * x1 + (1.0f - x0) * x2; }
};
struct dot_product_alpha {  // DOTPRODUCT3 on one channel (as the alpha operation)
    static float f(float, float x1, float x2, float) { return 4.0f * (x1 - 0.5f) * (x2 - 0.5f); }
};

template <typename Op>
void colour_operation(int n, const tx_inputs& in, float* const out[4]) {
    const float* alpha = in.alpha;
    for (int c = 0; c < 3; ++c) {
        const float *x0 = in.arg[0].c[c], *x1 = in.arg[1].c[c], *x2 = in.arg[2].c[c];
        float* o = out[c];
        TX_POINTWISE
        for (int i = 0; i < n; ++i) o[i] = clamp01(Op::f(x0[i], x1[i], x2[i], alpha[i]));
    }
}

template <typename Op>
void alpha_operation(int n, const tx_inputs& in, float* const out[4]) {
    const float *x0 = in.arg[0].c[3], *x1 = in.arg[1].c[3], *x2 = in.arg[2].c[3], *alpha = in.alpha;
    float* o = out[3];
    TX_POINTWISE
    for (int i = 0; i < n; ++i) o[i] = clamp01(Op::f(x0[i], x1[i], x2[i], alpha[i]));
}

// 4 ((r1 - 0.5)(r2 - 0.5) + (g1 - 0.5)(g2 - 0.5) + (b1 - 0.5)(b2 - 0.5)) into r, g, b and a.
void dot_product3(int n, const tx_inputs& in, float* const out[4]) {
    const tx_channels &a = in.arg[1], &b = in.arg[2];
    TX_POINTWISE
    for (int i = 0; i < n; ++i) {
        const float d =
            clamp01(4.0f * ((a.c[0][i] - 0.5f) * (b.c[0][i] - 0.5f) + (a.c[1][i] - 0.5f) * (b.c[1][i] - 0.5f) +
                            (a.c[2][i] - 0.5f) * (b.c[2][i] - 0.5f)));
        out[0][i] = d, out[1][i] = d, out[2][i] = d, out[3][i] = d;
    }
}

// What an operation reads: bit k for ARGk; and where its alpha weight comes from.
struct operation_info {
    tx_operation colour, alpha;
    uint8_t args;
    uint32_t weight;  // D3DTA register whose alpha weighs the blend, 0xFF: ARG1's alpha, 0xFE: none
};

constexpr uint32_t weight_arg1 = 0xFF, weight_none = 0xFE;

operation_info info(uint32_t op) {
    switch (op) {
    case 2: return {colour_operation<select1>, alpha_operation<select1>, 2, weight_none};
    case 3: return {colour_operation<select2>, alpha_operation<select2>, 4, weight_none};
    case 4: return {colour_operation<modulate>, alpha_operation<modulate>, 6, weight_none};
    case 5: return {colour_operation<modulate2x>, alpha_operation<modulate2x>, 6, weight_none};
    case 6: return {colour_operation<modulate4x>, alpha_operation<modulate4x>, 6, weight_none};
    case 7: return {colour_operation<add>, alpha_operation<add>, 6, weight_none};
    case 8: return {colour_operation<add_signed>, alpha_operation<add_signed>, 6, weight_none};
    case 9: return {colour_operation<add_signed2x>, alpha_operation<add_signed2x>, 6, weight_none};
    case 10: return {colour_operation<subtract>, alpha_operation<subtract>, 6, weight_none};
    case 11: return {colour_operation<add_smooth>, alpha_operation<add_smooth>, 6, weight_none};
    case 12: return {colour_operation<blend_alpha>, alpha_operation<blend_alpha>, 6, D3DTA_DIFFUSE};
    case 13: return {colour_operation<blend_alpha>, alpha_operation<blend_alpha>, 6, D3DTA_TEXTURE};
    case 14: return {colour_operation<blend_alpha>, alpha_operation<blend_alpha>, 6, D3DTA_TFACTOR};
    case 15: return {colour_operation<blend_premultiplied>, alpha_operation<blend_premultiplied>, 6, D3DTA_TEXTURE};
    case 16: return {colour_operation<blend_alpha>, alpha_operation<blend_alpha>, 6, D3DTA_CURRENT};
    case 17: return {colour_operation<select1>, alpha_operation<select1>, 2, weight_none};  // PREMODULATE
    case 18: return {colour_operation<modulate_alpha_add_colour>, alpha_operation<select1>, 6, weight_arg1};
    case 19: return {colour_operation<modulate_colour_add_alpha>, alpha_operation<select1>, 6, weight_arg1};
    case 20: return {colour_operation<modulate_inverse_alpha_add_colour>, alpha_operation<select1>, 6, weight_arg1};
    case 21: return {colour_operation<modulate_inverse_colour_add_alpha>, alpha_operation<select1>, 6, weight_arg1};
    case 24: return {dot_product3, alpha_operation<dot_product_alpha>, 6, weight_none};
    case 25: return {colour_operation<multiply_add>, alpha_operation<multiply_add>, 7, weight_none};
    case 26: return {colour_operation<lerp>, alpha_operation<lerp>, 7, weight_none};
    default: return {nullptr, nullptr, 0, weight_none};  // DISABLE, bump mapping, unknown
    }
}

bool reads_register(uint32_t reg, const uint32_t args[3], uint8_t used, uint32_t weight) {
    for (int k = 0; k < 3; ++k) {
        if ((used & (1u << k)) != 0 && (args[k] & D3DTA_SELECTMASK) == reg) return true;
    }
    return weight == reg;
}

void unpack(uint32_t colour, float out[4]) {
    out[0] = float((colour >> 16) & 0xFFu) / 255.0f;
    out[1] = float((colour >> 8) & 0xFFu) / 255.0f;
    out[2] = float(colour & 0xFFu) / 255.0f;
    out[3] = float(colour >> 24) / 255.0f;
}

// Reserves up to three coordinate planes for stage s (u, v and the divisor).
void add_coordinates(const gr_texture_stage& st, int s, tx_cascade* c, tx_stage* out) {
    const int base = gv_texcoord + 4 * s;
    const int divisor = st.coordinate_count >= 1 && st.coordinate_count <= 4 ? st.coordinate_count - 1 : 1;
    const int components[3] = {0, 1, divisor};
    int* planes[3] = {&out->plane_u, &out->plane_v, &out->plane_q};
    for (int k = 0; k < (st.projected ? 3 : 2); ++k) {
        const int plane = c->coordinate_count++;
        c->coordinate_attr[plane] = uint8_t(base + components[k]);
        c->coordinate_component[plane] = uint8_t(components[k]);
        c->coordinate_wrap[plane] = uint8_t((st.wrap >> components[k]) & 1u);
        *planes[k] = plane;
    }
    c->sampled_stages |= 1u << s;
}

}  // namespace

tx_operation tx_colour_operation(uint32_t op) { return info(op).colour; }
tx_operation tx_alpha_operation(uint32_t op) { return info(op).alpha; }

void tx_compile(const gr_state& state, tx_cascade* c) {
    *c = tx_cascade{};
    unpack(state.texture_factor, c->factor);
    bool current_changed = false;
    for (int s = 0; s < gr_texture_stages; ++s) {
        const gr_texture_stage& st = state.stages[s];
        const operation_info colour = info(st.colour_op);
        if (colour.colour == nullptr) break;
        const bool textured = st.sampler.level_count > 0;
        const uint32_t colour_args[3] = {st.colour_arg0, st.colour_arg1, st.colour_arg2};
        if (!textured && reads_register(D3DTA_TEXTURE, colour_args, colour.args, colour.weight)) break;

        tx_stage& t = c->stages[c->count++];
        t.stage = s;
        t.colour = colour.colour;
        t.colour_sets_alpha = st.colour_op == D3DTOP_DOTPRODUCT3;
        for (int k = 0; k < 3; ++k) t.colour_args[k] = colour_args[k];
        t.colour_weight = colour.weight;
        t.colour_used = colour.args;
        operation_info alpha = info(st.alpha_op);
        uint32_t alpha_args[3] = {st.alpha_arg0, st.alpha_arg1, st.alpha_arg2};
        if (!textured) {
            for (uint32_t& a : alpha_args) {
                if ((a & D3DTA_SELECTMASK) == D3DTA_TEXTURE) a = (a & ~D3DTA_SELECTMASK) | D3DTA_DIFFUSE;
            }
        }
        if (alpha.colour != nullptr && !t.colour_sets_alpha) {
            t.alpha = alpha.alpha;
            t.alpha_used = alpha.args;
            for (int k = 0; k < 3; ++k) t.alpha_args[k] = alpha_args[k];
        }
        // The colour-only operations act as SELECTARG1 on alpha: no weight.
        if (t.alpha != nullptr && alpha.weight != weight_arg1) t.alpha_weight = alpha.weight;
        if (!textured && t.alpha_weight == D3DTA_TEXTURE) t.alpha_weight = D3DTA_DIFFUSE;
        t.to_temp = (st.result_arg & D3DTA_SELECTMASK) == D3DTA_TEMP;
        unpack(st.constant, t.constant);

        const uint8_t alpha_used = t.alpha != nullptr ? alpha.args : 0;
        const bool reads_texture = reads_register(D3DTA_TEXTURE, t.colour_args, colour.args, colour.weight) ||
                                   reads_register(D3DTA_TEXTURE, t.alpha_args, alpha_used, t.alpha_weight);
        t.premodulate = st.colour_op == D3DTOP_PREMODULATE;
        t.sample = textured && (reads_texture || t.premodulate);
        if (t.sample) {
            add_coordinates(st, s, c, &t);
            t.plan = sampler_compile(st.sampler, &c->plans[s]);
            t.needs_lod = sampler_needs_lod(t.plan);
            t.width = float(st.sampler.levels[0].width);
            t.height = float(st.sampler.levels[0].height);
        }
        const bool reads_temp = reads_register(D3DTA_TEMP, t.colour_args, colour.args, weight_none) ||
                                reads_register(D3DTA_TEMP, t.alpha_args, alpha_used, weight_none);
        c->uses_temp = c->uses_temp || reads_temp || t.to_temp;
        c->reads_specular = c->reads_specular ||
                            reads_register(D3DTA_SPECULAR, t.colour_args, colour.args, weight_none) ||
                            reads_register(D3DTA_SPECULAR, t.alpha_args, alpha_used, weight_none);
        const bool reads_diffuse = reads_register(D3DTA_DIFFUSE, t.colour_args, colour.args, colour.weight) ||
                                   reads_register(D3DTA_DIFFUSE, t.alpha_args, alpha_used, t.alpha_weight);
        if (reads_diffuse && current_changed) c->keep_diffuse = true;
        current_changed = current_changed || !t.to_temp;
    }
}

namespace {

// The arrays of one span's registers and scratch.
struct registers {
    float* current[4];
    const float* diffuse[4];
    const float* specular[4];
    float* temp[4];
    const float* texture[4];
};

struct scratch {
    alignas(16) float diffuse[4][gr_span_max];
    alignas(16) float temp[4][gr_span_max];
    alignas(16) float texture[2][4][gr_span_max];
    alignas(16) float factor[4][gr_span_max];
    alignas(16) float constant[4][gr_span_max];
    alignas(16) float args[3][4][gr_span_max];
    alignas(16) float u[gr_span_max], v[gr_span_max], lod[gr_span_max];
    bool factor_filled = false;
};

void fill(float (*out)[gr_span_max], const float value[4], int n) {
    for (int c = 0; c < 4; ++c) {
        for (int i = 0; i < n; ++i) out[c][i] = value[c];
    }
}

// The channels argument `arg` reads, its modifiers applied (COMPLEMENT into scratch slot `slot`,
// only the channels `first`..3).
tx_channels resolve(uint32_t arg, const tx_cascade& c, const tx_stage& t, const registers& r, scratch& x, int slot,
                    int first, int n) {
    tx_channels ch;
    const float* const* source = r.current;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: source = r.diffuse; break;
    case D3DTA_TEXTURE: source = r.texture; break;
    case D3DTA_SPECULAR: source = r.specular; break;
    case D3DTA_TEMP: source = r.temp; break;
    case D3DTA_TFACTOR:
        if (!x.factor_filled) fill(x.factor, c.factor, n), x.factor_filled = true;
        for (int k = 0; k < 4; ++k) ch.c[k] = x.factor[k];
        source = nullptr;
        break;
    case D3DTA_CONSTANT:
        fill(x.constant, t.constant, n);
        for (int k = 0; k < 4; ++k) ch.c[k] = x.constant[k];
        source = nullptr;
        break;
    default: break;  // CURRENT, and values beyond the registers
    }
    if (source != nullptr) {
        for (int k = 0; k < 4; ++k) ch.c[k] = source[k];
    }
    if ((arg & D3DTA_ALPHAREPLICATE) != 0) ch.c[0] = ch.c[1] = ch.c[2] = ch.c[3];
    if ((arg & D3DTA_COMPLEMENT) != 0) {
        for (int k = first; k < 4; ++k) {
            const float* in = ch.c[k];
            float* out = x.args[slot][k];
            for (int i = 0; i < n; ++i) out[i] = 1.0f - in[i];
            ch.c[k] = out;
        }
    }
    return ch;
}

// The arguments an operation reads; the others read CURRENT (never looked at).
void resolve_used(const uint32_t args[3], uint8_t used, const tx_cascade& c, const tx_stage& t, const registers& r,
                  scratch& x, int first, int n, tx_inputs* in) {
    for (int k = 0; k < 3; ++k) {
        in->arg[k] = (used & (1u << k)) != 0 ? resolve(args[k], c, t, r, x, k, first, n)
                                             : tx_channels{{r.current[0], r.current[1], r.current[2], r.current[3]}};
    }
}

const float* weight(uint32_t reg, const tx_cascade& c, const tx_stage& t, const registers& r, scratch& x,
                    const tx_inputs& in, int n) {
    if (reg == weight_arg1) return in.arg[1].c[3];
    if (reg == weight_none) return r.current[3];
    return resolve(reg, c, t, r, x, 0, 4, n).c[3];
}

// (u, v) of the stage's pixels, divided by the divisor when projected; and the level of detail
// from the coordinates at the pixels' right and lower neighbours.
void coordinates(const tx_stage& t, const gr_planes& p, const gr_span& s, scratch& x, const float** u,
                 const float** v) {
    const int n = (s.count + 3) & ~3;
    *u = s.coordinates[t.plane_u], *v = s.coordinates[t.plane_v];
    if (t.plane_q >= 0) {
        const float* q = s.coordinates[t.plane_q];
        for (int i = 0; i < n; ++i) {
            const float inv = 1.0f / q[i];
            x.u[i] = (*u)[i] * inv;
            x.v[i] = (*v)[i] * inv;
        }
        *u = x.u, *v = x.v;
    }
    if (!t.needs_lod) return;
    const int su = gr_coordinates + t.plane_u, sv = gr_coordinates + t.plane_v;
    const int sd = t.plane_q >= 0 ? gr_coordinates + t.plane_q : int(gr_q);
    const float ub = p.origin[su] + p.dy[su] * s.fy, vb = p.origin[sv] + p.dy[sv] * s.fy;
    const float db = p.origin[sd] + p.dy[sd] * s.fy;
    const float udx = p.dx[su] * p.step_x, vdx = p.dx[sv] * p.step_x, ddx = p.dx[sd] * p.step_x;
    const float udy = p.dy[su] * p.step_y, vdy = p.dy[sv] * p.step_y, ddy = p.dy[sd] * p.step_y;
    for (int i = 0; i < n; ++i) {
        const float fx = s.fx[i];
        const float uc = ub + p.dx[su] * fx, vc = vb + p.dx[sv] * fx, dc = db + p.dx[sd] * fx;
        const float u0 = uc / dc, v0 = vc / dc;
        const float right = 1.0f / (dc + ddx), below = 1.0f / (dc + ddy);
        const float ux = ((uc + udx) * right - u0) * t.width, vx = ((vc + vdx) * right - v0) * t.height;
        const float uy = ((uc + udy) * below - u0) * t.width, vy = ((vc + vdy) * below - v0) * t.height;
        const float a = ux * ux + vx * vx, b = uy * uy + vy * vy;
        const float rho2 = a > b ? a : b;
        float lod = rho2 > 1e-30f ? 0.5f * std::log2(rho2) : -100.0f;  // NaN: the most detailed
        x.lod[i] = lod < 100.0f ? lod : 100.0f;
    }
}

}  // namespace

void tx_run(const tx_cascade& c, const gr_planes& p, gr_span& s) {
    const int n = (s.count + 3) & ~3;
    scratch x;
    registers r{{s.r, s.g, s.b, s.a}, {s.r, s.g, s.b, s.a}, {s.sr, s.sg, s.sb, s.fog}, {}, {}};
    if (c.keep_diffuse) {
        for (int k = 0; k < 4; ++k) {
            for (int i = 0; i < n; ++i) x.diffuse[k][i] = r.current[k][i];
            r.diffuse[k] = x.diffuse[k];
        }
    }
    for (int k = 0; k < 4; ++k) r.temp[k] = x.temp[k];
    if (c.uses_temp) {
        for (int k = 0; k < 4; ++k) {
            for (int i = 0; i < n; ++i) x.temp[k][i] = 0.0f;
        }
    }
    bool premodulated = false;  // the previous stage's texture waits in texture[(j - 1) & 1]
    for (int j = 0; j < c.count; ++j) {
        const tx_stage& t = c.stages[j];
        if (t.sample) {
            float(*texel)[gr_span_max] = x.texture[j & 1];
            const float *u, *v;
            coordinates(t, p, s, x, &u, &v);
            sampler_run(t.plan, s.count, u, v, x.lod, texel[0], texel[1], texel[2], texel[3]);
            if (premodulated) {
                const float(*before)[gr_span_max] = x.texture[(j - 1) & 1];
                for (int k = 0; k < 4; ++k) {
                    for (int i = 0; i < n; ++i) texel[k][i] *= before[k][i];
                }
            }
            for (int k = 0; k < 4; ++k) r.texture[k] = texel[k];
        }
        premodulated = t.premodulate && t.sample;
        float* const* out = t.to_temp ? r.temp : r.current;

        tx_inputs in;
        resolve_used(t.colour_args, t.colour_used, c, t, r, x, 0, n, &in);
        in.alpha = weight(t.colour_weight, c, t, r, x, in, n);
        t.colour(n, in, out);
        if (t.colour_sets_alpha) continue;
        if (t.alpha == nullptr) {
            if (t.to_temp) {
                for (int i = 0; i < n; ++i) out[3][i] = r.current[3][i];
            }
            continue;
        }
        resolve_used(t.alpha_args, t.alpha_used, c, t, r, x, 3, n, &in);
        in.alpha = weight(t.alpha_weight, c, t, r, x, in, n);
        t.alpha(n, in, out);
    }
}
