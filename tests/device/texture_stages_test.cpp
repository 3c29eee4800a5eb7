// texture_stages_test.cpp - the texture stage cascade: the operations at their worked values, the
// rules that end or shape the cascade through real draws, and the coordinates a stage receives
// (transform, generation, a missing set).
#include "device_fixture.h"
#include "platform/d3d9/pixel_texture_stages.h"
#include "platform/d3d9/texture.h"
#include "platform/d3d9/vertex_general.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

int to_byte(float c) { return int(std::floor(c * 255.0f + 0.5f)); }

TEST(TextureStageOperations, WorkedValues) {
    // A1 = (200, 150, 100), A2 = (80, 60, 40), A0 = 30, alpha 64 where an operation weighs by one
    // (for the operations on ARG1's alpha it is A1.a = 64).
    const auto channel = [](int b) { return std::vector<float>(4, float(b) / 255.0f); };
    const std::vector<float> a0[4] = {channel(30), channel(30), channel(30), channel(30)};
    const std::vector<float> a1[4] = {channel(200), channel(150), channel(100), channel(64)};
    const std::vector<float> a2[4] = {channel(80), channel(60), channel(40), channel(64)};
    const std::vector<float> alpha = channel(64);
    const struct {
        uint32_t op;
        int r, g, b;
    } cases[] = {
        {D3DTOP_MODULATE, 63, 35, 16},
        {D3DTOP_MODULATE2X, 125, 71, 31},
        {D3DTOP_MODULATE4X, 251, 141, 63},
        {D3DTOP_ADD, 255, 210, 140},
        {D3DTOP_ADDSIGNED, 153, 83, 13},  // each exactly .5 above: 152.5, 82.5, 12.5
        {D3DTOP_ADDSIGNED2X, 255, 165, 25},
        {D3DTOP_SUBTRACT, 120, 90, 60},
        {D3DTOP_ADDSMOOTH, 217, 175, 124},
        {D3DTOP_BLENDDIFFUSEALPHA, 110, 83, 55},
        {D3DTOP_BLENDCURRENTALPHA, 110, 83, 55},
        {D3DTOP_BLENDTEXTUREALPHAPM, 255, 195, 130},
        {D3DTOP_MULTIPLYADD, 93, 65, 46},
        {D3DTOP_LERP, 94, 71, 47},
        {D3DTOP_MODULATEALPHA_ADDCOLOR, 220, 165, 110},
        {D3DTOP_MODULATECOLOR_ADDALPHA, 127, 99, 80},
        {D3DTOP_SELECTARG2, 80, 60, 40},
    };
    for (const auto& c : cases) {
        tx_inputs in{};
        for (int k = 0; k < 4; ++k) {
            in.arg[0].c[k] = a0[k].data(), in.arg[1].c[k] = a1[k].data(), in.arg[2].c[k] = a2[k].data();
        }
        in.alpha = alpha.data();
        std::vector<float> r(4), g(4), b(4), a(4);
        float* const out[4] = {r.data(), g.data(), b.data(), a.data()};
        ASSERT_NE(tx_colour_operation(c.op), nullptr) << c.op;
        tx_colour_operation(c.op)(4, in, out);
        EXPECT_NEAR(to_byte(r[0]), c.r, 1) << "op " << c.op;
        EXPECT_NEAR(to_byte(g[0]), c.g, 1) << "op " << c.op;
        EXPECT_NEAR(to_byte(b[0]), c.b, 1) << "op " << c.op;
    }
    // Bump mapping and unknown values are no operation (the cascade ends there).
    for (uint32_t op : {0u, 1u, 22u, 23u, 27u}) EXPECT_EQ(tx_colour_operation(op), nullptr) << op;
}

TEST(TextureStageOperations, DotProductIsReplicatedToAlpha) {
    const auto channel = [](int b) { return std::vector<float>(4, float(b) / 255.0f); };
    const struct {
        int a2[3];
        int expected;
    } cases[] = {{{204, 128, 128}, 153}, {{128, 255, 128}, 2}};
    for (const auto& c : cases) {
        const std::vector<float> a1[4] = {channel(255), channel(128), channel(128), channel(0)};
        const std::vector<float> a2[4] = {channel(c.a2[0]), channel(c.a2[1]), channel(c.a2[2]), channel(0)};
        tx_inputs in{};
        for (int k = 0; k < 4; ++k) in.arg[0].c[k] = in.arg[1].c[k] = a1[k].data(), in.arg[2].c[k] = a2[k].data();
        in.alpha = a1[3].data();
        std::vector<float> out[4] = {channel(0), channel(0), channel(0), channel(0)};
        float* const o[4] = {out[0].data(), out[1].data(), out[2].data(), out[3].data()};
        tx_colour_operation(D3DTOP_DOTPRODUCT3)(4, in, o);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(to_byte(out[k][0]), c.expected, 1) << "channel " << k;
    }
}

// A pre-transformed quad over the whole target with diffuse (100, 50, 200, alpha 128), textures
// of one texel each on stages 0 and 1.
class TextureStagesTest : public DeviceTest {
protected:
    void SetUp() override {
        create_device(8, 8);
        base = one_texel(0x40C89664u);   // (200, 150, 100), alpha 64
        light = one_texel(0xFF808080u);  // (128, 128, 128)
    }
    void TearDown() override {
        for (IDirect3DTexture9* t : {base, light}) {
            if (t != nullptr) t->Release();
        }
        DeviceTest::TearDown();
    }
    static IDirect3DTexture9* one_texel(D3DCOLOR c) {
        IDirect3DTexture9* t = nullptr;
        EXPECT_EQ(d3d9_create_texture(1, 1, std::vector<D3DCOLOR>{c}, &t), D3D_OK);
        return t;
    }
    uint32_t draw_quad() {
        struct vertex {
            float x, y, z, rhw;
            D3DCOLOR diffuse;
            float u, v;
        } quad[4] = {{-0.5f, -0.5f, 0.5f, 1, 0x806432C8u, 0, 0},
                     {7.5f, -0.5f, 0.5f, 1, 0x806432C8u, 1, 0},
                     {-0.5f, 7.5f, 0.5f, 1, 0x806432C8u, 0, 1},
                     {7.5f, 7.5f, 0.5f, 1, 0x806432C8u, 1, 1}};
        device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(vertex)), D3D_OK);
        return pixel(3, 3) & 0xFFFFFFu;
    }
    IDirect3DTexture9* base = nullptr;
    IDirect3DTexture9* light = nullptr;
};

struct stage_state {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE type;
    DWORD value;
};

TEST_F(TextureStagesTest, CascadeRules) {
    const DWORD alpha_rgb = D3DTA_CURRENT | D3DTA_ALPHAREPLICATE;
    const struct {
        const char* name;
        bool base_on_0, light_on_1;
        std::vector<stage_state> states;
        uint32_t expected;
    } cases[] = {
        {"default stage 0: texel times diffuse", true, false, {}, rgb(78, 29, 78)},
        {"no texture: the diffuse colour", false, false, {}, rgb(100, 50, 200)},
        {"COLOROP DISABLE on stage 0: the diffuse colour",
         true,
         false,
         {{0, D3DTSS_COLOROP, D3DTOP_DISABLE}},
         rgb(100, 50, 200)},
        {"light map",
         true,
         true,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {1, D3DTSS_COLOROP, D3DTOP_MODULATE}},
         rgb(100, 75, 50)},
        {"stage 1 reads a missing texture: ends before it",
         true,
         false,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {1, D3DTSS_COLOROP, D3DTOP_MODULATE}},
         rgb(200, 150, 100)},
        {"a disabled stage ends the cascade",
         true,
         true,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1},
          {1, D3DTSS_COLOROP, D3DTOP_DISABLE},
          {2, D3DTSS_COLOROP, D3DTOP_SELECTARG1},
          {2, D3DTSS_COLORARG1, D3DTA_TFACTOR}},
         rgb(200, 150, 100)},
        {"complement",
         true,
         false,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT}},
         rgb(55, 105, 155)},
        {"alpha replicate",
         true,
         false,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE}},
         rgb(64, 64, 64)},
        {"replicate before complement",
         true,
         false,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1},
          {0, D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE | D3DTA_COMPLEMENT}},
         rgb(191, 191, 191)},
        {"a last stage writing TEMP leaves CURRENT",
         true,
         false,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {0, D3DTSS_RESULTARG, D3DTA_TEMP}},
         rgb(100, 50, 200)},
        {"TEMP carries a value to a later stage",
         true,
         false,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1},
          {0, D3DTSS_COLORARG1, D3DTA_TFACTOR},
          {0, D3DTSS_RESULTARG, D3DTA_TEMP},
          {1, D3DTSS_COLOROP, D3DTOP_ADD},
          {1, D3DTSS_COLORARG1, D3DTA_TEMP},
          {1, D3DTSS_COLORARG2, D3DTA_DIFFUSE}},
         rgb(110, 70, 240)},
        {"TEMP starts black",
         false,
         false,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {0, D3DTSS_COLORARG1, D3DTA_TEMP}},
         rgb(0, 0, 0)},
        {"CONSTANT defaults to white",
         false,
         false,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {0, D3DTSS_COLORARG1, D3DTA_CONSTANT}},
         rgb(255, 255, 255)},
        {"ALPHAOP DISABLE passes the alpha on",
         true,
         false,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1},
          {0, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
          {1, D3DTSS_COLOROP, D3DTOP_SELECTARG1},
          {1, D3DTSS_COLORARG1, alpha_rgb},
          {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE}},
         rgb(128, 128, 128)},
        {"DOTPRODUCT3 writes alpha too",
         true,
         false,
         {{0, D3DTSS_COLOROP, D3DTOP_DOTPRODUCT3},
          {0, D3DTSS_COLORARG2, D3DTA_TEXTURE},
          {1, D3DTSS_COLOROP, D3DTOP_SELECTARG1},
          {1, D3DTSS_COLORARG1, alpha_rgb}},
         rgb(102, 102, 102)},
        {"PREMODULATE multiplies into the next stage's texture",
         true,
         true,
         {{0, D3DTSS_COLOROP, D3DTOP_PREMODULATE}, {1, D3DTSS_COLOROP, D3DTOP_SELECTARG1}},
         rgb(100, 75, 50)},
        {"a bump-map operation ends the cascade",
         true,
         true,
         {{0, D3DTSS_COLOROP, D3DTOP_SELECTARG1}, {1, D3DTSS_COLOROP, D3DTOP_BUMPENVMAP}},
         rgb(200, 150, 100)},
    };
    for (const auto& c : cases) {
        for (DWORD s = 0; s < 3; ++s) {
            device->SetTextureStageState(s, D3DTSS_COLOROP, s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE);
            device->SetTextureStageState(s, D3DTSS_ALPHAOP, s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE);
            device->SetTextureStageState(s, D3DTSS_COLORARG1, D3DTA_TEXTURE);
            device->SetTextureStageState(s, D3DTSS_COLORARG2, D3DTA_CURRENT);
            device->SetTextureStageState(s, D3DTSS_RESULTARG, D3DTA_CURRENT);
        }
        device->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF0A1428u);  // (10, 20, 40)
        device->SetTexture(0, c.base_on_0 ? base : nullptr);
        device->SetTexture(1, c.light_on_1 ? light : nullptr);
        for (const stage_state& s : c.states) device->SetTextureStageState(s.stage, s.type, s.value);
        EXPECT_EQ(draw_quad(), c.expected) << c.name;
    }
}

}  // namespace

// ---- the coordinates a stage receives ----

namespace {

D3DMATRIX identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

struct coordinate_case {
    const char* name;
    uint32_t index, flags;
    float matrix_31;
    float expected[4];
};

TEST(TextureStageCoordinates, TransformGenerationAndMissingSets) {
    // A vertex at (0, 0, 2) with its normal towards the eye and up, N = (0, 0.7071, -0.7071); set 0
    // (0.25, 0.5). With identity matrices and a local viewer: I = (0, 0, 1), R = I - 2 (N.I) N =
    // (0, 1, 0); sphere map m = 2 sqrt(2): (0.5, 0.5 - 1 / m).
    const float h = std::sqrt(0.5f);
    const coordinate_case cases[] = {
        {"set 0 through the matrix", 0, D3DTTFF_COUNT2, 0.5f, {0.75f, 0.5f, 1.0f, 0.0f}},
        {"set 0 as it is", 0, D3DTTFF_DISABLE, 0.5f, {0.25f, 0.5f, 0.0f, 1.0f}},
        {"a missing set reads (0, 0)", 5, D3DTTFF_DISABLE, 0.0f, {0.0f, 0.0f, 0.0f, 1.0f}},
        {"camera-space normal", D3DTSS_TCI_CAMERASPACENORMAL, 0, 0.0f, {0.0f, h, -h, 1.0f}},
        {"camera-space position", D3DTSS_TCI_CAMERASPACEPOSITION, 0, 0.0f, {0.0f, 0.0f, 2.0f, 1.0f}},
        {"reflection vector", D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR, 0, 0.0f, {0.0f, 1.0f, 0.0f, 1.0f}},
        {"sphere map", D3DTSS_TCI_SPHEREMAP, 0, 0.0f, {0.5f, 0.5f - 1.0f / (4.0f * h), 0.0f, 1.0f}},
        {"a generated vector through the matrix",
         D3DTSS_TCI_CAMERASPACEPOSITION,
         D3DTTFF_COUNT4,
         0.5f,
         {1.0f, 0.0f, 2.0f, 1.0f}},
    };
    tnl_matrices matrices{};
    tnl_build_matrices(identity(), identity(), identity(), &matrices);
    for (const coordinate_case& c : cases) {
        vg_inputs in;
        in.matrices = &matrices;
        in.switches.lighting = false;
        in.stage_mask = 1u << 3;  // stage 3 reads the case's coordinates
        in.set_components[0] = 2;
        in.stages[3].index = c.index;
        in.stages[3].flags = c.flags;
        const D3DMATRIX m = identity();
        std::memcpy(in.stages[3].matrix, &m, sizeof m);
        in.stages[3].matrix[2][0] = c.matrix_31;
        vi_vertex v{};
        v.position[2] = 2.0f, v.position[3] = 1.0f;
        v.normal[1] = h, v.normal[2] = -h;
        v.has_normal = true;
        for (auto& t : v.texcoord) t[0] = t[1] = t[2] = 0.0f, t[3] = 1.0f;
        v.texcoord[0][0] = 0.25f, v.texcoord[0][1] = 0.5f;
        vg_draw_storage storage;
        const vg_draw* draw = vg_prepare(in, &storage);
        ASSERT_NE(draw, nullptr);
        gv_clip_vertex out{};
        vg_process(draw, v, &out);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(out.attr[gv_texcoord + 12 + k], c.expected[k], 1e-5f) << c.name << k;
    }
}

}  // namespace
