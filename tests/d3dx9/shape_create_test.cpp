// D3DXCreateBox, D3DXCreateTorus and D3DXCreateTeapot through the public calls: argument checks,
// the mesh they return, and what DrawSubset hands to the device. A recording device stands in for
// the software device, so these run without a window.
#include <d3dx9.h>

#include "forwarding_device.h"
#include "platform/d3d9/device_draw.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

namespace {

// A device of its own that records the indexed draws; its other calls fail (no device behind it).
class recording_device final : public forwarding_device, public d3d9_stream_draw {
public:
    recording_device() : forwarding_device(nullptr) {}
    HRESULT QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }
    HRESULT draw_indexed_triangles(const d3d9_vertex_streams& streams, const UINT* indices, UINT count) override {
        ++draws;
        drawn_triangles += count;
        last_streams = streams;
        for (UINT k = 0; k < 3 * count; ++k) indices_in_range = indices_in_range && indices[k] < streams.vertex_count;
        return D3D_OK;
    }

    ULONG references = 1;
    int draws = 0;
    UINT drawn_triangles = 0;
    bool indices_in_range = true;
    d3d9_vertex_streams last_streams{};
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
        EXPECT_TRUE(device.indices_in_range);
        EXPECT_EQ(device.last_streams.vertex_count, shape.vertices);
        EXPECT_NE(device.last_streams.normals, nullptr);
        EXPECT_EQ(device.last_streams.diffuse, nullptr);
        EXPECT_EQ(device.last_streams.texcoords, nullptr);
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
