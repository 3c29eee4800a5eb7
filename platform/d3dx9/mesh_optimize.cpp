// mesh_optimize.cpp - ID3DXMesh::Optimize and OptimizeInplace.
//
// ATTRSORT (and VERTEXCACHE and STRIPREORDER, which imply it and reorder nothing more) sorts the
// faces by attribute id, stably, and renumbers the vertices in the order the sorted faces first
// use them, so each subset's vertices are contiguous: a vertex used by several subsets is split
// into one copy per subset, unless DONOTSPLIT (then it stays with the first subset that uses it)
// or IGNOREVERTS (then the vertices keep their order). The attribute table gets one entry per id,
// ascending. COMPACT drops faces with two equal indices and vertices no face uses; without it,
// unused vertices follow the used ones in their old order.
//
// Outputs: the face remap (new face -> old face, then 0xFFFFFFFF for each dropped face), the
// vertex remap buffer (new vertex -> old vertex, one DWORD per new vertex), and the adjacency of
// the result: the input adjacency renumbered when given, else generated with an epsilon of 0.
// Nothing is written unless everything succeeds; OptimizeInplace refuses a mesh a program holds
// locked.
#include "platform/d3dx9/mesh.h"
#include "platform/d3dx9/mesh_object.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <numeric>

namespace {

constexpr DWORD sort_flags = D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_STRIPREORDER;
constexpr DWORD optimise_flags =
    sort_flags | D3DXMESHOPT_COMPACT | D3DXMESHOPT_IGNOREVERTS | D3DXMESHOPT_DONOTSPLIT | D3DXMESHOPT_DEVICEINDEPENDENT;
constexpr DWORD none = 0xFFFFFFFF;

struct plan {
    std::vector<uint32_t> faces;     // new face -> old face
    std::vector<uint32_t> vertices;  // new vertex -> old vertex
    std::vector<uint32_t> indices;   // of the new faces, in new vertex numbers
};

plan make_plan(DWORD flags, const std::vector<uint32_t>& indices, const std::vector<DWORD>& attributes,
               size_t vertex_count) {
    plan p;
    const size_t faces = attributes.size();
    p.faces.resize(faces);
    std::iota(p.faces.begin(), p.faces.end(), 0u);
    const bool sort = (flags & sort_flags) != 0, compact = (flags & D3DXMESHOPT_COMPACT) != 0;
    if (sort) {
        std::stable_sort(p.faces.begin(), p.faces.end(),
                         [&attributes](uint32_t a, uint32_t b) { return attributes[a] < attributes[b]; });
    }
    if (compact) {
        std::erase_if(p.faces, [&indices](uint32_t f) {
            const uint32_t* c = &indices[3 * size_t(f)];
            return c[0] == c[1] || c[1] == c[2] || c[2] == c[0];
        });
    }
    if ((flags & D3DXMESHOPT_IGNOREVERTS) != 0) {
        p.vertices.resize(vertex_count);
        std::iota(p.vertices.begin(), p.vertices.end(), 0u);
        for (uint32_t f : p.faces)
            p.indices.insert(p.indices.end(), &indices[3 * size_t(f)], &indices[3 * size_t(f)] + 3);
        return p;
    }
    // copy_of[v] is the new number of v's copy in subset seen_in[v] (its only copy without
    // splitting).
    const bool split = sort && (flags & D3DXMESHOPT_DONOTSPLIT) == 0;
    std::vector<uint32_t> copy_of(vertex_count, none), seen_in(vertex_count, none);
    uint32_t subset = 0;
    p.indices.reserve(3 * p.faces.size());
    for (size_t k = 0; k < p.faces.size(); ++k) {
        if (k > 0 && attributes[p.faces[k]] != attributes[p.faces[k - 1]]) ++subset;
        for (int corner = 0; corner < 3; ++corner) {
            const uint32_t v = indices[3 * size_t(p.faces[k]) + corner];
            if (copy_of[v] == none || (split && seen_in[v] != subset)) {
                copy_of[v] = uint32_t(p.vertices.size());
                seen_in[v] = subset;
                p.vertices.push_back(v);
            }
            p.indices.push_back(copy_of[v]);
        }
    }
    if (!sort) {  // COMPACT alone keeps the old order of the vertices it keeps
        std::sort(p.vertices.begin(), p.vertices.end());
        for (uint32_t n = 0; n < p.vertices.size(); ++n) copy_of[p.vertices[n]] = n;
        for (size_t i = 0; i < p.indices.size(); ++i)
            p.indices[i] = copy_of[indices[3 * size_t(p.faces[i / 3]) + i % 3]];
    }
    if (!compact) {
        for (uint32_t v = 0; v < vertex_count; ++v) {
            if (copy_of[v] == none) p.vertices.push_back(v);
        }
    }
    return p;
}

HRESULT optimise(d3dx_mesh& source, DWORD flags, DWORD options, const DWORD* adjacency_in, DWORD* adjacency_out,
                 DWORD* face_remap, ID3DXBuffer** vertex_remap, d3dx_mesh** result) {
    const DWORD old_faces = source.GetNumFaces();
    if ((flags & ~optimise_flags) != 0 || (flags & (sort_flags | D3DXMESHOPT_COMPACT)) == 0 ||
        (flags & D3DXMESHOPT_VERTEXCACHE && flags & D3DXMESHOPT_STRIPREORDER)) {
        return D3DERR_INVALIDCALL;
    }
    if (adjacency_in != nullptr) {
        for (size_t i = 0; i < 3 * size_t(old_faces); ++i) {
            if (adjacency_in[i] != none && adjacency_in[i] >= old_faces) return D3DERR_INVALIDCALL;
        }
    }
    std::vector<uint32_t> indices;
    std::vector<uint8_t> from;
    if (!source.read_indices(&indices) || !source.read_vertices(&from)) return D3DERR_INVALIDCALL;
    const plan p = make_plan(flags, indices, source.attributes(), source.GetNumVertices());
    if (p.faces.empty() || p.vertices.empty()) return D3DERR_INVALIDCALL;

    std::vector<DWORD> adjacency;
    if (adjacency_out != nullptr) {
        if (adjacency_in != nullptr) {
            std::vector<uint32_t> new_face(old_faces, none);
            for (uint32_t n = 0; n < p.faces.size(); ++n) new_face[p.faces[n]] = n;
            adjacency.reserve(3 * p.faces.size());
            for (uint32_t f : p.faces) {
                for (int e = 0; e < 3; ++e) {
                    const DWORD old = adjacency_in[3 * size_t(f) + e];
                    adjacency.push_back(old == none ? none : new_face[old]);
                }
            }
        } else {
            std::vector<D3DXVECTOR3> positions;
            if (!source.read_positions(&positions)) return D3DERR_INVALIDCALL;
            std::vector<D3DVECTOR> points(p.vertices.size());
            for (size_t n = 0; n < p.vertices.size(); ++n) points[n] = positions[p.vertices[n]];
            adjacency = d3dx_adjacency_from_representatives(d3dx_point_representatives(points, 0.0f), p.indices);
        }
    }
    d3dx_mesh* made = nullptr;
    HRESULT hr = d3dx_mesh::create(source.device(), options, source.layout(), DWORD(p.faces.size()),
                                   DWORD(p.vertices.size()), nullptr, &made);
    if (FAILED(hr)) return hr;
    const UINT stride = source.layout().stride;
    std::vector<uint8_t> to(p.vertices.size() * stride);
    for (size_t n = 0; n < p.vertices.size(); ++n) {
        std::memcpy(&to[n * stride], &from[size_t(p.vertices[n]) * stride], stride);
    }
    for (size_t n = 0; n < p.faces.size(); ++n) made->attributes()[n] = source.attributes()[p.faces[n]];
    if ((flags & sort_flags) != 0) made->build_attribute_table(p.indices);
    ID3DXBuffer* remap = nullptr;
    if (vertex_remap != nullptr) hr = D3DXCreateBuffer(DWORD(p.vertices.size() * sizeof(DWORD)), &remap);
    if (SUCCEEDED(hr) && (!made->write_vertices(to) || !made->write_indices(p.indices))) hr = D3DERR_INVALIDCALL;
    if (FAILED(hr)) {
        if (remap != nullptr) remap->Release();
        made->Release();
        return hr;
    }
    if (remap != nullptr) {
        std::memcpy(remap->GetBufferPointer(), p.vertices.data(), p.vertices.size() * sizeof(DWORD));
        *vertex_remap = remap;
    }
    if (adjacency_out != nullptr) std::copy(adjacency.begin(), adjacency.end(), adjacency_out);
    if (face_remap != nullptr) {
        std::copy(p.faces.begin(), p.faces.end(), face_remap);
        std::fill(face_remap + p.faces.size(), face_remap + old_faces, none);
    }
    *result = made;
    return D3D_OK;
}

}  // namespace

// Flags carry the new mesh's D3DXMESH_ options in their low bits; its index size stays the
// source's.
HRESULT d3dx_mesh::Optimize(DWORD flags, const DWORD* adjacency_in, DWORD* adjacency_out, DWORD* face_remap,
                            ID3DXBuffer** vertex_remap, ID3DXMesh** optimised) {
    if (vertex_remap != nullptr) *vertex_remap = nullptr;
    if (optimised == nullptr) return D3DERR_INVALIDCALL;
    *optimised = nullptr;
    constexpr DWORD option_bits = 0x1FFFF;
    const DWORD options = (flags & option_bits & ~DWORD(D3DXMESH_32BIT)) | (GetOptions() & D3DXMESH_32BIT);
    try {
        d3dx_mesh* made = nullptr;
        const HRESULT hr = optimise(*this, flags & ~option_bits, options, adjacency_in, adjacency_out, face_remap,
                                    vertex_remap, &made);
        *optimised = made;
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT d3dx_mesh::OptimizeInplace(DWORD flags, const DWORD* adjacency_in, DWORD* adjacency_out, DWORD* face_remap,
                                   ID3DXBuffer** vertex_remap) {
    if (vertex_remap != nullptr) *vertex_remap = nullptr;
    if (locked()) return D3DERR_INVALIDCALL;
    try {
        d3dx_mesh* made = nullptr;
        const HRESULT hr =
            optimise(*this, flags, GetOptions(), adjacency_in, adjacency_out, face_remap, vertex_remap, &made);
        if (FAILED(hr)) return hr;
        swap_contents(*made);
        made->Release();
        return D3D_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
