// device_surface_copies.cpp - surfaces of their own and copies between surfaces on the device:
// CreateOffscreenPlainSurface, ColorFill, UpdateSurface, UpdateTexture, StretchRect and
// GetRenderTargetData.
//
// Each call checks everything first (the surfaces must be this device's) and changes nothing when
// it fails; a copy tells its destination that its bytes changed (d3d9_surface_changed), so that a
// texture level copied into is sampled as it now is. Stretching and filtering work on decoded
// 0xAARRGGBB texels between the 32-bit colour formats; copies without stretching move the bytes.
#include "platform/d3d9/device.h"

#include "platform/d3d9/device_texture.h"
#include "platform/d3d9/surface_object.h"
#include "platform/d3d9/texture_format.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr UINT max_side = 4096;

bool colour_target_format(D3DFORMAT f) { return f == D3DFMT_A8R8G8B8 || f == D3DFMT_X8R8G8B8; }

// A rectangle inside a w x h surface, not empty; null means the whole surface.
bool inside(const RECT* r, UINT w, UINT h, RECT* out) {
    if (r == nullptr) {
        *out = {0, 0, LONG(w), LONG(h)};
        return true;
    }
    if (r->left < 0 || r->top < 0 || r->left >= r->right || r->top >= r->bottom || UINT(r->right) > w ||
        UINT(r->bottom) > h) {
        return false;
    }
    *out = *r;
    return true;
}

bool overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Copies the bytes of rectangle `from` of `source` to (x, y) of `target` (same format; DXT
// rectangles on block edges).
void copy_bytes(const d3d9_surface& source, const RECT& from, d3d9_surface& target, UINT x, UINT y) {
    const D3DFORMAT format = source.form().format;
    d3d9_format_info info;
    d3d9_texture_format(format, &info);
    UINT row_bytes, rows, sx, sy, tx, ty;
    if (info.block_bytes != 0) {
        row_bytes = UINT((from.right - from.left + 3) / 4) * info.block_bytes;
        rows = UINT((from.bottom - from.top + 3) / 4);
        sx = UINT(from.left / 4) * info.block_bytes, sy = UINT(from.top / 4);
        tx = x / 4 * info.block_bytes, ty = y / 4;
    } else {
        row_bytes = UINT(from.right - from.left) * info.texel_bytes;
        rows = UINT(from.bottom - from.top);
        sx = UINT(from.left) * info.texel_bytes, sy = UINT(from.top);
        tx = x * info.texel_bytes, ty = y;
    }
    for (UINT j = 0; j < rows; ++j) {
        std::memmove(target.bits() + size_t(ty + j) * target.pitch() + tx,
                     source.bits() + size_t(sy + j) * source.pitch() + sx, row_bytes);
    }
}

// DXT rectangles start on block edges and end on one or at the surface's edge.
bool block_aligned(D3DFORMAT format, const RECT& r, UINT w, UINT h) {
    if (!d3d9_format_is_dxt(format)) return true;
    const auto edge = [](LONG v, UINT side) { return v % 4 == 0 || UINT(v) == side; };
    return r.left % 4 == 0 && r.top % 4 == 0 && edge(r.right, w) && edge(r.bottom, h);
}

uint32_t texel_at(const d3d9_surface& s, int x, int y) {
    const uint32_t t = reinterpret_cast<const uint32_t*>(s.bits() + size_t(y) * s.pitch())[x];
    return s.form().format == D3DFMT_X8R8G8B8 ? t | 0xFF000000u : t;
}

}  // namespace

HRESULT d3d9_device::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                                 IDirect3DSurface9** surface, HANDLE* shared) {
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    const int32_t p = int32_t(pool);
    if (shared != nullptr || width == 0 || height == 0 || width > max_side || height > max_side ||
        !d3d9_texture_format(format) || (p != D3DPOOL_DEFAULT && p != D3DPOOL_SYSTEMMEM && p != D3DPOOL_SCRATCH)) {
        return D3DERR_INVALIDCALL;
    }
    return d3d9_create_surface(this, width, height, format, pool, 0, surface);
}

// A render target or an offscreen plain surface of the DEFAULT pool; the colour converted to the
// surface's format (DXT surfaces are not filled).
HRESULT d3d9_device::ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR colour) {
    d3d9_surface* s = d3d9_surface::ours(surface, this);
    if (s == nullptr || s->bits() == nullptr || s->form().pool != D3DPOOL_DEFAULT || s->locked()) {
        return D3DERR_INVALIDCALL;
    }
    const d3d9_surface::shape& shape = s->form();
    const bool target = (shape.usage & D3DUSAGE_RENDERTARGET) != 0;
    if ((s->is_level() && !target) || (shape.usage & D3DUSAGE_DEPTHSTENCIL) != 0) return D3DERR_INVALIDCALL;
    d3d9_format_info info;
    RECT r;
    if (!d3d9_texture_format(shape.format, &info) || info.block_bytes != 0 ||
        !inside(rect, shape.width, shape.height, &r)) {
        return D3DERR_INVALIDCALL;
    }
    const uint32_t stored = d3d9_format_pack(shape.format, colour);
    for (LONG y = r.top; y < r.bottom; ++y) {
        uint8_t* row = s->bits() + size_t(y) * s->pitch() + size_t(r.left) * info.texel_bytes;
        for (LONG x = r.left; x < r.right; ++x, row += info.texel_bytes) {
            for (UINT b = 0; b < info.texel_bytes; ++b) row[b] = uint8_t(stored >> (8 * b));
        }
    }
    s->changed();
    return D3D_OK;
}

// From a SYSTEMMEM surface to a DEFAULT one of the same format, without stretching.
HRESULT d3d9_device::UpdateSurface(IDirect3DSurface9* source_surface, const RECT* source_rect,
                                   IDirect3DSurface9* target_surface, const POINT* target_point) {
    d3d9_surface* source = d3d9_surface::ours(source_surface, this);
    d3d9_surface* target = d3d9_surface::ours(target_surface, this);
    if (source == nullptr || target == nullptr || source->bits() == nullptr || target->bits() == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const d3d9_surface::shape &from = source->form(), &to = target->form();
    if (from.pool != D3DPOOL_SYSTEMMEM || to.pool != D3DPOOL_DEFAULT || from.format != to.format || source->locked() ||
        target->locked()) {
        return D3DERR_INVALIDCALL;
    }
    RECT r;
    if (!inside(source_rect, from.width, from.height, &r) || !block_aligned(from.format, r, from.width, from.height)) {
        return D3DERR_INVALIDCALL;
    }
    const LONG x = target_point != nullptr ? target_point->x : 0, y = target_point != nullptr ? target_point->y : 0;
    const RECT placed{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
    if (x < 0 || y < 0 || UINT(placed.right) > to.width || UINT(placed.bottom) > to.height ||
        !block_aligned(to.format, placed, to.width, to.height)) {
        return D3DERR_INVALIDCALL;
    }
    copy_bytes(*source, r, *target, UINT(x), UINT(y));
    target->changed();
    return D3D_OK;
}

// Each level of the DEFAULT texture from the SYSTEMMEM level of the same size.
HRESULT d3d9_device::UpdateTexture(IDirect3DBaseTexture9* source_texture, IDirect3DBaseTexture9* target_texture) {
    if (source_texture == nullptr || target_texture == nullptr ||
        !made_here(static_cast<const void*>(source_texture), d3d9_object_kind::texture) ||
        !made_here(static_cast<const void*>(target_texture), d3d9_object_kind::texture)) {
        return D3DERR_INVALIDCALL;
    }
    auto* source = static_cast<IDirect3DTexture9*>(source_texture);
    auto* target = static_cast<IDirect3DTexture9*>(target_texture);
    D3DSURFACE_DESC from, to;
    source->GetLevelDesc(0, &from);
    target->GetLevelDesc(0, &to);
    const UINT source_levels = source->GetLevelCount(), target_levels = target->GetLevelCount();
    if (from.Pool != D3DPOOL_SYSTEMMEM || to.Pool != D3DPOOL_DEFAULT || from.Format != to.Format ||
        source_levels < target_levels) {
        return D3DERR_INVALIDCALL;
    }
    // Pair every target level with the source level of its size, and check before copying.
    UINT pairs[d3d9_max_texture_levels];
    for (UINT t = 0; t < target_levels; ++t) {
        target->GetLevelDesc(t, &to);
        UINT s = 0;
        for (; s < source_levels; ++s) {
            source->GetLevelDesc(s, &from);
            if (from.Width == to.Width && from.Height == to.Height) break;
        }
        IDirect3DSurface9 *a = nullptr, *b = nullptr;
        source->GetSurfaceLevel(std::min(s, source_levels - 1), &a);
        target->GetSurfaceLevel(t, &b);
        const bool locked = d3d9_surface::ours(a, this)->locked() || d3d9_surface::ours(b, this)->locked();
        a->Release();
        b->Release();
        if (s == source_levels || locked) return D3DERR_INVALIDCALL;
        pairs[t] = s;
    }
    for (UINT t = 0; t < target_levels; ++t) {
        IDirect3DSurface9 *a = nullptr, *b = nullptr;
        source->GetSurfaceLevel(pairs[t], &a);
        target->GetSurfaceLevel(t, &b);
        d3d9_surface* to_level = d3d9_surface::ours(b, this);
        const d3d9_surface::shape& shape = to_level->form();
        copy_bytes(*d3d9_surface::ours(a, this), RECT{0, 0, LONG(shape.width), LONG(shape.height)}, *to_level, 0, 0);
        to_level->changed();
        a->Release();
        b->Release();
    }
    d3d9_device_texture_regenerate(target);
    return D3D_OK;
}

// Between the 32-bit colour surfaces of the DEFAULT pool: source a render target, a render-target
// texture level or an offscreen plain surface; destination a render target or render-target
// texture level (any size, point or linear filter), or an offscreen plain surface of the source's
// size and format.
HRESULT d3d9_device::StretchRect(IDirect3DSurface9* source_surface, const RECT* source_rect,
                                 IDirect3DSurface9* target_surface, const RECT* target_rect,
                                 D3DTEXTUREFILTERTYPE filter) {
    d3d9_surface* source = d3d9_surface::ours(source_surface, this);
    d3d9_surface* target = d3d9_surface::ours(target_surface, this);
    if (source == nullptr || target == nullptr || source->bits() == nullptr || target->bits() == nullptr ||
        source->locked() || target->locked()) {
        return D3DERR_INVALIDCALL;
    }
    const int32_t f = int32_t(filter);
    if (f != D3DTEXF_NONE && f != D3DTEXF_POINT && f != D3DTEXF_LINEAR) return D3DERR_INVALIDCALL;
    const d3d9_surface::shape &from = source->form(), &to = target->form();
    if (from.pool != D3DPOOL_DEFAULT || to.pool != D3DPOOL_DEFAULT || !colour_target_format(from.format) ||
        !colour_target_format(to.format)) {
        return D3DERR_INVALIDCALL;
    }
    const bool source_target = (from.usage & D3DUSAGE_RENDERTARGET) != 0;
    const bool target_target = (to.usage & D3DUSAGE_RENDERTARGET) != 0;
    if ((source->is_level() && !source_target) || (target->is_level() && !target_target)) return D3DERR_INVALIDCALL;
    RECT a, b;
    if (!inside(source_rect, from.width, from.height, &a) || !inside(target_rect, to.width, to.height, &b)) {
        return D3DERR_INVALIDCALL;
    }
    const UINT aw = UINT(a.right - a.left), ah = UINT(a.bottom - a.top);
    const UINT bw = UINT(b.right - b.left), bh = UINT(b.bottom - b.top);
    if (!target_target && (aw != bw || ah != bh || from.format != to.format)) return D3DERR_INVALIDCALL;
    if (source == target && overlap(a, b)) return D3DERR_INVALIDCALL;
    const uint32_t alpha_clear = to.format == D3DFMT_X8R8G8B8 ? 0x00FFFFFFu : 0xFFFFFFFFu;
    for (UINT j = 0; j < bh; ++j) {
        auto* row = reinterpret_cast<uint32_t*>(target->bits() + size_t(b.top + LONG(j)) * target->pitch()) + b.left;
        for (UINT i = 0; i < bw; ++i) {
            uint32_t texel;
            if (f == D3DTEXF_LINEAR && (aw != bw || ah != bh)) {
                // Texel centres: (i + 0.5) * aw / bw - 0.5, clamped to the source rectangle.
                const float sx = std::clamp((float(i) + 0.5f) * float(aw) / float(bw) - 0.5f, 0.0f, float(aw - 1));
                const float sy = std::clamp((float(j) + 0.5f) * float(ah) / float(bh) - 0.5f, 0.0f, float(ah - 1));
                const int x0 = int(sx), y0 = int(sy);
                const int x1 = std::min(x0 + 1, int(aw) - 1), y1 = std::min(y0 + 1, int(ah) - 1);
                const float fx = sx - float(x0), fy = sy - float(y0);
                const uint32_t t00 = texel_at(*source, a.left + x0, a.top + y0),
                               t10 = texel_at(*source, a.left + x1, a.top + y0),
                               t01 = texel_at(*source, a.left + x0, a.top + y1),
                               t11 = texel_at(*source, a.left + x1, a.top + y1);
                texel = 0;
                for (int shift = 0; shift < 32; shift += 8) {
                    const auto c = [shift](uint32_t t) { return float(t >> shift & 255); };
                    const float top = c(t00) + (c(t10) - c(t00)) * fx, bottom = c(t01) + (c(t11) - c(t01)) * fx;
                    texel |= uint32_t(std::floor(top + (bottom - top) * fy + 0.5f)) << shift;
                }
            } else {
                const UINT x = UINT((uint64_t(i) * 2 + 1) * aw / (uint64_t(bw) * 2));
                const UINT y = UINT((uint64_t(j) * 2 + 1) * ah / (uint64_t(bh) * 2));
                texel = texel_at(*source, a.left + LONG(x), a.top + LONG(y));
            }
            row[i] = texel & alpha_clear;
        }
    }
    target->changed();
    return D3D_OK;
}

// A render target's bytes into a SYSTEMMEM surface of the same size and format.
HRESULT d3d9_device::GetRenderTargetData(IDirect3DSurface9* render_target, IDirect3DSurface9* target_surface) {
    d3d9_surface* source = d3d9_surface::ours(render_target, this);
    d3d9_surface* target = d3d9_surface::ours(target_surface, this);
    if (source == nullptr || target == nullptr || source->bits() == nullptr || target->bits() == nullptr ||
        source == target || target->locked()) {
        return D3DERR_INVALIDCALL;
    }
    const d3d9_surface::shape &from = source->form(), &to = target->form();
    if ((from.usage & D3DUSAGE_RENDERTARGET) == 0 || to.pool != D3DPOOL_SYSTEMMEM || from.format != to.format ||
        from.width != to.width || from.height != to.height) {
        return D3DERR_INVALIDCALL;
    }
    copy_bytes(*source, RECT{0, 0, LONG(from.width), LONG(from.height)}, *target, 0, 0);
    target->changed();
    return D3D_OK;
}
