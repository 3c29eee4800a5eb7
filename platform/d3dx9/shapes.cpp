// shapes.cpp - D3DXCreateBox, D3DXCreateTorus, D3DXCreateTeapot, D3DXCreateSphere,
// D3DXCreateCylinder and D3DXCreatePolygon: argument checks around the pure generators of
// shape_geometry.h, then the mesh object. D3DXCreateText is not implemented.
//
// Every call sets *mesh and a non-null *adjacency to null before anything can fail; on success a
// requested *adjacency holds three DWORDs per face (the neighbour across each edge, 0xFFFFFFFF for
// none), as ID3DXBaseMesh::GenerateAdjacency gives them for an epsilon of 0. Failures: D3DERR_INVALIDCALL for a null
// device or mesh pointer and for parameters the generator rejects (empty geometry), E_OUTOFMEMORY when allocation
// fails.
#include "platform/d3dx9/mesh.h"
#include "platform/d3dx9/shape_geometry.h"

#include "platform/d3dx9/unavailable.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

// The adjacency of a new mesh in a buffer of its own.
HRESULT make_adjacency(ID3DXMesh* mesh, ID3DXBuffer** adjacency) {
    const std::vector<DWORD> faces = d3dx_mesh_adjacency(d3dx_mesh_geometry(mesh), 0.0f);
    ID3DXBuffer* buffer = nullptr;
    const HRESULT made = D3DXCreateBuffer(DWORD(faces.size() * sizeof(DWORD)), &buffer);
    if (FAILED(made)) return made;
    std::memcpy(buffer->GetBufferPointer(), faces.data(), faces.size() * sizeof(DWORD));
    *adjacency = buffer;
    return D3D_OK;
}

template <class Generate>
HRESULT create_shape(IDirect3DDevice9* device, ID3DXMesh** mesh, ID3DXBuffer** adjacency, Generate generate) {
    if (adjacency != nullptr) *adjacency = nullptr;
    if (mesh == nullptr) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (device == nullptr) return D3DERR_INVALIDCALL;
    try {
        d3dx_mesh_data geometry = generate();
        if (geometry.positions.empty()) return D3DERR_INVALIDCALL;
        const HRESULT created = d3dx_create_mesh(device, std::move(geometry), D3DXMESH_MANAGED, mesh);
        if (FAILED(created) || adjacency == nullptr) return created;
        const HRESULT adjacent = make_adjacency(*mesh, adjacency);
        if (FAILED(adjacent)) {
            (*mesh)->Release();
            *mesh = nullptr;
        }
        return adjacent;
    } catch (const std::bad_alloc&) {
        if (*mesh != nullptr) (*mesh)->Release();
        *mesh = nullptr;
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

HRESULT WINAPI D3DXCreateSphere(IDirect3DDevice9* device, float radius, UINT slices, UINT stacks, ID3DXMesh** mesh,
                                ID3DXBuffer** adjacency) {
    return create_shape(device, mesh, adjacency, [=] { return d3dx_sphere_geometry(radius, slices, stacks); });
}

HRESULT WINAPI D3DXCreateCylinder(IDirect3DDevice9* device, float radius1, float radius2, float length, UINT slices,
                                  UINT stacks, ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    return create_shape(device, mesh, adjacency,
                        [=] { return d3dx_cylinder_geometry(radius1, radius2, length, slices, stacks); });
}

HRESULT WINAPI D3DXCreatePolygon(IDirect3DDevice9* device, float length, UINT sides, ID3DXMesh** mesh,
                                 ID3DXBuffer** adjacency) {
    return create_shape(device, mesh, adjacency, [=] { return d3dx_polygon_geometry(length, sides); });
}

// 3-D text needs GDI fonts, which this platform does not have.
HRESULT WINAPI D3DXCreateTextA(IDirect3DDevice9*, HDC, LPCSTR, float, float, ID3DXMesh** mesh, ID3DXBuffer** adjacency,
                               LPGLYPHMETRICSFLOAT) {
    d3dx_clear_outputs(mesh, adjacency);
    return E_NOTIMPL;
}

HRESULT WINAPI D3DXCreateTextW(IDirect3DDevice9*, HDC, LPCWSTR, float, float, ID3DXMesh** mesh, ID3DXBuffer** adjacency,
                               LPGLYPHMETRICSFLOAT) {
    d3dx_clear_outputs(mesh, adjacency);
    return E_NOTIMPL;
}
