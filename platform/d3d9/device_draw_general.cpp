// device_draw_general.cpp - the general route of a draw: every primitive type, fill mode, shade
// mode, vertex layout and per-pixel state, through the general vertex stage (vertex_general.h) and
// the general rasteriser (raster_general.h).
//
// Vertices are fetched, transformed and lit once per draw each (the stamps of the fast route mark
// them). Primitives are assembled in their documented vertex order: strip triangle i is
// (v[i], v[i+1], v[i+2]) when i is even and (v[i], v[i+2], v[i+1]) when odd, so that the whole
// strip keeps the first triangle's winding; fan triangle i is (v[i+1], v[i+2], v[0]). The first
// vertex of each triangle so ordered, and of each line, is the one flat shading takes its diffuse
// and specular colours from (the fog factor stays interpolated).
//
// Culling is decided on screen (clockwise when (x1-x0)(y2-y0) - (x2-x0)(y1-y0) > 0, y down), before
// the fill mode applies; triangles of zero area are dropped. Wireframe draws the edges of what is
// left of a triangle after clipping, each with its last pixel; point fill draws the triangle's
// vertices that lie inside the view volume. A point whose vertex lies outside the view volume or
// behind an enabled user clip plane is dropped whole. Pre-transformed vertices are neither culled
// against the view volume nor clipped: the rasteriser keeps them inside the viewport and discards
// depths outside [0, 1].
#include "platform/d3d9/device.h"

#include "platform/d3d9/clip.h"
#include "platform/d3d9/texture.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t user_plane_bits = 0x3Fu << 16;
constexpr uint32_t reject_bits = clip_reject_mask | user_plane_bits;
constexpr uint32_t needed_bits = clip_needed_mask | user_plane_bits;

float as_float(DWORD bits) { return std::bit_cast<float>(bits); }

// Flat shading: the diffuse and specular colours of `from`, the fog factor of `to`.
template <typename Vertex>
void take_colours(const Vertex& from, Vertex* to) {
    std::copy(from.attr + gv_diffuse, from.attr + gv_fog, to->attr + gv_diffuse);
}

// Twice the signed screen area; > 0 for a clockwise triangle (y down).
float screen_area(const gv_screen_vertex& a, const gv_screen_vertex& b, const gv_screen_vertex& c) {
    return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
}

}  // namespace

vg_inputs d3d9_device::vertex_inputs(const vertex_layout& layout) {
    vg_inputs in;
    in.matrices = &matrices_;
    in.material = material_;
    in.lights = lights_.data();
    in.light_count = int(lights_.size());
    in.light_storage = prepared_lights_.data();
    in.switches = lighting_switches();
    in.pretransformed = layout.pretransformed;
    in.fog = state(D3DRS_FOGENABLE) != FALSE;
    in.fog_vertex_mode = state(D3DRS_FOGVERTEXMODE);
    in.fog_table_mode = state(D3DRS_FOGTABLEMODE);
    in.range_fog = state(D3DRS_RANGEFOGENABLE) != FALSE;
    in.fog_start = as_float(state(D3DRS_FOGSTART));
    in.fog_end = as_float(state(D3DRS_FOGEND));
    in.fog_density = as_float(state(D3DRS_FOGDENSITY));
    in.point_size = as_float(state(D3DRS_POINTSIZE));
    in.point_size_min = as_float(state(D3DRS_POINTSIZE_MIN));
    in.point_size_max = as_float(state(D3DRS_POINTSIZE_MAX));
    in.point_scale = state(D3DRS_POINTSCALEENABLE) != FALSE;
    in.point_scale_a = as_float(state(D3DRS_POINTSCALE_A));
    in.point_scale_b = as_float(state(D3DRS_POINTSCALE_B));
    in.point_scale_c = as_float(state(D3DRS_POINTSCALE_C));
    in.viewport_height = float(viewport_rect_.Height);
    for (int i = 0; i < d3d9_clip_planes; ++i) {
        for (int k = 0; k < 4; ++k) in.clip_planes[i][k] = clip_planes_[i][k];
    }
    in.clip_plane_enable = state(D3DRS_CLIPPING) != FALSE ? state(D3DRS_CLIPPLANEENABLE) & 0x3Fu : 0u;
    for (int s = 0; s < d3d9_texture_stages; ++s) {
        vg_texture_stage& stage = in.stages[s];
        stage.index = stage_states_[s][D3DTSS_TEXCOORDINDEX];
        stage.flags = stage_states_[s][D3DTSS_TEXTURETRANSFORMFLAGS];
        std::memcpy(stage.matrix, &texture_matrices_[s], sizeof stage.matrix);
        in.set_components[s] = uint8_t(layout.texcoord[s].present ? vg_type_components(layout.texcoord[s].type) : 0);
    }
    return in;
}

// Stage s's sampler: its sampler states and the levels of its texture (none without one).
void d3d9_device::stage_sampler(int s, sampler_setup* out) const {
    const auto& sampler = sampler_states_[size_t(s)];
    *out = sampler_setup{};
    out->mag_filter = sampler[D3DSAMP_MAGFILTER];
    out->min_filter = sampler[D3DSAMP_MINFILTER];
    out->mip_filter = sampler[D3DSAMP_MIPFILTER];
    out->address_u = sampler[D3DSAMP_ADDRESSU];
    out->address_v = sampler[D3DSAMP_ADDRESSV];
    out->border_colour = sampler[D3DSAMP_BORDERCOLOR];
    out->lod_bias = as_float(sampler[D3DSAMP_MIPMAPLODBIAS]);
    IDirect3DBaseTexture9* texture = textures_[size_t(s)];
    if (texture == nullptr || !d3d9_texture_sampled_levels(texture, out->levels, &out->level_count) ||
        out->level_count <= 0 || out->levels[0].texels == nullptr) {
        out->level_count = 0;
        return;
    }
    // MAXMIPLEVEL counts from the texture's largest level; the levels start at its LOD.
    const DWORD lod = texture->GetLOD(), max_level = sampler[D3DSAMP_MAXMIPLEVEL];
    out->max_level = max_level > lod ? max_level - lod : 0u;
}

// The texture stages as the pixels see them; stage s reads the WRAPn state of the set it names.
void d3d9_device::texture_stages(const vertex_layout& layout, gr_texture_stage stages[gr_texture_stages]) const {
    uint8_t components[vl_texcoord_sets];
    for (int s = 0; s < vl_texcoord_sets; ++s)
        components[s] = uint8_t(layout.texcoord[s].present ? vg_type_components(layout.texcoord[s].type) : 0);
    for (int s = 0; s < gr_texture_stages; ++s) {
        const auto& st = stage_states_[size_t(s)];
        gr_texture_stage& g = stages[s];
        g.colour_op = st[D3DTSS_COLOROP];
        g.colour_arg0 = st[D3DTSS_COLORARG0], g.colour_arg1 = st[D3DTSS_COLORARG1],
        g.colour_arg2 = st[D3DTSS_COLORARG2];
        g.alpha_op = st[D3DTSS_ALPHAOP];
        g.alpha_arg0 = st[D3DTSS_ALPHAARG0], g.alpha_arg1 = st[D3DTSS_ALPHAARG1], g.alpha_arg2 = st[D3DTSS_ALPHAARG2];
        g.result_arg = st[D3DTSS_RESULTARG];
        g.constant = st[D3DTSS_CONSTANT];
        const vg_texture_stage coords{st[D3DTSS_TEXCOORDINDEX], st[D3DTSS_TEXTURETRANSFORMFLAGS], {}};
        g.coordinate_count = vg_coordinate_count(coords, components, layout.pretransformed);
        g.projected = (coords.flags & D3DTTFF_PROJECTED) != 0;
        const uint32_t set = coords.index & 0xFFFFu;
        g.wrap = set < 8 ? state(D3DRENDERSTATETYPE(D3DRS_WRAP0 + set)) & 0xFu : 0u;
        // Sampling only matters to a stage the cascade reaches; filling the sampler is cheap.
        if (g.colour_op == D3DTOP_DISABLE) {
            for (int rest = s; rest < gr_texture_stages; ++rest) stages[rest].colour_op = D3DTOP_DISABLE;
            break;
        }
        stage_sampler(s, &g.sampler);
    }
}

gr_state d3d9_device::pixel_state(const vertex_layout& layout) {
    const bool pretransformed = layout.pretransformed;
    gr_state g;
    g.target = &fb_;
    RECT area{LONG(viewport_rect_.X), LONG(viewport_rect_.Y), LONG(viewport_rect_.X + viewport_rect_.Width),
              LONG(viewport_rect_.Y + viewport_rect_.Height)};
    if (state(D3DRS_SCISSORTESTENABLE) != FALSE) {
        area.left = std::max(area.left, scissor_.left), area.top = std::max(area.top, scissor_.top);
        area.right = std::min(area.right, scissor_.right), area.bottom = std::min(area.bottom, scissor_.bottom);
    }
    g.left = int(std::max<LONG>(area.left, 0)), g.top = int(std::max<LONG>(area.top, 0));
    g.right = int(std::min<LONG>(area.right, fb_.width)), g.bottom = int(std::min<LONG>(area.bottom, fb_.height));
    g.discard_outside_depth_range = pretransformed;
    texture_stages(layout, g.stages);
    g.texture_factor = state(D3DRS_TEXTUREFACTOR);
    g.target_alpha = target_alpha_;
    g.specular = state(D3DRS_SPECULARENABLE) != FALSE;
    g.fog = state(D3DRS_FOGENABLE) != FALSE;
    const DWORD table = state(D3DRS_FOGTABLEMODE);
    g.fog_table_mode = table <= D3DFOG_LINEAR ? table : DWORD(D3DFOG_NONE);
    g.fog_uses_w =
        !(projection_._14 == 0.0f && projection_._24 == 0.0f && projection_._34 == 0.0f && projection_._44 == 1.0f);
    g.fog_start = as_float(state(D3DRS_FOGSTART));
    g.fog_end = as_float(state(D3DRS_FOGEND));
    g.fog_density = as_float(state(D3DRS_FOGDENSITY));
    g.fog_colour = state(D3DRS_FOGCOLOR) & 0x00FFFFFFu;
    g.alpha_test = state(D3DRS_ALPHATESTENABLE) != FALSE;
    g.alpha_func = state(D3DRS_ALPHAFUNC);
    g.alpha_ref = state(D3DRS_ALPHAREF) & 0xFFu;
    g.depth_test = fb_has_depth(fb_) && state(D3DRS_ZENABLE) != D3DZB_FALSE;
    g.depth_write = state(D3DRS_ZWRITEENABLE) != FALSE;
    g.depth_func = state(D3DRS_ZFUNC);
    g.depth_bias = as_float(state(D3DRS_DEPTHBIAS));
    g.slope_scale_depth_bias = as_float(state(D3DRS_SLOPESCALEDEPTHBIAS));
    g.stencil = fb_has_stencil(fb_) && state(D3DRS_STENCILENABLE) != FALSE;
    g.two_sided_stencil = state(D3DRS_TWOSIDEDSTENCILMODE) != FALSE;
    g.clockwise = {state(D3DRS_STENCILFUNC), state(D3DRS_STENCILFAIL), state(D3DRS_STENCILZFAIL),
                   state(D3DRS_STENCILPASS)};
    g.counter_clockwise = {state(D3DRS_CCW_STENCILFUNC), state(D3DRS_CCW_STENCILFAIL), state(D3DRS_CCW_STENCILZFAIL),
                           state(D3DRS_CCW_STENCILPASS)};
    g.stencil_ref = state(D3DRS_STENCILREF);
    g.stencil_mask = state(D3DRS_STENCILMASK);
    g.stencil_write_mask = state(D3DRS_STENCILWRITEMASK);
    g.blend = state(D3DRS_ALPHABLENDENABLE) != FALSE;
    g.blending = {state(D3DRS_SRCBLEND),      state(D3DRS_DESTBLEND),      state(D3DRS_BLENDOP),
                  state(D3DRS_SRCBLENDALPHA), state(D3DRS_DESTBLENDALPHA), state(D3DRS_BLENDOPALPHA)};
    g.separate_alpha = state(D3DRS_SEPARATEALPHABLENDENABLE) != FALSE;
    g.blend_factor = state(D3DRS_BLENDFACTOR);
    g.colour_write_mask = state(D3DRS_COLORWRITEENABLE) & 0xFu;
    return g;
}

const gv_clip_vertex& d3d9_device::general_vertex(uint32_t index) {
    general_slot& slot = general_vertices_[index];
    if (stamps_[index] != stamp_) {
        vi_vertex in;
        vi_fetch(*general_.layout, general_.source->streams, index, &in);
        vg_process(general_.vertices, in, &slot.vertex);
        slot.outcode = vg_outcode(general_.vertices, slot.vertex);
        if ((slot.outcode & needed_bits) == 0)
            slot.screen = vg_project(general_.vertices, slot.vertex, general_.viewport);
        stamps_[index] = stamp_;
    }
    return slot.vertex;
}

void d3d9_device::general_point(uint32_t a) {
    general_vertex(a);
    const general_slot& slot = general_vertices_[a];
    if ((slot.outcode & reject_bits) != 0) return;
    gr_point(general_.pixels, slot.screen, general_.sprite);
}

void d3d9_device::general_line(uint32_t a, uint32_t b) {
    gv_clip_vertex p = general_vertex(a), q = general_vertex(b);
    const uint32_t oa = general_vertices_[a].outcode, ob = general_vertices_[b].outcode;
    if ((oa & ob & reject_bits) != 0) return;
    if (general_.flat) take_colours(p, &q);
    if (const uint32_t needed = (oa | ob) & needed_bits; needed != 0) {
        gv_clip_vertex pc, qc;
        if (!vg_clip_line(general_.vertices, p, q, needed, &pc, &qc)) return;
        p = pc, q = qc;
    }
    gr_line(general_.pixels, vg_project(general_.vertices, p, general_.viewport),
            vg_project(general_.vertices, q, general_.viewport), general_.last_pixel);
}

void d3d9_device::general_triangle(uint32_t a, uint32_t b, uint32_t c) {
    general_vertex(a), general_vertex(b), general_vertex(c);
    const general_slot* slots[3] = {&general_vertices_[a], &general_vertices_[b], &general_vertices_[c]};
    const uint32_t codes[3] = {slots[0]->outcode, slots[1]->outcode, slots[2]->outcode};
    if ((codes[0] & codes[1] & codes[2] & reject_bits) != 0) return;
    const uint32_t needed = (codes[0] | codes[1] | codes[2]) & needed_bits;
    const gr_program* pixels = general_.pixels;
    if (needed == 0) {
        // Inside the guard band: the vertices' own projections, copied only for flat shading.
        const gv_screen_vertex* s[3] = {&slots[0]->screen, &slots[1]->screen, &slots[2]->screen};
        const float area = screen_area(*s[0], *s[1], *s[2]);
        if (!(area != 0.0f)) return;
        if ((area > 0.0f && general_.cull == D3DCULL_CW) || (area < 0.0f && general_.cull == D3DCULL_CCW)) return;
        if (general_.fill == D3DFILL_POINT) {
            for (const gv_screen_vertex* v : s) gr_point(pixels, *v, general_.sprite);
            return;
        }
        gv_screen_vertex flat[2];
        if (general_.flat) {
            flat[0] = *s[1], flat[1] = *s[2];
            take_colours(*s[0], &flat[0]), take_colours(*s[0], &flat[1]);
            s[1] = &flat[0], s[2] = &flat[1];
        }
        if (general_.fill == D3DFILL_WIREFRAME) {
            for (int k = 0; k < 3; ++k) gr_line(pixels, *s[k], *s[(k + 1) % 3], true);
        } else {
            gr_triangle(pixels, *s[0], *s[1], *s[2]);
        }
        return;
    }
    const vg_draw* stage = general_.vertices;
    gv_clip_vertex v[3] = {slots[0]->vertex, slots[1]->vertex, slots[2]->vertex};
    const bool clockwise = raster_is_clockwise_clip(v[0].position, v[1].position, v[2].position);
    if ((clockwise && general_.cull == D3DCULL_CW) || (!clockwise && general_.cull == D3DCULL_CCW)) return;
    if (general_.fill == D3DFILL_POINT) {
        for (int k = 0; k < 3; ++k) {
            if ((codes[k] & reject_bits) == 0)
                gr_point(pixels, vg_project(stage, v[k], general_.viewport), general_.sprite);
        }
        return;
    }
    if (general_.flat) take_colours(v[0], &v[1]), take_colours(v[0], &v[2]);
    gv_clip_vertex polygon[vg_max_polygon];
    const int n = vg_clip_triangle(stage, v[0], v[1], v[2], needed, polygon);
    if (n < 3) return;
    gv_screen_vertex screen[vg_max_polygon];
    for (int k = 0; k < n; ++k) screen[k] = vg_project(stage, polygon[k], general_.viewport);
    if (general_.fill == D3DFILL_WIREFRAME) {
        for (int k = 0; k < n; ++k) gr_line(pixels, screen[k], screen[(k + 1) % n], true);
        return;
    }
    for (int k = 1; k + 1 < n; ++k) gr_triangle(pixels, screen[0], screen[k], screen[k + 1]);
}

HRESULT d3d9_device::draw_general(D3DPRIMITIVETYPE type, UINT count, const uint32_t* indices, size_t,
                                  uint32_t vertex_end, const draw_source& source) {
    try {
        if (general_vertices_.size() < vertex_end) general_vertices_.resize(vertex_end);
        reserve_stamps(vertex_end);
    } catch (const std::bad_alloc&) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    const vertex_layout& layout = current_layout();
    general_.layout = &layout;
    general_.source = &source;
    general_.pixels = gr_compile(pixel_state(layout), &pixel_program_);
    vg_inputs inputs = vertex_inputs(layout);
    inputs.stage_mask = gr_sampled_stages(general_.pixels);
    general_.vertices = vg_prepare(inputs, &vertex_program_);
    if (general_.vertices == nullptr) return D3DERR_INVALIDCALL;
    general_.viewport = {float(viewport_rect_.X),      float(viewport_rect_.Y), float(viewport_rect_.Width),
                         float(viewport_rect_.Height), viewport_rect_.MinZ,     viewport_rect_.MaxZ};
    general_.pretransformed = layout.pretransformed;
    general_.flat = state(D3DRS_SHADEMODE) == D3DSHADE_FLAT;
    general_.last_pixel = state(D3DRS_LASTPIXEL) != FALSE;
    general_.sprite = state(D3DRS_POINTSPRITEENABLE) != FALSE;
    const DWORD fill = state(D3DRS_FILLMODE);
    general_.fill = fill == D3DFILL_POINT || fill == D3DFILL_WIREFRAME ? fill : DWORD(D3DFILL_SOLID);
    general_.cull = state(D3DRS_CULLMODE);

    switch (d3d9_stored_value(type)) {
    case D3DPT_POINTLIST:
        for (UINT i = 0; i < count; ++i) general_point(indices[i]);
        break;
    case D3DPT_LINELIST:
        for (UINT i = 0; i < count; ++i) general_line(indices[2 * i], indices[2 * i + 1]);
        break;
    case D3DPT_LINESTRIP:
        for (UINT i = 0; i < count; ++i) general_line(indices[i], indices[i + 1]);
        break;
    case D3DPT_TRIANGLELIST:
        for (UINT i = 0; i < count; ++i) general_triangle(indices[3 * i], indices[3 * i + 1], indices[3 * i + 2]);
        break;
    case D3DPT_TRIANGLESTRIP:
        for (UINT i = 0; i < count; ++i) {
            const uint32_t odd = i & 1u;
            general_triangle(indices[i], indices[i + 1 + odd], indices[i + 2 - odd]);
        }
        break;
    case D3DPT_TRIANGLEFAN:
        for (UINT i = 0; i < count; ++i) general_triangle(indices[i + 1], indices[i + 2], indices[0]);
        break;
    default: break;
    }
    return D3D_OK;
}
