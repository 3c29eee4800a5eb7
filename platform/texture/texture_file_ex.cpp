// texture_file_ex.cpp - D3DXCreateTextureFromFileExA/W, D3DXCreateTextureFromFileInMemory and
// ...InMemoryEx: a file decoded (texture_decode.h), colour-keyed, resized and written into a new
// texture of the requested shape.
//
// Sizes: 0 or D3DX_DEFAULT round the file's size up to powers of two, D3DX_DEFAULT_NONPOW2 and
// D3DX_FROM_FILE keep it, any other value is taken as given; then D3DXCheckTextureRequirements
// applies the device's limits (a size D3DX_FROM_FILE asks for that the device cannot make fails
// with D3DERR_INVALIDCALL). Mip levels 0 or D3DX_DEFAULT: the complete chain; D3DX_FROM_FILE: the
// file's count. Format D3DFMT_UNKNOWN: A8R8G8B8 when the image has alpha or a colour key is given,
// else X8R8G8B8; D3DFMT_FROM_FILE: the file's layout; a block-compressed or unsupported format
// (requested or from the file) is replaced by A8R8G8B8. The colour key is applied to the decoded
// image before resizing. *info receives the file's information.
//
// Failures create nothing and leave *texture null: D3DERR_INVALIDCALL (null device, data, size or
// output, a filter value that names no filter), D3DXERR_INVALIDDATA (no usable image),
// E_OUTOFMEMORY, or the device's own failure.
#include "platform/d3d9/texture_format.h"
#include "platform/texture/texture_decode.h"
#include "platform/texture/texture_file.h"
#include "platform/texture/texture_image_info.h"
#include "platform/texture/texture_levels.h"
#include "platform/texture/texture_resample.h"
#include "platform/win32/win_text.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

UINT texture_pow2_at_least(UINT side) {
    UINT p = 1;
    while (p < side) p <<= 1;
    return p;
}

UINT texture_side(UINT requested, UINT from_file) {
    if (requested == 0 || requested == D3DX_DEFAULT) return texture_pow2_at_least(from_file);
    if (requested == D3DX_DEFAULT_NONPOW2 || requested == D3DX_FROM_FILE) return from_file;
    return requested;
}

D3DFORMAT texture_format_for(D3DFORMAT requested, const D3DXIMAGE_INFO& info, bool alpha) {
    D3DFORMAT format = requested == D3DFMT_FROM_FILE ? info.Format : requested;
    if (format == D3DFMT_UNKNOWN || d3d9_format_is_dxt(format) || !d3d9_texture_format(format)) {
        format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    }
    return format;
}

HRESULT texture_from_memory(IDirect3DDevice9* device, const unsigned char* data, size_t size, UINT width, UINT height,
                            UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mip_filter,
                            D3DCOLOR key, D3DXIMAGE_INFO* info_out, IDirect3DTexture9** out) {
    const DWORD kind = texture_filter_kind(filter, D3DX_FILTER_TRIANGLE);
    const DWORD mip_kind = texture_filter_kind(mip_filter, D3DX_FILTER_BOX);
    if (kind == 0 || mip_kind == 0) return D3DERR_INVALIDCALL;

    d3d9_texture_image image;
    texture_error error;
    if (!texture_decode(data, size, &image, &error)) return error.result;
    const D3DXIMAGE_INFO info = texture_image_info(data, size, image);
    texture_apply_colour_key(image.texels.data(), image.texels.size(), key);
    const bool alpha =
        key != 0 || std::any_of(image.texels.begin(), image.texels.end(), [](uint32_t t) { return (t >> 24) != 0xFF; });

    UINT w = texture_side(width, info.Width), h = texture_side(height, info.Height);
    UINT count = levels == D3DX_FROM_FILE ? info.MipLevels : levels;
    D3DFORMAT chosen = texture_format_for(format, info, alpha);
    const UINT asked_w = w, asked_h = h;
    HRESULT result = D3DXCheckTextureRequirements(device, &w, &h, &count, usage, &chosen, pool);
    if (FAILED(result)) return result;
    if ((width == D3DX_FROM_FILE && w != asked_w) || (height == D3DX_FROM_FILE && h != asked_h)) {
        return D3DERR_INVALIDCALL;
    }

    std::vector<uint32_t> top(size_t(w) * h);
    texture_resample(image.texels.data(), image.width, image.height, image.width, top.data(), w, h, kind);
    IDirect3DTexture9* texture = nullptr;
    result = device->CreateTexture(w, h, count, usage, chosen, pool, &texture, nullptr);
    if (FAILED(result)) return result;
    try {
        result = texture_write_levels(texture, top, mip_kind);
    } catch (...) {
        texture->Release();
        throw;
    }
    if (FAILED(result)) {
        texture->Release();
        return result;
    }
    if (info_out != nullptr) *info_out = info;
    *out = texture;
    return D3D_OK;
}

}  // namespace

HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 device, LPCVOID data, UINT size, UINT width,
                                                   UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                                   D3DPOOL pool, DWORD filter, DWORD mip_filter, D3DCOLOR key,
                                                   D3DXIMAGE_INFO* info, PALETTEENTRY*, LPDIRECT3DTEXTURE9* texture) {
    if (texture != nullptr) *texture = nullptr;
    if (device == nullptr || data == nullptr || size == 0 || texture == nullptr) return D3DERR_INVALIDCALL;
    try {
        return texture_from_memory(device, static_cast<const unsigned char*>(data), size, width, height, levels, usage,
                                   format, pool, filter, mip_filter, key, info, texture);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXCreateTextureFromFileInMemory(LPDIRECT3DDEVICE9 device, LPCVOID data, UINT size,
                                                 LPDIRECT3DTEXTURE9* texture) {
    return D3DXCreateTextureFromFileInMemoryEx(device, data, size, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                               D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                               nullptr, texture);
}

HRESULT WINAPI D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 device, LPCSTR file, UINT width, UINT height, UINT levels,
                                            DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mip_filter,
                                            D3DCOLOR key, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                            LPDIRECT3DTEXTURE9* texture) {
    if (texture != nullptr) *texture = nullptr;
    if (device == nullptr || file == nullptr || texture == nullptr) return D3DERR_INVALIDCALL;
    try {
        std::vector<unsigned char> bytes;
        texture_error error;
        if (!texture_file_bytes(file, bytes, &error)) return error.result;
        return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), width, height, levels,
                                                   usage, format, pool, filter, mip_filter, key, info, palette,
                                                   texture);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXCreateTextureFromFileExW(LPDIRECT3DDEVICE9 device, LPCWSTR file, UINT width, UINT height,
                                            UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                            DWORD mip_filter, D3DCOLOR key, D3DXIMAGE_INFO* info, PALETTEENTRY* palette,
                                            LPDIRECT3DTEXTURE9* texture) {
    if (texture != nullptr) *texture = nullptr;
    if (file == nullptr) return D3DERR_INVALIDCALL;
    try {
        return D3DXCreateTextureFromFileExA(device, win_utf8_from_wide(file).c_str(), width, height, levels, usage,
                                            format, pool, filter, mip_filter, key, info, palette, texture);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
