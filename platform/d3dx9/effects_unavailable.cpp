// effects_unavailable.cpp - the shader compiler, effect and .x file object calls, none of which
// is available (see unavailable.h).
#include "platform/d3dx9/unavailable.h"

HRESULT WINAPI D3DXCompileShaderFromFileA(LPCSTR file, const D3DXMACRO*, LPD3DXINCLUDE, LPCSTR, LPCSTR, DWORD,
                                          LPD3DXBUFFER* shader, LPD3DXBUFFER* errors, LPD3DXCONSTANTTABLE* constants) {
    d3dx_clear_outputs(shader, errors, constants);
    return d3dx_not_available({file, shader});
}

HRESULT WINAPI D3DXCompileShaderFromFileW(LPCWSTR file, const D3DXMACRO*, LPD3DXINCLUDE, LPCSTR, LPCSTR, DWORD,
                                          LPD3DXBUFFER* shader, LPD3DXBUFFER* errors, LPD3DXCONSTANTTABLE* constants) {
    d3dx_clear_outputs(shader, errors, constants);
    return d3dx_not_available({file, shader});
}

HRESULT WINAPI D3DXAssembleShaderFromFileA(LPCSTR file, const D3DXMACRO*, LPD3DXINCLUDE, DWORD, LPD3DXBUFFER* shader,
                                           LPD3DXBUFFER* errors) {
    d3dx_clear_outputs(shader, errors);
    return d3dx_not_available({file, shader});
}

HRESULT WINAPI D3DXAssembleShaderFromFileW(LPCWSTR file, const D3DXMACRO*, LPD3DXINCLUDE, DWORD, LPD3DXBUFFER* shader,
                                           LPD3DXBUFFER* errors) {
    d3dx_clear_outputs(shader, errors);
    return d3dx_not_available({file, shader});
}

HRESULT WINAPI D3DXCreateEffectFromFileA(LPDIRECT3DDEVICE9 device, LPCSTR file, const D3DXMACRO*, LPD3DXINCLUDE, DWORD,
                                         LPD3DXEFFECTPOOL, LPD3DXEFFECT* effect, LPD3DXBUFFER* errors) {
    d3dx_clear_outputs(effect, errors);
    return d3dx_not_available({device, file, effect});
}

HRESULT WINAPI D3DXCreateEffectFromFileW(LPDIRECT3DDEVICE9 device, LPCWSTR file, const D3DXMACRO*, LPD3DXINCLUDE, DWORD,
                                         LPD3DXEFFECTPOOL, LPD3DXEFFECT* effect, LPD3DXBUFFER* errors) {
    d3dx_clear_outputs(effect, errors);
    return d3dx_not_available({device, file, effect});
}

HRESULT WINAPI D3DXFileCreate(ID3DXFile** file) {
    d3dx_clear_outputs(file);
    return d3dx_not_available({file});
}

HRESULT WINAPI D3DXLoadMeshHierarchyFromXA(LPCSTR file, DWORD, LPDIRECT3DDEVICE9 device,
                                           LPD3DXALLOCATEHIERARCHY allocator, LPD3DXLOADUSERDATA, LPD3DXFRAME* frames,
                                           LPD3DXANIMATIONCONTROLLER* animation) {
    d3dx_clear_outputs(frames, animation);
    return d3dx_not_available({file, device, allocator, frames});
}

HRESULT WINAPI D3DXLoadMeshHierarchyFromXW(LPCWSTR file, DWORD, LPDIRECT3DDEVICE9 device,
                                           LPD3DXALLOCATEHIERARCHY allocator, LPD3DXLOADUSERDATA, LPD3DXFRAME* frames,
                                           LPD3DXANIMATIONCONTROLLER* animation) {
    d3dx_clear_outputs(frames, animation);
    return d3dx_not_available({file, device, allocator, frames});
}
