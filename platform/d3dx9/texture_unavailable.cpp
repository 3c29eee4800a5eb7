// texture_unavailable.cpp - the D3DX texture, surface and volume calls that are not available yet
// (see unavailable.h): resource and cube/volume loaders, volume filling. The file loaders, image
// information, surface loading and saving, empty textures, filtering and filling live in
// platform/texture.
#include "platform/d3dx9/unavailable.h"

HRESULT WINAPI D3DXGetImageInfoFromResourceA(HMODULE, LPCSTR resource, D3DXIMAGE_INFO* info) {
    return d3dx_not_available({resource, info});
}
HRESULT WINAPI D3DXGetImageInfoFromResourceW(HMODULE, LPCWSTR resource, D3DXIMAGE_INFO* info) {
    return d3dx_not_available({resource, info});
}

HRESULT WINAPI D3DXLoadSurfaceFromResourceA(IDirect3DSurface9* surface, const PALETTEENTRY*, const RECT*, HMODULE,
                                            LPCSTR resource, const RECT*, DWORD, D3DCOLOR, D3DXIMAGE_INFO*) {
    return d3dx_not_available({surface, resource});
}
HRESULT WINAPI D3DXLoadSurfaceFromResourceW(IDirect3DSurface9* surface, const PALETTEENTRY*, const RECT*, HMODULE,
                                            LPCWSTR resource, const RECT*, DWORD, D3DCOLOR, D3DXIMAGE_INFO*) {
    return d3dx_not_available({surface, resource});
}

HRESULT WINAPI D3DXCreateCubeTexture(LPDIRECT3DDEVICE9 device, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                     IDirect3DCubeTexture9** texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, texture});
}
HRESULT WINAPI D3DXCreateVolumeTexture(LPDIRECT3DDEVICE9 device, UINT, UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                       IDirect3DVolumeTexture9** texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, texture});
}

HRESULT WINAPI D3DXCreateTextureFromResourceA(LPDIRECT3DDEVICE9 device, HMODULE, LPCSTR resource,
                                              LPDIRECT3DTEXTURE9* texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, resource, texture});
}
HRESULT WINAPI D3DXCreateTextureFromResourceW(LPDIRECT3DDEVICE9 device, HMODULE, LPCWSTR resource,
                                              LPDIRECT3DTEXTURE9* texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, resource, texture});
}
HRESULT WINAPI D3DXCreateTextureFromResourceExA(LPDIRECT3DDEVICE9 device, HMODULE, LPCSTR resource, UINT, UINT, UINT,
                                                DWORD, D3DFORMAT, D3DPOOL, DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*,
                                                PALETTEENTRY*, LPDIRECT3DTEXTURE9* texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, resource, texture});
}
HRESULT WINAPI D3DXCreateTextureFromResourceExW(LPDIRECT3DDEVICE9 device, HMODULE, LPCWSTR resource, UINT, UINT, UINT,
                                                DWORD, D3DFORMAT, D3DPOOL, DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*,
                                                PALETTEENTRY*, LPDIRECT3DTEXTURE9* texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, resource, texture});
}

HRESULT WINAPI D3DXCreateCubeTextureFromFileA(LPDIRECT3DDEVICE9 device, LPCSTR file, IDirect3DCubeTexture9** texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, file, texture});
}
HRESULT WINAPI D3DXCreateCubeTextureFromFileW(LPDIRECT3DDEVICE9 device, LPCWSTR file, IDirect3DCubeTexture9** texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, file, texture});
}
HRESULT WINAPI D3DXCreateCubeTextureFromFileExA(LPDIRECT3DDEVICE9 device, LPCSTR file, UINT, UINT, DWORD, D3DFORMAT,
                                                D3DPOOL, DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*, PALETTEENTRY*,
                                                IDirect3DCubeTexture9** texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, file, texture});
}
HRESULT WINAPI D3DXCreateCubeTextureFromFileExW(LPDIRECT3DDEVICE9 device, LPCWSTR file, UINT, UINT, DWORD, D3DFORMAT,
                                                D3DPOOL, DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*, PALETTEENTRY*,
                                                IDirect3DCubeTexture9** texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, file, texture});
}
HRESULT WINAPI D3DXCreateCubeTextureFromFileInMemory(LPDIRECT3DDEVICE9 device, LPCVOID data, UINT,
                                                     IDirect3DCubeTexture9** texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, data, texture});
}
HRESULT WINAPI D3DXCreateVolumeTextureFromFileA(LPDIRECT3DDEVICE9 device, LPCSTR file,
                                                IDirect3DVolumeTexture9** texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, file, texture});
}
HRESULT WINAPI D3DXCreateVolumeTextureFromFileW(LPDIRECT3DDEVICE9 device, LPCWSTR file,
                                                IDirect3DVolumeTexture9** texture) {
    d3dx_clear_outputs(texture);
    return d3dx_not_available({device, file, texture});
}

HRESULT WINAPI D3DXFillVolumeTexture(IDirect3DVolumeTexture9* texture, LPD3DXFILL3D function, LPVOID) {
    return d3dx_not_available({texture, reinterpret_cast<const void*>(function)});
}
