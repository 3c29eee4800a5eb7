// texture_save.cpp - D3DXSaveSurfaceToFileA/W, D3DXSaveSurfaceToFileInMemory and
// D3DXSaveTextureToFileA/W (level 0 of a 2D texture) in the file formats of texture_encode.h.
//
// The surface's rectangle (null: all of it) is decoded from its format; alpha is written when the
// format has an alpha channel. D3DERR_INVALIDCALL for a null name, surface or buffer, a rectangle
// that is empty or outside the surface, a surface that cannot be locked, and the file formats not
// written (PPM, DIB, HDR, PFM); D3DERR_NOTAVAILABLE for cube and volume textures; E_FAIL when the
// file cannot be written (nothing is left behind then).
#include "platform/d3d9/texture_format.h"
#include "platform/texture/texture_encode.h"
#include "platform/win32/win_paths.h"
#include "platform/win32/win_text.h"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

bool texture_format_has_alpha(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_A1R5G5B5 || format == D3DFMT_A4R4G4B4 || format == D3DFMT_A8 ||
           format == D3DFMT_A8L8 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
           format == D3DFMT_DXT5;
}

HRESULT texture_surface_file(D3DXIMAGE_FILEFORMAT format, IDirect3DSurface9* surface, const RECT* rect_in,
                             std::vector<unsigned char>* out) {
    D3DSURFACE_DESC desc;
    if (surface == nullptr || FAILED(surface->GetDesc(&desc)) || !d3d9_texture_format(desc.Format)) {
        return D3DERR_INVALIDCALL;
    }
    const RECT rect = rect_in != nullptr ? *rect_in : RECT{0, 0, LONG(desc.Width), LONG(desc.Height)};
    if (rect.left < 0 || rect.top < 0 || rect.left >= rect.right || rect.top >= rect.bottom ||
        int64_t(rect.right) > int64_t(desc.Width) || int64_t(rect.bottom) > int64_t(desc.Height)) {
        return D3DERR_INVALIDCALL;
    }
    const UINT w = UINT(rect.right - rect.left), h = UINT(rect.bottom - rect.top);
    std::vector<uint32_t> texels(size_t(w) * h);
    D3DLOCKED_RECT locked;
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return D3DERR_INVALIDCALL;
    d3d9_format_decode(desc.Format, static_cast<const uint8_t*>(locked.pBits), UINT(locked.Pitch), UINT(rect.left),
                       UINT(rect.top), w, h, texels.data(), w);
    surface->UnlockRect();
    return texture_encode(format, texels.data(), w, h, texture_format_has_alpha(desc.Format), out) ? D3D_OK
                                                                                                   : D3DERR_INVALIDCALL;
}

HRESULT texture_write_file(const char* name, const std::vector<unsigned char>& bytes) {
    const std::string path = win_native_path(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return E_FAIL;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        return E_FAIL;
    }
    return D3D_OK;
}

}  // namespace

HRESULT WINAPI D3DXSaveSurfaceToFileA(LPCSTR file, D3DXIMAGE_FILEFORMAT format, IDirect3DSurface9* surface,
                                      const PALETTEENTRY*, const RECT* rect) {
    if (file == nullptr || surface == nullptr) return D3DERR_INVALIDCALL;
    try {
        std::vector<unsigned char> bytes;
        const HRESULT result = texture_surface_file(format, surface, rect, &bytes);
        return FAILED(result) ? result : texture_write_file(file, bytes);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXSaveSurfaceToFileW(LPCWSTR file, D3DXIMAGE_FILEFORMAT format, IDirect3DSurface9* surface,
                                      const PALETTEENTRY* palette, const RECT* rect) {
    if (file == nullptr || surface == nullptr) return D3DERR_INVALIDCALL;
    try {
        return D3DXSaveSurfaceToFileA(win_utf8_from_wide(file).c_str(), format, surface, palette, rect);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXSaveSurfaceToFileInMemory(LPD3DXBUFFER* buffer, D3DXIMAGE_FILEFORMAT format,
                                             IDirect3DSurface9* surface, const PALETTEENTRY*, const RECT* rect) {
    if (buffer != nullptr) *buffer = nullptr;
    if (buffer == nullptr || surface == nullptr) return D3DERR_INVALIDCALL;
    try {
        std::vector<unsigned char> bytes;
        HRESULT result = texture_surface_file(format, surface, rect, &bytes);
        if (FAILED(result)) return result;
        ID3DXBuffer* made = nullptr;
        result = D3DXCreateBuffer(DWORD(bytes.size()), &made);
        if (FAILED(result)) return result;
        std::copy(bytes.begin(), bytes.end(), static_cast<unsigned char*>(made->GetBufferPointer()));
        *buffer = made;
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXSaveTextureToFileA(LPCSTR file, D3DXIMAGE_FILEFORMAT format, LPDIRECT3DBASETEXTURE9 texture,
                                      const PALETTEENTRY* palette) {
    if (file == nullptr || texture == nullptr) return D3DERR_INVALIDCALL;
    if (texture->GetType() != D3DRTYPE_TEXTURE) return D3DERR_NOTAVAILABLE;
    IDirect3DSurface9* level = nullptr;
    if (FAILED(static_cast<IDirect3DTexture9*>(texture)->GetSurfaceLevel(0, &level))) return D3DERR_INVALIDCALL;
    const HRESULT result = D3DXSaveSurfaceToFileA(file, format, level, palette, nullptr);
    level->Release();
    return result;
}

HRESULT WINAPI D3DXSaveTextureToFileW(LPCWSTR file, D3DXIMAGE_FILEFORMAT format, LPDIRECT3DBASETEXTURE9 texture,
                                      const PALETTEENTRY* palette) {
    if (file == nullptr || texture == nullptr) return D3DERR_INVALIDCALL;
    try {
        return D3DXSaveTextureToFileA(win_utf8_from_wide(file).c_str(), format, texture, palette);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
