// mesh_normals.cpp - D3DXComputeNormals: each vertex normal is the normalised sum of the normals of
// the faces using the vertex, each weighted by the face's angle at that vertex.
//
// A face's normal is norm((v1 - v0) x (v2 - v0)), its front side under the clockwise winding of
// the shapes; faces without area add nothing, and a vertex that gets nothing keeps a zero normal.
// With adjacency, vertices that it joins (the same point split for a seam) share one sum. The mesh
// needs a FLOAT3 NORMAL element and a position; the normals are written into its vertex buffer.
#include "platform/d3dx9/mesh.h"
#include "platform/d3dx9/mesh_object.h"

#include <cmath>
#include <cstring>
#include <new>

namespace {

// The angle between two edges leaving a corner, 0 when either has no length.
double corner_angle(const D3DXVECTOR3& corner, const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    const double u[3] = {double(a.x) - corner.x, double(a.y) - corner.y, double(a.z) - corner.z};
    const double w[3] = {double(b.x) - corner.x, double(b.y) - corner.y, double(b.z) - corner.z};
    const double lengths =
        std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]) * std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
    if (!(lengths > 0.0)) return 0.0;
    const double c = (u[0] * w[0] + u[1] * w[1] + u[2] * w[2]) / lengths;
    return std::acos(std::fmax(-1.0, std::fmin(1.0, c)));
}

HRESULT compute_normals(d3dx_mesh& mesh, const DWORD* adjacency) {
    const D3DVERTEXELEMENT9* normal = d3dx_mesh_find_element(mesh.layout(), D3DDECLUSAGE_NORMAL, 0);
    if (normal == nullptr || normal->Type != D3DDECLTYPE_FLOAT3) return D3DERR_INVALIDCALL;
    std::vector<D3DXVECTOR3> positions;
    std::vector<uint32_t> indices, representative;
    std::vector<uint8_t> bytes;
    if (!mesh.read_positions(&positions) || !mesh.read_indices(&indices) || !mesh.read_vertices(&bytes)) {
        return D3DERR_INVALIDCALL;
    }
    const size_t vertices = positions.size();
    if (adjacency != nullptr) {
        if (!d3dx_point_representatives_from_adjacency(indices, adjacency, vertices, &representative)) {
            return D3DERR_INVALIDCALL;
        }
    } else {
        representative.resize(vertices);
        for (uint32_t v = 0; v < vertices; ++v) representative[v] = v;
    }
    std::vector<double> sums(3 * vertices, 0.0);
    for (size_t f = 0; f < indices.size() / 3; ++f) {
        const uint32_t* c = &indices[3 * f];
        const D3DXVECTOR3 &p0 = positions[c[0]], &p1 = positions[c[1]], &p2 = positions[c[2]];
        const double e1[3] = {double(p1.x) - p0.x, double(p1.y) - p0.y, double(p1.z) - p0.z};
        const double e2[3] = {double(p2.x) - p0.x, double(p2.y) - p0.y, double(p2.z) - p0.z};
        double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (!(length > 0.0) || !std::isfinite(length)) continue;
        const double angles[3] = {corner_angle(p0, p1, p2), corner_angle(p1, p2, p0), corner_angle(p2, p0, p1)};
        for (int k = 0; k < 3; ++k) {
            double* sum = &sums[3 * size_t(representative[c[k]])];
            for (int axis = 0; axis < 3; ++axis) sum[axis] += n[axis] / length * angles[k];
        }
    }
    for (size_t v = 0; v < vertices; ++v) {
        const double* sum = &sums[3 * size_t(representative[v])];
        const double length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
        float out[3] = {0.0f, 0.0f, 0.0f};
        if (length > 0.0) {
            for (int axis = 0; axis < 3; ++axis) out[axis] = float(sum[axis] / length);
        }
        std::memcpy(&bytes[v * mesh.layout().stride + normal->Offset], out, sizeof out);
    }
    return mesh.write_vertices(bytes) ? D3D_OK : D3DERR_INVALIDCALL;
}

}  // namespace

HRESULT WINAPI D3DXComputeNormals(LPD3DXBASEMESH base, const DWORD* adjacency) {
    d3dx_mesh* mesh = base != nullptr ? d3dx_mesh_cast(base) : nullptr;
    if (mesh == nullptr) return D3DERR_INVALIDCALL;
    try {
        return compute_normals(*mesh, adjacency);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
