// mesh.cpp - ID3DXMesh: plain geometry plus, per subset, the triangles drawn by DrawSubset.
//
// At creation the triangle indices are copied into subset order (stable, so each subset keeps the
// creation order of its triangles) and each subset's range is recorded; DrawSubset then hands one
// contiguous index range to the device. Nothing is allocated per draw.
#include "platform/d3d9/device_draw.h"
#include "platform/d3d9/com_object.h"
#include "platform/d3dx9/mesh.h"

#include <algorithm>
#include <new>
#include <numeric>

namespace {

struct subset_range {
    uint32_t attribute;
    uint32_t first_triangle;
    uint32_t triangle_count;
};

class d3dx_mesh final : public com_object<ID3DXMesh> {
public:
    d3dx_mesh(IDirect3DDevice9* device, d3dx_mesh_data&& geometry) : device_(device), geometry_(std::move(geometry)) {
        device_->AddRef();
        build_subsets();
    }
    HRESULT DrawSubset(DWORD subset) override;
    DWORD GetNumFaces() override { return static_cast<DWORD>(geometry_.attributes.size()); }
    DWORD GetNumVertices() override { return static_cast<DWORD>(geometry_.positions.size()); }
    DWORD GetFVF() override { return d3dx_mesh_fvf(geometry_); }
    const d3dx_mesh_data& geometry() const { return geometry_; }

private:
    ~d3dx_mesh() override { device_->Release(); }
    void build_subsets();

    IDirect3DDevice9* device_;
    d3dx_mesh_data geometry_;
    std::vector<UINT> sorted_indices_;
    std::vector<subset_range> subsets_;
};

void d3dx_mesh::build_subsets() {
    const size_t triangles = geometry_.attributes.size();
    std::vector<uint32_t> order(triangles);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [this](uint32_t a, uint32_t b) { return geometry_.attributes[a] < geometry_.attributes[b]; });
    sorted_indices_.reserve(triangles * 3);
    for (size_t k = 0; k < triangles; ++k) {
        const uint32_t t = order[k];
        const uint32_t attribute = geometry_.attributes[t];
        if (subsets_.empty() || subsets_.back().attribute != attribute) {
            subsets_.push_back({attribute, static_cast<uint32_t>(k), 0});
        }
        ++subsets_.back().triangle_count;
        sorted_indices_.insert(sorted_indices_.end(), &geometry_.indices[3 * t], &geometry_.indices[3 * t] + 3);
    }
}

HRESULT d3dx_mesh::DrawSubset(DWORD subset) {
    const auto range = std::find_if(subsets_.begin(), subsets_.end(),
                                    [subset](const subset_range& r) { return r.attribute == subset; });
    if (range == subsets_.end()) return D3D_OK;  // a subset without triangles draws nothing
    d3d9_vertex_streams streams{};
    streams.positions = geometry_.positions.data();
    streams.normals = geometry_.normals.empty() ? nullptr : geometry_.normals.data();
    streams.diffuse = geometry_.diffuse.empty() ? nullptr : geometry_.diffuse.data();
    streams.texcoords = geometry_.texcoords.empty() ? nullptr : geometry_.texcoords.data();
    streams.vertex_count = static_cast<UINT>(geometry_.positions.size());
    return d3d9_draw_indexed_triangles(device_, streams, sorted_indices_.data() + 3 * size_t(range->first_triangle),
                                       range->triangle_count);
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

const d3dx_mesh_data& d3dx_mesh_geometry(ID3DXMesh* mesh) {
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

HRESULT d3dx_create_mesh(IDirect3DDevice9* device, d3dx_mesh_data&& geometry, ID3DXMesh** mesh) {
    if (mesh == nullptr) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    if (device == nullptr || !geometry_is_consistent(geometry)) return D3DERR_INVALIDCALL;
    try {
        *mesh = new d3dx_mesh(device, std::move(geometry));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}
