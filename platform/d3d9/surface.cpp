// surface.cpp - d3d9_surface (surface_object.h) and the device's view of surfaces (surface.h).
#include "platform/d3d9/surface_object.h"

#include "platform/d3d9/buffer_resource.h"
#include "platform/d3d9/device.h"
#include "platform/d3d9/framebuffer.h"
#include "platform/d3d9/texture_format.h"

#include <cstdlib>
#include <new>

namespace {

// The largest level a surface holds: a side of 8192 at 4 bytes per texel.
constexpr uint64_t max_surface_bytes = uint64_t(8192) * 8192 * 4;

bool depth_stencil(const d3d9_surface::shape& s) { return (s.usage & D3DUSAGE_DEPTHSTENCIL) != 0; }

}  // namespace

uint8_t* d3d9_surface_allocate(D3DFORMAT format, UINT width, UINT height) {
    d3d9_format_info info;
    if (!d3d9_texture_format(format, &info)) return nullptr;
    const uint64_t bytes = d3d9_format_level_bytes(format, width, height);
    if (bytes == 0 || bytes > max_surface_bytes) return nullptr;
    const uint64_t spare = info.texel_bytes == 4 ? uint64_t(fb_padding) * 4 : 0;
    return static_cast<uint8_t*>(std::calloc(size_t(bytes + spare), 1));
}

void d3d9_surface_free(uint8_t* bytes) { std::free(bytes); }

void d3d9_surface::free_bytes::operator()(uint8_t* p) const { d3d9_surface_free(p); }

d3d9_surface::d3d9_surface(IDirect3DDevice9* device, const shape& s)
    : d3d9_resource<IDirect3DSurface9>(device, s.pool), shape_(s) {}

d3d9_surface::~d3d9_surface() = default;

HRESULT d3d9_surface::create(IDirect3DDevice9* device, const shape& s, d3d9_surface** made) {
    *made = nullptr;
    auto* surface = new (std::nothrow) d3d9_surface(device, s);
    if (surface == nullptr) return d3d9_out_of_memory(s.pool);
    if (!depth_stencil(s)) {
        surface->owned_.reset(d3d9_surface_allocate(s.format, s.width, s.height));
        surface->bits_ = surface->owned_.get();
        surface->pitch_ = d3d9_format_pitch(s.format, s.width);
    }
    if ((!depth_stencil(s) && surface->bits_ == nullptr) ||
        !d3d9_device_remember(device, static_cast<IDirect3DSurface9*>(surface), d3d9_object_kind::surface)) {
        surface->Release();
        return d3d9_out_of_memory(s.pool);
    }
    *made = surface;
    return D3D_OK;
}

HRESULT d3d9_surface::create_lent(IDirect3DDevice9* device, const shape& s, uint8_t* bits, UINT pitch,
                                  d3d9_surface** made) {
    *made = nullptr;
    auto* surface = new (std::nothrow) d3d9_surface(device, s);
    if (surface == nullptr) return E_OUTOFMEMORY;
    surface->bits_ = bits;
    surface->pitch_ = pitch;
    if (!d3d9_device_remember(device, static_cast<IDirect3DSurface9*>(surface), d3d9_object_kind::surface)) {
        surface->Release();
        return E_OUTOFMEMORY;
    }
    *made = surface;
    return D3D_OK;
}

HRESULT d3d9_surface::create_level(IDirect3DDevice9* device, const shape& s, uint8_t* bits, UINT pitch,
                                   IDirect3DTexture9* container, d3d9_level_owner* owner, UINT level,
                                   d3d9_surface** made) {
    *made = nullptr;
    auto* surface = new (std::nothrow) d3d9_surface(device, s);
    if (surface == nullptr) return d3d9_out_of_memory(s.pool);
    if (!d3d9_device_remember(device, static_cast<IDirect3DSurface9*>(surface), d3d9_object_kind::surface)) {
        surface->Release();  // not yet a level: ends as a surface of its own
        return d3d9_out_of_memory(s.pool);
    }
    // A level holds no reference on the device and does not count for Reset: its texture does, for
    // as long as either is held.
    surface->clear_reset_block();
    device->Release();
    surface->bits_ = bits;
    surface->pitch_ = pitch;
    surface->container_ = container;
    surface->owner_ = owner;
    surface->level_ = level;
    *made = surface;
    return D3D_OK;
}

void d3d9_surface::destroy_level() { delete this; }

ULONG d3d9_surface::AddRef() { return container_ != nullptr ? container_->AddRef() : d3d9_resource::AddRef(); }

ULONG d3d9_surface::Release() { return container_ != nullptr ? container_->Release() : d3d9_resource::Release(); }

void d3d9_surface::bind() {
    if (container_ == nullptr) {
        d3d9_resource::bind();
    } else if (auto* texture = dynamic_cast<d3d9_device_child<IDirect3DTexture9>*>(container_)) {
        texture->bind();
    }
}

void d3d9_surface::unbind() {
    if (container_ == nullptr) {
        d3d9_resource::unbind();
    } else if (auto* texture = dynamic_cast<d3d9_device_child<IDirect3DTexture9>*>(container_)) {
        texture->unbind();
    }
}

bool d3d9_surface::answers(REFIID riid) const {
    return IsEqualGUID(riid, IID_IDirect3DSurface9) || IsEqualGUID(riid, IID_IDirect3DResource9);
}

void d3d9_surface::lend(UINT width, UINT height, uint8_t* bits, UINT pitch) {
    shape_.width = width;
    shape_.height = height;
    bits_ = bits;
    pitch_ = pitch;
}

void d3d9_surface::changed() const {
    if (owner_ != nullptr) owner_->level_changed(level_);
}

d3d9_surface* d3d9_surface::ours(IDirect3DSurface9* surface, IDirect3DDevice9* device) {
    if (surface == nullptr) return nullptr;
    if (device != nullptr) {
        auto* made_by = dynamic_cast<d3d9_device*>(device);
        if (made_by == nullptr || !made_by->made_here(static_cast<const void*>(surface), d3d9_object_kind::surface)) {
            return nullptr;
        }
    }
    return dynamic_cast<d3d9_surface*>(surface);
}

HRESULT d3d9_surface::GetContainer(REFIID riid, void** container) {
    if (container == nullptr) return D3DERR_INVALIDCALL;
    *container = nullptr;
    if (container_ != nullptr) return container_->QueryInterface(riid, container);
    return device()->QueryInterface(riid, container);
}

HRESULT d3d9_surface::GetDesc(D3DSURFACE_DESC* desc) {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = {};
    desc->Format = shape_.format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = shape_.usage;
    desc->Pool = shape_.pool;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->MultiSampleQuality = 0;
    desc->Width = shape_.width;
    desc->Height = shape_.height;
    return D3D_OK;
}

HRESULT d3d9_surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (locked == nullptr) return D3DERR_INVALIDCALL;
    locked->pBits = nullptr;
    locked->Pitch = 0;
    if (locked_ || bits_ == nullptr || depth_stencil(shape_) || (flags & ~d3d9_lock_flags) != 0) {
        return D3DERR_INVALIDCALL;
    }
    if ((flags & D3DLOCK_READONLY) != 0 && (flags & D3DLOCK_DISCARD) != 0) return D3DERR_INVALIDCALL;
    if (container_ != nullptr && shape_.pool == D3DPOOL_DEFAULT && (shape_.usage & D3DUSAGE_DYNAMIC) == 0) {
        return D3DERR_INVALIDCALL;
    }
    d3d9_format_info info;
    if (!d3d9_texture_format(shape_.format, &info)) return D3DERR_INVALIDCALL;
    UINT left = 0, top = 0;
    if (rect != nullptr) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            UINT(rect->right) > shape_.width || UINT(rect->bottom) > shape_.height) {
            return D3DERR_INVALIDCALL;
        }
        left = UINT(rect->left);
        top = UINT(rect->top);
        if (info.block_bytes != 0) {
            const auto aligned = [](UINT v, UINT edge) { return v % 4 == 0 || v == edge; };
            if (left % 4 != 0 || top % 4 != 0 || !aligned(UINT(rect->right), shape_.width) ||
                !aligned(UINT(rect->bottom), shape_.height)) {
                return D3DERR_INVALIDCALL;
            }
        }
    }
    const size_t offset = info.block_bytes != 0 ? size_t(top / 4) * pitch_ + size_t(left / 4) * info.block_bytes
                                                : size_t(top) * pitch_ + size_t(left) * info.texel_bytes;
    locked->pBits = bits_ + offset;
    locked->Pitch = INT(pitch_);
    locked_ = true;
    lock_writes_ = (flags & D3DLOCK_READONLY) == 0;
    return D3D_OK;
}

HRESULT d3d9_surface::UnlockRect() {
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    if (!lock_writes_) return D3D_OK;
    // The device hears of it too: the surface may be the colour buffer it draws into and clears.
    if (auto* owner = dynamic_cast<d3d9_device*>(device())) {
        owner->surface_written(this);
    } else {
        changed();
    }
    return D3D_OK;
}

HRESULT d3d9_surface::GetDC(HDC* dc) {
    if (dc != nullptr) *dc = nullptr;
    return D3DERR_INVALIDCALL;
}

HRESULT d3d9_surface::ReleaseDC(HDC) { return D3DERR_INVALIDCALL; }

// ---- surface.h ----

bool d3d9_surface_describe(IDirect3DSurface9* surface, d3d9_surface_info* info, IDirect3DDevice9* device) {
    const d3d9_surface* ours = d3d9_surface::ours(surface, device);
    if (ours == nullptr || info == nullptr) return false;
    const d3d9_surface::shape& s = ours->form();
    info->format = s.format;
    info->pool = s.pool;
    info->usage = s.usage;
    info->width = s.width;
    info->height = s.height;
    info->bits = ours->bits();
    info->pitch = ours->pitch();
    info->container = ours->container();
    info->level = ours->level();
    info->locked = ours->locked();
    return true;
}

void d3d9_surface_changed(IDirect3DSurface9* surface) {
    if (const d3d9_surface* ours = d3d9_surface::ours(surface, nullptr)) ours->changed();
}

std::shared_ptr<void>* d3d9_surface_attachment(IDirect3DSurface9* surface) {
    d3d9_surface* ours = d3d9_surface::ours(surface, nullptr);
    return ours != nullptr ? ours->attachment() : nullptr;
}

HRESULT d3d9_create_surface(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                            DWORD usage, IDirect3DSurface9** surface) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (device == nullptr) return D3DERR_INVALIDCALL;
    d3d9_surface* made = nullptr;
    const HRESULT result = d3d9_surface::create(device, {format, pool, usage, width, height}, &made);
    *surface = made;
    return result;
}

HRESULT d3d9_create_lent_surface(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format, DWORD usage,
                                 uint8_t* bits, UINT pitch, IDirect3DSurface9** surface) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (device == nullptr) return D3DERR_INVALIDCALL;
    d3d9_surface* made = nullptr;
    const HRESULT result =
        d3d9_surface::create_lent(device, {format, D3DPOOL_DEFAULT, usage, width, height}, bits, pitch, &made);
    *surface = made;
    return result;
}

void d3d9_surface_lend(IDirect3DSurface9* surface, UINT width, UINT height, uint8_t* bits, UINT pitch) {
    if (d3d9_surface* ours = d3d9_surface::ours(surface, nullptr)) ours->lend(width, height, bits, pitch);
}
