// mesh.h - creation of the D3DX mesh object from plain geometry (shared by the shape generators
// and the .x loader), the geometry read back from a mesh, and face adjacency.
#pragma once

#include <d3dx9.h>

#include "platform/d3dx9/mesh_data.h"

#include <vector>

// Wraps `geometry` in a mesh drawn through `device` (which the mesh keeps a reference to) that
// reports `options` (D3DXMESH_*) from GetOptions, D3DXMESH_32BIT added when there are more than
// 65535 vertices. The triangles are put into subset order (stable) and the attribute table is
// built. Fails with D3DERR_INVALIDCALL, leaving *mesh null, when the geometry is inconsistent: no
// device, invalid options, stream sizes that differ from the vertex count, an index count that
// is not 3 per attribute, or an index out of range.
HRESULT d3dx_create_mesh(IDirect3DDevice9* device, d3dx_mesh_data&& geometry, DWORD options, ID3DXMesh** mesh);

// The geometry a mesh made here holds now, read from its buffers: the POSITION, NORMAL, COLOR and
// TEXCOORD (two floats) elements of index 0 that its layout has, its indices and attributes. An
// empty geometry for null or any other mesh. Throws std::bad_alloc.
d3dx_mesh_data d3dx_mesh_geometry(ID3DXBaseMesh* mesh);

// The flexible-vertex-format bits describing the streams that `geometry` has.
DWORD d3dx_mesh_fvf(const d3dx_mesh_data& geometry);

// For each vertex the first earlier vertex within `epsilon` (>= 0) of it in every coordinate, or
// itself. Throws std::bad_alloc.
std::vector<uint32_t> d3dx_point_representatives(const std::vector<D3DVECTOR>& positions, float epsilon);

// Three entries per face (3 indices each): the face sharing its edge v0 v1, v1 v2 and v2 v0, or
// 0xFFFFFFFF, where vertices with the same representative count as one. Throws std::bad_alloc.
std::vector<DWORD> d3dx_adjacency_from_representatives(const std::vector<uint32_t>& representative,
                                                       const std::vector<uint32_t>& indices);

// d3dx_adjacency_from_representatives over the representatives within `epsilon`.
std::vector<DWORD> d3dx_mesh_adjacency(const d3dx_mesh_data& geometry, float epsilon);

// For each of `vertex_count` vertices the lowest-numbered vertex that adjacency makes the same
// point (the corners of a shared edge), or itself. False, with nothing written, when an entry
// names a face beyond the face count. Throws std::bad_alloc.
bool d3dx_point_representatives_from_adjacency(const std::vector<uint32_t>& indices, const DWORD* adjacency,
                                               size_t vertex_count, std::vector<uint32_t>* representative);
