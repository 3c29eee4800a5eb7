// mesh_operations.cpp - the D3DX mesh calls that need vertex and index buffers or mesh editing,
// which are not available yet (see unavailable.h): empty meshes, normals, cleaning, welding,
// loading from memory and saving.
#include "platform/d3dx9/unavailable.h"

HRESULT WINAPI D3DXCreateMesh(DWORD, DWORD vertices, DWORD options, const D3DVERTEXELEMENT9* declaration,
                              LPDIRECT3DDEVICE9 device, LPD3DXMESH* mesh) {
    d3dx_clear_outputs(mesh);
    if ((options & D3DXMESH_32BIT) == 0 && vertices > 0xFFFF) return D3DERR_INVALIDCALL;
    return d3dx_not_available({declaration, device, mesh});
}

HRESULT WINAPI D3DXCreateMeshFVF(DWORD, DWORD vertices, DWORD options, DWORD fvf, LPDIRECT3DDEVICE9 device,
                                 LPD3DXMESH* mesh) {
    d3dx_clear_outputs(mesh);
    if ((options & D3DXMESH_32BIT) == 0 && vertices > 0xFFFF) return D3DERR_INVALIDCALL;
    if (D3DXGetFVFVertexSize(fvf) == 0) return D3DERR_INVALIDCALL;
    return d3dx_not_available({device, mesh});
}

HRESULT WINAPI D3DXComputeNormals(LPD3DXBASEMESH mesh, const DWORD*) { return d3dx_not_available({mesh}); }

HRESULT WINAPI D3DXCleanMesh(D3DXCLEANTYPE, LPD3DXMESH mesh_in, const DWORD* adjacency_in, LPD3DXMESH* mesh_out, DWORD*,
                             LPD3DXBUFFER* errors) {
    d3dx_clear_outputs(mesh_out, errors);
    return d3dx_not_available({mesh_in, adjacency_in, mesh_out});
}

HRESULT WINAPI D3DXWeldVertices(LPD3DXMESH mesh, DWORD, const D3DXWELDEPSILONS*, const DWORD*, DWORD*, DWORD*,
                                LPD3DXBUFFER* vertex_remap) {
    d3dx_clear_outputs(vertex_remap);
    return d3dx_not_available({mesh});
}

HRESULT WINAPI D3DXLoadMeshFromXInMemory(LPCVOID memory, DWORD, DWORD, LPDIRECT3DDEVICE9 device,
                                         LPD3DXBUFFER* adjacency, LPD3DXBUFFER* materials,
                                         LPD3DXBUFFER* effect_instances, DWORD* material_count, LPD3DXMESH* mesh) {
    d3dx_clear_outputs(adjacency, materials, effect_instances, mesh);
    if (material_count != nullptr) *material_count = 0;
    return d3dx_not_available({memory, device, mesh});
}

HRESULT WINAPI D3DXSaveMeshToXA(LPCSTR file, LPD3DXMESH mesh, const DWORD*, const D3DXMATERIAL*,
                                const D3DXEFFECTINSTANCE*, DWORD, DWORD) {
    return d3dx_not_available({file, mesh});
}

HRESULT WINAPI D3DXSaveMeshToXW(LPCWSTR file, LPD3DXMESH mesh, const DWORD*, const D3DXMATERIAL*,
                                const D3DXEFFECTINSTANCE*, DWORD, DWORD) {
    return d3dx_not_available({file, mesh});
}
