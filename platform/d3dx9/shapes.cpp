// shapes.cpp - D3DXCreateBox, D3DXCreateTorus and D3DXCreateTeapot: argument checks around the
// pure generators of shape_geometry.h, then the mesh object. D3DXCreateSphere, D3DXCreateCylinder
// and D3DXCreatePolygon check their arguments and are not available yet; D3DXCreateText is not
// implemented.
//
// Every call sets a non-null *adjacency to null (adjacency is not produced) and *mesh to null
// before anything can fail. Failures: D3DERR_INVALIDCALL for a null device or mesh pointer and for
// parameters the generator rejects (empty geometry), E_OUTOFMEMORY when allocation fails.
#include "platform/d3dx9/mesh.h"
#include "platform/d3dx9/shape_geometry.h"

#include "platform/d3dx9/unavailable.h"

#include <cmath>
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

namespace {

bool usable_size(float size) { return std::isfinite(size) && size > 0.0f; }

// The checks the shapes below will make once they exist: outputs cleared, then
// D3DERR_INVALIDCALL for what cannot describe the shape, else D3DERR_NOTAVAILABLE.
HRESULT shape_unavailable(IDirect3DDevice9* device, ID3DXMesh** mesh, ID3DXBuffer** adjacency, bool valid) {
    d3dx_clear_outputs(mesh, adjacency);
    if (!valid) return D3DERR_INVALIDCALL;
    return d3dx_not_available({device, mesh});
}

}  // namespace

HRESULT WINAPI D3DXCreateSphere(IDirect3DDevice9* device, float radius, UINT slices, UINT stacks, ID3DXMesh** mesh,
                                ID3DXBuffer** adjacency) {
    return shape_unavailable(device, mesh, adjacency, usable_size(radius) && slices >= 3 && stacks >= 2);
}

HRESULT WINAPI D3DXCreateCylinder(IDirect3DDevice9* device, float radius1, float radius2, float length, UINT slices,
                                  UINT stacks, ID3DXMesh** mesh, ID3DXBuffer** adjacency) {
    const bool radii = std::isfinite(radius1) && std::isfinite(radius2) && radius1 >= 0.0f && radius2 >= 0.0f &&
                       (radius1 > 0.0f || radius2 > 0.0f);
    return shape_unavailable(device, mesh, adjacency, radii && usable_size(length) && slices >= 3 && stacks >= 1);
}

HRESULT WINAPI D3DXCreatePolygon(IDirect3DDevice9* device, float length, UINT sides, ID3DXMesh** mesh,
                                 ID3DXBuffer** adjacency) {
    return shape_unavailable(device, mesh, adjacency, usable_size(length) && sides >= 3);
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
