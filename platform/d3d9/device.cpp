// device.cpp - the Direct3D object and the software device: state, clears, scenes, presents and
// the draw call that runs the pipeline stages.
//
// The device owns every piece of renderer state: render states, transforms and their derived
// matrices, lights, material, bound textures, the framebuffer and the scratch arrays of the vertex
// stage. A draw transforms and lights each referenced vertex once (a per-vertex stamp marks the
// vertices already done in this draw; with directional lights only, all of them come first,
// several at a time), then per triangle: trivial reject on the outcodes, cull, clip when a vertex
// lies outside the near/far planes or the guard band, and rasterise.
//
// Choices: a draw outside BeginScene/EndScene is drawn all the same; Present ignores source and
// destination rectangles and the dirty region (the whole back buffer goes to the whole client
// area); the back buffer's unused top byte is 0. Lights live in slots 0..7. Unknown render states
// are stored (below 256) or ignored; only SetTransform's WORLD, VIEW and PROJECTION exist.
// Triangles are clipped even with D3DRS_CLIPPING off (unclipped input would overflow the
// rasteriser's fixed point). Scratch arrays grow to the largest vertex count seen and are then
// reused, so steady-state frames allocate nothing. The colour buffer lives in memory the window
// layer lends when the device window can show frames straight from there (win_frame_memory), so
// that Present copies nothing; the depth buffer is always the device's own.
//
// DOES NOT: reset, lose the device, render to other targets, use more than texture stage 0, or
// honour FILLMODE (always solid) and SHADEMODE (always Gouraud).
#include <d3d9.h>

#include "platform/d3d9/clip.h"
#include "platform/d3d9/com_object.h"
#include "platform/d3d9/device_draw.h"
#include "platform/d3d9/device_debug.h"
#include "platform/d3d9/framebuffer.h"
#include "platform/d3d9/raster.h"
#include "platform/d3d9/texture.h"
#include "platform/d3d9/transform_light.h"
#include "platform/d3d9/viewport.h"
#include "platform/win32/win_surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int max_back_buffer_side = 8192;
constexpr int texture_stages = 8;
constexpr size_t render_state_slots = 256;

// The integer stored in an enum-typed field that the caller may have filled with any value
// (reading it as the enum would be undefined for values outside the enumeration).
template <typename E>
int32_t stored_value(const E& field) {
    static_assert(sizeof(E) == sizeof(int32_t));
    int32_t v;
    std::memcpy(&v, &field, sizeof v);
    return v;
}

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

class d3d9_direct3d;

class d3d9_device final : public com_object<IDirect3DDevice9>, public d3d9_stream_draw {
public:
    d3d9_device(d3d9_direct3d* parent, HWND window, int width, int height, bool with_depth);

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE kind, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE kind, D3DMATRIX* matrix) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT* source, const RECT* destination, HWND override_window, const void* dirty) override;
    HRESULT draw_indexed_triangles(const d3d9_vertex_streams& streams, const UINT* indices,
                                   UINT triangle_count) override;

    const d3d9_framebuffer& framebuffer() const { return fb_; }
    bool valid() const { return fb_.colour_pixels != nullptr; }

private:
    ~d3d9_device() override;
    void set_default_states(bool with_depth);
    D3DMATRIX* transform_slot(D3DTRANSFORMSTATETYPE kind);
    DWORD state(D3DRENDERSTATETYPE s) const { return render_states_[s]; }
    tnl_switches lighting_switches() const;
    raster_state raster_state_for_draw();
    void reserve_vertices(UINT count);
    const tnl_vertex& vertex(const tnl_draw& draw, uint32_t index);
    void process_referenced_vertices(const UINT* indices, size_t index_count);
    void draw_triangle(const raster_program& program, const tnl_vertex& a, const tnl_vertex& b, const tnl_vertex& c);
    void flush_triangles(const raster_program& program);
    void draw_clipped(const raster_program& program, const tnl_vertex& a, const tnl_vertex& b, const tnl_vertex& c,
                      uint32_t needed);

    d3d9_direct3d* parent_;
    HWND window_;
    bool in_scene_ = false;
    d3d9_framebuffer fb_;
    uint32_t* lent_colour_ = nullptr;  // from win_frame_memory, or null: the colour buffer is fb_'s own
    viewport_mapping viewport_;
    viewport_mapping draw_viewport_;  // viewport_ with the current draw's colour handling

    std::array<DWORD, render_state_slots> render_states_{};
    D3DMATRIX world_ = identity_matrix();
    D3DMATRIX view_ = identity_matrix();
    D3DMATRIX projection_ = identity_matrix();
    bool matrices_dirty_ = true;
    tnl_matrices matrices_{};
    D3DMATERIAL9 material_{};
    std::array<tnl_light_slot, tnl_max_lights> lights_{};
    std::array<IDirect3DBaseTexture9*, texture_stages> textures_{};

    tnl_draw draw_{};
    std::vector<uint32_t> stamps_;
    std::vector<tnl_vertex> vertices_;
    std::vector<uint32_t> referenced_;                 // the vertices a draw uses, each once, for the batched stage
    std::array<raster_triangle_ref, 64> unclipped_{};  // triangles waiting to be set up together
    size_t unclipped_count_ = 0;
    uint32_t stamp_ = 0;
};

class d3d9_direct3d final : public com_object<IDirect3D9> {
public:
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus_window, DWORD behaviour_flags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;

private:
    ~d3d9_direct3d() override = default;
};

// ---- Direct3D object -------------------------------------------------------------------------

bool valid_back_buffer_format(int32_t f) { return f == D3DFMT_UNKNOWN || f == D3DFMT_X8R8G8B8 || f == D3DFMT_A8R8G8B8; }

HRESULT d3d9_direct3d::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus_window, DWORD, D3DPRESENT_PARAMETERS* p,
                                    IDirect3DDevice9** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (p == nullptr || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (type != D3DDEVTYPE_HAL && type != D3DDEVTYPE_REF) return D3DERR_NOTAVAILABLE;
    const int32_t format = stored_value(p->BackBufferFormat);
    if (!p->Windowed || stored_value(p->MultiSampleType) != D3DMULTISAMPLE_NONE || !valid_back_buffer_format(format)) {
        return D3DERR_INVALIDCALL;
    }
    if (p->EnableAutoDepthStencil && stored_value(p->AutoDepthStencilFormat) != D3DFMT_D16) return D3DERR_INVALIDCALL;
    const HWND window = p->hDeviceWindow != nullptr ? p->hDeviceWindow : focus_window;
    int client_width = 0, client_height = 0;
    if (window == nullptr || !win_client_size(window, &client_width, &client_height)) return D3DERR_INVALIDCALL;
    const UINT width = p->BackBufferWidth != 0 ? p->BackBufferWidth : UINT(std::max(client_width, 0));
    const UINT height = p->BackBufferHeight != 0 ? p->BackBufferHeight : UINT(std::max(client_height, 0));
    if (width == 0 || height == 0 || width > max_back_buffer_side || height > max_back_buffer_side) {
        return D3DERR_INVALIDCALL;
    }
    d3d9_device* created =
        new (std::nothrow) d3d9_device(this, window, int(width), int(height), p->EnableAutoDepthStencil);
    if (created == nullptr) return D3DERR_OUTOFVIDEOMEMORY;
    if (!created->valid()) {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    p->BackBufferWidth = width;
    p->BackBufferHeight = height;
    if (format == D3DFMT_UNKNOWN) p->BackBufferFormat = D3DFMT_X8R8G8B8;
    if (p->BackBufferCount == 0) p->BackBufferCount = 1;
    if (p->hDeviceWindow == nullptr) p->hDeviceWindow = window;
    *device = created;
    return D3D_OK;
}

// ---- device: life cycle and state ---------------------------------------------------------------

d3d9_device::d3d9_device(d3d9_direct3d* parent, HWND window, int width, int height, bool with_depth)
    : parent_(parent), window_(window) {
    parent_->AddRef();
    lent_colour_ = win_frame_memory(window, size_t(width) * size_t(height) + fb_padding);
    try {
        fb_create(fb_, width, height, with_depth, lent_colour_);
    } catch (const std::bad_alloc&) {
        fb_ = d3d9_framebuffer{};
    }
    viewport_ = viewport_for(width, height);
    set_default_states(with_depth);
    material_.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
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

void d3d9_device::set_default_states(bool with_depth) {
    auto& s = render_states_;
    s[D3DRS_ZENABLE] = with_depth ? D3DZB_TRUE : D3DZB_FALSE;
    s[D3DRS_FILLMODE] = 3;   // D3DFILL_SOLID
    s[D3DRS_SHADEMODE] = 2;  // D3DSHADE_GOURAUD
    s[D3DRS_ZWRITEENABLE] = TRUE;
    s[D3DRS_SRCBLEND] = 2;   // D3DBLEND_ONE
    s[D3DRS_DESTBLEND] = 1;  // D3DBLEND_ZERO
    s[D3DRS_CULLMODE] = D3DCULL_CCW;
    s[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    s[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
    s[D3DRS_CLIPPING] = TRUE;
    s[D3DRS_LIGHTING] = TRUE;
    s[D3DRS_COLORVERTEX] = TRUE;
    s[D3DRS_LOCALVIEWER] = TRUE;
    s[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    s[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    s[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    s[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
}

HRESULT d3d9_device::SetRenderState(D3DRENDERSTATETYPE s, DWORD value) {
    if (size_t(s) < render_state_slots) render_states_[s] = value;  // others are accepted and have no effect
    return D3D_OK;
}

HRESULT d3d9_device::GetRenderState(D3DRENDERSTATETYPE s, DWORD* value) {
    if (value == nullptr || size_t(s) >= render_state_slots) return D3DERR_INVALIDCALL;
    *value = render_states_[s];
    return D3D_OK;
}

D3DMATRIX* d3d9_device::transform_slot(D3DTRANSFORMSTATETYPE kind) {
    switch (kind) {
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

bool valid_light(const D3DLIGHT9& l) {
    const int32_t type = stored_value(l.Type);
    if (type == D3DLIGHT_DIRECTIONAL) return true;
    if (type != D3DLIGHT_POINT && type != D3DLIGHT_SPOT) return false;
    if (!(l.Range >= 0.0f) || l.Attenuation0 < 0.0f || l.Attenuation1 < 0.0f || l.Attenuation2 < 0.0f) return false;
    if (l.Attenuation0 == 0.0f && l.Attenuation1 == 0.0f && l.Attenuation2 == 0.0f) return false;
    return type == D3DLIGHT_POINT || (l.Theta >= 0.0f && l.Phi >= l.Theta && l.Phi <= 3.1415927f);
}

HRESULT d3d9_device::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (light == nullptr || index >= tnl_max_lights || !valid_light(*light)) return D3DERR_INVALIDCALL;
    lights_[index].light = *light;
    return D3D_OK;
}

// Enabling a slot that was never set gives it the default light: white directional along +z.
HRESULT d3d9_device::LightEnable(DWORD index, BOOL enable) {
    if (index >= tnl_max_lights) return D3DERR_INVALIDCALL;
    tnl_light_slot& slot = lights_[index];
    if (stored_value(slot.light.Type) == 0) {
        slot.light.Type = D3DLIGHT_DIRECTIONAL;
        slot.light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        slot.light.Direction = {0.0f, 0.0f, 1.0f};
    }
    slot.enabled = enable != FALSE;
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
    if (stage >= texture_stages) return D3DERR_INVALIDCALL;
    if (texture != nullptr) texture->AddRef();
    if (textures_[stage] != nullptr) textures_[stage]->Release();
    textures_[stage] = texture;
    return D3D_OK;
}

// ---- clears, scenes, presents ---------------------------------------------------------------

uint16_t depth_value(float z) { return uint16_t(std::lround(z * 65535.0f)); }

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

HRESULT d3d9_device::Present(const RECT*, const RECT*, HWND override_window, const void*) {
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

}  // namespace

IDirect3D9* WINAPI Direct3DCreate9(UINT sdk_version) {
    if (sdk_version != D3D_SDK_VERSION) return nullptr;
    return new (std::nothrow) d3d9_direct3d();
}

const d3d9_framebuffer* d3d9_device_framebuffer(IDirect3DDevice9* device) {
    const auto* d = dynamic_cast<const d3d9_device*>(device);
    return d != nullptr ? &d->framebuffer() : nullptr;
}
