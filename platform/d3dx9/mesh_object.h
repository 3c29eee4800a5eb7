// mesh_object.h - the D3DX mesh object (ID3DXMesh) as the mesh files share it: its vertex layout,
// its device buffers, attribute buffer and attribute table, and the reading and writing of its
// contents that cloning, optimising, normals and picking build on.
//
// The geometry lives in the device's vertex buffer (one stream, the layout's stride) and index
// buffer (16-bit indices unless the options carry D3DXMESH_32BIT) since the last change; there is
// no second copy, so what a program writes through LockVertexBuffer / LockIndexBuffer is what the
// mesh draws, picks and clones. The attribute buffer (one DWORD per face) is the mesh's own.
//
// DOES NOT: share vertex buffers between meshes other than through a D3DXMESH_VB_SHARE clone.
#pragma once

#include <d3dx9.h>

#include "platform/d3d9/com_object.h"

#include <cstdint>
#include <vector>

// A vertex layout of one stream: the elements with their terminator, the vertex size, and the FVF
// that lays out exactly these elements (0 when none does).
struct d3dx_mesh_layout {
    std::vector<D3DVERTEXELEMENT9> elements;
    UINT stride = 0;
    DWORD fvf = 0;
};

// Reads `declaration` up to its terminator. False when it has no terminator within
// MAX_FVF_DECL_SIZE elements, names a stream other than 0, a type beyond FLOAT16_4, a usage beyond
// SAMPLE or a method other than DEFAULT, or lays out nothing. Throws std::bad_alloc.
bool d3dx_mesh_layout_from_declaration(const D3DVERTEXELEMENT9* declaration, d3dx_mesh_layout* layout);

// The layout of an FVF; false for an FVF that describes no vertex. Throws std::bad_alloc.
bool d3dx_mesh_layout_from_fvf(DWORD fvf, d3dx_mesh_layout* layout);

// The element of `usage` and `index`, or null.
const D3DVERTEXELEMENT9* d3dx_mesh_find_element(const d3dx_mesh_layout& layout, BYTE usage, BYTE index);

// Whether `options` is a set of D3DXMESH_ flags a mesh can be created with: no unknown bits, not
// both SYSTEMMEM and MANAGED for one buffer, not MANAGED with DYNAMIC, and no VB_SHARE (a clone's
// option only).
bool d3dx_mesh_options_valid(DWORD options);

// The size in bytes of a declaration type, 0 for UNUSED and unknown types.
UINT d3dx_declaration_type_size(BYTE type);

class d3dx_mesh final : public com_object<ID3DXMesh> {
public:
    // A mesh of `faces` faces and `vertices` vertices with zero-filled buffers, all attributes 0
    // and an empty attribute table. D3DERR_INVALIDCALL for invalid options, zero counts or more
    // than 65535 vertices with 16-bit indices; the device's failure when it cannot make the
    // buffers; E_OUTOFMEMORY. A non-null `shared_vertices` (same layout and count) is used, with a
    // reference of its own, instead of a new vertex buffer.
    static HRESULT create(IDirect3DDevice9* device, DWORD options, const d3dx_mesh_layout& layout, DWORD faces,
                          DWORD vertices, IDirect3DVertexBuffer9* shared_vertices, d3dx_mesh** mesh);

    HRESULT DrawSubset(DWORD subset) override;
    DWORD GetNumFaces() override { return faces_; }
    DWORD GetNumVertices() override { return vertices_; }
    DWORD GetFVF() override { return layout_.fvf; }
    HRESULT GetDeclaration(D3DVERTEXELEMENT9* declaration) override;
    DWORD GetNumBytesPerVertex() override { return layout_.stride; }
    DWORD GetOptions() override { return options_; }
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device, ID3DXMesh** clone) override;
    HRESULT CloneMesh(DWORD options, const D3DVERTEXELEMENT9* declaration, IDirect3DDevice9* device,
                      ID3DXMesh** clone) override;
    HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** buffer) override;
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** buffer) override;
    HRESULT LockVertexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockVertexBuffer() override;
    HRESULT LockIndexBuffer(DWORD flags, void** data) override;
    HRESULT UnlockIndexBuffer() override;
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* table, DWORD* size) override;
    HRESULT ConvertPointRepsToAdjacency(const DWORD* point_reps, DWORD* adjacency) override;
    HRESULT ConvertAdjacencyToPointReps(const DWORD* adjacency, DWORD* point_reps) override;
    HRESULT GenerateAdjacency(FLOAT epsilon, DWORD* adjacency) override;
    HRESULT UpdateSemantics(D3DVERTEXELEMENT9* declaration) override;
    HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) override;
    HRESULT UnlockAttributeBuffer() override;
    HRESULT Optimize(DWORD flags, const DWORD* adjacency_in, DWORD* adjacency_out, DWORD* face_remap,
                     ID3DXBuffer** vertex_remap, ID3DXMesh** optimised) override;
    HRESULT OptimizeInplace(DWORD flags, const DWORD* adjacency_in, DWORD* adjacency_out, DWORD* face_remap,
                            ID3DXBuffer** vertex_remap) override;
    HRESULT SetAttributeTable(const D3DXATTRIBUTERANGE* table, DWORD size) override;

    IDirect3DDevice9* device() const { return device_; }
    const d3dx_mesh_layout& layout() const { return layout_; }
    bool wide_indices() const { return (options_ & D3DXMESH_32BIT) != 0; }
    // Whether a program holds a lock taken through the mesh.
    bool locked() const { return vertex_locks_ + index_locks_ + attribute_locks_ != 0; }
    std::vector<DWORD>& attributes() { return attributes_; }
    std::vector<D3DXATTRIBUTERANGE>& attribute_table() { return table_; }

    // The whole vertex buffer (vertices * stride bytes) and the indices, read or replaced. Read
    // and write fail only when the buffers cannot be locked. Throw std::bad_alloc.
    bool read_vertices(std::vector<uint8_t>* bytes);
    bool write_vertices(const std::vector<uint8_t>& bytes);
    bool read_indices(std::vector<uint32_t>* indices);
    bool write_indices(const std::vector<uint32_t>& indices);
    // The position (x, y, z of the POSITION 0 element, FLOAT3 or FLOAT4) of every vertex; false
    // when there is none. Throws std::bad_alloc.
    bool read_positions(std::vector<D3DXVECTOR3>* positions);

    // Sets the attribute table from the attribute buffer, which must be sorted: one entry per run
    // of equal ids, its vertex range spanning the indices of the run's faces. Throws
    // std::bad_alloc.
    void build_attribute_table(const std::vector<uint32_t>& indices);

    // Takes the buffers, counts, attributes and table of `other` (same device), giving it ours.
    void swap_contents(d3dx_mesh& other);

private:
    d3dx_mesh(IDirect3DDevice9* device, DWORD options, const d3dx_mesh_layout& layout);
    ~d3dx_mesh() override;

    IDirect3DDevice9* device_;
    DWORD options_;
    d3dx_mesh_layout layout_;
    IDirect3DVertexDeclaration9* declaration_ = nullptr;  // set when no FVF describes the layout
    IDirect3DVertexBuffer9* vertex_buffer_ = nullptr;
    IDirect3DIndexBuffer9* index_buffer_ = nullptr;
    DWORD faces_ = 0, vertices_ = 0;
    std::vector<DWORD> attributes_;
    std::vector<D3DXATTRIBUTERANGE> table_;
    UINT vertex_locks_ = 0, index_locks_ = 0, attribute_locks_ = 0;
};

// The mesh object behind an interface pointer, or null for a mesh that is not one of ours.
d3dx_mesh* d3dx_mesh_cast(ID3DXBaseMesh* mesh);
