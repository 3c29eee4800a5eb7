// texture_levels.cpp - level texels in and out of a texture; see texture_levels.h.
#include "platform/texture/texture_levels.h"

#include "platform/d3d9/mip_chain.h"
#include "platform/d3d9/texture_format.h"
#include "platform/texture/texture_resample.h"

namespace {

HRESULT texture_write_level(IDirect3DTexture9* texture, UINT level, const std::vector<uint32_t>& texels, UINT w,
                            UINT h) {
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(level, &desc))) return D3DERR_INVALIDCALL;
    if (d3d9_format_is_dxt(desc.Format) || !d3d9_texture_format(desc.Format)) return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked;
    const HRESULT result = texture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(result)) return result;
    d3d9_format_encode(desc.Format, texels.data(), w, w, h, static_cast<uint8_t*>(locked.pBits), UINT(locked.Pitch));
    texture->UnlockRect(level);
    return D3D_OK;
}

HRESULT texture_write_lockable(IDirect3DTexture9* texture, const std::vector<uint32_t>& top, DWORD mip_kind) {
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(0, &desc))) return D3DERR_INVALIDCALL;
    UINT w = desc.Width, h = desc.Height;
    HRESULT result = texture_write_level(texture, 0, top, w, h);
    if (FAILED(result) || mip_kind == D3DX_FILTER_NONE) return result;
    std::vector<uint32_t> level = top, lower;
    for (UINT i = 1; i < texture->GetLevelCount(); ++i) {
        texture_next_level(level, w, h, mip_kind, &lower);
        w = d3d9_level_side(w, 1);
        h = d3d9_level_side(h, 1);
        result = texture_write_level(texture, i, lower, w, h);
        if (FAILED(result)) return result;
        level.swap(lower);
    }
    return D3D_OK;
}

}  // namespace

void texture_next_level(const std::vector<uint32_t>& level, UINT w, UINT h, DWORD mip_kind,
                        std::vector<uint32_t>* lower) {
    const UINT lw = d3d9_level_side(w, 1), lh = d3d9_level_side(h, 1);
    lower->resize(size_t(lw) * lh);
    if (mip_kind == D3DX_FILTER_POINT) {
        texture_resample(level.data(), w, h, w, lower->data(), lw, lh, D3DX_FILTER_POINT);
    } else {
        d3d9_mip_box_filter(level.data(), w, h, 0, lower->data());
    }
}

HRESULT texture_write_levels(IDirect3DTexture9* texture, const std::vector<uint32_t>& top, DWORD mip_kind) {
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(0, &desc))) return D3DERR_INVALIDCALL;
    if (desc.Pool != D3DPOOL_DEFAULT || (desc.Usage & D3DUSAGE_DYNAMIC) != 0) {
        return texture_write_lockable(texture, top, mip_kind);
    }
    IDirect3DDevice9* device = nullptr;
    if (FAILED(texture->GetDevice(&device))) return D3DERR_INVALIDCALL;
    IDirect3DTexture9* staging = nullptr;
    HRESULT result = device->CreateTexture(desc.Width, desc.Height, texture->GetLevelCount(), 0, desc.Format,
                                           D3DPOOL_SYSTEMMEM, &staging, nullptr);
    if (SUCCEEDED(result)) {
        try {
            result = texture_write_lockable(staging, top, mip_kind);
        } catch (...) {
            staging->Release();
            device->Release();
            throw;
        }
        if (SUCCEEDED(result)) result = device->UpdateTexture(staging, texture);
        staging->Release();
    }
    device->Release();
    return result;
}

HRESULT texture_read_level(IDirect3DTexture9* texture, UINT level, std::vector<uint32_t>* texels) {
    D3DSURFACE_DESC desc;
    if (FAILED(texture->GetLevelDesc(level, &desc)) || !d3d9_texture_format(desc.Format)) return D3DERR_INVALIDCALL;
    texels->resize(size_t(desc.Width) * desc.Height);
    D3DLOCKED_RECT locked;
    const HRESULT result = texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY);
    if (FAILED(result)) return result;
    d3d9_format_decode(desc.Format, static_cast<const uint8_t*>(locked.pBits), UINT(locked.Pitch), 0, 0, desc.Width,
                       desc.Height, texels->data(), desc.Width);
    texture->UnlockRect(level);
    return D3D_OK;
}
