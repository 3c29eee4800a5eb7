// texture_surface_load.cpp - D3DXLoadSurfaceFromFileA/W, ...FromFileInMemory, ...FromMemory and
// ...FromSurface: a source rectangle of 0xAARRGGBB texels, colour-keyed, resized with the filter
// (D3DX_DEFAULT: TRIANGLE) to the destination rectangle and encoded into the surface's format.
//
// Rectangles: null means the whole image or surface; a rectangle that is empty, inverted or
// reaches outside its image or surface fails with D3DERR_INVALIDCALL, as do a null surface, name
// or memory, a filter value that names no filter, a palettised or block-compressed destination and
// a surface that cannot be locked. Source memory in any texture format (texture_format.h) is read
// at the source rectangle's position, rows SrcPitch bytes apart. A file that is no usable image
// gives D3DXERR_INVALIDDATA. The destination changes only on success.
#include "platform/d3d9/texture_format.h"
#include "platform/texture/texture_decode.h"
#include "platform/texture/texture_file.h"
#include "platform/texture/texture_image_info.h"
#include "platform/texture/texture_resample.h"
#include "platform/win32/win_text.h"

#include <new>
#include <vector>

namespace {

// *out = *rect, or the whole w x h area for a null rect; false when it is empty or outside.
bool texture_rect_in(const RECT* rect, UINT w, UINT h, RECT* out) {
    *out = rect != nullptr ? *rect : RECT{0, 0, LONG(w), LONG(h)};
    return out->left >= 0 && out->top >= 0 && out->left < out->right && out->top < out->bottom &&
           int64_t(out->right) <= int64_t(w) && int64_t(out->bottom) <= int64_t(h);
}

// Resizes the source rectangle (already cut out, sw x sh contiguous texels) into the destination.
HRESULT texture_store(IDirect3DSurface9* surface, const RECT* dest_rect, std::vector<uint32_t>& source, UINT sw,
                      UINT sh, DWORD filter, D3DCOLOR key) {
    const DWORD kind = texture_filter_kind(filter, D3DX_FILTER_TRIANGLE);
    D3DSURFACE_DESC desc;
    RECT rect;
    if (kind == 0 || FAILED(surface->GetDesc(&desc)) || !texture_rect_in(dest_rect, desc.Width, desc.Height, &rect) ||
        d3d9_format_is_dxt(desc.Format) || !d3d9_texture_format(desc.Format)) {
        return D3DERR_INVALIDCALL;
    }
    texture_apply_colour_key(source.data(), source.size(), key);
    const UINT w = UINT(rect.right - rect.left), h = UINT(rect.bottom - rect.top);
    std::vector<uint32_t> target(size_t(w) * h);
    texture_resample(source.data(), sw, sh, sw, target.data(), w, h, kind);
    D3DLOCKED_RECT locked;
    const HRESULT result = surface->LockRect(&locked, &rect, 0);
    if (FAILED(result)) return D3DERR_INVALIDCALL;
    d3d9_format_encode(desc.Format, target.data(), w, w, h, static_cast<uint8_t*>(locked.pBits), UINT(locked.Pitch));
    surface->UnlockRect();
    return D3D_OK;
}

HRESULT texture_load_file_bytes(IDirect3DSurface9* surface, const RECT* dest_rect, const unsigned char* data,
                                size_t size, const RECT* source_rect, DWORD filter, D3DCOLOR key,
                                D3DXIMAGE_INFO* info_out) {
    d3d9_texture_image image;
    texture_error error;
    if (!texture_decode(data, size, &image, &error)) return error.result;
    RECT rect;
    if (!texture_rect_in(source_rect, image.width, image.height, &rect)) return D3DERR_INVALIDCALL;
    const UINT w = UINT(rect.right - rect.left), h = UINT(rect.bottom - rect.top);
    std::vector<uint32_t> source(size_t(w) * h);
    for (UINT y = 0; y < h; ++y) {
        const uint32_t* row = image.texels.data() + size_t(rect.top + y) * image.width + rect.left;
        std::copy_n(row, w, source.data() + size_t(y) * w);
    }
    const HRESULT result = texture_store(surface, dest_rect, source, w, h, filter, key);
    if (SUCCEEDED(result) && info_out != nullptr) *info_out = texture_image_info(data, size, image);
    return result;
}

}  // namespace

HRESULT WINAPI D3DXLoadSurfaceFromFileInMemory(IDirect3DSurface9* surface, const PALETTEENTRY*, const RECT* dest_rect,
                                               LPCVOID data, UINT size, const RECT* source_rect, DWORD filter,
                                               D3DCOLOR key, D3DXIMAGE_INFO* info) {
    if (surface == nullptr || data == nullptr || size == 0) return D3DERR_INVALIDCALL;
    try {
        return texture_load_file_bytes(surface, dest_rect, static_cast<const unsigned char*>(data), size, source_rect,
                                       filter, key, info);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXLoadSurfaceFromFileA(IDirect3DSurface9* surface, const PALETTEENTRY* palette, const RECT* dest_rect,
                                        LPCSTR file, const RECT* source_rect, DWORD filter, D3DCOLOR key,
                                        D3DXIMAGE_INFO* info) {
    if (surface == nullptr || file == nullptr) return D3DERR_INVALIDCALL;
    try {
        std::vector<unsigned char> bytes;
        texture_error error;
        if (!texture_file_bytes(file, bytes, &error)) return error.result;
        return D3DXLoadSurfaceFromFileInMemory(surface, palette, dest_rect, bytes.data(), UINT(bytes.size()),
                                               source_rect, filter, key, info);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXLoadSurfaceFromFileW(IDirect3DSurface9* surface, const PALETTEENTRY* palette, const RECT* dest_rect,
                                        LPCWSTR file, const RECT* source_rect, DWORD filter, D3DCOLOR key,
                                        D3DXIMAGE_INFO* info) {
    if (surface == nullptr || file == nullptr) return D3DERR_INVALIDCALL;
    try {
        return D3DXLoadSurfaceFromFileA(surface, palette, dest_rect, win_utf8_from_wide(file).c_str(), source_rect,
                                        filter, key, info);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXLoadSurfaceFromMemory(IDirect3DSurface9* surface, const PALETTEENTRY*, const RECT* dest_rect,
                                         LPCVOID memory, D3DFORMAT format, UINT pitch, const PALETTEENTRY*,
                                         const RECT* source_rect, DWORD filter, D3DCOLOR key) {
    if (surface == nullptr || memory == nullptr || source_rect == nullptr || !d3d9_texture_format(format) ||
        source_rect->left < 0 || source_rect->top < 0 || source_rect->left >= source_rect->right ||
        source_rect->top >= source_rect->bottom || pitch == 0) {
        return D3DERR_INVALIDCALL;
    }
    const UINT w = UINT(source_rect->right - source_rect->left), h = UINT(source_rect->bottom - source_rect->top);
    if (w > UINT(texture_max_side) || h > UINT(texture_max_side)) return D3DERR_INVALIDCALL;
    try {
        std::vector<uint32_t> source(size_t(w) * h);
        d3d9_format_decode(format, static_cast<const uint8_t*>(memory), pitch, UINT(source_rect->left),
                           UINT(source_rect->top), w, h, source.data(), w);
        return texture_store(surface, dest_rect, source, w, h, filter, key);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXLoadSurfaceFromSurface(IDirect3DSurface9* destination, const PALETTEENTRY*, const RECT* dest_rect,
                                          IDirect3DSurface9* source, const PALETTEENTRY*, const RECT* source_rect,
                                          DWORD filter, D3DCOLOR key) {
    D3DSURFACE_DESC desc;
    RECT rect;
    if (destination == nullptr || source == nullptr || FAILED(source->GetDesc(&desc)) ||
        !d3d9_texture_format(desc.Format) || !texture_rect_in(source_rect, desc.Width, desc.Height, &rect)) {
        return D3DERR_INVALIDCALL;
    }
    const UINT w = UINT(rect.right - rect.left), h = UINT(rect.bottom - rect.top);
    try {
        std::vector<uint32_t> texels(size_t(w) * h);
        D3DLOCKED_RECT locked;
        if (FAILED(source->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return D3DERR_INVALIDCALL;
        d3d9_format_decode(desc.Format, static_cast<const uint8_t*>(locked.pBits), UINT(locked.Pitch), UINT(rect.left),
                           UINT(rect.top), w, h, texels.data(), w);
        source->UnlockRect();
        return texture_store(destination, dest_rect, texels, w, h, filter, key);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
