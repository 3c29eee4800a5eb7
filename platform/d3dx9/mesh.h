// mesh.h - creation of the D3DX mesh object from plain geometry (shared by the shape generators
// and the .x loader).
#pragma once

#include <d3dx9.h>

#include "platform/d3dx9/mesh_data.h"

#include <vector>

// Wraps `geometry` in a mesh drawn through `device` (which the mesh keeps a reference to) that
// reports `options` (D3DXMESH_*) from GetOptions. Fails
// with D3DERR_INVALIDCALL, leaving *mesh null, when the geometry is inconsistent: no device, stream
// sizes that differ from the vertex count, an index count that is not 3 per attribute, or an index
// out of range.
HRESULT d3dx_create_mesh(IDirect3DDevice9* device, d3dx_mesh_data&& geometry, DWORD options, ID3DXMesh** mesh);

// The geometry of a mesh made by d3dx_create_mesh, its triangles sorted by attribute id (stable);
// an empty geometry for null or any other mesh.
const d3dx_mesh_data& d3dx_mesh_geometry(ID3DXBaseMesh* mesh);

// The flexible-vertex-format bits describing the streams that `geometry` has.
DWORD d3dx_mesh_fvf(const d3dx_mesh_data& geometry);

// Three entries per face: the face sharing its edge v0 v1, v1 v2 and v2 v0, or 0xFFFFFFFF;
// vertices within `epsilon` (>= 0) of each other in every coordinate count as one. Throws
// std::bad_alloc.
std::vector<DWORD> d3dx_mesh_adjacency(const d3dx_mesh_data& geometry, float epsilon);
