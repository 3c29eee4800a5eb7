// pixel_stages.cpp - the general rasteriser's span stages and gr_compile, which picks them once per
// draw.
//
// Colours are floats in [0, 1] from interpolation to the write, which stores round(c * 255). Every
// choice that depends on state is made here, when compiling, or once per span (a switch that
// selects a whole loop); the loops themselves decide only by the pixels' data.
//
// A target without alpha (0x00RRGGBB): the destination alpha reads as 1 and the blended alpha is
// not stored, so blending computes the colour channels only and the separate alpha factors have
// nothing to change. A target that keeps alpha (A8R8G8B8) blends all four channels with the stored
// alpha as the destination's (blend_alpha_target_stage).
#include "platform/d3d9/raster_general_span.h"

#include <cmath>
#include <new>

static_assert(sizeof(gr_program) <= sizeof(gr_program_storage), "the program must fit its storage");
static_assert(alignof(gr_program) <= alignof(gr_program_storage));

namespace {

constexpr float inv255 = 1.0f / 255.0f;

int padded(int count) { return (count + 3) & ~3; }

// Branch-free (min and max instructions); NaN gives 1.
float clamp01(float c) {
    c = c < 1.0f ? c : 1.0f;
    return c > 0.0f ? c : 0.0f;
}

// round(clamp(c, 0, 1) * 255), clamped after the conversion (integer min and max; NaN gives 0).
uint32_t to_8bit(float c) {
    const float scaled = c * 255.0f + 0.5f;
    int32_t v = int32_t(scaled > -1.0f ? (scaled < 256.0f ? scaled : 256.0f) : -1.0f);
    v = v < 255 ? v : 255;
    return uint32_t(v > 0 ? v : 0);
}

// ---- comparisons: `value FUNC stored`, out-of-range functions as ALWAYS ----

template <int Func>
bool compare(uint32_t value, uint32_t stored) {
    switch (Func) {
    case 1: return false;
    case 2: return value < stored;
    case 3: return value == stored;
    case 4: return value <= stored;
    case 5: return value > stored;
    case 6: return value != stored;
    case 7: return value >= stored;
    default: return true;
    }
}

template <int Func>
void keep_passing(const uint32_t* value, const uint32_t* stored, uint8_t* pass, int n) {
    for (int i = 0; i < n; ++i) pass[i] = uint8_t(pass[i] & uint8_t(compare<Func>(value[i], stored[i])));
}

// pass[i] &= value[i] FUNC stored[i].
void keep_passing(uint32_t func, const uint32_t* value, const uint32_t* stored, uint8_t* pass, int n) {
    switch (func) {
    case 1: return keep_passing<1>(value, stored, pass, n);
    case 2: return keep_passing<2>(value, stored, pass, n);
    case 3: return keep_passing<3>(value, stored, pass, n);
    case 4: return keep_passing<4>(value, stored, pass, n);
    case 5: return keep_passing<5>(value, stored, pass, n);
    case 6: return keep_passing<6>(value, stored, pass, n);
    case 7: return keep_passing<7>(value, stored, pass, n);
    default: return;
    }
}

bool any_live(const gr_span& s) {
    uint32_t any = 0;
    for (int i = 0; i < s.count; ++i) any |= s.live[i];
    return any != 0;
}

// ---- interpolation ----

void interpolate(const gr_planes& p, int slot, const gr_span& s, const float* w, float* out, int n) {
    const float base = p.origin[slot] + p.dy[slot] * s.fy, dx = p.dx[slot];
    for (int i = 0; i < n; ++i) out[i] = (base + dx * s.fx[i]) * w[i];
}

template <bool Specular, bool Fog, bool Texture>
bool interpolate_stage(const gr_program& program, const gr_planes& p, gr_span& s) {
    const int n = padded(s.count);
    {
        const float zb = p.origin[gr_z] + p.dy[gr_z] * s.fy, zdx = p.dx[gr_z];
        const float qb = p.origin[gr_q] + p.dy[gr_q] * s.fy, qdx = p.dx[gr_q];
        for (int i = 0; i < n; ++i) {
            s.z[i] = zb + zdx * s.fx[i];
            s.w[i] = 1.0f / (qb + qdx * s.fx[i]);
        }
    }
    interpolate(p, gr_diffuse + 0, s, s.w, s.r, n);
    interpolate(p, gr_diffuse + 1, s, s.w, s.g, n);
    interpolate(p, gr_diffuse + 2, s, s.w, s.b, n);
    interpolate(p, gr_diffuse + 3, s, s.w, s.a, n);
    if (Specular) {
        interpolate(p, gr_specular + 0, s, s.w, s.sr, n);
        interpolate(p, gr_specular + 1, s, s.w, s.sg, n);
        interpolate(p, gr_specular + 2, s, s.w, s.sb, n);
    }
    if (Fog) interpolate(p, gr_fog, s, s.w, s.fog, n);
    if (Texture) {
        const int planes = program.cascade.coordinate_count;
        for (int k = 0; k < planes; ++k) interpolate(p, gr_coordinates + k, s, s.w, s.coordinates[k], n);
    }
    return true;
}

constexpr gr_stage interpolate_stages[2][2][2] = {
    {{interpolate_stage<false, false, false>, interpolate_stage<false, false, true>},
     {interpolate_stage<false, true, false>, interpolate_stage<false, true, true>}},
    {{interpolate_stage<true, false, false>, interpolate_stage<true, false, true>},
     {interpolate_stage<true, true, false>, interpolate_stage<true, true, true>}},
};

// Pre-transformed geometry: depth outside [0, 1] draws nothing.
bool depth_range_stage(const gr_program&, const gr_planes&, gr_span& s) {
    for (int i = 0; i < s.count; ++i) s.live[i] = uint8_t(s.live[i] & uint8_t(s.z[i] >= 0.0f && s.z[i] <= 1.0f));
    return any_live(s);
}

// ---- colour: the texture stages, specular, fog ----

bool diffuse_stage(const gr_program&, const gr_planes&, gr_span& s) {
    const int n = s.count;
    for (int i = 0; i < n; ++i) {
        s.r[i] = clamp01(s.r[i]);
        s.g[i] = clamp01(s.g[i]);
        s.b[i] = clamp01(s.b[i]);
        s.a[i] = clamp01(s.a[i]);
    }
    return true;
}

// The texture stages, CURRENT starting as the clamped diffuse colour.
bool cascade_stage(const gr_program& program, const gr_planes& p, gr_span& s) {
    diffuse_stage(program, p, s);
    tx_run(program.cascade, p, s);
    return true;
}

bool specular_stage(const gr_program&, const gr_planes&, gr_span& s) {
    const int n = s.count;
    for (int i = 0; i < n; ++i) {
        s.r[i] = clamp01(s.r[i] + clamp01(s.sr[i]));
        s.g[i] = clamp01(s.g[i] + clamp01(s.sg[i]));
        s.b[i] = clamp01(s.b[i] + clamp01(s.sb[i]));
    }
    return true;
}

enum fog_kind : int { fog_vertex, fog_exp, fog_exp2, fog_linear, fog_linear_step };

// C = f * C + (1 - f) * fog colour (rgb; alpha unchanged), f clamped to [0, 1]; d is z or w.
template <int Kind, bool UseW>
bool fog_stage(const gr_program& program, const gr_planes&, gr_span& s) {
    const gr_state& st = program.state;
    const float* d = UseW ? s.w : s.z;
    const float fr = program.fog_rgb[0], fg = program.fog_rgb[1], fb = program.fog_rgb[2];
    const float end = st.fog_end, density = st.fog_density, scale = program.fog_scale;
    const int n = s.count;
    for (int i = 0; i < n; ++i) {
        float f;
        if constexpr (Kind == fog_vertex) {
            f = s.fog[i];
        } else if constexpr (Kind == fog_exp) {
            f = std::exp(-d[i] * density);
        } else if constexpr (Kind == fog_exp2) {
            const float x = d[i] * density;
            f = std::exp(-x * x);
        } else if constexpr (Kind == fog_linear) {
            f = (end - d[i]) * scale;
        } else {
            f = d[i] < end ? 1.0f : 0.0f;
        }
        f = clamp01(f);
        s.r[i] = f * s.r[i] + (1.0f - f) * fr;
        s.g[i] = f * s.g[i] + (1.0f - f) * fg;
        s.b[i] = f * s.b[i] + (1.0f - f) * fb;
    }
    return true;
}

constexpr gr_stage fog_stages[5][2] = {
    {fog_stage<fog_vertex, false>, fog_stage<fog_vertex, true>},
    {fog_stage<fog_exp, false>, fog_stage<fog_exp, true>},
    {fog_stage<fog_exp2, false>, fog_stage<fog_exp2, true>},
    {fog_stage<fog_linear, false>, fog_stage<fog_linear, true>},
    {fog_stage<fog_linear_step, false>, fog_stage<fog_linear_step, true>},
};

// ---- alpha test ----

// Keeps the pixels whose round(a * 255) passes ALPHAFUNC against ALPHAREF's low byte.
bool alpha_test_stage(const gr_program& program, const gr_planes&, gr_span& s) {
    uint32_t alpha[gr_span_max], ref[gr_span_max];
    const uint32_t reference = program.state.alpha_ref & 0xFFu;
    for (int i = 0; i < s.count; ++i) {
        alpha[i] = to_8bit(s.a[i]);
        ref[i] = reference;
    }
    keep_passing(program.state.alpha_func, alpha, ref, s.live, s.count);
    return any_live(s);
}

// ---- depth and stencil ----

// The depth values to test: z plus the primitive's offset, clamped to [0, 1], at the buffer's
// precision (16 bits: exact in float).
void stored_depths(const d3d9_framebuffer& fb, const gr_planes& p, const gr_span& s, uint32_t* out) {
    const float offset = p.depth_offset;
    if (fb.depth_format == fb_depth_format::d16) {
        for (int i = 0; i < s.count; ++i) out[i] = uint32_t(clamp01(s.z[i] + offset) * 65535.0f + 0.5f);
        return;
    }
    const double largest = double((uint64_t{1} << fb_depth_bits(fb)) - 1);
    for (int i = 0; i < s.count; ++i) out[i] = uint32_t(double(clamp01(s.z[i] + offset)) * largest + 0.5);
}

// The buffer offset of span pixel i: the loops over consecutive pixels index directly.
template <bool Consecutive>
uint32_t at(const gr_span& s, int i) {
    return Consecutive ? s.offset[0] + uint32_t(i) : s.offset[i];
}

template <typename T>
T* depth_buffer(d3d9_framebuffer& fb) {
    if constexpr (sizeof(T) == 2) {
        return fb.depth.data();
    } else {
        return fb.depth32.data();
    }
}

template <typename T, bool Write, bool Consecutive>
bool depth_stage(const gr_program& program, const gr_planes& p, gr_span& s) {
    d3d9_framebuffer& fb = *program.state.target;
    T* buffer = depth_buffer<T>(fb);
    uint32_t value[gr_span_max], stored[gr_span_max];
    stored_depths(fb, p, s, value);
    for (int i = 0; i < s.count; ++i) stored[i] = buffer[at<Consecutive>(s, i)];
    keep_passing(program.state.depth_func, value, stored, s.live, s.count);
    if (Write) {
        for (int i = 0; i < s.count; ++i) {
            T& d = buffer[at<Consecutive>(s, i)];
            d = s.live[i] ? T(value[i]) : d;
        }
    }
    return any_live(s);
}

template <typename T, bool Write>
bool depth_stage(const gr_program& program, const gr_planes& p, gr_span& s) {
    return s.consecutive ? depth_stage<T, Write, true>(program, p, s) : depth_stage<T, Write, false>(program, p, s);
}

uint32_t stencil_op(uint32_t op, uint32_t s, uint32_t ref) {
    switch (op) {
    case 2: return 0;
    case 3: return ref;
    case 4: return s < 255 ? s + 1 : 255;
    case 5: return s > 0 ? s - 1 : 0;
    case 6: return ~s & 0xFFu;
    case 7: return (s + 1) & 0xFFu;
    case 8: return (s - 1) & 0xFFu;
    default: return s;
    }
}

template <int Op>
void apply_stencil_op(uint8_t* buffer, const gr_span& s, const uint8_t* outcome, uint8_t which, uint32_t ref,
                      uint32_t write_mask) {
    for (int i = 0; i < s.count; ++i) {
        if (outcome[i] != which) continue;
        uint8_t& stored = buffer[s.offset[i]];
        stored = uint8_t((stored & ~write_mask) | (stencil_op(Op, stored, ref) & write_mask));
    }
}

// Runs `op` on the stencil values of the pixels whose outcome is `which`, through the write mask.
void apply_stencil_op(uint32_t op, uint8_t* buffer, const gr_span& s, const uint8_t* outcome, uint8_t which,
                      uint32_t ref, uint32_t write_mask) {
    switch (op) {
    case 2: return apply_stencil_op<2>(buffer, s, outcome, which, ref, write_mask);
    case 3: return apply_stencil_op<3>(buffer, s, outcome, which, ref, write_mask);
    case 4: return apply_stencil_op<4>(buffer, s, outcome, which, ref, write_mask);
    case 5: return apply_stencil_op<5>(buffer, s, outcome, which, ref, write_mask);
    case 6: return apply_stencil_op<6>(buffer, s, outcome, which, ref, write_mask);
    case 7: return apply_stencil_op<7>(buffer, s, outcome, which, ref, write_mask);
    case 8: return apply_stencil_op<8>(buffer, s, outcome, which, ref, write_mask);
    default: return;  // KEEP
    }
}

// Stencil test, then depth test (passed when depth is off), then the face's op for the outcome;
// only pixels passing both go on. The stencil buffer exists only beside a 32-bit depth buffer.
template <bool Depth>
bool stencil_stage(const gr_program& program, const gr_planes& p, gr_span& s) {
    const gr_state& st = program.state;
    d3d9_framebuffer& fb = *st.target;
    uint8_t* stencil = fb.stencil.data();
    const gr_stencil_face& face = program.faces[p.face];
    const uint32_t ref = st.stencil_ref & 0xFFu, mask = st.stencil_mask & 0xFFu;
    const uint32_t write_mask = st.stencil_write_mask & 0xFFu;
    constexpr uint8_t failed = 0, depth_failed = 1, passed = 2, not_drawn = 3;
    uint32_t value[gr_span_max] = {}, stored[gr_span_max] = {};
    uint8_t outcome[gr_span_max], stencil_pass[gr_span_max], depth_pass[gr_span_max];
    for (int i = 0; i < s.count; ++i) {
        value[i] = ref & mask;
        stored[i] = stencil[s.offset[i]] & mask;
        stencil_pass[i] = s.live[i];
    }
    keep_passing(face.func, value, stored, stencil_pass, s.count);
    for (int i = 0; i < s.count; ++i) depth_pass[i] = stencil_pass[i];
    uint32_t* depth = fb.depth32.data();
    if (Depth) {
        stored_depths(fb, p, s, value);
        for (int i = 0; i < s.count; ++i) stored[i] = depth[s.offset[i]];
        keep_passing(st.depth_func, value, stored, depth_pass, s.count);
    }
    for (int i = 0; i < s.count; ++i) {
        outcome[i] = !s.live[i] ? not_drawn : !stencil_pass[i] ? failed : !depth_pass[i] ? depth_failed : passed;
        s.live[i] = depth_pass[i];
    }
    apply_stencil_op(face.fail, stencil, s, outcome, failed, ref, write_mask);
    apply_stencil_op(face.depth_fail, stencil, s, outcome, depth_failed, ref, write_mask);
    apply_stencil_op(face.pass, stencil, s, outcome, passed, ref, write_mask);
    if (Depth && st.depth_write) {
        for (int i = 0; i < s.count; ++i) {
            if (s.live[i]) depth[s.offset[i]] = value[i];
        }
    }
    return any_live(s);
}

// ---- blending and the write ----

struct rgb_arrays {
    float* r;
    float* g;
    float* b;
};

void fill(rgb_arrays f, int n, float r, float g, float b) {
    for (int i = 0; i < n; ++i) f.r[i] = r, f.g[i] = g, f.b[i] = b;
}

void fill_from(rgb_arrays f, int n, const float* r, const float* g, const float* b, bool inverse) {
    for (int i = 0; i < n; ++i) {
        f.r[i] = inverse ? 1.0f - r[i] : r[i];
        f.g[i] = inverse ? 1.0f - g[i] : g[i];
        f.b[i] = inverse ? 1.0f - b[i] : b[i];
    }
}

// The rgb of blend factor `factor` for each pixel (the destination's alpha is 1).
void blend_factor(const gr_program& program, uint32_t factor, const gr_span& s, const rgb_arrays& dst, rgb_arrays f) {
    const int n = s.count;
    const float* k = program.blend_factor_rgb;
    switch (factor) {
    case 1: return fill(f, n, 0.0f, 0.0f, 0.0f);
    case 3: return fill_from(f, n, s.r, s.g, s.b, false);
    case 4: return fill_from(f, n, s.r, s.g, s.b, true);
    case 5: return fill_from(f, n, s.a, s.a, s.a, false);
    case 6: return fill_from(f, n, s.a, s.a, s.a, true);
    case 7: return fill(f, n, 1.0f, 1.0f, 1.0f);
    case 8: return fill(f, n, 0.0f, 0.0f, 0.0f);
    case 9: return fill_from(f, n, dst.r, dst.g, dst.b, false);
    case 10: return fill_from(f, n, dst.r, dst.g, dst.b, true);
    case 11: return fill(f, n, 0.0f, 0.0f, 0.0f);  // min(As, 1 - Ad) with Ad = 1
    case 14: return fill(f, n, k[0], k[1], k[2]);
    case 15: return fill(f, n, 1.0f - k[0], 1.0f - k[1], 1.0f - k[2]);
    default: return fill(f, n, 1.0f, 1.0f, 1.0f);  // ONE
    }
}

// x = op(x * fs, y * fd), clamped to [0, 1].
void blend_channel(uint32_t op, int n, float* x, const float* y, const float* fs, const float* fd) {
    switch (op) {
    case 2:
        for (int i = 0; i < n; ++i) x[i] = clamp01(x[i] * fs[i] - y[i] * fd[i]);
        break;
    case 3:
        for (int i = 0; i < n; ++i) x[i] = clamp01(y[i] * fd[i] - x[i] * fs[i]);
        break;
    case 4:
        for (int i = 0; i < n; ++i) x[i] = x[i] < y[i] ? x[i] : y[i];
        break;
    case 5:
        for (int i = 0; i < n; ++i) x[i] = x[i] > y[i] ? x[i] : y[i];
        break;
    default:
        for (int i = 0; i < n; ++i) x[i] = clamp01(x[i] * fs[i] + y[i] * fd[i]);
        break;
    }
}

template <bool Consecutive>
void read_target(const uint32_t* pixels, const gr_span& s, float* dr, float* dg, float* db) {
    for (int i = 0; i < s.count; ++i) {
        const uint32_t d = pixels[at<Consecutive>(s, i)];
        dr[i] = float((d >> 16) & 0xFFu) * inv255;
        dg[i] = float((d >> 8) & 0xFFu) * inv255;
        db[i] = float(d & 0xFFu) * inv255;
    }
}

bool blend_stage(const gr_program& program, const gr_planes&, gr_span& s) {
    const uint32_t* pixels = program.state.target->colour_pixels;
    float dr[gr_span_max], dg[gr_span_max], db[gr_span_max];
    const int n = s.count;
    if (s.consecutive) {
        read_target<true>(pixels, s, dr, dg, db);
    } else {
        read_target<false>(pixels, s, dr, dg, db);
    }
    const rgb_arrays dst{dr, dg, db};
    float sfr[gr_span_max], sfg[gr_span_max], sfb[gr_span_max], dfr[gr_span_max], dfg[gr_span_max], dfb[gr_span_max];
    const uint32_t op = program.op;
    if (op != 4 && op != 5) {
        blend_factor(program, program.source, s, dst, {sfr, sfg, sfb});
        blend_factor(program, program.destination, s, dst, {dfr, dfg, dfb});
    }
    float* src[3] = {s.r, s.g, s.b};
    const float* d[3] = {dr, dg, db};
    const float* sf[3] = {sfr, sfg, sfb};
    const float* df[3] = {dfr, dfg, dfb};
    for (int c = 0; c < 3; ++c) blend_channel(op, n, src[c], d[c], sf[c], df[c]);
    return true;
}

// round(c * 255) into the channels the write mask lets through; the others keep the target's.
template <bool Consecutive>
void write_pixels(uint32_t* __restrict pixels, uint32_t bits, const gr_span& s) {
    const uint8_t* __restrict live = s.live;
    const float* __restrict r = s.r, * __restrict g = s.g, * __restrict b = s.b, * __restrict a = s.a;
    const int n = s.count;
    for (int i = 0; i < n; ++i) {
        const uint32_t c = to_8bit(a[i]) << 24 | to_8bit(r[i]) << 16 | to_8bit(g[i]) << 8 | to_8bit(b[i]);
        const uint32_t written = bits & (0u - uint32_t(live[i]));  // live is 0 or 1
        uint32_t& d = pixels[at<Consecutive>(s, i)];
        d = (d & ~written) | (c & written);
    }
}

bool write_stage(const gr_program& program, const gr_planes&, gr_span& s) {
    if (s.consecutive) {
        write_pixels<true>(program.state.target->colour_pixels, program.write_bits, s);
    } else {
        write_pixels<false>(program.state.target->colour_pixels, program.write_bits, s);
    }
    return true;
}

// ---- blending into a target that keeps alpha ----

// Factor `factor` for every pixel, channel `c` (3: alpha), with the destination's stored alpha.
void blend_factor_channel(const gr_program& program, uint32_t factor, int c, const gr_span& s,
                          const float* const dst[4], float* out) {
    const int n = s.count;
    const float* const src[4] = {s.r, s.g, s.b, s.a};
    const float k = program.blend_factor_rgba[c];
    const float *a = s.a, *da = dst[3];
    const auto take = [&](const float* from, bool inverse) {
        for (int i = 0; i < n; ++i) out[i] = inverse ? 1.0f - from[i] : from[i];
    };
    const auto fill_with = [&](float value) {
        for (int i = 0; i < n; ++i) out[i] = value;
    };
    switch (factor) {
    case 1: return fill_with(0.0f);
    case 3: return take(src[c], false);
    case 4: return take(src[c], true);
    case 5: return take(a, false);
    case 6: return take(a, true);
    case 7: return take(da, false);
    case 8: return take(da, true);
    case 9: return take(dst[c], false);
    case 10: return take(dst[c], true);
    case 11:  // (f, f, f, 1), f = min(As, 1 - Ad)
        if (c == 3) return fill_with(1.0f);
        for (int i = 0; i < n; ++i) out[i] = a[i] < 1.0f - da[i] ? a[i] : 1.0f - da[i];
        return;
    case 14: return fill_with(k);
    case 15: return fill_with(1.0f - k);
    default: return fill_with(1.0f);  // ONE
    }
}

template <bool Consecutive>
void read_target_rgba(const uint32_t* pixels, const gr_span& s, float* const dst[4]) {
    for (int i = 0; i < s.count; ++i) {
        const uint32_t d = pixels[at<Consecutive>(s, i)];
        dst[0][i] = float((d >> 16) & 0xFFu) * inv255;
        dst[1][i] = float((d >> 8) & 0xFFu) * inv255;
        dst[2][i] = float(d & 0xFFu) * inv255;
        dst[3][i] = float(d >> 24) * inv255;
    }
}

// The colour channels with the colour factors and operation; alpha with the separate alpha set
// when it is enabled, otherwise with the colour factors' alpha and the colour operation. Every
// factor is computed before any channel changes: SRCCOLOR and SRCALPHA read the source as it came.
bool blend_alpha_target_stage(const gr_program& program, const gr_planes&, gr_span& s) {
    alignas(16) float d[4][gr_span_max], fs[4][gr_span_max], fd[4][gr_span_max];
    float* const dst[4] = {d[0], d[1], d[2], d[3]};
    if (s.consecutive) {
        read_target_rgba<true>(program.state.target->colour_pixels, s, dst);
    } else {
        read_target_rgba<false>(program.state.target->colour_pixels, s, dst);
    }
    for (int c = 0; c < 4; ++c) {
        const bool alpha = c == 3;
        const uint32_t op = alpha ? program.op_alpha : program.op;
        if (op == 4 || op == 5) continue;
        blend_factor_channel(program, alpha ? program.source_alpha : program.source, c, s, dst, fs[c]);
        blend_factor_channel(program, alpha ? program.destination_alpha : program.destination, c, s, dst, fd[c]);
    }
    float* const src[4] = {s.r, s.g, s.b, s.a};
    for (int c = 0; c < 4; ++c) {
        blend_channel(c == 3 ? program.op_alpha : program.op, s.count, src[c], dst[c], fs[c], fd[c]);
    }
    return true;
}

// A source and destination factor as they act: BOTHSRCALPHA and BOTHINVSRCALPHA as the source set
// both factors, as the destination they read as SRCALPHA and INVSRCALPHA; the second source colour
// (no second source here) reads as ONE / ZERO.
void resolve_factors(uint32_t& source, uint32_t& destination) {
    if (source == 12)
        source = 5, destination = 6;
    else if (source == 13)
        source = 6, destination = 5;
    else if (destination == 12)
        destination = 5;
    else if (destination == 13)
        destination = 6;
    const auto second = [](uint32_t f) { return f == 16 ? 2u : f == 17 ? 1u : f; };
    source = second(source);
    destination = second(destination);
}

uint32_t known_op(uint32_t op) { return op >= 1 && op <= 5 ? op : 1; }

void resolve_blend(gr_program& p) {
    const gr_blend& b = p.state.blending;
    p.source = b.source;
    p.destination = b.destination;
    p.op = known_op(b.op);
    resolve_factors(p.source, p.destination);
    const uint32_t k = p.state.blend_factor;
    p.blend_factor_rgb[0] = float((k >> 16) & 0xFFu) * inv255;
    p.blend_factor_rgb[1] = float((k >> 8) & 0xFFu) * inv255;
    p.blend_factor_rgb[2] = float(k & 0xFFu) * inv255;
    for (int c = 0; c < 3; ++c) p.blend_factor_rgba[c] = p.blend_factor_rgb[c];
    p.blend_factor_rgba[3] = float(k >> 24) * inv255;
    // The alpha channel's set (targets that keep alpha): the separate one when enabled, otherwise
    // the colour's.
    p.source_alpha = p.source, p.destination_alpha = p.destination, p.op_alpha = p.op;
    if (p.state.separate_alpha) {
        p.source_alpha = b.source_alpha;
        p.destination_alpha = b.destination_alpha;
        p.op_alpha = known_op(b.op_alpha);
        resolve_factors(p.source_alpha, p.destination_alpha);
    }
}

gr_stage fog_pick(gr_program& p) {
    const gr_state& st = p.state;
    const uint32_t mode = st.fog_table_mode;
    p.fog_rgb[0] = float((st.fog_colour >> 16) & 0xFFu) * inv255;
    p.fog_rgb[1] = float((st.fog_colour >> 8) & 0xFFu) * inv255;
    p.fog_rgb[2] = float(st.fog_colour & 0xFFu) * inv255;
    int kind = fog_vertex;
    if (mode == 1) kind = fog_exp;
    if (mode == 2) kind = fog_exp2;
    if (mode == 3) {
        kind = st.fog_end != st.fog_start ? fog_linear : fog_linear_step;
        p.fog_scale = kind == fog_linear ? 1.0f / (st.fog_end - st.fog_start) : 0.0f;
    }
    return fog_stages[kind][st.fog_uses_w ? 1 : 0];
}

}  // namespace

const gr_program* gr_compile(const gr_state& state, gr_program_storage* storage) {
    gr_program* p = new (storage->bytes) gr_program{};
    p->state = state;
    const gr_state& st = p->state;
    const d3d9_framebuffer* fb = st.target;
    tx_compile(st, &p->cascade);
    const tx_cascade& cascade = p->cascade;
    const bool textured = cascade.count > 0;
    p->plane_count = gr_coordinates + cascade.coordinate_count;
    for (int k = 0; k < cascade.coordinate_count; ++k) p->wraps = p->wraps || cascade.coordinate_wrap[k] != 0;
    const bool vertex_fog = st.fog && (st.fog_table_mode < 1 || st.fog_table_mode > 3);
    const bool depth = fb != nullptr && st.depth_test && fb_has_depth(*fb);
    const bool stencil = fb != nullptr && st.stencil && fb_has_stencil(*fb);
    p->faces[0] = st.clockwise;
    p->faces[1] = st.two_sided_stencil ? st.counter_clockwise : st.clockwise;
    p->marks_depth = depth && st.depth_write;
    p->marks_stencil = stencil;
    p->write_bits = ((st.colour_write_mask & 1u) ? 0xFF0000u : 0u) | ((st.colour_write_mask & 2u) ? 0xFF00u : 0u) |
                    ((st.colour_write_mask & 4u) ? 0xFFu : 0u) |
                    ((st.target_alpha && (st.colour_write_mask & 8u)) ? 0xFF000000u : 0u);
    resolve_blend(*p);

    int n = 0;
    gr_stage* stages = p->stages;
    const bool specular = st.specular || cascade.reads_specular;
    const bool fog_factor = vertex_fog || cascade.reads_specular;  // the specular colour's alpha
    stages[n++] = interpolate_stages[specular][fog_factor][cascade.coordinate_count > 0];
    if (st.discard_outside_depth_range) stages[n++] = depth_range_stage;
    stages[n++] = textured ? cascade_stage : diffuse_stage;
    if (st.specular) stages[n++] = specular_stage;
    if (st.fog) stages[n++] = fog_pick(*p);
    if (st.alpha_test && st.alpha_func != 8) stages[n++] = alpha_test_stage;
    if (stencil) {
        stages[n++] = depth ? stencil_stage<true> : stencil_stage<false>;
    } else if (depth) {
        if (fb->depth_format == fb_depth_format::d16) {
            stages[n++] = st.depth_write ? depth_stage<uint16_t, true> : depth_stage<uint16_t, false>;
        } else {
            stages[n++] = st.depth_write ? depth_stage<uint32_t, true> : depth_stage<uint32_t, false>;
        }
    }
    if (p->write_bits != 0) {
        if (st.blend) stages[n++] = st.target_alpha ? blend_alpha_target_stage : blend_stage;
        stages[n++] = write_stage;
    }
    p->stage_count = n;
    return p;
}

uint32_t gr_sampled_stages(const gr_program* program) { return program->cascade.sampled_stages; }
