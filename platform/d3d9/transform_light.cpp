// transform_light.cpp - matrices, per-draw light preparation and the per-vertex transform and lighting.
#include "platform/d3d9/transform_light.h"

#include "platform/base/cofactor3.h"
#include "platform/d3d9/clip.h"
#include "platform/d3d9/light_terms.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using namespace tnl_terms;

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

void store_colours(vec3 diffuse, vec3 specular, float attr[attr_count]) {
    attr[attr_diffuse_r] = diffuse.x, attr[attr_diffuse_g] = diffuse.y, attr[attr_diffuse_b] = diffuse.z;
    attr[attr_specular_r] = specular.x, attr[attr_specular_g] = specular.y, attr[attr_specular_b] = specular.z;
}

// `eye`: the camera-space position, computed when the lights or vertex fog need it.
void light_vertex(const tnl_draw& d, uint32_t index, vec3 eye, float attr[attr_count]) {
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
    const vec3 v = d.needs_eye_position ? eye : vec3{0, 0, 1};
    const light_sums sums = sum_lights(d, v, n, has_normal);
    const vec3 ca = d.ambient_from_vertex ? vertex_colour : vec(d.material_ambient);
    const vec3 cd = d.diffuse_from_vertex ? vertex_colour : vec(d.material_diffuse);
    const vec3 ce = d.emissive_from_vertex ? vertex_colour : vec(d.material_emissive);
    store_colours(clamp01(times(ca, sums.ambient) + times(cd, sums.diffuse) + ce),
                  clamp01(times(vec(d.material_specular), sums.specular)), attr);
}

// The diffuse alpha the vertex carries (see transform_light.h).
float vertex_alpha(const tnl_draw& d, uint32_t index) {
    const tnl_element& diffuse = d.streams.diffuse;
    if (diffuse.data != nullptr && (!d.lighting || d.diffuse_from_vertex)) {
        return float(tnl_read_colour(diffuse, index) >> 24) / 255.0f;
    }
    return d.lighting ? d.material_alpha : 1.0f;
}

}  // namespace

void tnl_build_matrices(const D3DMATRIX& world, const D3DMATRIX& view, const D3DMATRIX& projection, tnl_matrices* out) {
    multiply(world.m, view.m, out->world_view);
    multiply(out->world_view, projection.m, out->world_view_projection);
    inverse_transpose3(out->world_view, out->normal);
    std::memcpy(out->view, view.m, sizeof out->view);
}

void tnl_prepare(const tnl_matrices& matrices, const D3DMATERIAL9& material, const tnl_light_slot lights[],
                 size_t light_count, tnl_light* light_storage, const tnl_switches& sw, const tnl_streams& streams,
                 const viewport_mapping& viewport, tnl_draw* d) {
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
    d->power_floor = tnl_terms::power_floor(d->whole_power);
    d->fog_alpha = true;
    d->material_alpha = clamp_unit(material.Diffuse.a);
    d->fog_mode = sw.fog_mode;
    d->range_fog = sw.range_fog;
    d->fog_start = sw.fog_start, d->fog_end = sw.fog_end, d->fog_density = sw.fog_density;
    unpack_colour(sw.global_ambient, d->ambient_light);
    d->lights = light_storage;
    d->light_count = 0;
    bool local_lights = false;
    for (size_t i = 0; i < light_count; ++i) {
        if (!lights[i].enabled) continue;
        const tnl_light l = prepare_light(lights[i].light, matrices.view);
        if (l.type == D3DLIGHT_DIRECTIONAL) {
            for (int c = 0; c < 3; ++c) d->ambient_light[c] += l.ambient[c];
        } else {
            local_lights = true;
        }
        light_storage[d->light_count++] = l;
    }
    d->needs_eye_position = local_lights || (d->specular && d->local_viewer);
}

void tnl_process(const tnl_draw& d, uint32_t index, tnl_vertex* out) {
    const D3DVECTOR p = tnl_read_vector(d.streams.positions, index);
    const float(*m)[4] = d.matrices->world_view_projection;
    float* c = out->clip.position;
    for (int j = 0; j < 4; ++j) c[j] = p.x * m[0][j] + p.y * m[1][j] + p.z * m[2][j] + m[3][j];
    const bool fog = d.fog_mode != D3DFOG_NONE;
    const vec3 eye =
        fog || d.needs_eye_position ? transform_point(d.matrices->world_view, {p.x, p.y, p.z}) : vec3{0, 0, 1};
    light_vertex(d, index, eye, out->clip.attr);
    out->clip.attr[attr_alpha] = vertex_alpha(d, index);
    out->clip.attr[attr_fog] =
        fog ? fog_factor(d.fog_mode, d.fog_start, d.fog_end, d.fog_density, fog_distance(d.range_fog, eye)) : 1.0f;
    if (d.streams.texcoords.data != nullptr) {
        tnl_read_texcoord(d.streams.texcoords, index, &out->clip.attr[attr_u], &out->clip.attr[attr_v]);
    } else {
        out->clip.attr[attr_u] = out->clip.attr[attr_v] = 0.0f;
    }
    if (d.streams.texcoords1.data != nullptr) {
        tnl_read_texcoord(d.streams.texcoords1, index, &out->clip.attr[attr_u1], &out->clip.attr[attr_v1]);
    } else {
        out->clip.attr[attr_u1] = out->clip.attr[attr_v1] = 0.0f;
    }
    out->outcode = clip_outcode(c);
    if ((out->outcode & clip_needed_mask) == 0) out->screen = viewport_project(out->clip, d.viewport);
}
