// mesh.cpp - ID3DXMesh: plain geometry plus, per subset, the triangles drawn by DrawSubset.
//
// At creation the triangles are put into subset order (stable, so each subset keeps the creation
// order of its triangles: the mesh comes back attribute-sorted, and face numbers - in picking,
// adjacency and the attribute table - count in that order) and each subset's range is recorded; DrawSubset then hands
// one contiguous index range to the device, and GetAttributeTable reports the ranges. Nothing is allocated per draw.
//
// The geometry lives in plain arrays, which picking, bounds and adjacency read, and is copied once
// into a vertex buffer (the FVF's interleaved layout) and an index buffer (16-bit indices when
// every index fits and the mesh was not asked for 32-bit ones) of the device, through which
// DrawSubset draws like any program: SetFVF, SetStreamSource, SetIndices, DrawIndexedPrimitive.
// The buffer, lock, clone, optimise, point-representative and semantics methods return
// D3DERR_INVALIDCALL with their outputs null.
#include "platform/d3d9/com_object.h"
#include "platform/d3dx9/mesh.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <numeric>

namespace {

struct subset_range {
    uint32_t attribute;
    uint32_t first_triangle;
    uint32_t triangle_count;
    uint32_t first_vertex;
    uint32_t last_vertex;
};

template <class... Outputs>
HRESULT unavailable(Outputs*... outputs) {
    ((outputs != nullptr ? (void)(*outputs = nullptr) : (void)0), ...);
    return D3DERR_INVALIDCALL;
}

class d3dx_mesh final : public com_object<ID3DXMesh> {
public:
    d3dx_mesh(IDirect3DDevice9* device, d3dx_mesh_data&& geometry, DWORD options)
        : device_(device), geometry_(std::move(geometry)), options_(options) {
        device_->AddRef();
        build_subsets();
    }
    HRESULT DrawSubset(DWORD subset) override;
    DWORD GetNumFaces() override { return static_cast<DWORD>(geometry_.attributes.size()); }
    DWORD GetNumVertices() override { return static_cast<DWORD>(geometry_.positions.size()); }
    DWORD GetFVF() override { return d3dx_mesh_fvf(geometry_); }
    HRESULT GetDeclaration(D3DVERTEXELEMENT9* declaration) override {
        if (declaration == nullptr) return D3DERR_INVALIDCALL;
        return D3DXDeclaratorFromFVF(GetFVF(), declaration);
    }
    DWORD GetNumBytesPerVertex() override { return D3DXGetFVFVertexSize(GetFVF()); }
    DWORD GetOptions() override { return options_; }
    HRESULT GetDevice(IDirect3DDevice9** device) override {
        if (device == nullptr) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *device = device_;
        return D3D_OK;
    }
    HRESULT CloneMeshFVF(DWORD, DWORD, IDirect3DDevice9*, ID3DXMesh** clone) override { return unavailable(clone); }
    HRESULT CloneMesh(DWORD, const D3DVERTEXELEMENT9*, IDirect3DDevice9*, ID3DXMesh** clone) override {
        return unavailable(clone);
    }
    HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** buffer) override { return unavailable(buffer); }
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** buffer) override { return unavailable(buffer); }
    HRESULT LockVertexBuffer(DWORD, void** data) override { return unavailable(data); }
    HRESULT UnlockVertexBuffer() override { return D3DERR_INVALIDCALL; }
    HRESULT LockIndexBuffer(DWORD, void** data) override { return unavailable(data); }
    HRESULT UnlockIndexBuffer() override { return D3DERR_INVALIDCALL; }
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override;
    HRESULT ConvertPointRepsToAdjacency(const DWORD*, DWORD*) override { return D3DERR_INVALIDCALL; }
    HRESULT ConvertAdjacencyToPointReps(const DWORD*, DWORD*) override { return D3DERR_INVALIDCALL; }
    HRESULT GenerateAdjacency(FLOAT epsilon, DWORD* adjacency) override;
    HRESULT UpdateSemantics(D3DVERTEXELEMENT9*) override { return D3DERR_INVALIDCALL; }
    HRESULT LockAttributeBuffer(DWORD, DWORD** data) override { return unavailable(data); }
    HRESULT UnlockAttributeBuffer() override { return D3DERR_INVALIDCALL; }
    HRESULT Optimize(DWORD, const DWORD*, DWORD*, DWORD*, ID3DXBuffer** vertex_remap, ID3DXMesh** optimised) override {
        return unavailable(vertex_remap, optimised);
    }
    HRESULT OptimizeInplace(DWORD, const DWORD*, DWORD*, DWORD*, ID3DXBuffer** vertex_remap) override {
        return unavailable(vertex_remap);
    }
    HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE*, DWORD) override { return D3DERR_INVALIDCALL; }
    const d3dx_mesh_data& geometry() const { return geometry_; }
    HRESULT create_buffers();

private:
    ~d3dx_mesh() override {
        if (vertex_buffer_ != nullptr) vertex_buffer_->Release();
        if (index_buffer_ != nullptr) index_buffer_->Release();
        device_->Release();
    }
    void build_subsets();

    IDirect3DDevice9* device_;
    d3dx_mesh_data geometry_;
    DWORD options_;
    std::vector<subset_range> subsets_;
    IDirect3DVertexBuffer9* vertex_buffer_ = nullptr;
    IDirect3DIndexBuffer9* index_buffer_ = nullptr;
    UINT stride_ = 0;
};

// Copies the geometry into the device's buffers.
HRESULT d3dx_mesh::create_buffers() {
    const DWORD fvf = GetFVF();
    stride_ = D3DXGetFVFVertexSize(fvf);
    const size_t vertices = geometry_.positions.size(), indices = geometry_.indices.size();
    if (vertices == 0 || indices == 0) return D3D_OK;  // nothing to draw
    const bool wide = (options_ & D3DXMESH_32BIT) != 0 || vertices > 0x10000;
    const size_t index_size = wide ? 4 : 2;
    if (vertices > UINT_MAX / stride_ || indices > UINT_MAX / index_size) return D3DERR_INVALIDCALL;
    HRESULT hr = device_->CreateVertexBuffer(UINT(vertices * stride_), D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED,
                                             &vertex_buffer_, nullptr);
    if (FAILED(hr)) return hr;
    hr = device_->CreateIndexBuffer(UINT(indices * index_size), D3DUSAGE_WRITEONLY,
                                    wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16, D3DPOOL_MANAGED, &index_buffer_, nullptr);
    if (FAILED(hr)) return hr;
    void* data = nullptr;
    if (FAILED(hr = vertex_buffer_->Lock(0, 0, &data, 0))) return hr;
    auto* out = static_cast<unsigned char*>(data);
    for (size_t v = 0; v < vertices; ++v) {
        const auto put = [&out](const void* field, size_t size) {
            std::memcpy(out, field, size);
            out += size;
        };
        put(&geometry_.positions[v], sizeof(D3DVECTOR));
        if (!geometry_.normals.empty()) put(&geometry_.normals[v], sizeof(D3DVECTOR));
        if (!geometry_.diffuse.empty()) put(&geometry_.diffuse[v], sizeof(D3DCOLOR));
        if (!geometry_.texcoords.empty()) put(&geometry_.texcoords[2 * v], 2 * sizeof(float));
    }
    vertex_buffer_->Unlock();
    if (FAILED(hr = index_buffer_->Lock(0, 0, &data, 0))) return hr;
    if (wide) {
        std::memcpy(data, geometry_.indices.data(), indices * 4);
    } else {
        auto* narrow = static_cast<uint16_t*>(data);
        for (size_t i = 0; i < indices; ++i) narrow[i] = uint16_t(geometry_.indices[i]);
    }
    index_buffer_->Unlock();
    return D3D_OK;
}

void d3dx_mesh::build_subsets() {
    const size_t triangles = geometry_.attributes.size();
    std::vector<uint32_t> order(triangles);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [this](uint32_t a, uint32_t b) { return geometry_.attributes[a] < geometry_.attributes[b]; });
    std::vector<uint32_t> sorted_indices, sorted_attributes;
    sorted_indices.reserve(triangles * 3);
    sorted_attributes.reserve(triangles);
    for (size_t k = 0; k < triangles; ++k) {
        const uint32_t t = order[k];
        const uint32_t attribute = geometry_.attributes[t];
        if (subsets_.empty() || subsets_.back().attribute != attribute) {
            subsets_.push_back({attribute, static_cast<uint32_t>(k), 0, UINT32_MAX, 0});
        }
        subset_range& range = subsets_.back();
        ++range.triangle_count;
        for (int corner = 0; corner < 3; ++corner) {
            range.first_vertex = std::min(range.first_vertex, geometry_.indices[3 * t + corner]);
            range.last_vertex = std::max(range.last_vertex, geometry_.indices[3 * t + corner]);
        }
        sorted_indices.insert(sorted_indices.end(), &geometry_.indices[3 * t], &geometry_.indices[3 * t] + 3);
        sorted_attributes.push_back(attribute);
    }
    geometry_.indices.swap(sorted_indices);
    geometry_.attributes.swap(sorted_attributes);
}

HRESULT d3dx_mesh::DrawSubset(DWORD subset) {
    const auto range = std::find_if(subsets_.begin(), subsets_.end(),
                                    [subset](const subset_range& r) { return r.attribute == subset; });
    if (range == subsets_.end()) return D3D_OK;  // a subset without triangles draws nothing
    HRESULT hr = device_->SetFVF(GetFVF());
    if (SUCCEEDED(hr)) hr = device_->SetStreamSource(0, vertex_buffer_, 0, stride_);
    if (SUCCEEDED(hr)) hr = device_->SetIndices(index_buffer_);
    if (FAILED(hr)) return hr;
    return device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, range->first_vertex,
                                         range->last_vertex - range->first_vertex + 1, 3 * range->first_triangle,
                                         range->triangle_count);
}

HRESULT d3dx_mesh::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) {
    if (size == nullptr) return D3DERR_INVALIDCALL;
    if (table != nullptr) {
        for (size_t i = 0; i < subsets_.size(); ++i) {
            const subset_range& r = subsets_[i];
            table[i] = {r.attribute, r.first_triangle, r.triangle_count, r.first_vertex,
                        r.last_vertex - r.first_vertex + 1};
        }
    }
    *size = static_cast<DWORD>(subsets_.size());
    return D3D_OK;
}

HRESULT d3dx_mesh::GenerateAdjacency(FLOAT epsilon, DWORD* adjacency) {
    if (adjacency == nullptr || !(epsilon >= 0.0f) || !std::isfinite(epsilon)) return D3DERR_INVALIDCALL;
    try {
        const std::vector<DWORD> result = d3dx_mesh_adjacency(geometry_, epsilon);
        std::copy(result.begin(), result.end(), adjacency);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

bool geometry_is_consistent(const d3dx_mesh_data& g) {
    const size_t vertices = g.positions.size();
    if (vertices > UINT32_MAX) return false;
    if (!g.normals.empty() && g.normals.size() != vertices) return false;
    if (!g.diffuse.empty() && g.diffuse.size() != vertices) return false;
    if (!g.texcoords.empty() && g.texcoords.size() != 2 * vertices) return false;
    if (g.indices.size() != 3 * g.attributes.size()) return false;
    return std::all_of(g.indices.begin(), g.indices.end(), [vertices](uint32_t i) { return i < vertices; });
}

}  // namespace

const d3dx_mesh_data& d3dx_mesh_geometry(ID3DXBaseMesh* mesh) {
    static const d3dx_mesh_data empty;
    const auto* ours = dynamic_cast<const d3dx_mesh*>(mesh);
    return ours != nullptr ? ours->geometry() : empty;
}

DWORD d3dx_mesh_fvf(const d3dx_mesh_data& geometry) {
    DWORD fvf = D3DFVF_XYZ;
    if (!geometry.normals.empty()) fvf |= D3DFVF_NORMAL;
    if (!geometry.diffuse.empty()) fvf |= D3DFVF_DIFFUSE;
    if (!geometry.texcoords.empty()) fvf |= D3DFVF_TEX1;
    return fvf;
}

HRESULT d3dx_create_mesh(IDirect3DDevice9* device, d3dx_mesh_data&& geometry, DWORD options, ID3DXMesh** mesh) {
    if (mesh == nullptr) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (device == nullptr || !geometry_is_consistent(geometry)) return D3DERR_INVALIDCALL;
    d3dx_mesh* made = nullptr;
    try {
        made = new d3dx_mesh(device, std::move(geometry), options);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (const HRESULT hr = made->create_buffers(); FAILED(hr)) {
        made->Release();
        return hr;
    }
    *mesh = made;
    return D3D_OK;
}
