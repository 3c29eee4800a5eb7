// mesh_operations.cpp - D3DXCreateMesh and D3DXCreateMeshFVF: an empty triangle-list mesh (zeroed
// vertices and indices, all attributes 0, no attribute table); zero counts, invalid options or
// layouts, or more than 65535 vertices with 16-bit indices fail with D3DERR_INVALIDCALL. The
// mesh-editing calls not available yet (see unavailable.h): cleaning, welding, loading from memory
// and saving.
#include "platform/d3dx9/mesh_object.h"
#include "platform/d3dx9/unavailable.h"

#include <new>

namespace {

HRESULT create_empty(DWORD faces, DWORD vertices, DWORD options, const d3dx_mesh_layout* layout,
                     IDirect3DDevice9* device, ID3DXMesh** mesh) {
    if (mesh == nullptr) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (layout == nullptr || device == nullptr || faces == 0 || vertices == 0) return D3DERR_INVALIDCALL;
    d3dx_mesh* made = nullptr;
    const HRESULT hr = d3dx_mesh::create(device, options, *layout, faces, vertices, nullptr, &made);
    *mesh = made;
    return hr;
}

}  // namespace

HRESULT WINAPI D3DXCreateMesh(DWORD faces, DWORD vertices, DWORD options, const D3DVERTEXELEMENT9* declaration,
                              LPDIRECT3DDEVICE9 device, LPD3DXMESH* mesh) {
    try {
        d3dx_mesh_layout layout;
        const bool valid = d3dx_mesh_layout_from_declaration(declaration, &layout);
        return create_empty(faces, vertices, options, valid ? &layout : nullptr, device, mesh);
    } catch (const std::bad_alloc&) {
        d3dx_clear_outputs(mesh);
        return E_OUTOFMEMORY;
    }
}

HRESULT WINAPI D3DXCreateMeshFVF(DWORD faces, DWORD vertices, DWORD options, DWORD fvf, LPDIRECT3DDEVICE9 device,
                                 LPD3DXMESH* mesh) {
    try {
        d3dx_mesh_layout layout;
        const bool valid = d3dx_mesh_layout_from_fvf(fvf, &layout);
        return create_empty(faces, vertices, options, valid ? &layout : nullptr, device, mesh);
    } catch (const std::bad_alloc&) {
        d3dx_clear_outputs(mesh);
        return E_OUTOFMEMORY;
    }
}

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
