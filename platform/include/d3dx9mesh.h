// d3dx9mesh.h - the D3DX mesh object, its materials and the .x mesh loader.
#pragma once

#include <d3d9.h>
#include <d3dx9core.h>

#define D3DXMESH_32BIT 0x001
#define D3DXMESH_SYSTEMMEM 0x110
#define D3DXMESH_MANAGED 0x220

struct ID3DXMesh : IUnknown {
    // Draws the triangles whose attribute id is `subset` with the device's current state.
    virtual HRESULT DrawSubset(DWORD subset) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
};

struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    LPSTR pTextureFilename;
};

typedef ID3DXMesh* LPD3DXMESH;

// Loads a DirectX .x file (text, binary or compressed) into one mesh with one subset per
// material. Materials come back as D3DXMATERIAL records in *materials (texture names inside the
// same buffer). Adjacency and effect instances are not produced: pass null. On failure returns a
// non-zero result and leaves every output null.
HRESULT WINAPI D3DXLoadMeshFromXA(LPCSTR filename, DWORD options, IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                  ID3DXBuffer** materials, ID3DXBuffer** effect_instances, DWORD* material_count,
                                  ID3DXMesh** mesh);
