// device_targets.cpp - render targets and depth-stencil surfaces: the back buffer and the auto
// depth-stencil surface, surfaces a program makes to draw into, binding them, and reading the
// front buffer.
//
// The framebuffer (fb_) is always the bound target: its colour buffer is the target surface's
// memory (the back buffer's, a render-target surface's or a RENDERTARGET texture level's), and the
// bound depth-stencil surface's buffers are handed into it while bound (framebuffer.h's
// fb_depth_store, kept as the surface's attachment). Binding holds surfaces through the device's
// own references (device_resource.h), so that a bound surface never keeps the device alive.
//
// Choices: one render target (index 0); setting it resets the viewport and the scissor rectangle
// to the whole target. A depth-stencil surface smaller than the target leaves the pixels beyond it
// with the nearest depth and stencil 0. The back buffer is always X8R8G8B8 in memory (the top byte
// 0, whatever its format says); other A8R8G8B8 targets keep the alpha the pixels produce. Every
// index below BackBufferCount answers the one back buffer. GetFrontBufferData reads the back
// buffer as it is now (the frame last presented, unless the program drew since), placed at the
// window's client position on a black desktop.
#include "platform/d3d9/device.h"

#include "platform/d3d9/surface.h"
#include "platform/win32/win_surface.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr UINT max_target_side = 8192;

d3d9_device_child<IDirect3DSurface9>* child(IDirect3DSurface9* surface) {
    return dynamic_cast<d3d9_device_child<IDirect3DSurface9>*>(surface);
}

// A depth-stencil surface's buffers, or null for a surface that has none.
fb_depth_store* depth_store(IDirect3DSurface9* surface) {
    std::shared_ptr<void>* attachment = surface != nullptr ? d3d9_surface_attachment(surface) : nullptr;
    return attachment != nullptr ? static_cast<fb_depth_store*>(attachment->get()) : nullptr;
}

// Gives a depth-stencil surface its buffers; `in_framebuffer`: they are the framebuffer's now (the
// auto depth-stencil surface). False for lack of memory.
bool attach_depth_store(IDirect3DSurface9* surface, int width, int height, fb_depth_format format,
                        bool in_framebuffer) {
    std::shared_ptr<void>* attachment = d3d9_surface_attachment(surface);
    if (attachment == nullptr) return false;
    try {
        auto store = std::make_shared<fb_depth_store>();
        if (in_framebuffer) {
            store->width = width;
            store->height = height;
            store->format = format;
            store->lent = true;
        } else {
            fb_depth_store_create(*store, width, height, format);
        }
        *attachment = std::move(store);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

D3DFORMAT depth_surface_format(fb_depth_format format) {
    switch (format) {
    case fb_depth_format::d24x8: return D3DFMT_D24X8;
    case fb_depth_format::d24s8: return D3DFMT_D24S8;
    case fb_depth_format::d32: return D3DFMT_D32;
    default: return D3DFMT_D16;
    }
}

}  // namespace

void d3d9_device::bind_surface(IDirect3DSurface9** slot, IDirect3DSurface9* surface) {
    if (surface != nullptr) child(surface)->bind();
    IDirect3DSurface9* previous = *slot;
    *slot = surface;
    if (previous != nullptr) child(previous)->unbind();
}

bool d3d9_device::make_swap_chain_surfaces(bool with_depth) {
    IDirect3DSurface9* back = nullptr;
    if (d3d9_create_lent_surface(this, UINT(fb_.width), UINT(fb_.height), back_buffer_format_, D3DUSAGE_RENDERTARGET,
                                 reinterpret_cast<uint8_t*>(fb_.colour_pixels), UINT(fb_.width) * 4, &back) != D3D_OK) {
        return false;
    }
    bind_surface(&back_buffer_, back);
    bind_surface(&render_target_, back);
    back->Release();
    if (!with_depth) return true;
    IDirect3DSurface9* depth = nullptr;
    if (d3d9_create_surface(this, UINT(fb_.width), UINT(fb_.height), depth_surface_format(fb_.depth_format),
                            D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL, &depth) != D3D_OK) {
        return false;
    }
    const bool attached = attach_depth_store(depth, fb_.width, fb_.height, fb_.depth_format, true);
    if (attached) {
        bind_surface(&auto_depth_, depth);
        bind_surface(&depth_stencil_, depth);
    }
    depth->Release();
    return attached;
}

bool d3d9_device::note_target_drawn() {
    bool sampled = false;
    if (target_container_ != nullptr) {
        for (IDirect3DBaseTexture9* t : textures_) sampled = sampled || t == target_container_;
    }
    if (target_changed_ && sampled) d3d9_surface_changed(render_target_);
    target_changed_ = true;
    return sampled;
}

HRESULT d3d9_device::draw_beside_target(D3DPRIMITIVETYPE type, UINT count, const uint32_t* indices, size_t n,
                                        uint32_t vertex_end, const draw_source& source) {
    const size_t pixels = size_t(fb_.width) * size_t(fb_.height);
    try {
        if (target_copy_.size() < pixels + fb_padding) target_copy_.resize(pixels + fb_padding);
    } catch (const std::bad_alloc&) {
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    uint32_t* const target = fb_.colour_pixels;
    std::copy_n(target, pixels, target_copy_.data());
    fb_.colour_pixels = target_copy_.data();
    const HRESULT drawn = draw_routed(type, count, indices, n, vertex_end, source);
    fb_.colour_pixels = target;
    std::copy_n(target_copy_.data(), pixels, target);
    return drawn;
}

void d3d9_device::flush_target() {
    if (target_level_ && target_changed_) d3d9_surface_changed(render_target_);
    target_changed_ = false;
}

// Binds `colour` (checked: one of ours, a render target) and `depth` (null or a depth-stencil
// surface of ours), handing the depth buffers from the old depth-stencil surface to the new one.
HRESULT d3d9_device::switch_target(IDirect3DSurface9* colour, IDirect3DSurface9* depth) {
    d3d9_surface_info c{};
    if (!d3d9_surface_describe(colour, &c, this) || c.bits == nullptr) return D3DERR_INVALIDCALL;
    fb_depth_store* old_store = depth_store(depth_stencil_);
    fb_depth_store* new_store = depth_store(depth);
    if (depth != nullptr && new_store == nullptr) return D3DERR_INVALIDCALL;
    flush_target();
    uint32_t* const old_pixels = fb_.colour_pixels;
    const int old_width = fb_.width, old_height = fb_.height;
    if (old_store != nullptr) fb_return_depth(fb_, *old_store);
    try {
        fb_set_colour(fb_, reinterpret_cast<uint32_t*>(c.bits), int(c.width), int(c.height));
        if (new_store != nullptr) fb_take_depth(fb_, *new_store);
    } catch (const std::bad_alloc&) {
        // Back to the old binding; without its depth buffer should even that fail.
        try {
            fb_set_colour(fb_, old_pixels, old_width, old_height);
            if (old_store != nullptr) fb_take_depth(fb_, *old_store);
        } catch (const std::bad_alloc&) {
            bind_surface(&depth_stencil_, nullptr);
        }
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    bind_surface(&render_target_, colour);
    bind_surface(&depth_stencil_, depth);
    target_level_ = c.container != nullptr;
    target_container_ = c.container;
    target_alpha_ = colour != back_buffer_ && d3d9_stored_value(c.format) == D3DFMT_A8R8G8B8;
    return D3D_OK;
}

// ---- the swap chain's surfaces ------------------------------------------------------------------

HRESULT d3d9_device::GetBackBuffer(UINT swap_chain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (swap_chain != 0 || index >= back_buffer_count_ || d3d9_stored_value(type) != D3DBACKBUFFER_TYPE_MONO) {
        return D3DERR_INVALIDCALL;
    }
    back_buffer_->AddRef();
    *surface = back_buffer_;
    return D3D_OK;
}

HRESULT d3d9_device::GetFrontBufferData(UINT swap_chain, IDirect3DSurface9* destination) {
    d3d9_surface_info d{};
    if (swap_chain != 0 || destination == nullptr || !d3d9_surface_describe(destination, &d, this)) {
        return D3DERR_INVALIDCALL;
    }
    const D3DDISPLAYMODE desktop = d3d9_desktop_display_mode();
    if (d.pool != D3DPOOL_SYSTEMMEM || d3d9_stored_value(d.format) != D3DFMT_A8R8G8B8 || d.width != desktop.Width ||
        d.height != desktop.Height || d.locked || d.bits == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    POINT origin{0, 0};
    ClientToScreen(window_, &origin);
    const uint32_t* back = lent_colour_ != nullptr ? lent_colour_ : fb_.colour.data();
    if (back_buffer_ != render_target_) {
        d3d9_surface_info b{};
        if (d3d9_surface_describe(back_buffer_, &b, this)) back = reinterpret_cast<const uint32_t*>(b.bits);
    }
    for (UINT y = 0; y < d.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(d.bits + size_t(y) * d.pitch);
        std::fill(row, row + d.width, 0xFF000000u);
        const long source_y = long(y) - origin.y;
        if (source_y < 0 || source_y >= back_height_) continue;
        const long first = std::max<long>(origin.x, 0), end = std::min<long>(origin.x + back_width_, long(d.width));
        const uint32_t* source = back + size_t(source_y) * size_t(back_width_);
        for (long x = first; x < end; ++x) row[x] = 0xFF000000u | (source[x - origin.x] & 0x00FFFFFFu);
    }
    d3d9_surface_changed(destination);
    return D3D_OK;
}

// ---- render targets -----------------------------------------------------------------------------

HRESULT d3d9_device::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE samples,
                                        DWORD quality, BOOL, IDirect3DSurface9** surface, HANDLE* shared) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (width == 0 || height == 0 || width > max_target_side || height > max_target_side ||
        !d3d9_back_buffer_format(format) || d3d9_stored_value(samples) != D3DMULTISAMPLE_NONE || quality != 0 ||
        shared != nullptr) {
        return D3DERR_INVALIDCALL;
    }
    return d3d9_create_surface(this, width, height, format, D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET, surface);
}

HRESULT d3d9_device::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
    d3d9_surface_info info{};
    if (index != 0 || surface == nullptr || !d3d9_surface_describe(surface, &info, this) ||
        (info.usage & D3DUSAGE_RENDERTARGET) == 0 || info.pool != D3DPOOL_DEFAULT ||
        !d3d9_back_buffer_format(info.format) || info.locked) {
        return D3DERR_INVALIDCALL;
    }
    const HRESULT switched = switch_target(surface, depth_stencil_);
    if (switched != D3D_OK) return switched;
    viewport_ = viewport_for(fb_.width, fb_.height);
    viewport_rect_ = {0, 0, DWORD(fb_.width), DWORD(fb_.height), 0.0f, 1.0f};
    scissor_ = {0, 0, LONG(fb_.width), LONG(fb_.height)};
    return D3D_OK;
}

HRESULT d3d9_device::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (index != 0) return D3DERR_INVALIDCALL;
    render_target_->AddRef();
    *surface = render_target_;
    return D3D_OK;
}

// ---- depth-stencil surfaces ---------------------------------------------------------------------

HRESULT d3d9_device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE samples,
                                               DWORD quality, BOOL, IDirect3DSurface9** surface, HANDLE* shared) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    const fb_depth_format kind = d3d9_depth_stencil_format(format);
    if (width == 0 || height == 0 || width > max_target_side || height > max_target_side ||
        kind == fb_depth_format::none || d3d9_stored_value(samples) != D3DMULTISAMPLE_NONE || quality != 0 ||
        shared != nullptr) {
        return D3DERR_INVALIDCALL;
    }
    IDirect3DSurface9* made = nullptr;
    const HRESULT created =
        d3d9_create_surface(this, width, height, format, D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL, &made);
    if (created != D3D_OK) return created;
    if (!attach_depth_store(made, int(width), int(height), kind, false)) {
        made->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *surface = made;
    return D3D_OK;
}

HRESULT d3d9_device::SetDepthStencilSurface(IDirect3DSurface9* surface) {
    if (surface != nullptr) {
        d3d9_surface_info info{};
        if (!d3d9_surface_describe(surface, &info, this) || (info.usage & D3DUSAGE_DEPTHSTENCIL) == 0 ||
            depth_store(surface) == nullptr) {
            return D3DERR_INVALIDCALL;
        }
    }
    return switch_target(render_target_, surface);
}

HRESULT d3d9_device::GetDepthStencilSurface(IDirect3DSurface9** surface) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (depth_stencil_ == nullptr) return D3DERR_NOTFOUND;
    depth_stencil_->AddRef();
    *surface = depth_stencil_;
    return D3D_OK;
}
