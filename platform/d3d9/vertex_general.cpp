// vertex_general.cpp - the general vertex stage: transform, lighting, vertex fog, point size and
// user clip plane distances of one vertex of any layout; and the viewport mapping.
//
// Lighting runs through the fast stage's own terms (light_terms.h), so both light alike. Colour
// sources: while COLORVERTEX is on, D3DMCS_COLOR1 names the vertex's diffuse colour and
// D3DMCS_COLOR2 its specular colour, each falling back to the material colour when the vertex has
// none. The lit diffuse alpha is the diffuse source's alpha, clamped to [0, 1].
//
// Fog factor: 1 with fog off or with table (pixel) fog; vertex fog (LINEAR, EXP, EXP2 on the
// camera-space z, or on the distance to the eye with range fog) for untransformed vertices when
// the vertex mode is not NONE; otherwise the vertex's specular alpha, 1 without a specular colour.
// LINEAR with start = end is a step: 1 before end, 0 from it on.
//
// Point size: the vertex's PSIZE, else the state; scaled by Vh * sqrt(1 / (A + B De + C De^2)) for
// untransformed vertices with point scaling on; then clamped to [POINTSIZE_MIN, min(POINTSIZE_MAX,
// 64)], whether scaled or not (a size that is not a number becomes the minimum).
//
// User clip planes are given in world space; each is carried into camera space once per draw by
// the inverse view matrix (a singular view keeps every vertex: distance 0).
#include "platform/d3d9/vertex_general.h"

#include "platform/d3d9/clip.h"
#include "platform/d3d9/light_terms.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

namespace {

using namespace tnl_terms;

inline constexpr float vg_caps_max_point_size = 64.0f;

enum class fog_source { none, vertex, specular_alpha };

}  // namespace

struct vg_draw {
    tnl_draw tnl;  // the lighting terms, as the fast stage prepares them (its streams unused)
    bool pretransformed, lighting, colour_vertex;
    uint32_t diffuse_source, specular_source, ambient_source, emissive_source;
    float material_diffuse_alpha;

    fog_source fog;
    uint32_t fog_mode;
    bool range_fog;
    float fog_start, fog_end, fog_density;

    float point_size, point_min, point_max;
    bool point_scale;
    float point_a, point_b, point_c, viewport_height;

    uint32_t plane_enable;
    float camera_planes[6][4];  // the enabled planes in camera space

    uint32_t stage_mask;  // the stages whose coordinates are computed here
    bool local_viewer, normalize_normals;
    vg_texture_stage stages[8];
    uint8_t counts[8];  // COUNTn of each stage, 0 without a transform
    uint8_t set_components[8];

    tnl_light lights[vg_inline_lights];
};
static_assert(sizeof(vg_draw) <= sizeof(vg_draw_storage), "vg_draw must fit its storage");
static_assert(alignof(vg_draw) <= 16, "vg_draw must fit its storage's alignment");

namespace {

// Inverse of a 4x4 matrix by Gauss-Jordan elimination with partial pivoting; false when singular.
bool invert4(const float m[4][4], float out[4][4]) {
    double a[4][8];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m[i][j];
            a[i][4 + j] = i == j ? 1.0 : 0.0;
        }
    }
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r) {
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        }
        if (!(std::fabs(a[pivot][c]) > 0.0) || !std::isfinite(a[pivot][c])) return false;
        if (pivot != c) {
            for (int j = 0; j < 8; ++j) std::swap(a[c][j], a[pivot][j]);
        }
        const double inv = 1.0 / a[c][c];
        for (int j = 0; j < 8; ++j) a[c][j] *= inv;
        for (int r = 0; r < 4; ++r) {
            if (r == c) continue;
            const double f = a[r][c];
            for (int j = 0; j < 8; ++j) a[r][j] -= f * a[c][j];
        }
    }
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) out[i][j] = float(a[i][4 + j]);
    }
    return true;
}

// The colour a material-source state names for this vertex, or null for the material's own.
const float* source_colour(const vg_draw& d, uint32_t source, const vi_vertex& in) {
    if (!d.colour_vertex) return nullptr;
    if (source == D3DMCS_COLOR1 && in.has_diffuse) return in.diffuse;
    if (source == D3DMCS_COLOR2 && in.has_specular) return in.specular;
    return nullptr;
}

vec3 colour_or(const float* vertex, const float material[3]) { return vertex != nullptr ? vec(vertex) : vec(material); }

void light(const vg_draw& d, const vi_vertex& in, vec3 eye_position, float* attr) {
    const tnl_draw& t = d.tnl;
    vec3 n{0, 0, 0};
    if (in.has_normal) {
        const float(*m)[3] = t.matrices->normal;
        const float* raw = in.normal;
        n = {raw[0] * m[0][0] + raw[1] * m[1][0] + raw[2] * m[2][0],
             raw[0] * m[0][1] + raw[1] * m[1][1] + raw[2] * m[2][1],
             raw[0] * m[0][2] + raw[1] * m[1][2] + raw[2] * m[2][2]};
        if (t.normalize_normals) n = normalised(n);
    }
    const vec3 v = t.needs_eye_position ? eye_position : vec3{0, 0, 1};
    const light_sums sums = sum_lights(t, v, n, in.has_normal);
    const float* diffuse_vertex = source_colour(d, d.diffuse_source, in);
    const vec3 ca = colour_or(source_colour(d, d.ambient_source, in), t.material_ambient);
    const vec3 cd = colour_or(diffuse_vertex, t.material_diffuse);
    const vec3 ce = colour_or(source_colour(d, d.emissive_source, in), t.material_emissive);
    const vec3 cs = colour_or(source_colour(d, d.specular_source, in), t.material_specular);
    store(clamp01(times(ca, sums.ambient) + times(cd, sums.diffuse) + ce), attr + gv_diffuse);
    attr[gv_diffuse + 3] = clamp_unit(diffuse_vertex != nullptr ? diffuse_vertex[3] : d.material_diffuse_alpha);
    store(clamp01(times(cs, sums.specular)), attr + gv_specular);
}

float vertex_fog(const vg_draw& d, vec3 eye_position) {
    return fog_factor(d.fog_mode, d.fog_start, d.fog_end, d.fog_density, fog_distance(d.range_fog, eye_position));
}

float point_size(const vg_draw& d, const vi_vertex& in, vec3 eye_position) {
    float size = in.has_point_size ? in.point_size : d.point_size;
    if (d.point_scale && !d.pretransformed) {
        const float de = std::sqrt(dot(eye_position, eye_position));
        size = d.viewport_height * size * std::sqrt(1.0f / (d.point_a + d.point_b * de + d.point_c * de * de));
    }
    size = size >= d.point_min ? size : d.point_min;
    return size <= d.point_max ? size : d.point_max;
}

vec3 camera_normal(const vg_draw& d, const vi_vertex& in) {
    if (!in.has_normal) return {0, 0, 0};
    const float(*m)[3] = d.tnl.matrices->normal;
    const float* raw = in.normal;
    const vec3 n{raw[0] * m[0][0] + raw[1] * m[1][0] + raw[2] * m[2][0],
                 raw[0] * m[0][1] + raw[1] * m[1][1] + raw[2] * m[2][1],
                 raw[0] * m[0][2] + raw[1] * m[1][2] + raw[2] * m[2][2]};
    return d.normalize_normals ? normalised(n) : n;
}

vec3 reflection(const vg_draw& d, const vi_vertex& in, vec3 eye) {
    const vec3 n = camera_normal(d, in);
    const vec3 i = d.local_viewer ? normalised(eye) : vec3{0, 0, 1};
    return i - n * (2.0f * dot(n, i));
}

// Stage s's input vector and its component count.
int stage_input(const vg_draw& d, int s, const vi_vertex& in, vec3 eye, float x[4]) {
    const uint32_t index = d.stages[s].index;
    const uint32_t set = index & 0xFFFFu;
    x[0] = x[1] = x[2] = 0.0f, x[3] = 1.0f;
    switch (d.pretransformed ? 0u : index & 0xFFFF0000u) {
    case D3DTSS_TCI_CAMERASPACENORMAL: store(camera_normal(d, in), x); return 4;
    case D3DTSS_TCI_CAMERASPACEPOSITION: store(eye, x); return 4;
    case D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR: store(reflection(d, in, eye), x); return 4;
    case D3DTSS_TCI_SPHEREMAP: {
        const vec3 r = reflection(d, in, eye);
        const float m = 2.0f * std::sqrt(r.x * r.x + r.y * r.y + (r.z - 1.0f) * (r.z - 1.0f));
        x[0] = m > 0.0f ? r.x / m + 0.5f : 0.5f;
        x[1] = m > 0.0f ? -r.y / m + 0.5f : 0.5f;
        return 2;
    }
    default:
        if (set >= 8 || d.set_components[set] == 0) return 2;
        std::memcpy(x, in.texcoord[set], 4 * sizeof(float));
        return d.set_components[set];
    }
}

void stage_coordinates(const vg_draw& d, const vi_vertex& in, vec3 eye, float* attr) {
    for (uint32_t mask = d.stage_mask; mask != 0; mask &= mask - 1) {
        const int s = std::countr_zero(mask);
        float x[4];
        const int n = stage_input(d, s, in, eye, x);
        float* out = attr + gv_texcoord + 4 * s;
        if (d.counts[s] == 0 || d.pretransformed) {
            std::memcpy(out, x, sizeof x);
            continue;
        }
        // Padding: 1 in the first missing slot, 0 after it.
        for (int k = n; k < 4; ++k) x[k] = k == n ? 1.0f : 0.0f;
        const float(*m)[4] = d.stages[s].matrix;
        for (int j = 0; j < 4; ++j) out[j] = x[0] * m[0][j] + x[1] * m[1][j] + x[2] * m[2][j] + x[3] * m[3][j];
    }
}

int transform_count(uint32_t flags) {
    const uint32_t count = flags & 0xFFu;
    return count >= 1 && count <= 4 ? int(count) : 0;
}

}  // namespace

int vg_type_components(int type) {
    switch (type) {
    case D3DDECLTYPE_FLOAT1: return 1;
    case D3DDECLTYPE_FLOAT2:
    case D3DDECLTYPE_SHORT2:
    case D3DDECLTYPE_SHORT2N:
    case D3DDECLTYPE_USHORT2N:
    case D3DDECLTYPE_FLOAT16_2: return 2;
    case D3DDECLTYPE_FLOAT3:
    case D3DDECLTYPE_UDEC3:
    case D3DDECLTYPE_DEC3N: return 3;
    case D3DDECLTYPE_UNUSED: return 0;
    default: return 4;
    }
}

int vg_coordinate_count(const vg_texture_stage& stage, const uint8_t set_components[8], bool pretransformed) {
    if (const int count = transform_count(stage.flags); count != 0) return count;
    switch (pretransformed ? 0u : stage.index & 0xFFFF0000u) {
    case D3DTSS_TCI_CAMERASPACENORMAL:
    case D3DTSS_TCI_CAMERASPACEPOSITION:
    case D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR: return 4;
    case D3DTSS_TCI_SPHEREMAP: return 2;
    default: {
        const uint32_t set = stage.index & 0xFFFFu;
        return set < 8 && set_components[set] != 0 ? set_components[set] : 2;
    }
    }
}

const vg_draw* vg_prepare(const vg_inputs& in, vg_draw_storage* storage) {
    if (in.light_count < 0 || (in.light_count > 0 && in.lights == nullptr)) return nullptr;
    if (in.light_count > vg_inline_lights && in.light_storage == nullptr) return nullptr;
    if (!in.pretransformed && in.matrices == nullptr) return nullptr;
    auto* d = new (storage->bytes) vg_draw{};
    d->pretransformed = in.pretransformed;
    const tnl_switches& sw = in.switches;
    d->lighting = sw.lighting && !in.pretransformed;
    d->colour_vertex = sw.colour_vertex;
    d->diffuse_source = sw.diffuse_source;
    d->specular_source = sw.specular_source;
    d->ambient_source = sw.ambient_source;
    d->emissive_source = sw.emissive_source;
    d->material_diffuse_alpha = in.material.Diffuse.a;
    if (d->lighting) {
        tnl_light* storage = in.light_storage != nullptr ? in.light_storage : d->lights;
        tnl_prepare(*in.matrices, in.material, in.lights, size_t(in.light_count), storage, sw, tnl_streams{},
                    viewport_mapping{}, &d->tnl);
    } else {
        d->tnl.matrices = in.matrices;
    }

    if (!in.fog || in.fog_table_mode != D3DFOG_NONE) {
        d->fog = fog_source::none;
    } else if (in.pretransformed || in.fog_vertex_mode == D3DFOG_NONE) {
        d->fog = fog_source::specular_alpha;
    } else {
        d->fog = fog_source::vertex;
    }
    d->fog_mode = in.fog_vertex_mode;
    d->range_fog = in.range_fog;
    d->fog_start = in.fog_start, d->fog_end = in.fog_end, d->fog_density = in.fog_density;

    d->point_size = in.point_size;
    d->point_min = in.point_size_min > 0.0f ? in.point_size_min : 0.0f;
    d->point_max = in.point_size_max < vg_caps_max_point_size ? in.point_size_max : vg_caps_max_point_size;
    if (!(d->point_max >= 0.0f)) d->point_max = 0.0f;
    d->point_scale = in.point_scale;
    d->point_a = in.point_scale_a, d->point_b = in.point_scale_b, d->point_c = in.point_scale_c;
    d->viewport_height = in.viewport_height;

    d->local_viewer = sw.local_viewer;
    d->normalize_normals = sw.normalize_normals;
    d->stage_mask = in.stage_mask & 0xFFu;
    for (int s = 0; s < 8; ++s) {
        d->stages[s] = in.stages[s];
        d->counts[s] = uint8_t(transform_count(in.stages[s].flags));
        d->set_components[s] = in.set_components[s];
        // A stage reading its own set unchanged needs no work: the set is already in its slot.
        if (in.stages[s].index == uint32_t(s) && (d->counts[s] == 0 || in.pretransformed)) d->stage_mask &= ~(1u << s);
    }

    d->plane_enable = in.pretransformed ? 0u : in.clip_plane_enable & 0x3Fu;
    if (d->plane_enable != 0) {
        float view_inverse[4][4];
        const bool invertible = invert4(in.matrices->view, view_inverse);
        for (int i = 0; i < 6; ++i) {
            const float* p = in.clip_planes[i];
            for (int r = 0; r < 4; ++r) {
                // A camera-space point c is the world point c * view^-1: the plane's camera form is
                // view^-1 times the plane as a column.
                const float(*m)[4] = view_inverse;
                d->camera_planes[i][r] =
                    invertible ? m[r][0] * p[0] + m[r][1] * p[1] + m[r][2] * p[2] + m[r][3] * p[3] : 0.0f;
            }
        }
    }
    return d;
}

void vg_process(const vg_draw* d, const vi_vertex& in, gv_clip_vertex* out) {
    float* attr = out->attr;
    for (int s = 0; s < vl_texcoord_sets; ++s)
        std::memcpy(attr + gv_texcoord + 4 * s, in.texcoord[s], 4 * sizeof(float));
    const float fog_from_specular = in.has_specular ? in.specular[3] : 1.0f;
    std::memset(out->clip_distance, 0, sizeof out->clip_distance);

    if (d->pretransformed) {
        const float rhw = in.position[3];
        const float q = rhw > 0.0f && std::isfinite(rhw) ? rhw : 1.0f;
        out->position[0] = in.position[0], out->position[1] = in.position[1], out->position[2] = in.position[2];
        out->position[3] = 1.0f / q;
        std::memcpy(attr + gv_diffuse, in.diffuse, 4 * sizeof(float));
        for (int c = 0; c < 3; ++c) attr[gv_specular + c] = in.has_specular ? in.specular[c] : 0.0f;
        attr[gv_fog] = d->fog == fog_source::none ? 1.0f : fog_from_specular;
        out->point_size = point_size(*d, in, {0, 0, 0});
        if (d->stage_mask != 0) stage_coordinates(*d, in, {0, 0, 0}, attr);
        return;
    }

    const tnl_matrices& matrices = *d->tnl.matrices;
    const float x = in.position[0], y = in.position[1], z = in.position[2];
    const float(*m)[4] = matrices.world_view_projection;
    for (int j = 0; j < 4; ++j) out->position[j] = x * m[0][j] + y * m[1][j] + z * m[2][j] + m[3][j];
    const vec3 eye = transform_point(matrices.world_view, {x, y, z});

    if (d->lighting) {
        light(*d, in, eye, attr);
    } else {
        std::memcpy(attr + gv_diffuse, in.diffuse, 4 * sizeof(float));
        for (int c = 0; c < 3; ++c) attr[gv_specular + c] = in.has_specular ? in.specular[c] : 0.0f;
    }
    switch (d->fog) {
    case fog_source::none: attr[gv_fog] = 1.0f; break;
    case fog_source::vertex: attr[gv_fog] = vertex_fog(*d, eye); break;
    case fog_source::specular_alpha: attr[gv_fog] = fog_from_specular; break;
    }
    out->point_size = point_size(*d, in, eye);
    if (d->stage_mask != 0) stage_coordinates(*d, in, eye, attr);
    for (int i = 0; i < 6; ++i) {
        if ((d->plane_enable & (1u << i)) == 0) continue;
        const float* p = d->camera_planes[i];
        out->clip_distance[i] = p[0] * eye.x + p[1] * eye.y + p[2] * eye.z + p[3];
    }
}

uint32_t vg_outcode(const vg_draw* d, const gv_clip_vertex& v) {
    if (d->pretransformed) return 0;
    uint32_t code = clip_outcode(v.position);
    for (int i = 0; i < 6; ++i) {
        if ((d->plane_enable & (1u << i)) != 0 && !(v.clip_distance[i] >= 0.0f)) code |= 1u << (16 + i);
    }
    return code;
}

gv_screen_vertex vg_project(const vg_draw* d, const gv_clip_vertex& v, const vg_viewport& vp) {
    gv_screen_vertex s;
    std::memcpy(s.attr, v.attr, sizeof s.attr);
    s.point_size = v.point_size;
    if (d->pretransformed) {
        s.x = v.position[0], s.y = v.position[1], s.z = v.position[2];
        s.q = 1.0f / v.position[3];
        return s;
    }
    const float q = 1.0f / v.position[3];
    s.x = vp.x + (v.position[0] * q + 1.0f) * (0.5f * vp.width);
    s.y = vp.y + (1.0f - v.position[1] * q) * (0.5f * vp.height);
    s.z = vp.min_z + v.position[2] * q * (vp.max_z - vp.min_z);
    s.q = q;
    return s;
}
