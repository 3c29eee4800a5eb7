// device_unsupported.cpp - the device methods whose features the renderer does not offer yet:
// resources made by the program (cube and volume textures, shaders, queries), palettes, patches
// and additional swap chains.
//
// Each fails with D3DERR_INVALIDCALL (CreateQuery: D3DERR_NOTAVAILABLE, the documented answer for
// a query type the device lacks), sets its output pointers to null and changes nothing. The few
// settings that merely restate what the device does (no N-patches) succeed.
#include "platform/d3d9/device.h"

namespace {

template <typename T>
HRESULT refuse(T** output) {
    if (output != nullptr) *output = nullptr;
    return D3DERR_INVALIDCALL;
}

}  // namespace

HRESULT d3d9_device::CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS*, IDirect3DSwapChain9** swap_chain) {
    return refuse(swap_chain);
}

HRESULT d3d9_device::GetSwapChain(UINT, IDirect3DSwapChain9** swap_chain) { return refuse(swap_chain); }

HRESULT d3d9_device::SetDialogBoxMode(BOOL) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::CreateVolumeTexture(UINT, UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                         IDirect3DVolumeTexture9** texture, HANDLE*) {
    return refuse(texture);
}

HRESULT d3d9_device::CreateCubeTexture(UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DCubeTexture9** texture,
                                       HANDLE*) {
    return refuse(texture);
}

HRESULT d3d9_device::SetClipStatus(const D3DCLIPSTATUS9*) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::GetClipStatus(D3DCLIPSTATUS9*) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::SetPaletteEntries(UINT, const PALETTEENTRY*) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::GetPaletteEntries(UINT, PALETTEENTRY*) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::SetCurrentTexturePalette(UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::GetCurrentTexturePalette(UINT*) { return D3DERR_INVALIDCALL; }

// Fewer than one segment turns N-patches off, which they are.
HRESULT d3d9_device::SetNPatchMode(float segments) { return segments < 1.0f ? D3D_OK : D3DERR_INVALIDCALL; }

float d3d9_device::GetNPatchMode() { return 0.0f; }

HRESULT d3d9_device::ProcessVertices(UINT, UINT, UINT, IDirect3DVertexBuffer9*, IDirect3DVertexDeclaration9*, DWORD) {
    return D3DERR_INVALIDCALL;
}

HRESULT d3d9_device::CreateVertexShader(const DWORD*, IDirect3DVertexShader9** shader) { return refuse(shader); }

HRESULT d3d9_device::SetVertexShaderConstantF(UINT, const float*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::GetVertexShaderConstantF(UINT, float*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::SetVertexShaderConstantI(UINT, const int*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::GetVertexShaderConstantI(UINT, int*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::SetVertexShaderConstantB(UINT, const BOOL*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::GetVertexShaderConstantB(UINT, BOOL*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::CreatePixelShader(const DWORD*, IDirect3DPixelShader9** shader) { return refuse(shader); }

HRESULT d3d9_device::SetPixelShaderConstantF(UINT, const float*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::GetPixelShaderConstantF(UINT, float*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::SetPixelShaderConstantI(UINT, const int*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::GetPixelShaderConstantI(UINT, int*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::SetPixelShaderConstantB(UINT, const BOOL*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::GetPixelShaderConstantB(UINT, BOOL*, UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::DrawRectPatch(UINT, const float*, const D3DRECTPATCH_INFO*) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::DrawTriPatch(UINT, const float*, const D3DTRIPATCH_INFO*) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::DeletePatch(UINT) { return D3DERR_INVALIDCALL; }

HRESULT d3d9_device::CreateQuery(D3DQUERYTYPE, IDirect3DQuery9** query) {
    if (query != nullptr) *query = nullptr;
    return D3DERR_NOTAVAILABLE;
}
