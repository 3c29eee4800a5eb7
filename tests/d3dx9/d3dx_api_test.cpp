// The D3DX calls beyond the maths: what is not available yet fails as documented and leaves null
// outputs; vertex formats and declarations; bounds and picking; the mesh object's description of
// itself; the wide-character loaders.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "headless_device_test.h"
#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace {

using D3dxApiTest = HeadlessDeviceTest;

struct unavailable_case {
    const char* name;
    std::function<HRESULT(IDirect3DDevice9*, void**)> call;  // sets the given output
    HRESULT expected;
};

TEST_F(D3dxApiTest, UnavailableCallsFailAsDocumentedWithNullOutputs) {
    const unavailable_case cases[] = {
        {"CreateSprite without device",
         [](IDirect3DDevice9*, void** out) { return D3DXCreateSprite(nullptr, reinterpret_cast<ID3DXSprite**>(out)); },
         D3DERR_INVALIDCALL},
        {"CreateLine",
         [](IDirect3DDevice9* d, void** out) { return D3DXCreateLine(d, reinterpret_cast<ID3DXLine**>(out)); },
         D3DERR_NOTAVAILABLE},
        {"CreateTextA",
         [](IDirect3DDevice9* d, void** out) {
             return D3DXCreateTextA(d, nullptr, "x", 0, 1, reinterpret_cast<ID3DXMesh**>(out), nullptr, nullptr);
         },
         E_NOTIMPL},
        {"CreateMeshFVF, 16-bit indices for 70000 vertices",
         [](IDirect3DDevice9* d, void** out) {
             return D3DXCreateMeshFVF(2, 70000, D3DXMESH_MANAGED, D3DFVF_XYZ, d, reinterpret_cast<ID3DXMesh**>(out));
         },
         D3DERR_INVALIDCALL},
        {"CreateCubeTexture",
         [](IDirect3DDevice9* d, void** out) {
             return D3DXCreateCubeTexture(d, 64, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                          reinterpret_cast<IDirect3DCubeTexture9**>(out));
         },
         D3DERR_NOTAVAILABLE},
        {"CreateTextureFromResourceExA",
         [](IDirect3DDevice9* d, void** out) {
             return D3DXCreateTextureFromResourceExA(d, nullptr, "a.png", D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                                     D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                                     nullptr, nullptr, reinterpret_cast<IDirect3DTexture9**>(out));
         },
         D3DERR_NOTAVAILABLE},
        {"CreateEffectFromFileA",
         [](IDirect3DDevice9* d, void** out) {
             return D3DXCreateEffectFromFileA(d, "a.fx", nullptr, nullptr, 0, nullptr,
                                              reinterpret_cast<ID3DXEffect**>(out), nullptr);
         },
         D3DERR_NOTAVAILABLE},
    };
    for (const unavailable_case& c : cases) {
        void* output = reinterpret_cast<void*>(0x1);  // a stale value the call must clear
        EXPECT_EQ(c.call(device_, &output), c.expected) << c.name;
        EXPECT_EQ(output, nullptr) << c.name;
    }
}

// The documented 8-byte declaration element.
struct element {
    WORD stream, offset;
    BYTE type, method, usage, usage_index;
};

TEST(D3dxVertexFormat, SizesAndDeclarations) {
    const struct {
        DWORD fvf;
        UINT size;
        int elements;
    } cases[] = {
        {D3DFVF_XYZ | D3DFVF_NORMAL, 24, 2},
        {D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, 32, 3},
        {D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR, 20, 3},
        {0x004 | D3DFVF_DIFFUSE | D3DFVF_TEX1, 28, 3},          // XYZRHW
        {D3DFVF_XYZ | 0x200 | (1u << 16) | (3u << 18), 28, 3},  // two sets: 3 floats, then 1 float
        {0x00C | 0x1000 | D3DFVF_NORMAL, 40, 4},                // XYZB4 with UBYTE4 indices: 3 weights
        {D3DFVF_XYZ | 0x900, 0, -1},                            // nine texture coordinate sets
    };
    for (const auto& c : cases) {
        EXPECT_EQ(D3DXGetFVFVertexSize(c.fvf), c.size) << std::hex << c.fvf;
        element decl[65];
        const HRESULT made = D3DXDeclaratorFromFVF(c.fvf, reinterpret_cast<D3DVERTEXELEMENT9*>(decl));
        if (c.elements < 0) {
            EXPECT_EQ(made, D3DERR_INVALIDCALL);
            continue;
        }
        ASSERT_EQ(made, D3D_OK) << std::hex << c.fvf;
        const auto* declaration = reinterpret_cast<const D3DVERTEXELEMENT9*>(decl);
        EXPECT_EQ(D3DXGetDeclLength(declaration), UINT(c.elements));
        EXPECT_EQ(decl[c.elements].stream, 0xFF);
        EXPECT_EQ(D3DXGetDeclVertexSize(declaration, 0), c.size);
        DWORD back = 0;
        EXPECT_EQ(D3DXFVFFromDeclarator(declaration, &back), D3D_OK);
        EXPECT_EQ(back, c.fvf);
    }
    // A declaration no FVF describes (a normal before the position), and one without a terminator.
    element odd[3] = {{0, 0, 2, 0, 3, 0}, {0, 12, 2, 0, 0, 0}, {0xFF, 0, 17, 0, 0, 0}};
    DWORD fvf = 0x1234;
    EXPECT_EQ(D3DXFVFFromDeclarator(reinterpret_cast<D3DVERTEXELEMENT9*>(odd), &fvf), D3DERR_INVALIDCALL);
    EXPECT_EQ(fvf, 0x1234u);
    element endless[65];
    for (element& e : endless) e = {0, 0, 2, 0, 0, 0};
    EXPECT_EQ(D3DXGetDeclLength(reinterpret_cast<D3DVERTEXELEMENT9*>(endless)), 0u);
}

TEST(D3dxPicking, BoundsAndRayTests) {
    const D3DXVECTOR3 points[] = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 0, 2}};
    D3DXVECTOR3 centre;
    float radius = 0;
    ASSERT_EQ(D3DXComputeBoundingSphere(points, 4, sizeof(D3DXVECTOR3), &centre, &radius), D3D_OK);
    EXPECT_TRUE(centre == D3DXVECTOR3(0.5f, 0.5f, 0.5f));
    EXPECT_NEAR(radius, 1.658312f, 1e-5f);
    EXPECT_EQ(D3DXComputeBoundingSphere(points, 0, sizeof(D3DXVECTOR3), &centre, &radius), D3DERR_INVALIDCALL);

    const D3DXVECTOR3 a(0, 0, 0), b(1, 0, 0), c(0, 1, 0), down(0, 0, 1), up(0, 0, -1);
    const struct {
        D3DXVECTOR3 origin, direction;
        BOOL hit;
    } rays[] = {
        {{0.25f, 0.25f, -1}, down, TRUE},   // from the front
        {{0.25f, 0.25f, 1}, up, TRUE},      // from the back: both sides count
        {{0.25f, 0.25f, 1}, down, FALSE},   // behind the origin
        {{0.75f, 0.75f, -1}, down, FALSE},  // outside the triangle
        {{0.25f, 0.25f, -1}, {1, 0, 0}, FALSE},
    };
    for (const auto& r : rays) {
        float u = -1, v = -1, dist = -1;
        EXPECT_EQ(D3DXIntersectTri(&a, &b, &c, &r.origin, &r.direction, &u, &v, &dist), r.hit);
        if (r.hit) {
            EXPECT_NEAR(u, 0.25f, 1e-6f);
            EXPECT_NEAR(v, 0.25f, 1e-6f);
            EXPECT_NEAR(dist, 1.0f, 1e-6f);
        }
    }
    const D3DXVECTOR3 origin(0, 0, -5), box_low(-1, -1, -1), box_high(1, 1, 1), aside(0, 3, 1);
    EXPECT_TRUE(D3DXSphereBoundProbe(&a, 1, &origin, &down));
    EXPECT_FALSE(D3DXSphereBoundProbe(&a, 1, &origin, &up));
    EXPECT_TRUE(D3DXBoxBoundProbe(&box_low, &box_high, &origin, &down));
    EXPECT_FALSE(D3DXBoxBoundProbe(&box_low, &box_high, &origin, &aside));
}

TEST_F(D3dxApiTest, TheMeshDescribesItselfAndIsPicked) {
    ID3DXMesh* box = nullptr;
    ASSERT_EQ(D3DXCreateBox(device_, 2, 2, 2, &box, nullptr), D3D_OK);
    EXPECT_EQ(box->GetOptions(), DWORD(D3DXMESH_MANAGED));
    EXPECT_EQ(box->GetNumBytesPerVertex(), 24u);
    element decl[65];
    ASSERT_EQ(box->GetDeclaration(reinterpret_cast<D3DVERTEXELEMENT9*>(decl)), D3D_OK);
    EXPECT_EQ(decl[1].usage, 3);  // normal
    EXPECT_EQ(decl[2].stream, 0xFF);
    DWORD entries = 0;
    ASSERT_EQ(box->GetAttributeTable(nullptr, &entries), D3D_OK);
    ASSERT_EQ(entries, 1u);
    D3DXATTRIBUTERANGE range{};
    ASSERT_EQ(box->GetAttributeTable(&range, &entries), D3D_OK);
    EXPECT_EQ(range.FaceCount, 12u);
    EXPECT_EQ(range.VertexStart + range.VertexCount, 24u);
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(box->GetDevice(&device), D3D_OK);
    EXPECT_EQ(device, device_);
    device->Release();
    // The box's faces have their own vertices; equal positions join them into a closed surface
    // where every face has three neighbours, each naming it back.
    DWORD adjacency[36];
    ASSERT_EQ(box->GenerateAdjacency(0.0f, adjacency), D3D_OK);
    for (DWORD f = 0; f < 12; ++f) {
        for (int e = 0; e < 3; ++e) {
            const DWORD g = adjacency[3 * f + e];
            ASSERT_LT(g, 12u) << "face " << f << " edge " << e;
            EXPECT_TRUE(adjacency[3 * g] == f || adjacency[3 * g + 1] == f || adjacency[3 * g + 2] == f);
        }
    }
    EXPECT_EQ(box->GenerateAdjacency(-1.0f, adjacency), D3DERR_INVALIDCALL);
    void* data = nullptr;
    ASSERT_EQ(box->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
    EXPECT_EQ(static_cast<const float*>(data)[2], -1.0f);  // the first corner of the -z face
    EXPECT_EQ(box->UnlockVertexBuffer(), D3D_OK);

    const D3DXVECTOR3 from(0.2f, 0.3f, -5), along(0, 0, 1);
    BOOL hit = FALSE;
    DWORD face = 99, count = 0;
    float u, v, dist = 0;
    ID3DXBuffer* all = nullptr;
    ASSERT_EQ(D3DXIntersect(box, &from, &along, &hit, &face, &u, &v, &dist, &all, &count), D3D_OK);
    EXPECT_TRUE(hit);
    EXPECT_NEAR(dist, 4.0f, 1e-5f);  // the front face at z = -1, not the back one
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(all->GetBufferSize(), 2 * sizeof(D3DXINTERSECTINFO));
    all->Release();
    const D3DXVECTOR3 away(0, 0, -1);
    ASSERT_EQ(D3DXIntersect(box, &from, &away, &hit, nullptr, nullptr, nullptr, nullptr, &all, &count), D3D_OK);
    EXPECT_FALSE(hit);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(all, nullptr);
    box->Release();
}

TEST_F(D3dxApiTest, WideLoadersConvertTheName) {
    scratch_directory folder("d3dx-wide");
    ASSERT_FALSE(folder.path().empty());
    const std::string path = folder.path() + "/tri\xC5\xBC.x";  // "triż.x"
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("xof 0302txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n", file);
    std::fclose(file);
    std::wstring wide(path.begin(), path.end() - 7);
    wide += L"tri\u017C.x";
    ID3DXMesh* mesh = nullptr;
    DWORD materials = 7;
    ASSERT_EQ(
        D3DXLoadMeshFromXW(wide.c_str(), D3DXMESH_SYSTEMMEM, device_, nullptr, nullptr, nullptr, &materials, &mesh),
        D3D_OK);
    EXPECT_EQ(mesh->GetNumFaces(), 1u);
    EXPECT_EQ(mesh->GetOptions(), DWORD(D3DXMESH_SYSTEMMEM));
    mesh->Release();
    EXPECT_EQ(D3DXLoadMeshFromXW(nullptr, 0, device_, nullptr, nullptr, nullptr, nullptr, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
    IDirect3DTexture9* texture = nullptr;
    EXPECT_NE(D3DXCreateTextureFromFileW(device_, wide.c_str(), &texture), D3D_OK);  // a mesh is no image
    EXPECT_EQ(texture, nullptr);
}

}  // namespace
