// texture_get_image_info.cpp - D3DXGetImageInfoFromFileA/W and D3DXGetImageInfoFromFileInMemory:
// the file is decoded in full (so that a broken file fails with D3DXERR_INVALIDDATA, as loading it
// would) and described by texture_image_info. D3DERR_INVALIDCALL for a null name, data or output or
// a size of 0; *info is written only on success.
#include "platform/texture/texture_decode.h"
#include "platform/texture/texture_file.h"
#include "platform/texture/texture_image_info.h"
#include "platform/win32/win_text.h"

#include <new>
#include <vector>

HRESULT WINAPI D3DXGetImageInfoFromFileInMemory(LPCVOID data, UINT size, D3DXIMAGE_INFO* info) {
    if (data == nullptr || size == 0 || info == nullptr) return D3DERR_INVALIDCALL;
    try {
        const auto* bytes = static_cast<const unsigned char*>(data);
        d3d9_texture_image image;
        texture_error error;
        if (!texture_decode(bytes, size, &image, &error)) return error.result;
        *info = texture_image_info(bytes, size, image);
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR file, D3DXIMAGE_INFO* info) {
    if (file == nullptr || info == nullptr) return D3DERR_INVALIDCALL;
    try {
        std::vector<unsigned char> bytes;
        texture_error error;
        if (!texture_file_bytes(file, bytes, &error)) return error.result;
        return D3DXGetImageInfoFromFileInMemory(bytes.data(), UINT(bytes.size()), info);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXGetImageInfoFromFileW(LPCWSTR file, D3DXIMAGE_INFO* info) {
    if (file == nullptr || info == nullptr) return D3DERR_INVALIDCALL;
    try {
        return D3DXGetImageInfoFromFileA(win_utf8_from_wide(file).c_str(), info);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
