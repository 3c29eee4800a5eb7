// device_draw_fast.cpp - the fast route of a draw: indexed triangles through the batched vertex
// stage and the specialised span kernels.
//
// A draw transforms and lights each referenced vertex once (a per-vertex stamp marks the vertices
// already done in this draw; with directional lights only, all of them come first, several at a
// time), then per triangle: trivial reject on the outcodes, cull, clip when a vertex lies outside
// the near/far planes or the guard band, and rasterise. Triangles are clipped even with
// D3DRS_CLIPPING off (unclipped input would overflow the rasteriser's fixed point). Scratch arrays
// grow to the largest vertex count seen and are then reused, so steady-state frames allocate
// nothing.
#include "platform/d3d9/device.h"

#include "platform/d3d9/clip.h"
#include "platform/d3d9/texture.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

tnl_switches d3d9_device::lighting_switches() const {
    tnl_switches s;
    s.lighting = state(D3DRS_LIGHTING) != FALSE;
    s.specular = state(D3DRS_SPECULARENABLE) != FALSE;
    s.local_viewer = state(D3DRS_LOCALVIEWER) != FALSE;
    s.normalize_normals = state(D3DRS_NORMALIZENORMALS) != FALSE;
    s.colour_vertex = state(D3DRS_COLORVERTEX) != FALSE;
    s.diffuse_source = state(D3DRS_DIFFUSEMATERIALSOURCE);
    s.specular_source = state(D3DRS_SPECULARMATERIALSOURCE);
    s.ambient_source = state(D3DRS_AMBIENTMATERIALSOURCE);
    s.emissive_source = state(D3DRS_EMISSIVEMATERIALSOURCE);
    s.global_ambient = state(D3DRS_AMBIENT);
    if (state(D3DRS_FOGENABLE) != FALSE && state(D3DRS_FOGTABLEMODE) == D3DFOG_NONE) {
        s.fog_mode = state(D3DRS_FOGVERTEXMODE);
        s.range_fog = state(D3DRS_RANGEFOGENABLE) != FALSE;
        s.fog_start = std::bit_cast<float>(state(D3DRS_FOGSTART));
        s.fog_end = std::bit_cast<float>(state(D3DRS_FOGEND));
        s.fog_density = std::bit_cast<float>(state(D3DRS_FOGDENSITY));
    }
    return s;
}

// The fast route's blending for the current states; false when only the general route blends so.
// The factors resolve as there: BOTHSRCALPHA as the source sets both factors, and ONE / ZERO draws
// as no blending at all (the colour is already in [0, 1]).
bool d3d9_device::fast_blend(raster_blend* blend) const {
    *blend = raster_blend::none;
    if (state(D3DRS_ALPHABLENDENABLE) == FALSE) return true;
    if (state(D3DRS_SEPARATEALPHABLENDENABLE) != FALSE || state(D3DRS_BLENDOP) != D3DBLENDOP_ADD) return false;
    DWORD source = state(D3DRS_SRCBLEND), destination = state(D3DRS_DESTBLEND);
    if (source == D3DBLEND_BOTHSRCALPHA) source = D3DBLEND_SRCALPHA, destination = D3DBLEND_INVSRCALPHA;
    if (source == D3DBLEND_ONE && destination == D3DBLEND_ZERO) return true;
    if (source == D3DBLEND_SRCALPHA && destination == D3DBLEND_INVSRCALPHA) {
        *blend = raster_blend::source_alpha;
        return true;
    }
    if (source == D3DBLEND_ONE && destination == D3DBLEND_ONE) {
        *blend = raster_blend::add;
        return true;
    }
    return false;
}

raster_state d3d9_device::raster_state_for_draw() {
    raster_state r;
    r.target = &fb_;
    // Stage 0 modulates whenever a texture is bound on this route (fast_texture_stages).
    if (textures_[0] != nullptr) {
        stage_sampler(0, &fast_sampler_);
        r.sampler = &fast_sampler_;
        r.sampler_storage = &fast_plan_;
        if (fast_two_stages()) {
            stage_sampler(1, &fast_sampler1_);
            r.sampler1 = &fast_sampler1_;
            r.sampler1_storage = &fast_plan1_;
        }
    }
    r.specular = state(D3DRS_SPECULARENABLE) != FALSE && state(D3DRS_LIGHTING) != FALSE;
    r.depth_test = state(D3DRS_ZENABLE) != D3DZB_FALSE;
    r.depth_write = state(D3DRS_ZWRITEENABLE) != FALSE;
    r.depth_func = state(D3DRS_ZFUNC);
    fast_blend(&r.blend);
    // Vertex fog; otherwise the factor is 1 on this route (pre-transformed vertices without a
    // specular colour, or no vertex formula), which leaves the colour as it is.
    const DWORD fog_mode = state(D3DRS_FOGVERTEXMODE);
    r.fog = state(D3DRS_FOGENABLE) != FALSE && state(D3DRS_FOGTABLEMODE) == D3DFOG_NONE &&
            !current_layout().pretransformed &&
            (fog_mode == D3DFOG_EXP || fog_mode == D3DFOG_EXP2 || fog_mode == D3DFOG_LINEAR);
    const DWORD fog_colour = state(D3DRS_FOGCOLOR);
    for (int c = 0; c < 3; ++c) r.fog_rgb[c] = float((fog_colour >> (16 - 8 * c)) & 0xFFu);
    switch (state(D3DRS_CULLMODE)) {
    case D3DCULL_CW: r.cull = raster_cull::clockwise; break;
    case D3DCULL_CCW: r.cull = raster_cull::counter_clockwise; break;
    default: r.cull = raster_cull::none; break;
    }
    return r;
}

// Marks for `count` vertices; a new stamp for this draw.
void d3d9_device::reserve_stamps(UINT count) {
    if (stamps_.size() < count) {
        stamps_.assign(count, 0u);
        stamp_ = 0;
    }
    if (++stamp_ == 0) {  // the stamp wrapped: forget every mark
        std::fill(stamps_.begin(), stamps_.end(), 0u);
        stamp_ = 1;
    }
}

void d3d9_device::reserve_vertices(UINT count) {
    if (vertices_.size() < count) {
        vertices_.resize(count);
        referenced_.resize(count);
    }
    reserve_stamps(count);
}

inline const tnl_vertex& d3d9_device::vertex(const tnl_draw& draw, uint32_t index) {
    if (stamps_[index] != stamp_) {
        tnl_process(draw, index, &vertices_[index]);
        stamps_[index] = stamp_;
    }
    return vertices_[index];
}

// Transforms and lights every vertex the indices use, once each, several at a time.
void d3d9_device::process_referenced_vertices(const UINT* indices, size_t index_count) {
    size_t count = 0;
    for (size_t i = 0; i < index_count; ++i) {
        const uint32_t index = indices[i];
        if (stamps_[index] == stamp_) continue;
        stamps_[index] = stamp_;
        referenced_[count++] = index;
    }
    tnl_process_batch(draw_, referenced_.data(), count, vertices_.data());
}

void d3d9_device::draw_clipped(const raster_program& program, const tnl_vertex& a, const tnl_vertex& b,
                               const tnl_vertex& c, uint32_t needed) {
    const bool clockwise = raster_is_clockwise_clip(a.clip.position, b.clip.position, c.clip.position);
    const raster_cull cull = program.state.cull;
    if ((clockwise && cull == raster_cull::clockwise) || (!clockwise && cull == raster_cull::counter_clockwise)) return;
    clip_vertex polygon[clip_max_vertices];
    const int n = clip_triangle(a.clip, b.clip, c.clip, needed, polygon);
    if (n < 3) return;
    raster_program unculled = program;
    unculled.state.cull = raster_cull::none;
    raster_vertex screen[clip_max_vertices];
    for (int i = 0; i < n; ++i) screen[i] = viewport_project(polygon[i], draw_viewport_);
    for (int i = 1; i + 1 < n; ++i) raster_triangle(unculled, screen[0], screen[i], screen[i + 1]);
}

// Unclipped triangles wait in a small queue and are set up together; a clipped one first draws
// those before it, so the drawing order stays the index order.
inline void d3d9_device::draw_triangle(const raster_program& program, const tnl_vertex& a, const tnl_vertex& b,
                                       const tnl_vertex& c) {
    if ((a.outcode & b.outcode & c.outcode & clip_reject_mask) != 0) return;
    const uint32_t needed = (a.outcode | b.outcode | c.outcode) & clip_needed_mask;
    if (needed == 0) {
        unclipped_[unclipped_count_++] = raster_triangle_ref{{&a.screen, &b.screen, &c.screen}};
        if (unclipped_count_ == unclipped_.size()) flush_triangles(program);
    } else {
        flush_triangles(program);
        draw_clipped(program, a, b, c, needed);  // also with CLIPPING off: unclipped input is unsafe
    }
}

void d3d9_device::flush_triangles(const raster_program& program) {
    raster_triangles(program, unclipped_.data(), unclipped_count_);
    unclipped_count_ = 0;
}

HRESULT d3d9_device::draw_fast(const tnl_streams& streams, uint32_t vertex_end, const uint32_t* indices,
                               UINT triangle_count) {
    const size_t index_count = size_t(triangle_count) * 3;
    try {
        reserve_vertices(vertex_end);
    } catch (const std::bad_alloc&) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    const raster_program program = raster_compile(raster_state_for_draw());
    draw_viewport_ = viewport_;
    draw_viewport_.sum_specular = program.state.specular && program.state.plan == nullptr;
    tnl_prepare(matrices_, material_, lights_.data(), lights_.size(), prepared_lights_.data(), lighting_switches(),
                streams, draw_viewport_, &draw_);
    draw_.fog_alpha = program.state.fog || program.state.blend == raster_blend::source_alpha;
    if (tnl_batch_supported(draw_)) {
        process_referenced_vertices(indices, index_count);
        draw_listed_triangles(program, indices, index_count);
        return D3D_OK;
    }
    for (size_t i = 0; i < index_count; i += 3) {
        const tnl_vertex& a = vertex(draw_, indices[i]);
        const tnl_vertex& b = vertex(draw_, indices[i + 1]);
        const tnl_vertex& c = vertex(draw_, indices[i + 2]);
        draw_triangle(program, a, b, c);
    }
    flush_triangles(program);
    return D3D_OK;
}

// Pre-transformed vertices for the fast rasteriser: screen position, depth and rhw as given (a bad
// rhw counts as 1), colours and texture coordinates pre-multiplied by rhw. False when a vertex lies
// where only the general route can take it: depth outside [0, 1] (whose pixels are discarded), or
// a position that is not finite or lies beyond the guard band.
bool d3d9_device::pretransformed_fast_vertices(const tnl_streams& s, const uint32_t* indices, size_t n) {
    const float width = float(fb_.width), height = float(fb_.height);
    const float guard = 0.5f * (clip_guard_band - 1.0f);
    const float left = -guard * width, right = (1.0f + guard) * width;
    const float top = -guard * height, bottom = (1.0f + guard) * height;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t index = indices[i];
        if (stamps_[index] == stamp_) continue;
        stamps_[index] = stamp_;
        float p[4];
        std::memcpy(p, s.positions.data + size_t(index) * s.positions.stride, sizeof p);
        if (!(p[2] >= 0.0f && p[2] <= 1.0f && p[0] >= left && p[0] <= right && p[1] >= top && p[1] <= bottom)) {
            return false;
        }
        const float q = p[3] > 0.0f && p[3] < 3.0e38f ? p[3] : 1.0f;
        tnl_vertex& v = vertices_[index];
        v.outcode = 0;
        v.screen.x = int32_t(std::lrint(p[0] * raster_subpixel_one));
        v.screen.y = int32_t(std::lrint(p[1] * raster_subpixel_one));
        float* value = v.screen.value;
        std::fill(value, value + raster_value_storage, 0.0f);
        value[raster_value_z] = p[2];
        value[raster_value_q] = q;
        float* attr = value + raster_value_attr;
        if (s.diffuse.data != nullptr) {
            const uint32_t c = tnl_read_colour(s.diffuse, index);
            attr[attr_diffuse_r] = float((c >> 16) & 0xFFu) * (1.0f / 255.0f) * q;
            attr[attr_diffuse_g] = float((c >> 8) & 0xFFu) * (1.0f / 255.0f) * q;
            attr[attr_diffuse_b] = float(c & 0xFFu) * (1.0f / 255.0f) * q;
            attr[attr_alpha] = float(c >> 24) / 255.0f * q;
        } else {
            attr[attr_diffuse_r] = attr[attr_diffuse_g] = attr[attr_diffuse_b] = attr[attr_alpha] = q;
        }
        attr[attr_fog] = q;  // no specular colour here: no fog
        if (s.texcoords.data != nullptr) {
            float u, t;
            tnl_read_texcoord(s.texcoords, index, &u, &t);
            attr[attr_u] = u * q, attr[attr_v] = t * q;
        }
        if (s.texcoords1.data != nullptr) {
            float u, t;
            tnl_read_texcoord(s.texcoords1, index, &u, &t);
            attr[attr_u1] = u * q, attr[attr_v1] = t * q;
        }
    }
    return true;
}

// The fast route for pre-transformed triangles; S_FALSE (nothing drawn) when a vertex needs the
// general route.
HRESULT d3d9_device::draw_fast_pretransformed(const tnl_streams& streams, uint32_t vertex_end, const uint32_t* indices,
                                              UINT triangle_count) {
    const size_t index_count = size_t(triangle_count) * 3;
    try {
        reserve_vertices(vertex_end);
    } catch (const std::bad_alloc&) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    if (!pretransformed_fast_vertices(streams, indices, index_count)) return S_FALSE;
    draw_listed_triangles(raster_compile(raster_state_for_draw()), indices, index_count);
    return D3D_OK;
}

// The triangles of a list whose vertices are all ready in vertices_, in order.
void d3d9_device::draw_listed_triangles(const raster_program& program, const uint32_t* indices, size_t index_count) {
    const tnl_vertex* v = vertices_.data();
    for (size_t i = 0; i < index_count; i += 3)
        draw_triangle(program, v[indices[i]], v[indices[i + 1]], v[indices[i + 2]]);
    flush_triangles(program);
}
