// mesh.cpp - ID3DXMesh: a vertex buffer and an index buffer of the device, the attribute buffer and
// the attribute table; DrawSubset, the locks, the table and the adjacency methods.
//
// DrawSubset hands the device the mesh's buffers like any program (SetFVF or
// SetVertexDeclaration, SetStreamSource, SetIndices, DrawIndexedPrimitive). With an attribute
// table it draws the table's ranges of the subset; without one (a mesh from D3DXCreateMesh before
// it is optimised) it scans the attribute buffer and draws each run of consecutive faces of the
// subset. The table is the program's promise about the buffers: writes through
// LockAttributeBuffer take effect in DrawSubset once OptimizeInplace or SetAttributeTable updates
// the table. Nothing is allocated per draw.
//
// Locks taken through the mesh nest, as the device's buffer locks do: each needs its Unlock, and
// an Unlock without a Lock fails. The index buffer may hold any value a program writes; whatever
// reads indices here refuses a mesh whose indices reach past its vertices.
#include "platform/d3dx9/mesh.h"
#include "platform/d3dx9/mesh_object.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <numeric>

namespace {

constexpr DWORD lock_flags =
    D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK | D3DLOCK_NOOVERWRITE | D3DLOCK_DISCARD | D3DLOCK_DONOTWAIT;

D3DPOOL pool_of(DWORD options, DWORD system_memory, DWORD managed) {
    if ((options & system_memory) != 0) return D3DPOOL_SYSTEMMEM;
    return (options & managed) != 0 ? D3DPOOL_MANAGED : D3DPOOL_DEFAULT;
}

DWORD usage_of(DWORD options, DWORD write_only, DWORD dynamic, DWORD software) {
    DWORD usage = 0;
    if ((options & write_only) != 0) usage |= D3DUSAGE_WRITEONLY;
    if ((options & dynamic) != 0) usage |= D3DUSAGE_DYNAMIC;
    if ((options & software) != 0) usage |= D3DUSAGE_SOFTWAREPROCESSING;
    if ((options & D3DXMESH_DONOTCLIP) != 0) usage |= D3DUSAGE_DONOTCLIP;
    if ((options & D3DXMESH_POINTS) != 0) usage |= D3DUSAGE_POINTS;
    if ((options & D3DXMESH_RTPATCHES) != 0) usage |= D3DUSAGE_RTPATCHES;
    if ((options & D3DXMESH_NPATCHES) != 0) usage |= D3DUSAGE_NPATCHES;
    return usage;
}

// A whole buffer locked for the lifetime of the object; data() is null when there is no buffer or
// the lock failed.
template <class Buffer>
class buffer_lock {
public:
    explicit buffer_lock(Buffer* buffer) : buffer_(buffer) {
        if (buffer_ != nullptr && FAILED(buffer_->Lock(0, 0, &data_, 0))) data_ = nullptr;
    }
    ~buffer_lock() {
        if (data_ != nullptr) buffer_->Unlock();
    }
    buffer_lock(const buffer_lock&) = delete;
    buffer_lock& operator=(const buffer_lock&) = delete;
    uint8_t* data() const { return static_cast<uint8_t*>(data_); }

private:
    Buffer* buffer_;
    void* data_ = nullptr;
};

bool geometry_is_consistent(const d3dx_mesh_data& g) {
    const size_t vertices = g.positions.size();
    if (vertices > UINT32_MAX || g.attributes.size() > UINT32_MAX / 3) return false;
    if (!g.normals.empty() && g.normals.size() != vertices) return false;
    if (!g.diffuse.empty() && g.diffuse.size() != vertices) return false;
    if (!g.texcoords.empty() && g.texcoords.size() != 2 * vertices) return false;
    if (g.indices.size() != 3 * g.attributes.size()) return false;
    return std::all_of(g.indices.begin(), g.indices.end(), [vertices](uint32_t i) { return i < vertices; });
}

// Copies `size` bytes per vertex from `from` into the element of `usage` 0, when the layout has it.
template <class T>
void put_element(const d3dx_mesh_layout& layout, BYTE usage, const std::vector<T>& from, size_t per_vertex,
                 std::vector<uint8_t>& bytes) {
    const D3DVERTEXELEMENT9* e = d3dx_mesh_find_element(layout, usage, 0);
    if (e == nullptr || from.empty()) return;
    for (size_t v = 0; v < from.size() / per_vertex; ++v) {
        std::memcpy(&bytes[v * layout.stride + e->Offset], &from[v * per_vertex], per_vertex * sizeof(T));
    }
}

template <class T>
void get_element(const d3dx_mesh_layout& layout, BYTE usage, BYTE type, const std::vector<uint8_t>& bytes,
                 size_t per_vertex, std::vector<T>& to) {
    const D3DVERTEXELEMENT9* e = d3dx_mesh_find_element(layout, usage, 0);
    if (e == nullptr || e->Type != type) return;
    const size_t vertices = bytes.size() / layout.stride;
    to.resize(vertices * per_vertex);
    for (size_t v = 0; v < vertices; ++v) {
        std::memcpy(&to[v * per_vertex], &bytes[v * layout.stride + e->Offset], per_vertex * sizeof(T));
    }
}

}  // namespace

d3dx_mesh::d3dx_mesh(IDirect3DDevice9* device, DWORD options, const d3dx_mesh_layout& layout)
    : device_(device), options_(options), layout_(layout) {
    device_->AddRef();
}

d3dx_mesh::~d3dx_mesh() {
    if (declaration_ != nullptr) declaration_->Release();
    if (vertex_buffer_ != nullptr) vertex_buffer_->Release();
    if (index_buffer_ != nullptr) index_buffer_->Release();
    device_->Release();
}

HRESULT d3dx_mesh::create(IDirect3DDevice9* device, DWORD options, const d3dx_mesh_layout& layout, DWORD faces,
                          DWORD vertices, IDirect3DVertexBuffer9* shared_vertices, d3dx_mesh** mesh) {
    *mesh = nullptr;
    const DWORD share = shared_vertices != nullptr ? DWORD(D3DXMESH_VB_SHARE) : 0u;
    if (device == nullptr || !d3dx_mesh_options_valid(options & ~share) || layout.stride == 0) {
        return D3DERR_INVALIDCALL;
    }
    const bool wide = (options & D3DXMESH_32BIT) != 0;
    if (!wide && vertices > 0xFFFF) return D3DERR_INVALIDCALL;
    const uint64_t vertex_bytes = uint64_t(vertices) * layout.stride;
    const uint64_t index_bytes = uint64_t(faces) * 3 * (wide ? 4 : 2);
    if (vertex_bytes > UINT_MAX || index_bytes > UINT_MAX) return E_OUTOFMEMORY;
    auto* made = new (std::nothrow) d3dx_mesh(device, options, layout);
    if (made == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = D3D_OK;
    if (layout.fvf == 0) hr = device->CreateVertexDeclaration(layout.elements.data(), &made->declaration_);
    if (SUCCEEDED(hr) && shared_vertices != nullptr) {
        shared_vertices->AddRef();
        made->vertex_buffer_ = shared_vertices;
    } else if (SUCCEEDED(hr) && vertices != 0) {
        hr = device->CreateVertexBuffer(
            UINT(vertex_bytes),
            usage_of(options, D3DXMESH_VB_WRITEONLY, D3DXMESH_VB_DYNAMIC, D3DXMESH_VB_SOFTWAREPROCESSING), layout.fvf,
            pool_of(options, D3DXMESH_VB_SYSTEMMEM, D3DXMESH_VB_MANAGED), &made->vertex_buffer_, nullptr);
    }
    if (SUCCEEDED(hr) && faces != 0) {
        hr = device->CreateIndexBuffer(
            UINT(index_bytes),
            usage_of(options, D3DXMESH_IB_WRITEONLY, D3DXMESH_IB_DYNAMIC, D3DXMESH_IB_SOFTWAREPROCESSING),
            wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16, pool_of(options, D3DXMESH_IB_SYSTEMMEM, D3DXMESH_IB_MANAGED),
            &made->index_buffer_, nullptr);
    }
    if (SUCCEEDED(hr)) {
        try {
            made->attributes_.assign(faces, 0u);
        } catch (const std::bad_alloc&) {
            hr = E_OUTOFMEMORY;
        }
    }
    if (FAILED(hr)) {
        made->Release();
        return hr;
    }
    made->faces_ = faces;
    made->vertices_ = vertices;
    *mesh = made;
    return D3D_OK;
}

HRESULT d3dx_mesh::DrawSubset(DWORD subset) {
    const auto in_table = std::find_if(table_.begin(), table_.end(), [subset](const D3DXATTRIBUTERANGE& r) {
        return r.AttribId == subset && r.FaceCount != 0;
    });
    const auto in_buffer =
        table_.empty() ? std::find(attributes_.begin(), attributes_.end(), subset) : attributes_.end();
    if (in_table == table_.end() && in_buffer == attributes_.end()) return D3D_OK;  // nothing to draw
    HRESULT hr = declaration_ != nullptr ? device_->SetVertexDeclaration(declaration_) : device_->SetFVF(layout_.fvf);
    if (SUCCEEDED(hr)) hr = device_->SetStreamSource(0, vertex_buffer_, 0, layout_.stride);
    if (SUCCEEDED(hr)) hr = device_->SetIndices(index_buffer_);
    for (auto r = in_table; SUCCEEDED(hr) && r != table_.end(); ++r) {
        if (r->AttribId != subset || r->FaceCount == 0) continue;
        hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, r->VertexStart, r->VertexCount, 3 * r->FaceStart,
                                           r->FaceCount);
    }
    for (auto run = in_buffer; SUCCEEDED(hr) && run != attributes_.end();) {
        const auto end = std::find_if(run, attributes_.end(), [subset](DWORD a) { return a != subset; });
        hr = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertices_, UINT(3 * (run - attributes_.begin())),
                                           UINT(end - run));
        run = std::find(end, attributes_.end(), subset);
    }
    return hr;
}

HRESULT d3dx_mesh::GetDeclaration(D3DVERTEXELEMENT9* declaration) {
    if (declaration == nullptr) return D3DERR_INVALIDCALL;
    std::copy(layout_.elements.begin(), layout_.elements.end(), declaration);
    return D3D_OK;
}

HRESULT d3dx_mesh::GetDevice(IDirect3DDevice9** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT d3dx_mesh::GetVertexBuffer(IDirect3DVertexBuffer9** buffer) {
    if (buffer == nullptr) return D3DERR_INVALIDCALL;
    *buffer = vertex_buffer_;
    if (vertex_buffer_ == nullptr) return D3DERR_INVALIDCALL;
    vertex_buffer_->AddRef();
    return D3D_OK;
}

HRESULT d3dx_mesh::GetIndexBuffer(IDirect3DIndexBuffer9** buffer) {
    if (buffer == nullptr) return D3DERR_INVALIDCALL;
    *buffer = index_buffer_;
    if (index_buffer_ == nullptr) return D3DERR_INVALIDCALL;
    index_buffer_->AddRef();
    return D3D_OK;
}

HRESULT d3dx_mesh::LockVertexBuffer(DWORD flags, void** data) {
    if (data == nullptr) return D3DERR_INVALIDCALL;
    *data = nullptr;
    if (vertex_buffer_ == nullptr) return D3DERR_INVALIDCALL;
    const HRESULT hr = vertex_buffer_->Lock(0, 0, data, flags);
    if (SUCCEEDED(hr)) ++vertex_locks_;
    return hr;
}

HRESULT d3dx_mesh::UnlockVertexBuffer() {
    if (vertex_locks_ == 0) return D3DERR_INVALIDCALL;
    --vertex_locks_;
    return vertex_buffer_->Unlock();
}

HRESULT d3dx_mesh::LockIndexBuffer(DWORD flags, void** data) {
    if (data == nullptr) return D3DERR_INVALIDCALL;
    *data = nullptr;
    if (index_buffer_ == nullptr) return D3DERR_INVALIDCALL;
    const HRESULT hr = index_buffer_->Lock(0, 0, data, flags);
    if (SUCCEEDED(hr)) ++index_locks_;
    return hr;
}

HRESULT d3dx_mesh::UnlockIndexBuffer() {
    if (index_locks_ == 0) return D3DERR_INVALIDCALL;
    --index_locks_;
    return index_buffer_->Unlock();
}

HRESULT d3dx_mesh::LockAttributeBuffer(DWORD flags, DWORD** data) {
    if (data == nullptr) return D3DERR_INVALIDCALL;
    *data = nullptr;
    if ((flags & ~lock_flags) != 0 || attributes_.empty()) return D3DERR_INVALIDCALL;
    *data = attributes_.data();
    ++attribute_locks_;
    return D3D_OK;
}

HRESULT d3dx_mesh::UnlockAttributeBuffer() {
    if (attribute_locks_ == 0) return D3DERR_INVALIDCALL;
    --attribute_locks_;
    return D3D_OK;
}

HRESULT d3dx_mesh::GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) {
    if (size == nullptr) return D3DERR_INVALIDCALL;
    if (table != nullptr) std::copy(table_.begin(), table_.end(), table);
    *size = DWORD(table_.size());
    return D3D_OK;
}

HRESULT d3dx_mesh::SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) {
    if (table == nullptr && size != 0) return D3DERR_INVALIDCALL;
    for (DWORD i = 0; i < size; ++i) {
        const D3DXATTRIBUTERANGE& r = table[i];
        if (uint64_t(r.FaceStart) + r.FaceCount > faces_ || uint64_t(r.VertexStart) + r.VertexCount > vertices_) {
            return D3DERR_INVALIDCALL;
        }
    }
    try {
        table_.assign(table, table + size);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

HRESULT d3dx_mesh::GenerateAdjacency(FLOAT epsilon, DWORD* adjacency) {
    if (adjacency == nullptr || !(epsilon >= 0.0f) || !std::isfinite(epsilon)) return D3DERR_INVALIDCALL;
    try {
        std::vector<D3DXVECTOR3> positions;
        std::vector<uint32_t> indices;
        if (!read_positions(&positions) || !read_indices(&indices)) return D3DERR_INVALIDCALL;
        const std::vector<D3DVECTOR> points(positions.begin(), positions.end());
        const std::vector<DWORD> result =
            d3dx_adjacency_from_representatives(d3dx_point_representatives(points, epsilon), indices);
        std::copy(result.begin(), result.end(), adjacency);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

HRESULT d3dx_mesh::ConvertPointRepsToAdjacency(const DWORD* point_reps, DWORD* adjacency) {
    if (adjacency == nullptr) return D3DERR_INVALIDCALL;
    try {
        std::vector<uint32_t> indices, representative(vertices_);
        if (!read_indices(&indices)) return D3DERR_INVALIDCALL;
        for (DWORD v = 0; v < vertices_; ++v) {
            representative[v] = point_reps != nullptr ? point_reps[v] : v;
            if (representative[v] >= vertices_) return D3DERR_INVALIDCALL;
        }
        const std::vector<DWORD> result = d3dx_adjacency_from_representatives(representative, indices);
        std::copy(result.begin(), result.end(), adjacency);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

HRESULT d3dx_mesh::ConvertAdjacencyToPointReps(const DWORD* adjacency, DWORD* point_reps) {
    if (adjacency == nullptr || point_reps == nullptr) return D3DERR_INVALIDCALL;
    try {
        std::vector<uint32_t> indices, representative;
        if (!read_indices(&indices) ||
            !d3dx_point_representatives_from_adjacency(indices, adjacency, vertices_, &representative)) {
            return D3DERR_INVALIDCALL;
        }
        std::copy(representative.begin(), representative.end(), point_reps);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

// The new declaration must describe a vertex of the same size; the data stay as they are.
HRESULT d3dx_mesh::UpdateSemantics(D3DVERTEXELEMENT9* declaration) {
    try {
        d3dx_mesh_layout layout;
        if (!d3dx_mesh_layout_from_declaration(declaration, &layout) || layout.stride != layout_.stride) {
            return D3DERR_INVALIDCALL;
        }
        IDirect3DVertexDeclaration9* object = nullptr;
        if (layout.fvf == 0) {
            const HRESULT hr = device_->CreateVertexDeclaration(layout.elements.data(), &object);
            if (FAILED(hr)) return hr;
        }
        if (declaration_ != nullptr) declaration_->Release();
        declaration_ = object;
        layout_ = std::move(layout);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

bool d3dx_mesh::read_vertices(std::vector<uint8_t>* bytes) {
    const buffer_lock lock(vertex_buffer_);
    if (vertices_ != 0 && lock.data() == nullptr) return false;
    bytes->assign(lock.data(), lock.data() + size_t(vertices_) * layout_.stride);
    return true;
}

bool d3dx_mesh::write_vertices(const std::vector<uint8_t>& bytes) {
    const buffer_lock lock(vertex_buffer_);
    if (vertices_ != 0 && lock.data() == nullptr) return false;
    if (!bytes.empty())
        std::memcpy(lock.data(), bytes.data(), std::min(bytes.size(), size_t(vertices_) * layout_.stride));
    return true;
}

bool d3dx_mesh::read_indices(std::vector<uint32_t>* indices) {
    const buffer_lock lock(index_buffer_);
    if (faces_ != 0 && lock.data() == nullptr) return false;
    indices->resize(size_t(faces_) * 3);
    if (faces_ == 0) return true;
    if (wide_indices()) {
        std::memcpy(indices->data(), lock.data(), indices->size() * 4);
    } else {
        for (size_t i = 0; i < indices->size(); ++i) {
            uint16_t index;
            std::memcpy(&index, lock.data() + 2 * i, 2);
            (*indices)[i] = index;
        }
    }
    const DWORD vertices = vertices_;
    return std::all_of(indices->begin(), indices->end(), [vertices](uint32_t i) { return i < vertices; });
}

bool d3dx_mesh::write_indices(const std::vector<uint32_t>& indices) {
    const buffer_lock lock(index_buffer_);
    if (faces_ != 0 && lock.data() == nullptr) return false;
    const size_t count = std::min(indices.size(), size_t(faces_) * 3);
    if (wide_indices()) {
        if (count != 0) std::memcpy(lock.data(), indices.data(), count * 4);
    } else {
        for (size_t i = 0; i < count; ++i) {
            const uint16_t index = uint16_t(indices[i]);
            std::memcpy(lock.data() + 2 * i, &index, 2);
        }
    }
    return true;
}

bool d3dx_mesh::read_positions(std::vector<D3DXVECTOR3>* positions) {
    const D3DVERTEXELEMENT9* e = d3dx_mesh_find_element(layout_, D3DDECLUSAGE_POSITION, 0);
    if (e == nullptr || (e->Type != D3DDECLTYPE_FLOAT3 && e->Type != D3DDECLTYPE_FLOAT4)) return false;
    const buffer_lock lock(vertex_buffer_);
    if (vertices_ != 0 && lock.data() == nullptr) return false;
    positions->resize(vertices_);
    for (DWORD v = 0; v < vertices_; ++v) {
        std::memcpy(&(*positions)[v].x, lock.data() + size_t(v) * layout_.stride + e->Offset, 3 * sizeof(float));
    }
    return true;
}

void d3dx_mesh::build_attribute_table(const std::vector<uint32_t>& indices) {
    table_.clear();
    for (DWORD f = 0; f < faces_; ++f) {
        if (table_.empty() || table_.back().AttribId != attributes_[f]) {
            table_.push_back({attributes_[f], f, 0, UINT32_MAX, 0});
        }
        D3DXATTRIBUTERANGE& r = table_.back();
        ++r.FaceCount;
        const uint32_t* corner = &indices[3 * size_t(f)];
        const uint32_t low = std::min({corner[0], corner[1], corner[2]});
        const uint32_t high = std::max({corner[0], corner[1], corner[2]});
        const uint32_t last = r.VertexStart == UINT32_MAX ? high : std::max(high, r.VertexStart + r.VertexCount - 1);
        r.VertexStart = std::min(r.VertexStart, low);
        r.VertexCount = last - r.VertexStart + 1;
    }
}

void d3dx_mesh::swap_contents(d3dx_mesh& other) {
    std::swap(vertex_buffer_, other.vertex_buffer_);
    std::swap(index_buffer_, other.index_buffer_);
    std::swap(faces_, other.faces_);
    std::swap(vertices_, other.vertices_);
    attributes_.swap(other.attributes_);
    table_.swap(other.table_);
}

d3dx_mesh* d3dx_mesh_cast(ID3DXBaseMesh* mesh) { return dynamic_cast<d3dx_mesh*>(mesh); }

d3dx_mesh_data d3dx_mesh_geometry(ID3DXBaseMesh* base) {
    d3dx_mesh_data g;
    d3dx_mesh* mesh = d3dx_mesh_cast(base);
    std::vector<uint8_t> bytes;
    if (mesh == nullptr || !mesh->read_vertices(&bytes) || !mesh->read_indices(&g.indices)) return {};
    const d3dx_mesh_layout& layout = mesh->layout();
    get_element(layout, D3DDECLUSAGE_POSITION, D3DDECLTYPE_FLOAT3, bytes, 1, g.positions);
    get_element(layout, D3DDECLUSAGE_NORMAL, D3DDECLTYPE_FLOAT3, bytes, 1, g.normals);
    get_element(layout, D3DDECLUSAGE_COLOR, D3DDECLTYPE_D3DCOLOR, bytes, 1, g.diffuse);
    get_element(layout, D3DDECLUSAGE_TEXCOORD, D3DDECLTYPE_FLOAT2, bytes, 2, g.texcoords);
    g.attributes.assign(mesh->attributes().begin(), mesh->attributes().end());
    return g;
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
    const size_t vertices = geometry.positions.size(), faces = geometry.attributes.size();
    if (vertices > 0xFFFF) options |= D3DXMESH_32BIT;
    d3dx_mesh* made = nullptr;
    try {
        d3dx_mesh_layout layout;
        d3dx_mesh_layout_from_fvf(d3dx_mesh_fvf(geometry), &layout);
        const HRESULT hr = d3dx_mesh::create(device, options, layout, DWORD(faces), DWORD(vertices), nullptr, &made);
        if (FAILED(hr)) return hr;
        std::vector<uint8_t> bytes(vertices * layout.stride);
        put_element(layout, D3DDECLUSAGE_POSITION, geometry.positions, 1, bytes);
        put_element(layout, D3DDECLUSAGE_NORMAL, geometry.normals, 1, bytes);
        put_element(layout, D3DDECLUSAGE_COLOR, geometry.diffuse, 1, bytes);
        put_element(layout, D3DDECLUSAGE_TEXCOORD, geometry.texcoords, 2, bytes);
        std::vector<uint32_t> order(faces), indices;
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), [&geometry](uint32_t a, uint32_t b) {
            return geometry.attributes[a] < geometry.attributes[b];
        });
        indices.reserve(3 * faces);
        for (size_t k = 0; k < faces; ++k) {
            const uint32_t* corners = &geometry.indices[3 * size_t(order[k])];
            indices.insert(indices.end(), corners, corners + 3);
            made->attributes()[k] = geometry.attributes[order[k]];
        }
        made->build_attribute_table(indices);
        if (!made->write_vertices(bytes) || !made->write_indices(indices)) {
            made->Release();
            return D3DERR_INVALIDCALL;
        }
    } catch (const std::bad_alloc&) {
        if (made != nullptr) made->Release();
        return E_OUTOFMEMORY;
    }
    *mesh = made;
    return D3D_OK;
}
