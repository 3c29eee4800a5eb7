// transform_light_batch.cpp - the vertex stage four vertices at a time, in structure-of-arrays form.
//
// Each lane performs exactly the operations of tnl_process, in the same order and without fused
// multiply-adds, so the results are bit for bit those of the one-vertex path; branches become lane
// masks. Draws whose lights are all directional (and whose specular power, when specular is on, is
// a whole number) take this path; point and spot lights, and fractional powers, stay one vertex at
// a time.
#include "platform/d3d9/clip.h"
#include "platform/d3d9/transform_light.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int lanes = 4;
using F = float __attribute__((vector_size(16)));
using I = int32_t __attribute__((vector_size(16)));

F splat(float v) { return F{v, v, v, v}; }
F select(I mask, F yes, F no) { return mask ? yes : no; }

struct V3 {
    F x, y, z;
};

// Nearest integer, ties to even, as lrint rounds in the default rounding mode.
I round_to_int(F v) {
#if defined(__SSE2__)
    return I(_mm_cvtps_epi32(__m128(v)));
#else
    I r;
    for (int i = 0; i < lanes; ++i) r[i] = int32_t(std::lrint(v[i]));
    return r;
#endif
}

// Correctly rounded in every lane, as std::sqrt is.
F square_root(F v) {
#if defined(__SSE2__)
    return F(_mm_sqrt_ps(__m128(v)));
#else
    F r;
    for (int i = 0; i < lanes; ++i) r[i] = std::sqrt(v[i]);
    return r;
#endif
}

V3 splat3(const float v[3]) { return {splat(v[0]), splat(v[1]), splat(v[2])}; }
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator*(V3 a, F s) { return {a.x * s, a.y * s, a.z * s}; }
V3 times(V3 a, V3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
F dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 select3(I mask, V3 yes, V3 no) {
    return {select(mask, yes.x, no.x), select(mask, yes.y, no.y), select(mask, yes.z, no.z)};
}

// Unit vector along v; zero for a zero vector.
V3 normalised(V3 v) {
    const F length_squared = dot(v, v);
    const V3 scaled = v * (1.0f / square_root(length_squared));
    return select3(length_squared > 0.0f, scaled, {splat(0.0f), splat(0.0f), splat(0.0f)});
}

// min(max(0, v), 1) as std::min and std::max compute it (NaN becomes 0).
F clamp01(F v) {
    const F low = select(F{} < v, v, F{});
    return select(splat(1.0f) < low, splat(1.0f), low);
}

V3 clamp01(V3 v) { return {clamp01(v.x), clamp01(v.y), clamp01(v.z)}; }

// Row-vector transform by the 4x3 part of m (w = 1), or the 3x3 part (directions).
V3 transform_point(const float m[4][4], V3 p) {
    return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
            p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
            p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
}

V3 transform_normal(const float m[3][3], V3 n) {
    return {n.x * m[0][0] + n.y * m[1][0] + n.z * m[2][0], n.x * m[0][1] + n.y * m[1][1] + n.z * m[2][1],
            n.x * m[0][2] + n.y * m[1][2] + n.z * m[2][2]};
}

V3 gather(const D3DVECTOR* v, const uint32_t index[lanes]) {
    V3 r;
    for (int i = 0; i < lanes; ++i) {
        const D3DVECTOR& e = v[index[i]];
        r.x[i] = e.x, r.y[i] = e.y, r.z[i] = e.z;
    }
    return r;
}

V3 vertex_colours(const tnl_draw& d, const uint32_t index[lanes]) {
    if (d.streams.diffuse == nullptr) return {splat(1.0f), splat(1.0f), splat(1.0f)};
    I c;
    for (int i = 0; i < lanes; ++i) c[i] = int32_t(d.streams.diffuse[index[i]]);
    const auto channel = [&c](int shift) { return __builtin_convertvector((c >> shift) & 0xFF, F) * (1.0f / 255.0f); };
    return {channel(16), channel(8), channel(0)};
}

// x^P by repeated squaring, P whole and the same in every lane.
F whole_power(F x, int power) {
    F result = splat(1.0f);
    for (int e = power; e != 0; e >>= 1, x *= x) {
        if (e & 1) result *= x;
    }
    return result;
}

struct LitColours {
    V3 diffuse, specular;
};

// The directional lights' sums for camera-space positions v and normals n.
LitColours light(const tnl_draw& d, V3 v, V3 n, bool has_normal, V3 vertex_colour) {
    V3 ambient = splat3(d.ambient_light), diffuse{}, specular{};
    if (has_normal) {
        const bool local_eye = d.specular && d.local_viewer;
        const V3 to_eye = local_eye ? normalised(v * splat(-1.0f)) : V3{splat(0.0f), splat(0.0f), splat(-1.0f)};
        for (int i = 0; i < d.light_count; ++i) {
            const tnl_light& l = d.lights[i];
            const V3 to_light = splat3(l.to_light);
            const F n_dot_l = dot(n, to_light);
            const I lit = n_dot_l > 0.0f;
            diffuse = select3(lit, diffuse + splat3(l.diffuse) * (n_dot_l * 1.0f), diffuse);
            if (!d.specular) continue;
            const F n_dot_h = dot(n, normalised(to_eye + to_light));
            const V3 highlight = specular + splat3(l.specular) * (whole_power(n_dot_h, d.whole_power) * 1.0f);
            specular = select3(lit & (n_dot_h > 0.0f), highlight, specular);
        }
    }
    const V3 ca = d.ambient_from_vertex ? vertex_colour : splat3(d.material_ambient);
    const V3 cd = d.diffuse_from_vertex ? vertex_colour : splat3(d.material_diffuse);
    const V3 ce = d.emissive_from_vertex ? vertex_colour : splat3(d.material_emissive);
    return {clamp01(times(ca, ambient) + times(cd, diffuse) + ce),
            clamp01(times(splat3(d.material_specular), specular))};
}

// clip_outcode for four positions.
I outcodes(const F p[4]) {
    constexpr float g = clip_guard_band;
    const F x = p[0], y = p[1], z = p[2], w = p[3];
    I finite = I{} == I{};
    for (int j = 0; j < 4; ++j) finite &= (I(p[j]) & 0x7F800000) != 0x7F800000;
    const auto bit = [](I mask, uint32_t b) { return mask & int32_t(b); };
    const I code = bit(x < -w, clip_out_left) | bit(x > w, clip_out_right) | bit(y < -w, clip_out_bottom) |
                   bit(y > w, clip_out_top) | bit(z < 0.0f, clip_out_near) | bit(z > w, clip_out_far) |
                   bit(x < -g * w, clip_beyond_left) | bit(x > g * w, clip_beyond_right) |
                   bit(y < -g * w, clip_beyond_bottom) | bit(y > g * w, clip_beyond_top) |
                   bit(w < clip_min_w, clip_out_w);
    return finite ? code : ~I{};
}

// viewport_project for four vertices (lanes that need clipping get values nobody reads).
void project(const viewport_mapping& vp, const F clip[4], const F attr[attr_count], I* x, I* y,
             F value[raster_value_storage]) {
    const F q = 1.0f / clip[3];
    *x = round_to_int((clip[0] * q + 1.0f) * vp.half_width);
    *y = round_to_int((1.0f - clip[1] * q) * vp.half_height);
    value[raster_value_z] = clip[2] * q;
    value[raster_value_q] = q;
    for (int a = 0; a < attr_count; ++a) value[raster_value_attr + a] = attr[a] * q;
    if (vp.sum_specular) {
        for (int i = 0; i < 3; ++i) {
            value[raster_value_attr + attr_diffuse_r + i] += value[raster_value_attr + attr_specular_r + i];
        }
    }
    for (int k = raster_value_count; k < raster_value_storage; ++k) value[k] = F{};
}

// Transforms and lights the four vertices `index` and stores the first `count` of them.
void process_four(const tnl_draw& d, const uint32_t index[lanes], int count, tnl_vertex* vertices) {
    const tnl_matrices& m = *d.matrices;
    const V3 p = gather(d.streams.positions, index);
    F clip[4];
    for (int j = 0; j < 4; ++j) {
        const float(*t)[4] = m.world_view_projection;
        clip[j] = p.x * t[0][j] + p.y * t[1][j] + p.z * t[2][j] + t[3][j];
    }
    const V3 vertex_colour = vertex_colours(d, index);
    LitColours lit{vertex_colour, {splat(0.0f), splat(0.0f), splat(0.0f)}};
    if (d.lighting) {
        const bool has_normal = d.streams.normals != nullptr;
        V3 n{};
        if (has_normal) {
            n = transform_normal(m.normal, gather(d.streams.normals, index));
            if (d.normalize_normals) n = normalised(n);
        }
        const V3 v =
            d.needs_eye_position ? transform_point(m.world_view, p) : V3{splat(0.0f), splat(0.0f), splat(1.0f)};
        lit = light(d, v, n, has_normal, vertex_colour);
    }
    F attr[attr_count] = {lit.diffuse.x, lit.diffuse.y, lit.diffuse.z, lit.specular.x, lit.specular.y, lit.specular.z};
    if (const float* uv = d.streams.texcoords) {
        for (int i = 0; i < lanes; ++i)
            attr[attr_u][i] = uv[2 * size_t(index[i])], attr[attr_v][i] = uv[2 * size_t(index[i]) + 1];
    }
    const I outcode = outcodes(clip);
    F screen[raster_value_storage];
    I x, y;
    project(d.viewport, clip, attr, &x, &y, screen);
    for (int i = 0; i < count; ++i) {
        tnl_vertex& out = vertices[index[i]];
        for (int j = 0; j < 4; ++j) out.clip.position[j] = clip[j][i];
        for (int a = 0; a < attr_count; ++a) out.clip.attr[a] = attr[a][i];
        out.outcode = uint32_t(outcode[i]);
        out.screen.x = x[i], out.screen.y = y[i];
        for (int k = 0; k < raster_value_storage; ++k) out.screen.value[k] = screen[k][i];
    }
}

}  // namespace

bool tnl_batch_supported(const tnl_draw& d) {
    if (!d.lighting) return true;
    if (d.specular && d.whole_power < 0) return false;
    for (int i = 0; i < d.light_count; ++i) {
        if (d.lights[i].type != D3DLIGHT_DIRECTIONAL) return false;
    }
    return true;
}

void tnl_process_batch(const tnl_draw& d, const uint32_t* indices, size_t count, tnl_vertex* vertices) {
    size_t i = 0;
    for (; i + lanes <= count; i += lanes) process_four(d, indices + i, lanes, vertices);
    if (i == count) return;
    uint32_t tail[lanes];
    for (int k = 0; k < lanes; ++k) tail[k] = indices[i + std::min<size_t>(size_t(k), count - i - 1)];
    process_four(d, tail, int(count - i), vertices);
}
