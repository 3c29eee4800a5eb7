// device.cpp - the software device's life cycle, transforms, lights, material, textures, clears,
// scenes and presents. The draw calls live in device_draw*.cpp.
//
// Choices: a draw outside BeginScene/EndScene is drawn all the same; Present ignores source and
// destination rectangles and the dirty region (the whole back buffer goes to the whole client
// area); the back buffer's unused top byte is 0. Lights may have any index, and every enabled one is
// lit. Every transform is kept (VIEW, PROJECTION, TEXTURE0-7, WORLDMATRIX(0..255)); draws use WORLD,
// VIEW and PROJECTION. Clears keep to the viewport and, with the scissor test on, the scissor
// rectangle. The colour buffer lives in memory the window layer lends when the device window can
// show frames straight from there (win_frame_memory), so that Present copies nothing; the depth
// buffer is always the device's own.
//
// DOES NOT: lose the device, render to other targets, or use more than texture stage 0.
#include "platform/d3d9/device.h"

#include "platform/d3d9/clip.h"
#include "platform/d3d9/device_debug.h"
#include "platform/d3d9/state_block.h"
#include "platform/d3d9/device_texture.h"
#include "platform/d3d9/texture.h"
#include "platform/win32/win_surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace {

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

// Lights are checked for their type only; other members are used as given (light_terms.h).
bool valid_light(const D3DLIGHT9& l) {
    const int32_t type = d3d9_stored_value(l.Type);
    return type == D3DLIGHT_POINT || type == D3DLIGHT_SPOT || type == D3DLIGHT_DIRECTIONAL;
}

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
    back_buffer_format_ = setup.format;
    back_width_ = width;
    back_height_ = height;
    back_buffer_count_ = setup.back_buffer_count;
    restore_defaults(width, height, setup.with_depth);
    if (fb_.colour_pixels != nullptr && !make_swap_chain_surfaces(setup.with_depth)) {
        bind_surface(&render_target_, nullptr);
        bind_surface(&back_buffer_, nullptr);
    }
}

d3d9_device::~d3d9_device() {
    release_stream_bindings();
    bind_surface(&render_target_, nullptr);
    bind_surface(&depth_stencil_, nullptr);
    bind_surface(&back_buffer_, nullptr);
    bind_surface(&auto_depth_, nullptr);
    if (lent_colour_ != nullptr) {
        win_frame_memory_free(lent_colour_);
    } else {
        win_present_retire(fb_.colour.data());
    }
    for (IDirect3DBaseTexture9*& t : textures_) {
        IDirect3DBaseTexture9* bound = t;
        t = nullptr;
        release_texture(bound);
    }
    parent_->Release();
}

bool d3d9_device::answers(REFIID riid) const { return IsEqualGUID(riid, IID_IDirect3DDevice9); }

void d3d9_device::restore_defaults(int width, int height, bool with_depth) {
    viewport_ = viewport_for(width, height);
    viewport_rect_ = {0, 0, DWORD(width), DWORD(height), 0.0f, 1.0f};
    scissor_ = {0, 0, LONG(width), LONG(height)};
    world_ = view_ = projection_ = identity_matrix();
    more_worlds_.fill(identity_matrix());
    texture_matrices_.fill(identity_matrix());
    matrices_dirty_ = true;
    set_default_states(with_depth);
    material_ = D3DMATERIAL9{};
    material_.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    lights_.clear();
    prepared_lights_.clear();
    clip_planes_ = {};
    for (IDirect3DBaseTexture9*& t : textures_) {
        if (t != nullptr) t->Release();
        t = nullptr;
    }
    release_stream_bindings();
    streams_ = {};
    fvf_ = 0;
    layout_ = vertex_layout{};
    layout_from_declaration_ = false;
    software_vertex_processing_ = (creation_.BehaviorFlags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) != 0;
}

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
    if (recording_) return recording_->record_render_state(DWORD(s), value);
    render_states_[s] = value;
    return D3D_OK;
}

HRESULT d3d9_device::GetRenderState(D3DRENDERSTATETYPE s, DWORD* value) {
    if (value == nullptr || !d3d9_render_state_known(DWORD(s))) return D3DERR_INVALIDCALL;
    *value = render_states_[s];
    return D3D_OK;
}

// VIEW, PROJECTION, TEXTURE0-7 and WORLDMATRIX(0..255); null for any other value.
D3DMATRIX* d3d9_device::transform_slot(D3DTRANSFORMSTATETYPE kind) {
    const int32_t k = d3d9_stored_value(kind);
    if (k == D3DTS_VIEW) return &view_;
    if (k == D3DTS_PROJECTION) return &projection_;
    if (k >= D3DTS_TEXTURE0 && k <= D3DTS_TEXTURE7) return &texture_matrices_[size_t(k - D3DTS_TEXTURE0)];
    if (k == D3DTS_WORLD) return &world_;
    if (k > D3DTS_WORLD && k < D3DTS_WORLD + 256) return &more_worlds_[size_t(k - D3DTS_WORLD - 1)];
    return nullptr;
}

// Only the matrices the vertex stage combines mark its matrices stale.
void d3d9_device::store_transform(D3DMATRIX* slot, const D3DMATRIX& matrix) {
    *slot = matrix;
    if (slot == &world_ || slot == &view_ || slot == &projection_) matrices_dirty_ = true;
}

HRESULT d3d9_device::SetTransform(D3DTRANSFORMSTATETYPE kind, const D3DMATRIX* matrix) {
    D3DMATRIX* slot = transform_slot(kind);
    if (slot == nullptr || matrix == nullptr) return D3DERR_INVALIDCALL;
    if (recording_) return recording_->record_transform(d3d9_transform_index(DWORD(d3d9_stored_value(kind))), *matrix);
    store_transform(slot, *matrix);
    return D3D_OK;
}

HRESULT d3d9_device::GetTransform(D3DTRANSFORMSTATETYPE kind, D3DMATRIX* matrix) {
    D3DMATRIX* slot = transform_slot(kind);
    if (slot == nullptr || matrix == nullptr) return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return D3D_OK;
}

// The new matrix is pMatrix x current: the given transform applies first. While recording, the
// current matrix is the one recorded so far, else the device's, and the block records the product.
HRESULT d3d9_device::MultiplyTransform(D3DTRANSFORMSTATETYPE kind, const D3DMATRIX* matrix) {
    D3DMATRIX* slot = transform_slot(kind);
    if (slot == nullptr || matrix == nullptr) return D3DERR_INVALIDCALL;
    if (recording_) {
        const int index = d3d9_transform_index(DWORD(d3d9_stored_value(kind)));
        const D3DMATRIX* recorded = recording_->recorded_transform(index);
        return recording_->record_transform(index, multiply(*matrix, recorded != nullptr ? *recorded : *slot));
    }
    store_transform(slot, multiply(*matrix, *slot));
    return D3D_OK;
}

// ---- lights, material, textures -------------------------------------------------------------

tnl_light_slot* d3d9_device::find_light(DWORD index) {
    const auto at = std::lower_bound(lights_.begin(), lights_.end(), index,
                                     [](const tnl_light_slot& slot, DWORD i) { return slot.index < i; });
    return at != lights_.end() && at->index == index ? &*at : nullptr;
}

// A new index gets a disabled default light: white directional along +z. The room for its prepared
// form is made at the same time, so that draws never allocate for lights.
HRESULT d3d9_device::add_light(DWORD index, tnl_light_slot** slot) {
    *slot = find_light(index);
    if (*slot != nullptr) return D3D_OK;
    try {
        prepared_lights_.resize(lights_.size() + 1);
        tnl_light_slot light;
        light.index = index;
        light.light.Type = D3DLIGHT_DIRECTIONAL;
        light.light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        light.light.Direction = {0.0f, 0.0f, 1.0f};
        const auto at = std::lower_bound(lights_.begin(), lights_.end(), index,
                                         [](const tnl_light_slot& s, DWORD i) { return s.index < i; });
        *slot = &*lights_.insert(at, light);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

HRESULT d3d9_device::SetLight(DWORD index, const D3DLIGHT9* light) {
    if (light == nullptr || !valid_light(*light)) return D3DERR_INVALIDCALL;
    if (recording_) return recording_->record_light(index, *light);
    tnl_light_slot* slot = nullptr;
    const HRESULT added = add_light(index, &slot);
    if (FAILED(added)) return added;
    slot->light = *light;
    return D3D_OK;
}

// An index that was never set or enabled holds no light.
HRESULT d3d9_device::GetLight(DWORD index, D3DLIGHT9* light) {
    const tnl_light_slot* slot = find_light(index);
    if (light == nullptr || slot == nullptr) return D3DERR_INVALIDCALL;
    *light = slot->light;
    return D3D_OK;
}

HRESULT d3d9_device::LightEnable(DWORD index, BOOL enable) {
    if (recording_) return recording_->record_light_enable(index, enable);
    tnl_light_slot* slot = nullptr;
    const HRESULT added = add_light(index, &slot);
    if (FAILED(added)) return added;
    slot->enabled = enable != FALSE;
    return D3D_OK;
}

HRESULT d3d9_device::GetLightEnable(DWORD index, BOOL* enable) {
    const tnl_light_slot* slot = find_light(index);
    if (enable == nullptr || slot == nullptr) return D3DERR_INVALIDCALL;
    *enable = slot->enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT d3d9_device::SetMaterial(const D3DMATERIAL9* material) {
    if (material == nullptr) return D3DERR_INVALIDCALL;
    if (recording_) return recording_->record_material(*material);
    material_ = *material;
    return D3D_OK;
}

HRESULT d3d9_device::GetMaterial(D3DMATERIAL9* material) {
    if (material == nullptr) return D3DERR_INVALIDCALL;
    *material = material_;
    return D3D_OK;
}

HRESULT d3d9_device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                   IDirect3DTexture9** texture, HANDLE* shared) {
    return d3d9_create_device_texture(this, width, height, levels, usage, format, pool, texture, shared);
}

// The device's own textures are bound through its count (device_resource.h); a texture that
// belongs to no device (made from decoded texels) is held by a reference. A SCRATCH texture cannot
// be bound.
HRESULT d3d9_device::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= d3d9_texture_stages) return D3DERR_INVALIDCALL;
    if (texture != nullptr && made_here(static_cast<const void*>(texture), d3d9_object_kind::texture)) {
        D3DPOOL pool = D3DPOOL_DEFAULT;
        if (d3d9_device_texture_pool(texture, &pool) && pool == D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
    }
    if (recording_) return recording_->record_texture(stage, texture);
    hold_texture(texture);
    release_texture(textures_[stage]);
    textures_[stage] = texture;
    return D3D_OK;
}

void d3d9_device::hold_texture(IDirect3DBaseTexture9* texture) {
    if (texture == nullptr) return;
    if (made_here(static_cast<const void*>(texture), d3d9_object_kind::texture)) {
        dynamic_cast<d3d9_device_child<IDirect3DTexture9>*>(texture)->bind();
    } else {
        texture->AddRef();
    }
}

void d3d9_device::release_texture(IDirect3DBaseTexture9* texture) {
    if (texture == nullptr) return;
    if (made_here(static_cast<const void*>(texture), d3d9_object_kind::texture)) {
        dynamic_cast<d3d9_device_child<IDirect3DTexture9>*>(texture)->unbind();
    } else {
        texture->Release();
    }
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

// Fills [left, right) x [top, bottom), already inside the target, in the buffers `flags` names.
void d3d9_device::fill_clear_rect(const RECT& r, DWORD flags, uint32_t colour, float z, uint8_t stencil) {
    if (r.left >= r.right || r.top >= r.bottom) return;
    if (flags & D3DCLEAR_TARGET) fb_fill_colour(fb_, int(r.left), int(r.top), int(r.right), int(r.bottom), colour);
    if (flags & D3DCLEAR_ZBUFFER) fb_fill_depth(fb_, int(r.left), int(r.top), int(r.right), int(r.bottom), z);
    if (flags & D3DCLEAR_STENCIL) fb_fill_stencil(fb_, int(r.left), int(r.top), int(r.right), int(r.bottom), stencil);
}

// Each rectangle [x1, x2) x [y1, y2), or the whole viewport when Count is 0, is cut to the viewport
// and, with the scissor test on, to the scissor rectangle. Rectangles that end up empty (inverted
// ones among them) clear nothing. Depth is stored at the buffer's precision; the stencil value is
// cut to the buffer's 8 bits (the stencil write mask does not apply to clears).
HRESULT d3d9_device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,
                           DWORD stencil_value) {
    constexpr DWORD known = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
    if ((count != 0) != (rects != nullptr) || flags == 0 || (flags & ~known) != 0) return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_ZBUFFER) && (!fb_has_depth(fb_) || !(z >= 0.0f && z <= 1.0f))) return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) && !fb_has_stencil(fb_)) return D3DERR_INVALIDCALL;
    const uint32_t rgb = target_alpha_ ? colour : colour & 0x00FFFFFFu;
    if (flags & D3DCLEAR_TARGET) target_drawn();
    const uint8_t stencil = uint8_t(stencil_value & 0xFFu);
    const D3DVIEWPORT9& v = viewport_rect_;
    RECT bounds{LONG(v.X), LONG(v.Y), LONG(v.X + v.Width), LONG(v.Y + v.Height)};
    if (state(D3DRS_SCISSORTESTENABLE) != FALSE) {
        bounds = {std::max(bounds.left, scissor_.left), std::max(bounds.top, scissor_.top),
                  std::min(bounds.right, scissor_.right), std::min(bounds.bottom, scissor_.bottom)};
    }
    if (count == 0) {
        const bool whole =
            bounds.left == 0 && bounds.top == 0 && bounds.right == fb_.width && bounds.bottom == fb_.height;
        if (!whole) {
            fill_clear_rect(bounds, flags, rgb, z, stencil);
        } else {
            if (flags & D3DCLEAR_TARGET) fb_clear_colour(fb_, rgb);
            if (flags & D3DCLEAR_ZBUFFER) fb_clear_depth(fb_, z);
            if (flags & D3DCLEAR_STENCIL) fb_clear_stencil(fb_, stencil);
        }
        return D3D_OK;
    }
    for (DWORD i = 0; i < count; ++i) {
        const D3DRECT& r = rects[i];
        const RECT cut{std::max(r.x1, bounds.left), std::max(r.y1, bounds.top), std::min(r.x2, bounds.right),
                       std::min(r.y2, bounds.bottom)};
        fill_clear_rect(cut, flags, rgb, z, stencil);
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
    const uint32_t* back = lent_colour_ != nullptr ? lent_colour_ : fb_.colour.data();
    if (!win_present(target, back, back_width_, back_height_, back_width_)) return D3DERR_INVALIDCALL;
    return D3D_OK;
}

const d3d9_framebuffer* d3d9_device_framebuffer(IDirect3DDevice9* device) {
    const auto* d = dynamic_cast<const d3d9_device*>(device);
    return d != nullptr ? &d->framebuffer() : nullptr;
}
