// texture_create.cpp - D3DXCheckTextureRequirements, D3DXCreateTexture and D3DXFilterTexture.
//
// Requirements: a width or height of 0 becomes 1; both D3DX_DEFAULT give 256 x 256, one of them
// D3DX_DEFAULT takes the other's value; sides are rounded up to powers of two when the device's caps
// ask for it (D3DPTEXTURECAPS_POW2), made square for SQUAREONLY, and clamped to its largest texture.
// Mip levels 0 or D3DX_DEFAULT give the complete chain, more than the chain is cut to it. Format
// D3DFMT_UNKNOWN gives A8R8G8B8; a format the device cannot sample gives A8R8G8B8 too. New textures
// are zero-filled.
#include "platform/d3d9/texture_format.h"
#include "platform/texture/texture_levels.h"
#include "platform/texture/texture_resample.h"

#include <algorithm>
#include <new>

namespace {

UINT texture_round_up_pow2(UINT side) {
    UINT p = 1;
    while (p < side && p < 0x80000000u) p <<= 1;
    return p;
}

}  // namespace

HRESULT WINAPI D3DXCheckTextureRequirements(LPDIRECT3DDEVICE9 device, UINT* width, UINT* height, UINT* levels, DWORD,
                                            D3DFORMAT* format, D3DPOOL) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    D3DCAPS9 caps{};
    if (FAILED(device->GetDeviceCaps(&caps))) return D3DERR_INVALIDCALL;
    UINT w = width != nullptr ? *width : D3DX_DEFAULT, h = height != nullptr ? *height : D3DX_DEFAULT;
    if (w == D3DX_DEFAULT && h == D3DX_DEFAULT) w = h = 256;
    if (w == D3DX_DEFAULT) w = h;
    if (h == D3DX_DEFAULT) h = w;
    w = std::max<UINT>(w, 1);
    h = std::max<UINT>(h, 1);
    if ((caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0) {
        w = texture_round_up_pow2(w);
        h = texture_round_up_pow2(h);
    }
    if ((caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0) w = h = std::max(w, h);
    w = std::min<UINT>(w, std::max<DWORD>(caps.MaxTextureWidth, 1));
    h = std::min<UINT>(h, std::max<DWORD>(caps.MaxTextureHeight, 1));
    if (width != nullptr) *width = w;
    if (height != nullptr) *height = h;
    if (levels != nullptr) {
        const UINT full = d3d9_full_level_count(w, h);
        *levels = *levels == 0 || *levels == D3DX_DEFAULT ? full : std::min(*levels, full);
    }
    if (format != nullptr && (*format == D3DFMT_UNKNOWN || !d3d9_texture_format(*format))) {
        *format = D3DFMT_A8R8G8B8;
    }
    return D3D_OK;
}

HRESULT WINAPI D3DXCreateTexture(LPDIRECT3DDEVICE9 device, UINT width, UINT height, UINT levels, DWORD usage,
                                 D3DFORMAT format, D3DPOOL pool, LPDIRECT3DTEXTURE9* texture) {
    if (texture != nullptr) *texture = nullptr;
    if (device == nullptr || texture == nullptr) return D3DERR_INVALIDCALL;
    const HRESULT checked = D3DXCheckTextureRequirements(device, &width, &height, &levels, usage, &format, pool);
    if (FAILED(checked)) return checked;
    return device->CreateTexture(width, height, levels, usage, format, pool, texture, nullptr);
}

HRESULT WINAPI D3DXFilterTexture(LPDIRECT3DBASETEXTURE9 base, const PALETTEENTRY*, UINT source_level, DWORD filter) {
    if (base == nullptr) return D3DERR_INVALIDCALL;
    if (base->GetType() != D3DRTYPE_TEXTURE) return D3DERR_NOTAVAILABLE;  // cube and volume textures
    auto* texture = static_cast<IDirect3DTexture9*>(base);
    const DWORD kind = texture_filter_kind(filter, D3DX_FILTER_BOX);
    if (source_level == D3DX_DEFAULT) source_level = 0;
    if (kind == 0 || source_level >= texture->GetLevelCount()) return D3DERR_INVALIDCALL;
    if (kind == D3DX_FILTER_NONE) return D3D_OK;
    try {
        std::vector<uint32_t> level, lower;
        HRESULT result = texture_read_level(texture, source_level, &level);
        if (FAILED(result)) return result;
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(source_level, &desc);
        if (d3d9_format_is_dxt(desc.Format)) return D3DERR_INVALIDCALL;
        UINT w = desc.Width, h = desc.Height;
        for (UINT i = source_level + 1; i < texture->GetLevelCount(); ++i) {
            texture_next_level(level, w, h, kind, &lower);
            w = d3d9_level_side(w, 1);
            h = d3d9_level_side(h, 1);
            D3DLOCKED_RECT locked;
            result = texture->LockRect(i, &locked, nullptr, 0);
            if (FAILED(result)) return result;
            d3d9_format_encode(desc.Format, lower.data(), w, w, h, static_cast<uint8_t*>(locked.pBits),
                               UINT(locked.Pitch));
            texture->UnlockRect(i);
            level.swap(lower);
        }
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
