// device.cpp - the software device's life cycle, transforms, lights, material, textures, clears,
// scenes, presents and the draw call that runs the pipeline stages.
//
// A draw transforms and lights each referenced vertex once (a per-vertex stamp marks the vertices
// already done in this draw; with directional lights only, all of them come first, several at a
// time), then per triangle: trivial reject on the outcodes, cull, clip when a vertex lies outside
// the near/far planes or the guard band, and rasterise.
//
// Choices: a draw outside BeginScene/EndScene is drawn all the same; Present ignores source and
// destination rectangles and the dirty region (the whole back buffer goes to the whole client
// area); the back buffer's unused top byte is 0. Lights live in slots 0..7. Only WORLD, VIEW and
// PROJECTION transforms exist. Triangles are clipped even with D3DRS_CLIPPING off (unclipped input
// would overflow the rasteriser's fixed point). Scratch arrays grow to the largest vertex count
// seen and are then reused, so steady-state frames allocate nothing. The colour buffer lives in
// memory the window layer lends when the device window can show frames straight from there
// (win_frame_memory), so that Present copies nothing; the depth buffer is always the device's own.
//
// DOES NOT: reset, lose the device, render to other targets, use more than texture stage 0, or
// honour FILLMODE (always solid) and SHADEMODE (always Gouraud).
#include "platform/d3d9/device.h"

#include "platform/d3d9/clip.h"
#include "platform/d3d9/device_debug.h"
#include "platform/d3d9/texture.h"
#include "platform/win32/win_surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The largest of `count` > 0 indices: a loop without an early exit, which the vectoriser takes.
UINT largest_index(const UINT* indices, size_t count) {
    UINT largest = 0;
    for (size_t i = 0; i < count; ++i) largest = std::max(largest, indices[i]);
    return largest;
}

D3DMATRIX identity_matrix() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// a x b, row vectors.
D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
        }
    }
    return r;
}

bool valid_light(const D3DLIGHT9& l) {
    const int32_t type = d3d9_stored_value(l.Type);
    if (type == D3DLIGHT_DIRECTIONAL) return true;
    if (type != D3DLIGHT_POINT && type != D3DLIGHT_SPOT) return false;
    if (!(l.Range >= 0.0f) || l.Attenuation0 < 0.0f || l.Attenuation1 < 0.0f || l.Attenuation2 < 0.0f) return false;
    if (l.Attenuation0 == 0.0f && l.Attenuation1 == 0.0f && l.Attenuation2 == 0.0f) return false;
    return type == D3DLIGHT_POINT || (l.Theta >= 0.0f && l.Phi >= l.Theta && l.Phi <= 3.1415927f);
}

uint16_t depth_value(float z) { return uint16_t(std::lround(z * 65535.0f)); }

}  // namespace

// ---- device: life cycle -------------------------------------------------------------------------

d3d9_device::d3d9_device(IDirect3D9* parent, const d3d9_device_setup& setup)
    : parent_(parent), window_(setup.window), creation_(setup.creation) {
    parent_->AddRef();
    const int width = setup.width, height = setup.height;
    lent_colour_ = win_frame_memory(window_, size_t(width) * size_t(height) + fb_padding);
    try {
        fb_create(fb_, width, height, setup.depth_format, lent_colour_);
    } catch (const std::bad_alloc&) {
        fb_ = d3d9_framebuffer{};
    }
    viewport_ = viewport_for(width, height);
    world_ = view_ = projection_ = identity_matrix();
    set_default_states(setup.with_depth);
    material_.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    software_vertex_processing_ = (creation_.BehaviorFlags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) != 0;
}

d3d9_device::~d3d9_device() {
    if (lent_colour_ != nullptr) {
        win_frame_memory_free(lent_colour_);
    } else {
        win_present_retire(fb_.colour.data());
    }
    for (IDirect3DBaseTexture9*& t : textures_) {
        if (t != nullptr) t->Release();
        t = nullptr;
    }
    parent_->Release();
}

bool d3d9_device::answers(REFIID riid) const { return IsEqualGUID(riid, IID_IDirect3DDevice9); }

void d3d9_device::set_default_states(bool with_depth) {
    for (size_t s = 0; s < render_states_.size(); ++s) render_states_[s] = d3d9_default_render_state(s, with_depth);
    for (int stage = 0; stage < d3d9_texture_stages; ++stage) {
        for (size_t t = 0; t < d3d9_stage_state_slots; ++t)
            stage_states_[stage][t] = d3d9_default_stage_state(stage, t);
    }
    for (auto& sampler : sampler_states_) {
        for (size_t t = 0; t < d3d9_sampler_state_slots; ++t) sampler[t] = d3d9_default_sampler_state(t);
    }
    for (int i = 0; i < 256; ++i) {
        gamma_.red[i] = gamma_.green[i] = gamma_.blue[i] = WORD(i * 257);
    }
}

// ---- render states and transforms ---------------------------------------------------------------

// Values of known states are stored unchecked and interpreted at draw time; the renderer honours
// what it implements.
HRESULT d3d9_device::SetRenderState(D3DRENDERSTATETYPE s, DWORD value) {
    if (!d3d9_render_state_known(DWORD(s))) return D3DERR_INVALIDCALL;
    render_states_[s] = value;
    return D3D_OK;
}

HRESULT d3d9_device::GetRenderState(D3DRENDERSTATETYPE s, DWORD* value) {
    if (value == nullptr || !d3d9_render_state_known(DWORD(s))) return D3DERR_INVALIDCALL;
    *value = render_states_[s];
    return D3D_OK;
}

D3DMATRIX* d3d9_device::transform_slot(D3DTRANSFORMSTATETYPE kind) {
    switch (d3d9_stored_value(kind)) {
    case D3DTS_WORLD: return &world_;
    case D3DTS_VIEW: return &view_;
    case D3DTS_PROJECTION: return &projection_;
    default: return nullptr;
    }
}

HRESULT d3d9_device::SetTransform(D3DTRANSFORMSTATETYPE kind, const D3DMATRIX* matrix) {
    D3DMATRIX* slot = transform_slot(kind);
    if (slot == nullptr || matrix == nullptr) return D3DERR_INVALIDCALL;
    *slot = *matrix;
    matrices_dirty_ = true;
    return D3D_OK;
}

HRESULT d3d9_device::GetTransform(D3DTRANSFORMSTATETYPE kind, D3DMATRIX* matrix) {
    D3DMATRIX* slot = transform_slot(kind);
    if (slot == nullptr || matrix == nullptr) return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return D3D_OK;
}

// The new matrix is pMatrix x current: the given transform applies first.
HRESULT d3d9_device::MultiplyTransform(D3DTRANSFORMSTATETYPE kind, const D3DMATRIX* matrix) {
    D3DMATRIX* slot = transform_slot(kind);
    if (slot == nullptr || matrix == nullptr) return D3DERR_INVALIDCALL;
    *slot = multiply(*matrix, *slot);
    matrices_dirty_ = true;
    return D3D_OK;
}

// ---- lights, material, textures -------------------------------------------------------------

HRESULT d3d9_device::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (light == nullptr || index >= tnl_max_lights || !valid_light(*light)) return D3DERR_INVALIDCALL;
    lights_[index].light = *light;
    return D3D_OK;
}

// A slot that was never set or enabled holds no light.
HRESULT d3d9_device::GetLight(DWORD index, D3DLIGHT9* light) {
    if (light == nullptr || index >= tnl_max_lights || d3d9_stored_value(lights_[index].light.Type) == 0) {
        return D3DERR_INVALIDCALL;
    }
    *light = lights_[index].light;
    return D3D_OK;
}

// Enabling a slot that was never set gives it the default light: white directional along +z.
HRESULT d3d9_device::LightEnable(DWORD index, BOOL enable) {
    if (index >= tnl_max_lights) return D3DERR_INVALIDCALL;
    tnl_light_slot& slot = lights_[index];
    if (d3d9_stored_value(slot.light.Type) == 0) {
        slot.light.Type = D3DLIGHT_DIRECTIONAL;
        slot.light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        slot.light.Direction = {0.0f, 0.0f, 1.0f};
    }
    slot.enabled = enable != FALSE;
    return D3D_OK;
}

HRESULT d3d9_device::GetLightEnable(DWORD index, BOOL* enable) {
    if (enable == nullptr || index >= tnl_max_lights || d3d9_stored_value(lights_[index].light.Type) == 0) {
        return D3DERR_INVALIDCALL;
    }
    *enable = lights_[index].enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT d3d9_device::SetMaterial(const D3DMATERIAL9* material) {
    if (material == nullptr) return D3DERR_INVALIDCALL;
    material_ = *material;
    return D3D_OK;
}

HRESULT d3d9_device::GetMaterial(D3DMATERIAL9* material) {
    if (material == nullptr) return D3DERR_INVALIDCALL;
    *material = material_;
    return D3D_OK;
}

HRESULT d3d9_device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= d3d9_texture_stages) return D3DERR_INVALIDCALL;
    if (texture != nullptr) texture->AddRef();
    if (textures_[stage] != nullptr) textures_[stage]->Release();
    textures_[stage] = texture;
    return D3D_OK;
}

HRESULT d3d9_device::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) {
    if (texture == nullptr) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (stage >= d3d9_texture_stages) return D3DERR_INVALIDCALL;
    *texture = textures_[stage];
    if (*texture != nullptr) (*texture)->AddRef();
    return D3D_OK;
}

// ---- clears, scenes, presents ---------------------------------------------------------------

HRESULT d3d9_device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD) {
    if ((count != 0 && rects == nullptr) || flags == 0 || (flags & ~DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)) != 0) {
        return D3DERR_INVALIDCALL;
    }
    if ((flags & D3DCLEAR_ZBUFFER) && (fb_.depth.empty() || !(z >= 0.0f && z <= 1.0f))) return D3DERR_INVALIDCALL;
    if (count == 0) {
        if (flags & D3DCLEAR_TARGET) fb_clear_colour(fb_, colour & 0x00FFFFFFu);
        if (flags & D3DCLEAR_ZBUFFER) fb_clear_depth(fb_, depth_value(z));
        return D3D_OK;
    }
    for (DWORD i = 0; i < count; ++i) {
        const D3DRECT& r = rects[i];
        if (flags & D3DCLEAR_TARGET) fb_fill_colour(fb_, r.x1, r.y1, r.x2, r.y2, colour & 0x00FFFFFFu);
        if (flags & D3DCLEAR_ZBUFFER) fb_fill_depth(fb_, r.x1, r.y1, r.x2, r.y2, depth_value(z));
    }
    return D3D_OK;
}

HRESULT d3d9_device::BeginScene() {
    if (in_scene_) return D3DERR_INVALIDCALL;
    in_scene_ = true;
    return D3D_OK;
}

HRESULT d3d9_device::EndScene() {
    if (!in_scene_) return D3DERR_INVALIDCALL;
    in_scene_ = false;
    return D3D_OK;
}

HRESULT d3d9_device::Present(const RECT*, const RECT*, HWND override_window, const RGNDATA*) {
    if (in_scene_) return D3DERR_INVALIDCALL;
    const HWND target = override_window != nullptr ? override_window : window_;
    if (!win_present(target, fb_.colour_pixels, fb_.width, fb_.height, fb_.width)) return D3DERR_INVALIDCALL;
    return D3D_OK;
}

// ---- drawing ----------------------------------------------------------------------------------

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
    return s;
}

raster_state d3d9_device::raster_state_for_draw() {
    raster_state r;
    r.target = &fb_;
    const d3d9_texture_view texture = d3d9_texture_texels(textures_[0]);
    if (texture.texels != nullptr && texture.width > 0 && texture.height > 0) {
        r.texture = {texture.texels, int(texture.width), int(texture.height)};
    }
    r.specular = state(D3DRS_SPECULARENABLE) != FALSE && state(D3DRS_LIGHTING) != FALSE;
    r.depth_test = state(D3DRS_ZENABLE) != D3DZB_FALSE;
    r.depth_write = state(D3DRS_ZWRITEENABLE) != FALSE;
    r.depth_func = state(D3DRS_ZFUNC);
    switch (state(D3DRS_CULLMODE)) {
    case D3DCULL_CW: r.cull = raster_cull::clockwise; break;
    case D3DCULL_CCW: r.cull = raster_cull::counter_clockwise; break;
    default: r.cull = raster_cull::none; break;
    }
    return r;
}

void d3d9_device::reserve_vertices(UINT count) {
    if (stamps_.size() < count) {
        stamps_.assign(count, 0u);
        vertices_.resize(count);
        referenced_.resize(count);
        stamp_ = 0;
    }
    if (++stamp_ == 0) {  // the stamp wrapped: forget every mark
        std::fill(stamps_.begin(), stamps_.end(), 0u);
        stamp_ = 1;
    }
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

HRESULT d3d9_device::draw_indexed_triangles(const d3d9_vertex_streams& streams, const UINT* indices,
                                            UINT triangle_count) {
    if (triangle_count == 0) return D3D_OK;
    if (indices == nullptr || streams.positions == nullptr) return D3DERR_INVALIDCALL;
    const size_t index_count = size_t(triangle_count) * 3;
    if (largest_index(indices, index_count) >= streams.vertex_count) return D3DERR_INVALIDCALL;
    try {
        reserve_vertices(streams.vertex_count);
    } catch (const std::bad_alloc&) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    if (matrices_dirty_) {
        tnl_build_matrices(world_, view_, projection_, &matrices_);
        matrices_dirty_ = false;
    }
    const raster_program program = raster_compile(raster_state_for_draw());
    draw_viewport_ = viewport_;
    draw_viewport_.sum_specular = program.state.specular && program.state.texture.texels == nullptr;
    tnl_prepare(matrices_, material_, lights_.data(), lighting_switches(), streams, draw_viewport_, &draw_);
    if (tnl_batch_supported(draw_)) {
        process_referenced_vertices(indices, index_count);
        const tnl_vertex* v = vertices_.data();
        for (size_t i = 0; i < index_count; i += 3) {
            draw_triangle(program, v[indices[i]], v[indices[i + 1]], v[indices[i + 2]]);
        }
    } else {
        for (size_t i = 0; i < index_count; i += 3) {
            const tnl_vertex& a = vertex(draw_, indices[i]);
            const tnl_vertex& b = vertex(draw_, indices[i + 1]);
            const tnl_vertex& c = vertex(draw_, indices[i + 2]);
            draw_triangle(program, a, b, c);
        }
    }
    flush_triangles(program);
    return D3D_OK;
}

const d3d9_framebuffer* d3d9_device_framebuffer(IDirect3DDevice9* device) {
    const auto* d = dynamic_cast<const d3d9_device*>(device);
    return d != nullptr ? &d->framebuffer() : nullptr;
}
