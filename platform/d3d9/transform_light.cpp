// transform_light.cpp - matrices, per-draw light preparation and the per-vertex transform and lighting.
#include "platform/d3d9/transform_light.h"

#include "platform/base/cofactor3.h"
#include "platform/d3d9/clip.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct vec3 {
    float x, y, z;
};

vec3 operator+(vec3 a, vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
vec3 operator-(vec3 a, vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
vec3 operator*(vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Unit vector along v; zero for a zero vector.
vec3 normalised(vec3 v) {
    const float length_squared = dot(v, v);
    return length_squared > 0.0f ? v * (1.0f / std::sqrt(length_squared)) : vec3{0, 0, 0};
}

vec3 vec(const float v[3]) { return {v[0], v[1], v[2]}; }
void store(vec3 v, float out[3]) { out[0] = v.x, out[1] = v.y, out[2] = v.z; }

void multiply(const float a[4][4], const float b[4][4], float out[4][4]) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j] + a[i][3] * b[3][j];
}

// Cofactor matrix of the 3x3 part divided by its determinant = (M^-1)^T.
void inverse_transpose3(const float m[4][4], float out[3][3]) {
    float cof[3][3];
    cofactor3([m](int i, int j) { return m[i][j]; }, [&cof](int i, int j) -> float& { return cof[i][j]; });
    const float det = m[0][0] * cof[0][0] + m[0][1] * cof[0][1] + m[0][2] * cof[0][2];
    const float inv = det != 0.0f && std::isfinite(det) ? 1.0f / det : 0.0f;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) out[i][j] = cof[i][j] * inv;
}

// Point (w = 1) times the 4x3 part of m.
vec3 transform_point(const float m[4][4], vec3 p) {
    return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
            p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
            p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
}

vec3 transform_direction(const float m[4][4], vec3 d) {
    return {d.x * m[0][0] + d.y * m[1][0] + d.z * m[2][0], d.x * m[0][1] + d.y * m[1][1] + d.z * m[2][1],
            d.x * m[0][2] + d.y * m[1][2] + d.z * m[2][2]};
}

void rgb(const D3DCOLORVALUE& c, float out[3]) { out[0] = c.r, out[1] = c.g, out[2] = c.b; }

void unpack_colour(D3DCOLOR c, float out[3]) {
    out[0] = float((c >> 16) & 0xFFu) * (1.0f / 255.0f);
    out[1] = float((c >> 8) & 0xFFu) * (1.0f / 255.0f);
    out[2] = float(c & 0xFFu) * (1.0f / 255.0f);
}

tnl_light prepare_light(const D3DLIGHT9& l, const float view[4][4]) {
    tnl_light p{};
    p.type = l.Type;
    rgb(l.Diffuse, p.diffuse);
    rgb(l.Specular, p.specular);
    rgb(l.Ambient, p.ambient);
    const vec3 direction = normalised(transform_direction(view, {l.Direction.x, l.Direction.y, l.Direction.z}));
    store(direction * -1.0f, p.to_light);
    store(direction, p.spot_axis);
    store(transform_point(view, {l.Position.x, l.Position.y, l.Position.z}), p.position);
    p.range = l.Range;
    p.attenuation[0] = l.Attenuation0, p.attenuation[1] = l.Attenuation1, p.attenuation[2] = l.Attenuation2;
    p.cos_half_theta = std::cos(0.5f * l.Theta);
    p.cos_half_phi = std::cos(0.5f * l.Phi);
    p.falloff = l.Falloff;
    return p;
}

// Attenuation times spot factor of a point or spot light at camera-space position v; sets *to_light.
float local_light_factor(const tnl_light& l, vec3 v, vec3* to_light) {
    const vec3 offset = vec(l.position) - v;
    const float distance = std::sqrt(dot(offset, offset));
    if (distance > l.range) return 0.0f;
    *to_light = distance > 0.0f ? offset * (1.0f / distance) : vec3{0, 0, 0};
    const float denominator = l.attenuation[0] + distance * (l.attenuation[1] + distance * l.attenuation[2]);
    float factor = denominator > 0.0f ? 1.0f / denominator : 0.0f;
    if (l.type == D3DLIGHT_SPOT) {
        const float rho = -dot(vec(l.spot_axis), *to_light);
        if (rho <= l.cos_half_phi) return 0.0f;
        if (rho < l.cos_half_theta) {
            const float t = (rho - l.cos_half_phi) / (l.cos_half_theta - l.cos_half_phi);
            factor *= l.falloff == 1.0f ? t : std::pow(t, l.falloff);
        }
    }
    return factor;
}

// x^P: by repeated squaring for a whole P (at most 20 multiplications; relative error about 2P ulp,
// far below one colour step for P <= 1024), else pow.
float specular_power(float x, const tnl_draw& d) {
    if (d.whole_power < 0) return std::pow(x, d.power);
    float result = 1.0f;
    for (int e = d.whole_power; e != 0; e >>= 1, x *= x) {
        if (e & 1) result *= x;
    }
    return result;
}

struct light_sums {
    vec3 ambient, diffuse, specular;
};

// Sums the lights' contributions for a vertex at camera-space position v with normal n.
light_sums sum_lights(const tnl_draw& d, vec3 v, vec3 n, bool has_normal) {
    light_sums sums{vec(d.ambient_light), {0, 0, 0}, {0, 0, 0}};
    vec3 to_eye{0, 0, -1};  // a local viewer's is found at the first specular highlight
    bool to_eye_known = !d.local_viewer;
    for (int i = 0; i < d.light_count; ++i) {
        const tnl_light& l = d.lights[i];
        vec3 to_light = vec(l.to_light);
        float factor = 1.0f;
        if (l.type != D3DLIGHT_DIRECTIONAL) {
            factor = local_light_factor(l, v, &to_light);
            if (factor <= 0.0f) continue;
            sums.ambient = sums.ambient + vec(l.ambient) * factor;
        }
        if (!has_normal) continue;
        const float n_dot_l = dot(n, to_light);
        if (!(n_dot_l > 0.0f)) continue;
        sums.diffuse = sums.diffuse + vec(l.diffuse) * (n_dot_l * factor);
        if (!d.specular) continue;
        if (!to_eye_known) {
            to_eye = normalised(v * -1.0f);
            to_eye_known = true;
        }
        const float n_dot_h = dot(n, normalised(to_eye + to_light));
        if (n_dot_h > 0.0f) sums.specular = sums.specular + vec(l.specular) * (specular_power(n_dot_h, d) * factor);
    }
    return sums;
}

vec3 clamp01(vec3 v) {
    return {std::min(std::max(0.0f, v.x), 1.0f), std::min(std::max(0.0f, v.y), 1.0f),
            std::min(std::max(0.0f, v.z), 1.0f)};
}

vec3 times(vec3 a, vec3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

vec3 unpacked(D3DCOLOR c) {
    float rgb[3];
    unpack_colour(c, rgb);
    return vec(rgb);
}

void store_colours(vec3 diffuse, vec3 specular, float attr[attr_count]) {
    attr[attr_diffuse_r] = diffuse.x, attr[attr_diffuse_g] = diffuse.y, attr[attr_diffuse_b] = diffuse.z;
    attr[attr_specular_r] = specular.x, attr[attr_specular_g] = specular.y, attr[attr_specular_b] = specular.z;
}

void light_vertex(const tnl_draw& d, uint32_t index, vec3 position, float attr[attr_count]) {
    const tnl_streams& s = d.streams;
    const vec3 vertex_colour = s.diffuse.data != nullptr ? unpacked(tnl_read_colour(s.diffuse, index)) : vec3{1, 1, 1};
    if (!d.lighting) {
        store_colours(vertex_colour, {0, 0, 0}, attr);
        return;
    }
    const bool has_normal = s.normals.data != nullptr;
    vec3 n{0, 0, 0};
    if (has_normal) {
        const D3DVECTOR raw = tnl_read_vector(s.normals, index);
        const float(*m)[3] = d.matrices->normal;
        n = {raw.x * m[0][0] + raw.y * m[1][0] + raw.z * m[2][0], raw.x * m[0][1] + raw.y * m[1][1] + raw.z * m[2][1],
             raw.x * m[0][2] + raw.y * m[1][2] + raw.z * m[2][2]};
        if (d.normalize_normals) n = normalised(n);
    }
    const vec3 v = d.needs_eye_position ? transform_point(d.matrices->world_view, position) : vec3{0, 0, 1};
    const light_sums sums = sum_lights(d, v, n, has_normal);
    const vec3 ca = d.ambient_from_vertex ? vertex_colour : vec(d.material_ambient);
    const vec3 cd = d.diffuse_from_vertex ? vertex_colour : vec(d.material_diffuse);
    const vec3 ce = d.emissive_from_vertex ? vertex_colour : vec(d.material_emissive);
    store_colours(clamp01(times(ca, sums.ambient) + times(cd, sums.diffuse) + ce),
                  clamp01(times(vec(d.material_specular), sums.specular)), attr);
}

}  // namespace

void tnl_build_matrices(const D3DMATRIX& world, const D3DMATRIX& view, const D3DMATRIX& projection, tnl_matrices* out) {
    multiply(world.m, view.m, out->world_view);
    multiply(out->world_view, projection.m, out->world_view_projection);
    inverse_transpose3(out->world_view, out->normal);
    std::memcpy(out->view, view.m, sizeof out->view);
}

void tnl_prepare(const tnl_matrices& matrices, const D3DMATERIAL9& material, const tnl_light_slot lights[],
                 const tnl_switches& sw, const tnl_streams& streams, const viewport_mapping& viewport,
                 tnl_draw* d) {
    d->matrices = &matrices;
    d->streams = streams;
    d->viewport = viewport;
    d->lighting = sw.lighting;
    d->specular = sw.lighting && sw.specular;
    d->local_viewer = sw.local_viewer;
    d->normalize_normals = sw.normalize_normals;
    const bool vertex_colour = sw.colour_vertex && streams.diffuse.data != nullptr;
    d->diffuse_from_vertex = vertex_colour && sw.diffuse_source == D3DMCS_COLOR1;
    d->ambient_from_vertex = vertex_colour && sw.ambient_source == D3DMCS_COLOR1;
    d->emissive_from_vertex = vertex_colour && sw.emissive_source == D3DMCS_COLOR1;
    rgb(material.Diffuse, d->material_diffuse);
    rgb(material.Ambient, d->material_ambient);
    rgb(material.Specular, d->material_specular);
    rgb(material.Emissive, d->material_emissive);
    d->power = material.Power;
    const bool whole =
        material.Power >= 0.0f && material.Power <= 1024.0f && std::floor(material.Power) == material.Power;
    d->whole_power = whole ? int(material.Power) : -1;
    unpack_colour(sw.global_ambient, d->ambient_light);
    d->light_count = 0;
    bool local_lights = false;
    for (int i = 0; i < tnl_max_lights; ++i) {
        if (!lights[i].enabled) continue;
        const tnl_light l = prepare_light(lights[i].light, matrices.view);
        if (l.type == D3DLIGHT_DIRECTIONAL) {
            for (int c = 0; c < 3; ++c) d->ambient_light[c] += l.ambient[c];
        } else {
            local_lights = true;
        }
        d->lights[d->light_count++] = l;
    }
    d->needs_eye_position = local_lights || (d->specular && d->local_viewer);
}

void tnl_process(const tnl_draw& d, uint32_t index, tnl_vertex* out) {
    const D3DVECTOR p = tnl_read_vector(d.streams.positions, index);
    const float(*m)[4] = d.matrices->world_view_projection;
    float* c = out->clip.position;
    for (int j = 0; j < 4; ++j) c[j] = p.x * m[0][j] + p.y * m[1][j] + p.z * m[2][j] + m[3][j];
    light_vertex(d, index, {p.x, p.y, p.z}, out->clip.attr);
    if (d.streams.texcoords.data != nullptr) {
        tnl_read_texcoord(d.streams.texcoords, index, &out->clip.attr[attr_u], &out->clip.attr[attr_v]);
    } else {
        out->clip.attr[attr_u] = out->clip.attr[attr_v] = 0.0f;
    }
    out->outcode = clip_outcode(c);
    if ((out->outcode & clip_needed_mask) == 0) out->screen = viewport_project(out->clip, d.viewport);
}
