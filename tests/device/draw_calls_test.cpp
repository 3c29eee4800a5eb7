// The draw calls through the public interface: what each reads, the documented effects of the UP
// calls on the bindings, the winding of strips and fans, flat shading, pre-transformed vertices,
// and the arguments that fail without drawing.
#include "device_fixture.h"

#include "platform/d3d9/texture.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

struct tl_vertex {  // XYZRHW | DIFFUSE
    float x, y, z, rhw;
    D3DCOLOR colour;
};
constexpr DWORD tl_fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

class DrawCallsTest : public DeviceTest {
protected:
    void SetUp() override {
        create_device();
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
        device->SetFVF(tl_fvf);
        clear(0);
    }

    IDirect3DVertexBuffer9* vertex_buffer(const void* data, UINT size, DWORD fvf = tl_fvf) {
        IDirect3DVertexBuffer9* vb = nullptr;
        EXPECT_EQ(device->CreateVertexBuffer(size, 0, fvf, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
        void* p = nullptr;
        EXPECT_EQ(vb->Lock(0, 0, &p, 0), D3D_OK);
        std::memcpy(p, data, size);
        vb->Unlock();
        return vb;
    }
};

TEST_F(DrawCallsTest, ThePreTransformedColouredTriangleAtItsWorkedPixel) {
    const tl_vertex v[3] = {
        {150, 50, 0.5f, 1, 0xFFFF0000}, {250, 250, 0.5f, 1, 0xFF00FF00}, {50, 250, 0.5f, 1, 0xFF0000FF}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(tl_vertex)), D3D_OK);
    EXPECT_EQ(pixel(150, 183), rgb(85, 85, 85));
    EXPECT_EQ(pixel(150, 49), 0u);
}

TEST_F(DrawCallsTest, UpCallsUnbindWhatTheyReplace) {
    const tl_vertex v[3] = {{10, 10, 0.5f, 1, ~0u}, {20, 10, 0.5f, 1, ~0u}, {10, 20, 0.5f, 1, ~0u}};
    IDirect3DVertexBuffer9* vb = vertex_buffer(v, sizeof v);
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    const uint16_t indices[3] = {0, 1, 2};
    const auto bound = [&](IDirect3DVertexBuffer9** stream, IDirect3DIndexBuffer9** index) {
        UINT offset = 1, stride = 1;
        device->GetStreamSource(0, stream, &offset, &stride);
        device->GetIndices(index);
    };
    for (bool indexed : {false, true}) {
        device->SetStreamSource(0, vb, 0, sizeof(tl_vertex));
        device->SetIndices(ib);
        ASSERT_EQ(indexed ? device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, indices, D3DFMT_INDEX16, v,
                                                           sizeof(tl_vertex))
                          : device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(tl_vertex)),
                  D3D_OK);
        IDirect3DVertexBuffer9* stream = nullptr;
        IDirect3DIndexBuffer9* index = nullptr;
        bound(&stream, &index);
        EXPECT_EQ(stream, nullptr);
        EXPECT_EQ(index == nullptr, indexed);
        if (index != nullptr) index->Release();
    }
    EXPECT_EQ(ib->Release(), 0u);  // unbinding took no reference of the program's
    EXPECT_EQ(vb->Release(), 0u);
}

// Vertices 0 (0,0), 1 (0,10), 2 (10,0), 3 (10,10) as a strip: both triangles counter-clockwise, so
// both go under the default culling and both stay with CULL_CW.
TEST_F(DrawCallsTest, StripTrianglesShareTheFirstOnesWinding) {
    const tl_vertex v[4] = {
        {100, 100, 0.5f, 1, ~0u}, {100, 140, 0.5f, 1, ~0u}, {140, 100, 0.5f, 1, ~0u}, {140, 140, 0.5f, 1, ~0u}};
    struct row {
        DWORD cull;
        int pixels;
    } rows[] = {{D3DCULL_CCW, 0}, {D3DCULL_CW, 1600}, {D3DCULL_NONE, 1600}};
    for (const row& r : rows) {
        clear(0);
        device->SetRenderState(D3DRS_CULLMODE, r.cull);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(tl_vertex)), D3D_OK);
        EXPECT_EQ(count_pixels(0xFFFFFF), r.pixels) << r.cull;
    }
}

TEST_F(DrawCallsTest, EveryPrimitiveTypeFromBuffersWithBaseVertexAndStartIndex) {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // Two unused vertices first, so that the base vertex matters.
    const tl_vertex v[6] = {{0, 0, 9, 1, 0},        {0, 0, 9, 1, 0},        {10, 10, 0.5f, 1, ~0u},
                            {30, 10, 0.5f, 1, ~0u}, {30, 30, 0.5f, 1, ~0u}, {10, 30, 0.5f, 1, ~0u}};
    IDirect3DVertexBuffer9* vb = vertex_buffer(v, sizeof v);
    const uint32_t indices[8] = {7, 7, 0, 1, 2, 3, 0, 2};
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(sizeof indices, 0, D3DFMT_INDEX32, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    void* p = nullptr;
    ib->Lock(0, 0, &p, 0);
    std::memcpy(p, indices, sizeof indices);
    ib->Unlock();
    device->SetStreamSource(0, vb, 0, sizeof(tl_vertex));
    device->SetIndices(ib);
    struct row {
        D3DPRIMITIVETYPE type;
        UINT count;
        int pixels;
    } rows[] = {
        {D3DPT_POINTLIST, 4, 4},      {D3DPT_LINELIST, 2, 42},     {D3DPT_LINESTRIP, 3, 61},
        {D3DPT_TRIANGLELIST, 1, 210}, {D3DPT_TRIANGLEFAN, 2, 400}, {D3DPT_TRIANGLESTRIP, 2, 400},
    };
    for (const row& r : rows) {
        clear(0);
        // Indices from the third on, based at vertex 2: the square's corners in order.
        ASSERT_EQ(device->DrawIndexedPrimitive(r.type, 2, 0, 4, 2, r.count), D3D_OK) << r.type;
        if (r.type == D3DPT_TRIANGLESTRIP) continue;  // corners 0 1 2 3 as a strip cross: only count the fan
        EXPECT_EQ(count_pixels(0xFFFFFF), r.pixels) << r.type;
    }
    ib->Release();
    vb->Release();
}

// The device keeps what it learnt of an index buffer's contents until the buffer is locked again.
TEST_F(DrawCallsTest, IndexBufferChangesReachTheNextDraw) {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    const tl_vertex v[4] = {
        {10, 10, 0.5f, 1, ~0u}, {30, 10, 0.5f, 1, ~0u}, {10, 30, 0.5f, 1, ~0u}, {200, 200, 0.5f, 1, ~0u}};
    IDirect3DVertexBuffer9* vb = vertex_buffer(v, sizeof v);
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    device->SetStreamSource(0, vb, 0, sizeof(tl_vertex));
    device->SetIndices(ib);
    const uint16_t first[3] = {0, 1, 2}, second[3] = {0, 1, 3}, beyond[3] = {0, 1, 4};
    struct row {
        const uint16_t* indices;
        HRESULT result;
        int pixels;
    } rows[] = {{first, D3D_OK, 210}, {second, D3D_OK, 0}, {beyond, D3DERR_INVALIDCALL, 0}};
    for (const row& r : rows) {
        void* p = nullptr;
        ASSERT_EQ(ib->Lock(0, 0, &p, 0), D3D_OK);
        std::memcpy(p, r.indices, 6);
        ib->Unlock();
        clear(0);
        EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 1), r.result);
        const int drawn = width * height - count_pixels(0);
        if (r.pixels != 0) {
            EXPECT_EQ(drawn, r.pixels);
        }
        EXPECT_EQ(drawn > 210, r.indices == second);
    }
    ib->Release();
    vb->Release();
}

TEST_F(DrawCallsTest, FlatShadingTakesTheFirstVertexColour) {
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    const tl_vertex v[3] = {
        {150, 50, 0.5f, 1, 0xFFFF0000}, {250, 250, 0.5f, 1, 0xFF00FF00}, {50, 250, 0.5f, 1, 0xFF0000FF}};
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(tl_vertex)), D3D_OK);
    EXPECT_EQ(pixel(150, 183), rgb(255, 0, 0));
    EXPECT_EQ(pixel(60, 248), rgb(255, 0, 0));
}

TEST_F(DrawCallsTest, BadDrawsFailAndDrawNothing) {
    const tl_vertex v[3] = {{10, 10, 0.5f, 1, ~0u}, {30, 10, 0.5f, 1, ~0u}, {10, 30, 0.5f, 1, ~0u}};
    IDirect3DVertexBuffer9* vb = vertex_buffer(v, sizeof v);
    const uint16_t beyond[3] = {0, 1, 3};
    struct row {
        const char* name;
        std::function<HRESULT()> call;
    } rows[] = {
        {"no stream bound", [&] { return device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1); }},
        {"more vertices than the buffer",
         [&] {
             device->SetStreamSource(0, vb, 0, sizeof(tl_vertex));
             return device->DrawPrimitive(D3DPT_TRIANGLELIST, 1, 1);
         }},
        {"stride below the vertex",
         [&] {
             device->SetStreamSource(0, vb, 0, 12);
             return device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
         }},
        {"no index buffer", [&] { return device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1); }},
        {"unknown primitive type",
         [&] { return device->DrawPrimitiveUP(D3DPRIMITIVETYPE(9), 1, v, sizeof(tl_vertex)); }},
        {"zero stride", [&] { return device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, 0); }},
        {"null vertices", [&] { return device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, sizeof(tl_vertex)); }},
        {"index beyond the vertices",
         [&] {
             return device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, beyond, D3DFMT_INDEX16, v,
                                                   sizeof(tl_vertex));
         }},
        {"index format",
         [&] {
             return device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, beyond, D3DFMT_D16, v,
                                                   sizeof(tl_vertex));
         }},
        {"too many primitives",
         [&] { return device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 0x100000, v, sizeof(tl_vertex)); }},
        {"no position",
         [&] {
             device->SetFVF(D3DFVF_DIFFUSE);
             return device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(tl_vertex));
         }},
    };
    for (const row& r : rows) {
        EXPECT_EQ(r.call(), D3DERR_INVALIDCALL) << r.name;
        EXPECT_EQ(count_pixels(0), width * height) << r.name;
    }
    device->SetFVF(tl_fvf);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 0, v, sizeof(tl_vertex)), D3D_OK);  // nothing to draw
    vb->Release();
}

// A lit mesh drawn by the fast route and again by the general one (an alpha test that keeps
// everything sends it there) gives the same picture, with vertex fog of every formula and the
// blending the fast route takes, drawn twice so that blending reads a varied target. A channel may
// differ by one level: the fast route scales colours to 0..255 before interpolating, so a value
// within rounding of a half can round the other way.
TEST_F(DrawCallsTest, FastAndGeneralRoutesAgree) {
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = light.Specular = {1, 0.8f, 0.6f, 1};
    light.Position = {0.3f, 0.4f, -1.0f};
    light.Range = 10;
    light.Attenuation0 = 1;
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    D3DMATERIAL9 material{};
    material.Diffuse = {0.8f, 0.6f, 0.4f, 0.6f};
    material.Specular = {1, 1, 1, 1};
    material.Power = 8;
    device->SetMaterial(&material);
    D3DMATRIX projection{};
    projection._11 = projection._22 = 1, projection._33 = 1.0001f, projection._34 = 1, projection._43 = -0.010001f;
    device->SetTransform(D3DTS_PROJECTION, &projection);
    std::vector<D3DCOLOR> texels;
    for (int i = 0; i < 16; ++i) texels.push_back(D3DCOLOR(17 * i) << 24 | rgb(16 * i, 255 - 16 * i, 200));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(d3d9_create_texture(4, 4, std::move(texels), &texture), D3D_OK);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);  // the alpha the fast kernels blend with
    std::vector<test_vertex> mesh;
    for (int i = 0; i < 12; ++i) {
        for (int j = 0; j < 12; ++j) {
            const float x = float(j) / 6 - 1, y = float(i) / 6 - 1;
            const D3DCOLOR colour = D3DCOLOR(20 * i + 9 * j) << 24 | rgb(20 * j, 200, 20 * i);
            mesh.push_back({{x, y, 1.5f + 0.2f * x * y}, {0.1f * x, 0.1f * y, -1}, colour, x, y});
        }
    }
    std::vector<UINT> indices;
    for (UINT i = 0; i + 1 < 12; ++i) {
        for (UINT j = 0; j + 1 < 12; ++j) {
            const UINT a = i * 12 + j;
            indices.insert(indices.end(), {a, a + 12, a + 1, a + 1, a + 12, a + 13});
        }
    }
    const auto f = [](float v) { return std::bit_cast<DWORD>(v); };
    using state = std::pair<D3DRENDERSTATETYPE, DWORD>;
    const std::vector<state> defaults = {{D3DRS_FOGENABLE, FALSE},
                                         {D3DRS_FOGVERTEXMODE, D3DFOG_NONE},
                                         {D3DRS_RANGEFOGENABLE, FALSE},
                                         {D3DRS_FOGSTART, f(1.3f)},
                                         {D3DRS_FOGEND, f(1.8f)},
                                         {D3DRS_FOGDENSITY, f(0.8f)},
                                         {D3DRS_FOGCOLOR, 0x00FF8040},
                                         {D3DRS_ALPHABLENDENABLE, FALSE},
                                         {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
                                         {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
                                         {D3DRS_COLORVERTEX, FALSE}};
    const state fog = {D3DRS_FOGENABLE, TRUE}, blend = {D3DRS_ALPHABLENDENABLE, TRUE};
    struct row {
        const char* name;
        std::vector<state> states;
        bool textured;
    };
    const row rows[] = {
        {"lit", {}, false},
        {"linear fog", {fog, {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR}}, false},
        {"linear fog, start = end",
         {fog, {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR}, {D3DRS_FOGSTART, f(1.5f)}, {D3DRS_FOGEND, f(1.5f)}},
         false},
        {"exp fog, textured", {fog, {D3DRS_FOGVERTEXMODE, D3DFOG_EXP}}, true},
        {"exp2 range fog", {fog, {D3DRS_FOGVERTEXMODE, D3DFOG_EXP2}, {D3DRS_RANGEFOGENABLE, TRUE}}, false},
        {"fog without a vertex formula", {fog}, false},
        {"source alpha", {blend}, false},
        {"source alpha, vertex colours, textured", {blend, {D3DRS_COLORVERTEX, TRUE}}, true},
        {"both source alpha over linear fog",
         {blend, {D3DRS_SRCBLEND, D3DBLEND_BOTHSRCALPHA}, fog, {D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR}},
         false},
        {"one / one, exp fog, textured",
         {blend,
          {D3DRS_SRCBLEND, D3DBLEND_ONE},
          {D3DRS_DESTBLEND, D3DBLEND_ONE},
          fog,
          {D3DRS_FOGVERTEXMODE, D3DFOG_EXP}},
         true},
        {"one / zero", {blend, {D3DRS_SRCBLEND, D3DBLEND_ONE}, {D3DRS_DESTBLEND, D3DBLEND_ZERO}}, false},
    };
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    for (const row& r : rows) {
        for (const state& s : defaults) device->SetRenderState(s.first, s.second);
        for (const state& s : r.states) device->SetRenderState(s.first, s.second);
        device->SetTexture(0, r.textured ? texture : nullptr);
        std::vector<uint32_t> pictures[2];
        for (int route = 0; route < 2; ++route) {
            clear(0x00305070);
            device->SetRenderState(D3DRS_ALPHATESTENABLE, route == 1);
            for (int pass = 0; pass < 2; ++pass) {
                ASSERT_EQ(draw(mesh, {true, true, r.textured}, indices), D3D_OK) << r.name;
            }
            pictures[route].assign(buffer().colour_pixels, buffer().colour_pixels + width * height);
        }
        device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        int differ = 0, far_off = 0;
        for (size_t i = 0; i < pictures[0].size(); ++i) {
            if (pictures[0][i] == pictures[1][i]) continue;
            ++differ;
            for (int shift : {0, 8, 16}) {
                const int a = int(pictures[0][i] >> shift & 0xFF), b = int(pictures[1][i] >> shift & 0xFF);
                if (std::abs(a - b) > 1) ++far_off;
            }
        }
        EXPECT_GT(width * height - count_pixels(0x00305070), width * height / 4)
            << r.name;  // the mesh covers the middle
        EXPECT_EQ(far_off, 0) << r.name;
        EXPECT_LT(differ, width * height / 100) << r.name << ": " << differ;
    }
    device->SetTexture(0, nullptr);
    texture->Release();
}

}  // namespace

// Blending by source alpha reads the alpha stage 0 makes: by default the texture's alone, with
// ALPHAOP MODULATE the texture's times the diffuse alpha. Whichever route draws it.
TEST_F(DrawCallsTest, BlendingReadsTheAlphaOfTheTextureStages) {
    struct tex_vertex {
        float x, y, z, rhw;
        D3DCOLOR colour;
        float u, v;
    };
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(d3d9_create_texture(1, 1, std::vector<D3DCOLOR>{0xFFFFFFFFu}, &texture), D3D_OK);
    device->SetTexture(0, texture);
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    const D3DCOLOR half = 0x80FFFFFFu;
    const tex_vertex quad[4] = {{0, 0, 0.5f, 1, half, 0, 0},
                                {64, 0, 0.5f, 1, half, 1, 0},
                                {0, 64, 0.5f, 1, half, 0, 1},
                                {64, 64, 0.5f, 1, half, 1, 1}};
    const struct {
        DWORD alpha_op;
        uint32_t expected;
    } rows[] = {{D3DTOP_SELECTARG1, rgb(255, 255, 255)}, {D3DTOP_MODULATE, rgb(128, 128, 128)}};
    for (const auto& r : rows) {
        clear(0);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, r.alpha_op);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(tex_vertex)), D3D_OK);
        EXPECT_EQ(pixel(20, 20), r.expected) << r.alpha_op;
    }
    device->SetTexture(0, nullptr);
    texture->Release();
}
