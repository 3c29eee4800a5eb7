// shapes.cpp - D3DXCreateBox, D3DXCreateTorus and D3DXCreateTeapot: argument checks around the
// pure generators of shape_geometry.h, then the mesh object.
//
// Every call sets a non-null *adjacency to null (adjacency is not produced) and *mesh to null
// before anything can fail. Failures: D3DERR_INVALIDCALL for a null device or mesh pointer and for
// parameters the generator rejects (empty geometry), E_OUTOFMEMORY when allocation fails.
#include "platform/d3dx9/mesh.h"
#include "platform/d3dx9/shape_geometry.h"

#include <new>

namespace {

template <class Generate>
HRESULT create_shape(IDirect3DDevice9* device, ID3DXMesh** mesh, ID3DXBuffer** adjacency, Generate generate) {
    if (adjacency != nullptr) *adjacency = nullptr;
    if (mesh == nullptr) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (device == nullptr) return D3DERR_INVALIDCALL;
    try {
        d3dx_mesh_data geometry = generate();
        if (geometry.positions.empty()) return D3DERR_INVALIDCALL;
        return d3dx_create_mesh(device, std::move(geometry), mesh);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace

HRESULT WINAPI D3DXCreateBox(IDirect3DDevice9* device, float width, float height, float depth, ID3DXMesh** mesh,
                             ID3DXBuffer** adjacency) {
    return create_shape(device, mesh, adjacency, [=] { return d3dx_box_geometry(width, height, depth); });
}

HRESULT WINAPI D3DXCreateTorus(IDirect3DDevice9* device, float inner_radius, float outer_radius, UINT sides, UINT rings,
                               ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    return create_shape(device, mesh, adjacency,
                        [=] { return d3dx_torus_geometry(inner_radius, outer_radius, sides, rings); });
}

HRESULT WINAPI D3DXCreateTeapot(IDirect3DDevice9* device, ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    return create_shape(device, mesh, adjacency, [] { return d3dx_teapot_geometry(); });
}
