// D3DXCreateBox, D3DXCreateTorus and D3DXCreateTeapot through the public calls: argument checks,
// the mesh they return, and what DrawSubset hands to the device (recorded on its way to a software
// device).
#include <d3dx9.h>

#include "forwarding_device.h"
#include "headless_device.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

namespace {

// A device that records the indexed draws and the vertex format, and hands everything to a
// software device on a headless window; its own reference count shows what the meshes hold.
class recording_device final : public forwarding_device {
public:
    recording_device() : forwarding_device(nullptr) {
        backing_ = create_headless_device();
        real_ = backing_.device;
    }
    ~recording_device() { release_headless_device(backing_); }
    HRESULT QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }
    HRESULT SetFVF(DWORD fvf) override {
        last_fvf = fvf;
        return real_->SetFVF(fvf);
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT base, UINT min_index, UINT vertices, UINT start,
                                 UINT count) override {
        const HRESULT hr = real_->DrawIndexedPrimitive(type, base, min_index, vertices, start, count);
        ++draws;
        drawn_triangles += count;
        drawn_ok = drawn_ok && hr == D3D_OK && type == D3DPT_TRIANGLELIST;
        last_vertex_count = min_index + vertices;
        return hr;
    }

    ULONG references = 1;
    int draws = 0;
    UINT drawn_triangles = 0;
    bool drawn_ok = true;
    UINT last_vertex_count = 0;
    DWORD last_fvf = 0;

private:
    headless_device backing_;
};

ID3DXBuffer* const not_null_buffer = reinterpret_cast<ID3DXBuffer*>(0x1);
ID3DXMesh* const not_null_mesh = reinterpret_cast<ID3DXMesh*>(0x1);
constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();

struct shape_case {
    const char* name;
    DWORD faces;
    DWORD vertices;
    std::function<HRESULT(IDirect3DDevice9*, ID3DXMesh**, ID3DXBuffer**)> create;
};

std::vector<shape_case> scene_shapes() {
    return {
        {"box", 12, 24, [](auto d, auto m, auto a) { return D3DXCreateBox(d, 1.5f, 1.5f, 1.5f, m, a); }},
        {"torus", 1152, 576, [](auto d, auto m, auto a) { return D3DXCreateTorus(d, 0.45f, 0.85f, 24, 24, m, a); }},
        {"teapot", 2256, 1177, [](auto d, auto m, auto a) { return D3DXCreateTeapot(d, m, a); }},
    };
}

TEST(ShapeCreation, MakesOnePositionNormalSubsetDrawnInOneCall) {
    for (const shape_case& shape : scene_shapes()) {
        SCOPED_TRACE(shape.name);
        recording_device device;
        ID3DXMesh* mesh = not_null_mesh;
        ID3DXBuffer* adjacency = not_null_buffer;
        ASSERT_EQ(shape.create(&device, &mesh, &adjacency), D3D_OK);
        ASSERT_NE(mesh, nullptr);
        // Adjacency: three neighbours per face (0xFFFFFFFF where an edge has none, as at the teapot's seams).
        ASSERT_NE(adjacency, nullptr);
        ASSERT_EQ(adjacency->GetBufferSize(), 3 * shape.faces * sizeof(DWORD));
        const auto* neighbours = static_cast<const DWORD*>(adjacency->GetBufferPointer());
        for (DWORD k = 0; k < 3 * shape.faces; ++k)
            ASSERT_TRUE(neighbours[k] < shape.faces || neighbours[k] == ~0u) << k;
        adjacency->Release();
        EXPECT_EQ(mesh->GetNumFaces(), shape.faces);
        EXPECT_EQ(mesh->GetNumVertices(), shape.vertices);
        EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));

        EXPECT_EQ(mesh->DrawSubset(0), D3D_OK);
        EXPECT_EQ(device.draws, 1);
        EXPECT_EQ(device.drawn_triangles, shape.faces);
        EXPECT_TRUE(device.drawn_ok);
        EXPECT_EQ(device.last_vertex_count, shape.vertices);
        EXPECT_EQ(device.last_fvf, DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));
        EXPECT_EQ(mesh->DrawSubset(1), D3D_OK);
        EXPECT_EQ(device.draws, 1);  // there is no subset 1

        EXPECT_EQ(device.references, 2u);
        EXPECT_EQ(mesh->Release(), 0u);
        EXPECT_EQ(device.references, 1u);
    }
}

TEST(ShapeCreation, NullPointersFailWithoutTouchingAnything) {
    for (const shape_case& shape : scene_shapes()) {
        SCOPED_TRACE(shape.name);
        ID3DXMesh* mesh = not_null_mesh;
        ID3DXBuffer* adjacency = not_null_buffer;
        EXPECT_EQ(shape.create(nullptr, &mesh, &adjacency), D3DERR_INVALIDCALL);
        EXPECT_EQ(mesh, nullptr);
        EXPECT_EQ(adjacency, nullptr);

        recording_device device;
        EXPECT_EQ(shape.create(&device, nullptr, nullptr), D3DERR_INVALIDCALL);
        EXPECT_EQ(device.references, 1u);
    }
}

TEST(ShapeCreation, BadSizesFailWithANullMesh) {
    recording_device device;
    const auto expect_rejected = [&device](const std::function<HRESULT(ID3DXMesh**)>& create) {
        ID3DXMesh* mesh = not_null_mesh;
        EXPECT_EQ(create(&mesh), D3DERR_INVALIDCALL);
        EXPECT_EQ(mesh, nullptr);
        EXPECT_EQ(device.references, 1u);
    };
    expect_rejected([&](ID3DXMesh** m) { return D3DXCreateBox(&device, 1, 0, 1, m, nullptr); });
    expect_rejected([&](ID3DXMesh** m) { return D3DXCreateBox(&device, 1, 1, nan_value, m, nullptr); });
    expect_rejected([&](ID3DXMesh** m) { return D3DXCreateTorus(&device, -0.45f, 0.85f, 24, 24, m, nullptr); });
    expect_rejected([&](ID3DXMesh** m) { return D3DXCreateTorus(&device, 0.45f, 0.85f, 2, 24, m, nullptr); });
    expect_rejected([&](ID3DXMesh** m) { return D3DXCreateTorus(&device, 0.45f, 0.85f, 24, 0, m, nullptr); });
    expect_rejected([&](ID3DXMesh** m) { return D3DXCreateTorus(&device, 0.45f, 0.85f, 1000, 1000, m, nullptr); });
}

}  // namespace
