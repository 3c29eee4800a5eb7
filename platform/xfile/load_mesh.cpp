// load_mesh.cpp - placeholder until the .x loader lands.
#include <d3dx9.h>

HRESULT WINAPI D3DXLoadMeshFromXA(LPCSTR, DWORD, IDirect3DDevice9*, ID3DXBuffer**, ID3DXBuffer**, ID3DXBuffer**,
                                  DWORD*, ID3DXMesh**) {
    return E_FAIL;
}
