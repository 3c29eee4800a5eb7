// mesh_data.h - the geometry of a D3DX mesh as plain data, shared by the shape generators, the .x
// loader, the mesh object and the tools and tests that inspect meshes.
#pragma once

#include <d3d9.h>

#include <cstdint>
#include <vector>

// One entry per vertex in each stream that is present (normals, diffuse and texcoords may be
// empty), three indices per triangle, and one subset (attribute) id per triangle. Triangles are
// kept in their creation order.
struct d3dx_mesh_data {
    std::vector<D3DVECTOR> positions;
    std::vector<D3DVECTOR> normals;
    std::vector<D3DCOLOR> diffuse;
    std::vector<float> texcoords;      // (u, v) per vertex
    std::vector<uint32_t> indices;     // 3 per triangle
    std::vector<uint32_t> attributes;  // 1 per triangle
};
