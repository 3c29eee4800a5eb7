// The mesh object on the software device: creation and its failures, writes through the locks
// reaching what is drawn and picked, clones between layouts, attribute sorting with its remaps
// and table, adjacency and point representatives, and normals.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "headless_device_test.h"
#include "platform/win32/win_headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using MeshObjectTest = HeadlessDeviceTest;

constexpr D3DVERTEXELEMENT9 position_tangent[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TANGENT, 0},
    D3DDECL_END()};
constexpr D3DVERTEXELEMENT9 second_stream[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {1, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
    D3DDECL_END()};

struct create_case {
    const char* name;
    DWORD faces, vertices, options, fvf;
    const D3DVERTEXELEMENT9* declaration;  // used instead of fvf when set
    UINT stride;
    bool with_device;
    HRESULT expected;
};

TEST_F(MeshObjectTest, CreatesEmptyMeshesOrFailsWithNothingMade) {
    const create_case cases[] = {
        {"fvf", 2, 4, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL, nullptr, 24, true, D3D_OK},
        {"declaration", 2, 4, D3DXMESH_SYSTEMMEM, 0, position_tangent, 24, true, D3D_OK},
        {"70000 vertices, 32-bit", 2, 70000, D3DXMESH_32BIT | D3DXMESH_MANAGED, D3DFVF_XYZ, nullptr, 12, true, D3D_OK},
        {"65535 vertices, 16-bit", 2, 65535, 0, D3DFVF_XYZ, nullptr, 12, true, D3D_OK},
        {"65536 vertices, 16-bit", 2, 65536, 0, D3DFVF_XYZ, nullptr, 12, true, D3DERR_INVALIDCALL},
        {"no faces", 0, 4, 0, D3DFVF_XYZ, nullptr, 12, true, D3DERR_INVALIDCALL},
        {"no vertices", 2, 0, 0, D3DFVF_XYZ, nullptr, 12, true, D3DERR_INVALIDCALL},
        {"no device", 2, 4, 0, D3DFVF_XYZ, nullptr, 12, false, D3DERR_INVALIDCALL},
        {"fvf of nothing", 2, 4, 0, 0, nullptr, 12, true, D3DERR_INVALIDCALL},
        {"unknown option", 2, 4, 0x40000, D3DFVF_XYZ, nullptr, 12, true, D3DERR_INVALIDCALL},
        {"system memory and managed", 2, 4, D3DXMESH_VB_SYSTEMMEM | D3DXMESH_VB_MANAGED, D3DFVF_XYZ, nullptr, 12, true,
         D3DERR_INVALIDCALL},
        {"managed and dynamic", 2, 4, D3DXMESH_MANAGED | D3DXMESH_DYNAMIC, D3DFVF_XYZ, nullptr, 12, true,
         D3DERR_INVALIDCALL},
        {"share without a source", 2, 4, D3DXMESH_VB_SHARE, D3DFVF_XYZ, nullptr, 12, true, D3DERR_INVALIDCALL},
        {"two streams", 2, 4, 0, 0, second_stream, 0, true, D3DERR_INVALIDCALL},
        {"faces beyond any buffer", 0x7FFFFFFF, 4, D3DXMESH_32BIT, D3DFVF_XYZ, nullptr, 12, true, E_OUTOFMEMORY},
    };
    for (const create_case& c : cases) {
        ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(0x1);
        IDirect3DDevice9* device = c.with_device ? device_ : nullptr;
        const HRESULT hr = c.declaration != nullptr
                               ? D3DXCreateMesh(c.faces, c.vertices, c.options, c.declaration, device, &mesh)
                               : D3DXCreateMeshFVF(c.faces, c.vertices, c.options, c.fvf, device, &mesh);
        EXPECT_EQ(hr, c.expected) << c.name;
        if (FAILED(hr)) {
            EXPECT_EQ(mesh, nullptr) << c.name;
            continue;
        }
        EXPECT_EQ(mesh->GetNumFaces(), c.faces) << c.name;
        EXPECT_EQ(mesh->GetNumVertices(), c.vertices) << c.name;
        EXPECT_EQ(mesh->GetOptions(), c.options) << c.name;
        EXPECT_EQ(mesh->GetFVF(), c.fvf) << c.name;  // 0: no FVF describes a tangent
        EXPECT_EQ(mesh->GetNumBytesPerVertex(), c.stride) << c.name;
        D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
        ASSERT_EQ(mesh->GetDeclaration(declaration), D3D_OK);
        if (c.declaration != nullptr) {
            EXPECT_EQ(std::memcmp(declaration, c.declaration, 3 * 8), 0) << c.name;
        }
        DWORD entries = 9, *attributes = nullptr;
        EXPECT_EQ(mesh->GetAttributeTable(nullptr, &entries), D3D_OK);
        EXPECT_EQ(entries, 0u) << c.name;
        ASSERT_EQ(mesh->LockAttributeBuffer(D3DLOCK_READONLY, &attributes), D3D_OK);
        EXPECT_EQ(attributes[0] | attributes[c.faces - 1], 0u) << c.name;
        EXPECT_EQ(mesh->UnlockAttributeBuffer(), D3D_OK);
        IDirect3DIndexBuffer9* indices = nullptr;
        ASSERT_EQ(mesh->GetIndexBuffer(&indices), D3D_OK);
        D3DINDEXBUFFER_DESC desc;
        indices->GetDesc(&desc);
        EXPECT_EQ(desc.Format, (c.options & D3DXMESH_32BIT) ? D3DFMT_INDEX32 : D3DFMT_INDEX16) << c.name;
        EXPECT_EQ(desc.Size, c.faces * 3 * ((c.options & D3DXMESH_32BIT) ? 4 : 2)) << c.name;
        indices->Release();
        EXPECT_EQ(mesh->Release(), 0u) << c.name;
    }
}

struct coloured_vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
};

// Two pre-transformed triangles side by side: face 0 on the left half, face 1 on the right.
ID3DXMesh* make_two_faces(IDirect3DDevice9* device) {
    ID3DXMesh* mesh = nullptr;
    if (D3DXCreateMeshFVF(2, 6, D3DXMESH_MANAGED, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, device, &mesh) != D3D_OK) {
        return nullptr;
    }
    coloured_vertex* v = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    const coloured_vertex corners[6] = {{0, 0, 0.5f, 1, 0xFFFF0000},   {300, 0, 0.5f, 1, 0xFFFF0000},
                                        {0, 441, 0.5f, 1, 0xFFFF0000}, {324, 0, 0.5f, 1, 0xFF00FF00},
                                        {624, 0, 0.5f, 1, 0xFF00FF00}, {624, 441, 0.5f, 1, 0xFF00FF00}};
    std::memcpy(v, corners, sizeof corners);
    mesh->UnlockVertexBuffer();
    WORD* i = nullptr;
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&i));
    const WORD faces[6] = {0, 1, 2, 3, 4, 5};
    std::memcpy(i, faces, sizeof faces);
    mesh->UnlockIndexBuffer();
    return mesh;
}

TEST_F(MeshObjectTest, DrawsWhatTheLocksWroteBySubset) {
    ID3DXMesh* mesh = make_two_faces(device_);
    ASSERT_NE(mesh, nullptr);
    DWORD* attributes = nullptr;
    ASSERT_EQ(mesh->LockAttributeBuffer(0, &attributes), D3D_OK);
    attributes[1] = 7;
    ASSERT_EQ(mesh->UnlockAttributeBuffer(), D3D_OK);
    EXPECT_EQ(mesh->UnlockAttributeBuffer(), D3DERR_INVALIDCALL);
    const auto draw = [&](DWORD subset) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device_->BeginScene();
        EXPECT_EQ(mesh->DrawSubset(subset), D3D_OK);
        device_->EndScene();
        device_->Present(nullptr, nullptr, nullptr, nullptr);
        const win_headless_frame& frame = win_headless_last_frame();
        return std::pair{frame.pixels[100 * frame.width + 50] & 0xFFFFFF,
                         frame.pixels[100 * frame.width + 600] & 0xFFFFFF};
    };
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    EXPECT_EQ(draw(0), std::pair(0xFF0000u, 0u));  // no table: the attribute buffer is scanned
    EXPECT_EQ(draw(7), std::pair(0u, 0x00FF00u));
    EXPECT_EQ(draw(3), std::pair(0u, 0u));
    const D3DXATTRIBUTERANGE both{3, 0, 2, 0, 6};
    ASSERT_EQ(mesh->SetAttributeTable(&both, 1), D3D_OK);  // the table now decides
    EXPECT_EQ(draw(3), std::pair(0xFF0000u, 0x00FF00u));
    const D3DXATTRIBUTERANGE beyond[] = {{0, 1, 2, 0, 6}, {0, 0, 1, 0, 7}};
    for (const D3DXATTRIBUTERANGE& bad : beyond) EXPECT_EQ(mesh->SetAttributeTable(&bad, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh->SetAttributeTable(nullptr, 1), D3DERR_INVALIDCALL);
    mesh->Release();
}

TEST_F(MeshObjectTest, ClonesCopyCommonElementsAndZeroNewOnes) {
    ID3DXMesh* sphere = nullptr;
    ASSERT_EQ(D3DXCreateSphere(device_, 2, 8, 4, &sphere, nullptr), D3D_OK);
    ID3DXMesh* clone = nullptr;
    const DWORD textured = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
    ASSERT_EQ(sphere->CloneMeshFVF(D3DXMESH_32BIT | D3DXMESH_SYSTEMMEM, textured, device_, &clone), D3D_OK);
    EXPECT_EQ(clone->GetNumBytesPerVertex(), 32u);
    EXPECT_EQ(clone->GetOptions(), DWORD(D3DXMESH_32BIT | D3DXMESH_SYSTEMMEM));
    float *from = nullptr, *to = nullptr;
    DWORD* wide = nullptr;
    WORD* narrow = nullptr;
    ASSERT_EQ(sphere->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&from)), D3D_OK);
    ASSERT_EQ(clone->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&to)), D3D_OK);
    ASSERT_EQ(sphere->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&narrow)), D3D_OK);
    ASSERT_EQ(clone->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&wide)), D3D_OK);
    for (DWORD v = 0; v < sphere->GetNumVertices(); ++v) {
        EXPECT_EQ(std::memcmp(from + 6 * v, to + 8 * v, 24), 0) << v;
        EXPECT_EQ(to[8 * v + 6], 0.0f);
        EXPECT_EQ(to[8 * v + 7], 0.0f);
    }
    for (DWORD i = 0; i < 3 * sphere->GetNumFaces(); ++i) EXPECT_EQ(wide[i], narrow[i]) << i;
    sphere->UnlockVertexBuffer();
    sphere->UnlockIndexBuffer();
    clone->UnlockVertexBuffer();
    clone->UnlockIndexBuffer();
    DWORD entries = 0;
    clone->GetAttributeTable(nullptr, &entries);
    EXPECT_EQ(entries, 1u);
    clone->Release();

    IDirect3DVertexBuffer9 *mine = nullptr, *shared = nullptr;
    ASSERT_EQ(sphere->CloneMeshFVF(D3DXMESH_VB_SHARE, D3DFVF_XYZ | D3DFVF_NORMAL, device_, &clone), D3D_OK);
    sphere->GetVertexBuffer(&mine);
    clone->GetVertexBuffer(&shared);
    EXPECT_EQ(mine, shared);
    mine->Release();
    shared->Release();
    clone->Release();
    EXPECT_EQ(sphere->CloneMeshFVF(D3DXMESH_VB_SHARE, D3DFVF_XYZ, device_, &clone), D3DERR_INVALIDCALL);
    EXPECT_EQ(sphere->CloneMeshFVF(0, 0, device_, &clone), D3DERR_INVALIDCALL);
    EXPECT_EQ(sphere->CloneMesh(0, second_stream, device_, &clone), D3DERR_INVALIDCALL);
    EXPECT_EQ(sphere->CloneMeshFVF(0, D3DFVF_XYZ, nullptr, &clone), D3DERR_INVALIDCALL);
    EXPECT_EQ(clone, nullptr);
    // A layout of the same size takes new meanings; another size does not.
    D3DVERTEXELEMENT9 renamed[] = {position_tangent[0], position_tangent[1], D3DDECL_END()};
    EXPECT_EQ(sphere->UpdateSemantics(renamed), D3D_OK);
    EXPECT_EQ(sphere->GetFVF(), 0u);
    renamed[1].Type = D3DDECLTYPE_FLOAT4;
    EXPECT_EQ(sphere->UpdateSemantics(renamed), D3DERR_INVALIDCALL);
    EXPECT_EQ(sphere->DrawSubset(0), D3D_OK);
    EXPECT_EQ(sphere->Release(), 0u);
}

// Four faces over six vertices, a strip along x: faces (0 1 2), (1 3 2), (2 3 4), (3 5 4) with
// attributes 1 0 1 0.
ID3DXMesh* make_strip(IDirect3DDevice9* device, DWORD options = D3DXMESH_MANAGED) {
    ID3DXMesh* mesh = nullptr;
    if (D3DXCreateMeshFVF(4, 7, options, D3DFVF_XYZ, device, &mesh) != D3D_OK) return nullptr;
    float* v = nullptr;
    mesh->LockVertexBuffer(0, reinterpret_cast<void**>(&v));
    const float points[7][3] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {2, 0, 0}, {2, 1, 0}, {9, 9, 9}};
    std::memcpy(v, points, sizeof points);
    mesh->UnlockVertexBuffer();
    WORD* i = nullptr;
    mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&i));
    const WORD faces[12] = {0, 1, 2, 1, 3, 2, 2, 3, 4, 3, 5, 4};
    std::memcpy(i, faces, sizeof faces);
    mesh->UnlockIndexBuffer();
    DWORD* a = nullptr;
    mesh->LockAttributeBuffer(0, &a);
    a[0] = a[2] = 1;
    mesh->UnlockAttributeBuffer();
    return mesh;
}

TEST_F(MeshObjectTest, LocksNestAndHoldOffInPlaceChanges) {
    ID3DXMesh* mesh = make_strip(device_);
    ASSERT_NE(mesh, nullptr);
    void *first = nullptr, *second = nullptr;
    EXPECT_EQ(mesh->UnlockVertexBuffer(), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh->UnlockIndexBuffer(), D3DERR_INVALIDCALL);
    ASSERT_EQ(mesh->LockIndexBuffer(0, &first), D3D_OK);
    ASSERT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, &second), D3D_OK);
    EXPECT_EQ(first, second);
    EXPECT_EQ(mesh->LockVertexBuffer(0x1, &second), D3DERR_INVALIDCALL);  // not a lock flag
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh->UnlockIndexBuffer(), D3D_OK);
    EXPECT_EQ(mesh->UnlockIndexBuffer(), D3D_OK);
    EXPECT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, nullptr, nullptr, nullptr, nullptr), D3D_OK);
    // An index written past the vertices is refused by whatever reads the indices.
    WORD* indices = nullptr;
    ASSERT_EQ(mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&indices)), D3D_OK);
    indices[4] = 0xFFFF;
    mesh->UnlockIndexBuffer();
    DWORD adjacency[12];
    ID3DXMesh* clone = nullptr;
    const D3DXVECTOR3 from(1, 1, -1), along(0, 0, 1);
    BOOL hit = FALSE;
    EXPECT_EQ(mesh->GenerateAdjacency(0, adjacency), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh->CloneMeshFVF(0, D3DFVF_XYZ, device_, &clone), D3DERR_INVALIDCALL);
    EXPECT_EQ(clone, nullptr);
    EXPECT_EQ(D3DXIntersect(mesh, &from, &along, &hit, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              D3DERR_INVALIDCALL);
    mesh->Release();
}

struct optimise_case {
    const char* name;
    DWORD flags;
    std::vector<DWORD> face_remap, vertex_remap, indices;
    std::vector<D3DXATTRIBUTERANGE> table;
};

TEST_F(MeshObjectTest, OptimizeSortsSplitsAndCompacts) {
    const optimise_case cases[] = {
        {"attrsort splits shared vertices",
         D3DXMESHOPT_ATTRSORT,
         {1, 3, 0, 2},
         {1, 3, 2, 5, 4, 0, 1, 2, 3, 4, 6},
         {0, 1, 2, 1, 3, 4, 5, 6, 7, 7, 8, 9},
         {{0, 0, 2, 0, 5}, {1, 2, 2, 5, 5}}},
        {"do not split",
         D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_DONOTSPLIT,
         {1, 3, 0, 2},
         {1, 3, 2, 5, 4, 0, 6},
         {0, 1, 2, 1, 3, 4, 5, 0, 2, 2, 1, 4},
         {{0, 0, 2, 0, 5}, {1, 2, 2, 0, 6}}},
        {"vertex cache sorts, compact drops the unused vertex",
         D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_COMPACT,
         {1, 3, 0, 2},
         {1, 3, 2, 5, 4, 0, 1, 2, 3, 4},
         {0, 1, 2, 1, 3, 4, 5, 6, 7, 7, 8, 9},
         {{0, 0, 2, 0, 5}, {1, 2, 2, 5, 5}}},
        {"faces only",
         D3DXMESHOPT_ATTRSORT | D3DXMESHOPT_IGNOREVERTS,
         {1, 3, 0, 2},
         {0, 1, 2, 3, 4, 5, 6},
         {1, 3, 2, 3, 5, 4, 0, 1, 2, 2, 3, 4},
         {{0, 0, 2, 1, 5}, {1, 2, 2, 0, 5}}},
    };
    for (const optimise_case& c : cases) {
        ID3DXMesh* mesh = make_strip(device_);
        ASSERT_NE(mesh, nullptr);
        DWORD adjacency[12], adjacency_out[12], face_remap[4];
        ASSERT_EQ(mesh->GenerateAdjacency(0, adjacency), D3D_OK);
        ID3DXBuffer* vertex_remap = nullptr;
        ASSERT_EQ(mesh->OptimizeInplace(c.flags, adjacency, adjacency_out, face_remap, &vertex_remap), D3D_OK)
            << c.name;
        EXPECT_EQ(std::vector<DWORD>(face_remap, face_remap + 4), c.face_remap) << c.name;
        const auto* remap = static_cast<const DWORD*>(vertex_remap->GetBufferPointer());
        EXPECT_EQ(std::vector<DWORD>(remap, remap + vertex_remap->GetBufferSize() / 4), c.vertex_remap) << c.name;
        vertex_remap->Release();
        EXPECT_EQ(mesh->GetNumVertices(), c.vertex_remap.size()) << c.name;
        WORD* indices = nullptr;
        ASSERT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&indices)), D3D_OK);
        EXPECT_EQ(std::vector<DWORD>(indices, indices + 12), c.indices) << c.name;
        mesh->UnlockIndexBuffer();
        D3DXATTRIBUTERANGE table[4];
        DWORD entries = 0;
        ASSERT_EQ(mesh->GetAttributeTable(table, &entries), D3D_OK);
        ASSERT_EQ(entries, c.table.size()) << c.name;
        for (DWORD e = 0; e < entries; ++e) {
            EXPECT_EQ(std::memcmp(&table[e], &c.table[e], sizeof table[e]), 0)
                << c.name << " entry " << e << ": " << table[e].AttribId << " " << table[e].FaceStart << " "
                << table[e].FaceCount << " " << table[e].VertexStart << " " << table[e].VertexCount;
        }
        // The input adjacency renumbered: each new face names its old neighbours' new numbers.
        for (DWORD f = 0; f < 4; ++f) {
            for (int e = 0; e < 3; ++e) {
                const DWORD old = adjacency[3 * face_remap[f] + e];
                const DWORD now = adjacency_out[3 * f + e];
                EXPECT_EQ(now == 0xFFFFFFFF ? 0xFFFFFFFF : face_remap[now], old) << c.name;
            }
        }
        mesh->Release();
    }
}

TEST_F(MeshObjectTest, OptimizeFailuresChangeNothing) {
    ID3DXMesh* mesh = make_strip(device_);
    ASSERT_NE(mesh, nullptr);
    const DWORD bad_adjacency[12] = {4, 0xFFFFFFFF, 0xFFFFFFFF};
    DWORD face_remap[4] = {7, 7, 7, 7};
    ID3DXMesh* optimised = reinterpret_cast<ID3DXMesh*>(0x1);
    const DWORD refused[] = {0, D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_STRIPREORDER, 0x80000000u | D3DXMESHOPT_ATTRSORT};
    for (DWORD flags : refused) {
        EXPECT_EQ(mesh->OptimizeInplace(flags, nullptr, nullptr, face_remap, nullptr), D3DERR_INVALIDCALL) << flags;
    }
    EXPECT_EQ(mesh->OptimizeInplace(D3DXMESHOPT_ATTRSORT, bad_adjacency, nullptr, face_remap, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(face_remap[0], 7u);
    EXPECT_EQ(mesh->Optimize(D3DXMESHOPT_ATTRSORT | D3DXMESH_VB_SHARE, nullptr, nullptr, nullptr, nullptr, &optimised),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(optimised, nullptr);
    // Optimize leaves the mesh as it is and gives the new one the options in its flags.
    ASSERT_EQ(
        mesh->Optimize(D3DXMESHOPT_ATTRSORT | D3DXMESH_SYSTEMMEM, nullptr, nullptr, face_remap, nullptr, &optimised),
        D3D_OK);
    EXPECT_EQ(optimised->GetOptions(), DWORD(D3DXMESH_SYSTEMMEM));
    EXPECT_EQ(optimised->GetNumVertices(), 11u);
    EXPECT_EQ(mesh->GetNumVertices(), 7u);
    DWORD entries = 9;
    mesh->GetAttributeTable(nullptr, &entries);
    EXPECT_EQ(entries, 0u);
    EXPECT_EQ(optimised->Release(), 0u);
    mesh->Release();
}

TEST_F(MeshObjectTest, PointRepresentativesAndAdjacencyConvert) {
    ID3DXMesh* box = nullptr;
    ASSERT_EQ(D3DXCreateBox(device_, 1, 1, 1, &box, nullptr), D3D_OK);
    DWORD adjacency[36], again[36], reps[24], own[36];
    ASSERT_EQ(box->GenerateAdjacency(0, adjacency), D3D_OK);
    ASSERT_EQ(box->ConvertAdjacencyToPointReps(adjacency, reps), D3D_OK);
    for (DWORD v = 0; v < 24; ++v) EXPECT_LE(reps[v], v);
    int corners = 0;
    for (DWORD v = 0; v < 24; ++v) corners += reps[v] == v;
    EXPECT_EQ(corners, 8);
    ASSERT_EQ(box->ConvertPointRepsToAdjacency(reps, again), D3D_OK);
    EXPECT_EQ(std::memcmp(adjacency, again, sizeof again), 0);
    ASSERT_EQ(box->ConvertPointRepsToAdjacency(nullptr, own), D3D_OK);  // faces meet only within a side
    EXPECT_EQ(std::count(own, own + 36, 0xFFFFFFFFu), 24);
    adjacency[0] = 12;
    EXPECT_EQ(box->ConvertAdjacencyToPointReps(adjacency, reps), D3DERR_INVALIDCALL);
    reps[3] = 24;
    EXPECT_EQ(box->ConvertPointRepsToAdjacency(reps, again), D3DERR_INVALIDCALL);
    box->Release();
}

// Normals weighted by the angle at each vertex; with adjacency a box's split corners are smoothed
// into the diagonal, without it each face keeps its own.
TEST_F(MeshObjectTest, ComputesAngleWeightedNormals) {
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXCreateMeshFVF(2, 4, D3DXMESH_MANAGED, D3DFVF_XYZ | D3DFVF_NORMAL, device_, &mesh), D3D_OK);
    // Vertex 0 at the origin: a right angle in the plane z = 0, 45 degrees in the plane x = 0.
    const float vertices[4][6] = {{0, 0, 0, 9, 9, 9}, {1, 0, 0, 9, 9, 9}, {0, 1, 0, 9, 9, 9}, {0, 1, 1, 9, 9, 9}};
    const WORD faces[6] = {0, 2, 1, 0, 3, 2};
    void* data = nullptr;
    mesh->LockVertexBuffer(0, &data);
    std::memcpy(data, vertices, sizeof vertices);
    mesh->UnlockVertexBuffer();
    mesh->LockIndexBuffer(0, &data);
    std::memcpy(data, faces, sizeof faces);
    mesh->UnlockIndexBuffer();
    ASSERT_EQ(D3DXComputeNormals(mesh, nullptr), D3D_OK);
    mesh->LockVertexBuffer(D3DLOCK_READONLY, &data);
    const auto* n = static_cast<const float*>(data);
    // Face 0's normal is -z (angle pi/2 at vertex 0), face 1's is -x (angle pi/4).
    const float scale = 1.0f / std::sqrt(0.25f + 0.0625f);
    EXPECT_NEAR(n[3], -0.25f * scale, 1e-6f);
    EXPECT_NEAR(n[4], 0.0f, 1e-6f);
    EXPECT_NEAR(n[5], -0.5f * scale, 1e-6f);
    EXPECT_NEAR(n[6 + 5], -1.0f, 1e-6f);  // vertex 1 is on face 0 only
    mesh->UnlockVertexBuffer();
    mesh->Release();

    ID3DXMesh* box = nullptr;
    ASSERT_EQ(D3DXCreateBox(device_, 2, 2, 2, &box, nullptr), D3D_OK);
    DWORD adjacency[36];
    box->GenerateAdjacency(0, adjacency);
    ASSERT_EQ(D3DXComputeNormals(box, adjacency), D3D_OK);
    box->LockVertexBuffer(D3DLOCK_READONLY, &data);
    const auto* b = static_cast<const float*>(data);
    for (DWORD v = 0; v < 24; ++v) {
        for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(b[6 * v + 3 + axis], b[6 * v + axis] / std::sqrt(3.0f), 1e-6f);
    }
    box->UnlockVertexBuffer();
    ID3DXMesh* bare = nullptr;
    ASSERT_EQ(box->CloneMeshFVF(D3DXMESH_MANAGED, D3DFVF_XYZ, device_, &bare), D3D_OK);
    EXPECT_EQ(D3DXComputeNormals(bare, nullptr), D3DERR_INVALIDCALL);  // nowhere to put them
    EXPECT_EQ(D3DXComputeNormals(nullptr, nullptr), D3DERR_INVALIDCALL);
    adjacency[5] = 40;
    EXPECT_EQ(D3DXComputeNormals(box, adjacency), D3DERR_INVALIDCALL);
    bare->Release();
    box->Release();
}

TEST_F(MeshObjectTest, IntersectReadsTheBuffersAsWritten) {
    ID3DXMesh* strip = make_strip(device_);
    ASSERT_NE(strip, nullptr);
    const D3DXVECTOR3 from(1.25f, 0.5f, -2), along(0, 0, 2);
    BOOL hit = FALSE;
    DWORD face = 9, count = 0;
    float u = 0, v = 0, dist = 0;
    ASSERT_EQ(D3DXIntersect(strip, &from, &along, &hit, &face, &u, &v, &dist, nullptr, &count), D3D_OK);
    EXPECT_TRUE(hit);
    EXPECT_EQ(face, 2u);  // (2 3 4): the hit is 2 + 0.5 (3 - 2) + 0.25 (4 - 2)
    EXPECT_NEAR(u, 0.5f, 1e-6f);
    EXPECT_NEAR(v, 0.25f, 1e-6f);
    EXPECT_NEAR(dist, 1.0f, 1e-6f);  // in units of the direction's length
    EXPECT_EQ(count, 1u);
    float* p = nullptr;
    strip->LockVertexBuffer(0, reinterpret_cast<void**>(&p));
    for (int k = 0; k < 7; ++k) p[3 * k + 2] = 1;  // move the strip to z = 1
    strip->UnlockVertexBuffer();
    ASSERT_EQ(D3DXIntersect(strip, &from, &along, &hit, &face, &u, &v, &dist, nullptr, nullptr), D3D_OK);
    EXPECT_NEAR(dist, 1.5f, 1e-6f);
    strip->Release();
}

}  // namespace
