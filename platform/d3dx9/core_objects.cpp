// core_objects.cpp - the version check, and the creation calls of lines and render-to-surface
// objects, which are not available yet (see unavailable.h). Fonts: font.cpp; sprites: sprite.cpp.
#include "platform/d3dx9/unavailable.h"

BOOL WINAPI D3DXCheckVersion(UINT d3d_sdk_version, UINT d3dx_sdk_version) {
    return d3d_sdk_version == D3D_SDK_VERSION && d3dx_sdk_version == D3DX_SDK_VERSION;
}

HRESULT WINAPI D3DXCreateLine(LPDIRECT3DDEVICE9 device, LPD3DXLINE* line) {
    d3dx_clear_outputs(line);
    return d3dx_not_available({device, line});
}

HRESULT WINAPI D3DXCreateRenderToSurface(LPDIRECT3DDEVICE9 device, UINT, UINT, D3DFORMAT, BOOL, D3DFORMAT,
                                         LPD3DXRENDERTOSURFACE* render_to_surface) {
    d3dx_clear_outputs(render_to_surface);
    return d3dx_not_available({device, render_to_surface});
}
