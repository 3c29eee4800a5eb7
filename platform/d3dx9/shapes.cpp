// shapes.cpp - D3DXCreateBox, D3DXCreateTorus, D3DXCreateTeapot, D3DXCreateSphere,
// D3DXCreateCylinder and D3DXCreatePolygon: argument checks around the pure generators of
// shape_geometry.h, then the mesh object. D3DXCreateText is not implemented.
//
// Every call sets a non-null *adjacency to null (adjacency is not produced) and *mesh to null
// before anything can fail. Failures: D3DERR_INVALIDCALL for a null device or mesh pointer and for
// parameters the generator rejects (empty geometry), E_OUTOFMEMORY when allocation fails.
#include "platform/d3dx9/mesh.h"
#include "platform/d3dx9/shape_geometry.h"

#include "platform/d3dx9/unavailable.h"

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
        return d3dx_create_mesh(device, std::move(geometry), D3DXMESH_MANAGED, mesh);
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
