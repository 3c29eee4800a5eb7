// shapes.cpp - placeholder until the procedural meshes land.
#include <d3dx9.h>

HRESULT WINAPI D3DXCreateBox(IDirect3DDevice9*, float, float, float, ID3DXMesh**, ID3DXBuffer**) { return E_FAIL; }
HRESULT WINAPI D3DXCreateTorus(IDirect3DDevice9*, float, float, UINT, UINT, ID3DXMesh**, ID3DXBuffer**) {
    return E_FAIL;
}
HRESULT WINAPI D3DXCreateTeapot(IDirect3DDevice9*, ID3DXMesh**, ID3DXBuffer**) { return E_FAIL; }
