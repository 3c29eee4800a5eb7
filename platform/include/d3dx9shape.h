// d3dx9shape.h - procedural meshes: box, torus and teapot.
#pragma once

#include <d3dx9mesh.h>

// Procedural meshes (position + normal, one subset). Adjacency is not produced: a non-null
// *adjacency is set to null. Null device or mesh pointer, and sizes that cannot describe the shape
// (NaN, infinite, zero or negative; fewer than 3 sides or rings; more than 65,535 vertices), fail
// with D3DERR_INVALIDCALL and leave *mesh null.
HRESULT WINAPI D3DXCreateBox(IDirect3DDevice9* device, float width, float height, float depth, ID3DXMesh** mesh,
                             ID3DXBuffer** adjacency);
HRESULT WINAPI D3DXCreateTorus(IDirect3DDevice9* device, float inner_radius, float outer_radius, UINT sides, UINT rings,
                               ID3DXMesh** mesh, ID3DXBuffer** adjacency);
HRESULT WINAPI D3DXCreateTeapot(IDirect3DDevice9* device, ID3DXMesh** mesh, ID3DXBuffer** adjacency);
