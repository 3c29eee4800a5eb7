// texture_test.cpp - point sampling with wrap, texture space orientation, MODULATE with the
// diffuse colour, specular added after texturing, perspective-correct coordinates, and the fast
// route sampling as the general route does.
#include "device_fixture.h"

#include "platform/d3d9/texture.h"

#include <bit>
#include <cmath>
#include <cstdlib>

namespace {

class TextureTest : public DeviceTest {
protected:
    void SetUp() override {
        create_device(64, 64);
        unlit_state();
        clear(0);
        std::vector<D3DCOLOR> texels;
        for (int i = 0; i < 16; ++i) texels.push_back(0xFF000000u | rgb(16 * i, 255 - 16 * i, 7 * i));
        ASSERT_EQ(d3d9_create_texture(4, 4, std::move(texels), &texture), D3D_OK);
        device->SetTexture(0, texture);
    }
    void TearDown() override {
        DeviceTest::TearDown();
        if (texture != nullptr) texture->Release();
    }

    uint32_t texel(int x, int y) const { return d3d9_texture_texels(texture).texels[y * 4 + x] & 0xFFFFFFu; }

    // Covers the whole buffer; texture coordinates run from (u0, v0) at the top-left corner of
    // the buffer (-0.5, -0.5) to (u1, v1) at the bottom-right corner.
    void full_screen(float u0, float v0, float u1, float v1, D3DCOLOR colour = 0xFFFFFFFF, D3DVECTOR normal = {}) {
        const float l = -1.0f - 1.0f / width, r = 1.0f - 1.0f / width;
        const float t = 1.0f + 1.0f / height, b = -1.0f + 1.0f / height;
        const test_vertex tl{{l, t, 0.5f}, normal, colour, u0, v0}, tr{{r, t, 0.5f}, normal, colour, u1, v0};
        const test_vertex bl{{l, b, 0.5f}, normal, colour, u0, v1}, br{{r, b, 0.5f}, normal, colour, u1, v1};
        ASSERT_EQ(draw({tl, tr, br, tl, br, bl}, {true, true, true}), D3D_OK);
    }

    IDirect3DTexture9* texture = nullptr;
};

// Expected texel index for coordinate t on an axis of n texels: floor(t * n) mod n.
int wrapped(double t, int n) { return ((int(std::floor(t * n)) % n) + n) % n; }

TEST_F(TextureTest, PointSamplingTopLeftOriginVDown) {
    full_screen(0, 0, 1, 1);
    for (int y = 0; y < height; y += 3) {
        for (int x = 0; x < width; x += 3) {
            const double u = (x + 0.5) / width, v = (y + 0.5) / height;
            ASSERT_EQ(pixel(x, y), texel(wrapped(u, 4), wrapped(v, 4))) << x << "," << y;
        }
    }
    EXPECT_EQ(pixel(0, 0), texel(0, 0));
    EXPECT_EQ(pixel(63, 0), texel(3, 0));
    EXPECT_EQ(pixel(0, 63), texel(0, 3));
}

TEST_F(TextureTest, WrapAddressingRepeatsAlsoForNegativeCoordinates) {
    full_screen(-2.25f, -1.5f, 1.75f, 2.5f);
    for (int y = 1; y < height; y += 4) {
        for (int x = 1; x < width; x += 4) {
            const double u = -2.25 + 4.0 * (x + 0.5) / width, v = -1.5 + 4.0 * (y + 0.5) / height;
            ASSERT_EQ(pixel(x, y), texel(wrapped(u, 4), wrapped(v, 4))) << x << "," << y;
        }
    }
}

TEST_F(TextureTest, ModulateMultipliesTexelAndDiffuse) {
    full_screen(0, 0, 1, 1, 0xFF808040);
    const uint32_t t = texel(1, 1);
    const auto channel = [](uint32_t c, int shift, int vertex) {
        return int(std::lround(((c >> shift) & 255) / 255.0 * vertex / 255.0 * 255.0));
    };
    EXPECT_EQ(pixel(20, 20), rgb(channel(t, 16, 0x80), channel(t, 8, 0x80), channel(t, 0, 0x40)));
}

TEST_F(TextureTest, SpecularIsAddedAfterTexturing) {
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Ambient = {1, 1, 1, 1};
    light.Specular = {0.25f, 0.25f, 0.25f, 1};
    light.Direction = {0, 0, 1};  // shines into the screen: lights faces looking at the camera
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    D3DMATERIAL9 m{};
    m.Ambient = {1, 1, 1, 1};
    m.Specular = {1, 1, 1, 1};
    m.Power = 0.0f;  // specular = 0.25 wherever the face is lit
    device->SetMaterial(&m);
    device->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    full_screen(0, 0, 1, 1, 0xFFFFFFFF, {0, 0, -1});
    const uint32_t t = texel(2, 1);
    const auto add = [](uint32_t c, int shift) { return std::min(255, int((c >> shift) & 255) + 64); };
    EXPECT_EQ(pixel(40, 20), rgb(add(t, 16), add(t, 8), add(t, 0)));
}

TEST_F(TextureTest, TextureCoordinatesArePerspectiveCorrect) {
    D3DMATRIX p{};  // w = z
    p._11 = p._22 = 1.0f, p._33 = 100.0f / 99.0f, p._34 = 1.0f, p._43 = -100.0f / 99.0f;
    device->SetTransform(D3DTS_PROJECTION, &p);
    // A floor strip from z = 2 (bottom of the screen) to z = 6, v from 1 to 0 along it.
    const float y = -1.0f;
    const test_vertex a{{-4, y, 2}, {}, 0xFFFFFFFF, 0, 1}, b{{4, y, 2}, {}, 0xFFFFFFFF, 1, 1};
    const test_vertex c{{4, y, 6}, {}, 0xFFFFFFFF, 1, 0}, d{{-4, y, 6}, {}, 0xFFFFFFFF, 0, 0};
    ASSERT_EQ(draw({a, c, b, a, d, c}, {false, true, true}), D3D_OK);
    // The strip's image runs from row 48 (z = 2) up to row 37.3 (z = 6). Row 41 sees z = 3.56
    // (v = 0.61) and row 39 z = 4.57 (v = 0.36); interpolating v linearly on screen would give
    // 0.34 and 0.16 instead.
    EXPECT_EQ(pixel(36, 41), texel(2, 2));
    EXPECT_EQ(pixel(36, 39), texel(2, 1));
}

}  // namespace

// Sampler and coordinate states each reach the pixels, whichever route draws them.
TEST_F(TextureTest, SamplerAndCoordinateStatesReachThePixels) {
    D3DMATRIX shift{};
    shift._11 = shift._22 = shift._33 = shift._44 = 1.0f;
    shift._31 = 0.5f;  // (u, v, 1, 0) moves by half a texture along u
    const struct {
        const char* name;
        float u0;
        int x, y;
        int expected_x, expected_y;  // the texel the pixel shows; -1: a blend of texels
    } cases[] = {
        {"clamp", -1.0f, 12, 20, 0, 1},
        {"missing coordinate set", 0.0f, 40, 40, 0, 0},
        {"texture transform", 0.0f, 5, 5, 2, 0},
        {"bilinear magnification", 0.0f, 15, 20, -1, 1},
    };
    for (int i = 0; i < 4; ++i) {
        const auto& c = cases[i];
        clear(0);
        device->SetSamplerState(0, D3DSAMP_ADDRESSU, i == 0 ? D3DTADDRESS_CLAMP : D3DTADDRESS_WRAP);
        device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, i == 1 ? 1 : 0);
        device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, i == 2 ? D3DTTFF_COUNT2 : D3DTTFF_DISABLE);
        device->SetTransform(D3DTS_TEXTURE0, &shift);
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, i == 3 ? D3DTEXF_LINEAR : D3DTEXF_POINT);
        full_screen(c.u0, 0, 1, 1);
        if (c.expected_x >= 0) {
            EXPECT_EQ(pixel(c.x, c.y), texel(c.expected_x, c.expected_y)) << c.name;
        } else {
            EXPECT_NE(pixel(c.x, c.y), texel(0, c.expected_y)) << c.name;
            EXPECT_NE(pixel(c.x, c.y), texel(1, c.expected_y)) << c.name;
        }
    }
}

namespace {

// A texture with its whole chain, each level its own picture: red along u, green along v, blue
// telling the levels apart.
IDirect3DTexture9* ramp_chain(IDirect3DDevice9* device, UINT size) {
    IDirect3DTexture9* texture = nullptr;
    if (device->CreateTexture(size, size, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr) != D3D_OK)
        return nullptr;
    for (DWORD level = 0; level < texture->GetLevelCount(); ++level) {
        const int n = int(size >> level);
        D3DLOCKED_RECT locked{};
        texture->LockRect(level, &locked, nullptr, 0);
        for (int j = 0; j < n; ++j) {
            auto* row = reinterpret_cast<D3DCOLOR*>(static_cast<unsigned char*>(locked.pBits) + j * locked.Pitch);
            for (int i = 0; i < n; ++i) {
                const int r = n > 1 ? i * 255 / (n - 1) : 128, g = n > 1 ? j * 255 / (n - 1) : 128;
                row[i] = 0xC0000000u | rgb(r, g, 40 * int(level));
            }
        }
        texture->UnlockRect(level);
    }
    return texture;
}

}  // namespace

// The fast route samples as the general route does, for every filter, mip filter and address
// mode, on stage 0 alone and with stage 1 modulating by a second texture at its own coordinates: a
// tilted, perspective mesh whose level of detail spans several levels, magnified and minified,
// drawn by each route (an alpha test that keeps everything sends it to the general one). Coverage
// is the same; a channel may differ by one level.
TEST_F(TextureTest, FastRouteSamplesAsTheGeneralRoute) {
    IDirect3DTexture9* chains[2] = {ramp_chain(device, 32), ramp_chain(device, 8)};
    ASSERT_NE(chains[0], nullptr);
    ASSERT_NE(chains[1], nullptr);
    D3DMATRIX p{};  // w = z
    p._11 = p._22 = 1.0f, p._33 = 1.0f, p._34 = 1.0f, p._43 = -0.5f;
    device->SetTransform(D3DTS_PROJECTION, &p);
    const auto f = [](float v) { return std::bit_cast<DWORD>(v); };
    enum { point = D3DTEXF_POINT, linear = D3DTEXF_LINEAR, none = D3DTEXF_NONE, aniso = D3DTEXF_ANISOTROPIC };
    enum { wrap = D3DTADDRESS_WRAP, mirror = D3DTADDRESS_MIRROR, clamp = D3DTADDRESS_CLAMP };
    enum { border = D3DTADDRESS_BORDER, once = D3DTADDRESS_MIRRORONCE };
    struct sampling {
        DWORD mag, min, mip, address_u, address_v;
        float bias;
        DWORD max_level;
    };
    const struct {
        sampling stage[2];  // stage 1 off where its mag filter is 0
        float scale;        // texture repeats across the mesh
    } rows[] = {
        {{{point, point, none, wrap, wrap, 0, 0}}, 3.1f},
        {{{linear, linear, none, wrap, wrap, 0, 0}}, 0.7f},
        {{{linear, linear, linear, mirror, clamp, 0, 0}}, 3.1f},
        {{{point, point, point, border, once, 0, 0}}, 2.3f},
        {{{linear, point, point, clamp, wrap, -1.0f, 0}}, 2.3f},
        {{{point, linear, none, mirror, border, 0, 0}}, 1.3f},
        {{{linear, linear, linear, wrap, mirror, 0.5f, 2}}, 3.1f},
        {{{linear, aniso, linear, once, border, 0, 0}}, 1.3f},
        {{{linear, linear, none, wrap, wrap, 0, 0}, {linear, linear, none, clamp, clamp, 0, 0}}, 0.7f},
        {{{linear, linear, linear, wrap, wrap, 0, 0}, {point, point, point, mirror, wrap, 0, 1}}, 3.1f},
        {{{point, point, none, wrap, wrap, 0, 0}, {linear, linear, linear, border, once, 0.5f, 0}}, 2.3f},
    };
    struct two_sets {
        float x, y, z;
        D3DCOLOR colour;
        float u0, v0, u1, v1;
    };
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX2);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    for (const auto& r : rows) {
        for (DWORD s = 0; s < 2; ++s) {
            const sampling& t = r.stage[s];
            device->SetTexture(s, t.mag != 0 ? chains[s] : nullptr);
            device->SetSamplerState(s, D3DSAMP_BORDERCOLOR, 0x80406080);
            device->SetSamplerState(s, D3DSAMP_MAGFILTER, t.mag);
            device->SetSamplerState(s, D3DSAMP_MINFILTER, t.min);
            device->SetSamplerState(s, D3DSAMP_MIPFILTER, t.mip);
            device->SetSamplerState(s, D3DSAMP_ADDRESSU, t.address_u);
            device->SetSamplerState(s, D3DSAMP_ADDRESSV, t.address_v);
            device->SetSamplerState(s, D3DSAMP_MIPMAPLODBIAS, f(t.bias));
            device->SetSamplerState(s, D3DSAMP_MAXMIPLEVEL, t.max_level);
        }
        // A floor from z = 1.1 at the bottom to z = 4 at the top, coordinates around the textures'
        // edges.
        std::vector<two_sets> mesh;
        std::vector<UINT> indices;
        constexpr int n = 6;
        for (int i = 0; i <= n; ++i) {
            for (int j = 0; j <= n; ++j) {
                const float x = 2.0f * float(j) / n - 1.0f, y = 2.0f * float(i) / n - 1.0f, z = 2.55f + 1.45f * y;
                mesh.push_back({x * z * 1.2f, y * z * 1.2f, z, 0xFFFFFFFF, r.scale * x - 0.17f, r.scale * y + 0.31f,
                                0.6f * r.scale * y + 0.05f, 1.3f * r.scale * x - 0.4f});
                if (i < n && j < n) {
                    const UINT a = UINT(i * (n + 1) + j);
                    indices.insert(indices.end(), {a, a + n + 1, a + 1, a + 1, a + n + 1, a + n + 2});
                }
            }
        }
        std::vector<uint32_t> pictures[2];
        for (int route = 0; route < 2; ++route) {
            clear(0x00000001);
            device->SetRenderState(D3DRS_ALPHATESTENABLE, route == 1);
            ASSERT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, UINT(mesh.size()), UINT(indices.size() / 3),
                                                     indices.data(), D3DFMT_INDEX32, mesh.data(), sizeof(two_sets)),
                      D3D_OK);
            pictures[route].assign(buffer().colour_pixels, buffer().colour_pixels + width * height);
        }
        device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        int far_off = 0, coverage = 0, drawn = 0;
        for (size_t i = 0; i < pictures[0].size(); ++i) {
            drawn += pictures[0][i] != 1;
            coverage += (pictures[0][i] == 1) != (pictures[1][i] == 1);
            for (int shift : {0, 8, 16}) {
                far_off += std::abs(int(pictures[0][i] >> shift & 0xFF) - int(pictures[1][i] >> shift & 0xFF)) > 1;
            }
        }
        const int row = int(&r - rows);
        EXPECT_GT(drawn, width * height / 2) << "row " << row;
        EXPECT_EQ(coverage, 0) << "row " << row;
        EXPECT_EQ(far_off, 0) << "row " << row;
    }
    for (DWORD s = 0; s < 2; ++s) device->SetTexture(s, nullptr);
    for (IDirect3DTexture9* chain : chains) chain->Release();
}

// Pre-transformed, screen-aligned quads (what 2-D programs draw: along each row only u changes),
// point and bilinear, magnified, minified and mirrored, sample as the general route does; on a
// target large enough for rows of pixels rather than small triangles.
class ScreenQuadTest : public DeviceTest {
protected:
    void SetUp() override {
        create_device(200, 120);
        unlit_state();
    }
};

TEST_F(ScreenQuadTest, SamplesAsTheGeneralRoute) {
    IDirect3DTexture9* texture = ramp_chain(device, 32);
    ASSERT_NE(texture, nullptr);
    struct screen_vertex {
        float x, y, z, rhw;
        D3DCOLOR colour;
        float u, v;
    };
    const struct {
        DWORD filter;
        float u0, u1, v0, v1;
    } rows[] = {
        {D3DTEXF_POINT, 0.0f, 0.7f, 0.1f, 0.9f},   {D3DTEXF_LINEAR, 0.0f, 0.7f, 0.1f, 0.9f},
        {D3DTEXF_LINEAR, -1.3f, 2.9f, 0.0f, 1.0f}, {D3DTEXF_POINT, -1.3f, 2.9f, 0.0f, 1.0f},
        {D3DTEXF_LINEAR, 1.0f, -0.4f, 1.2f, 0.3f},
    };
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    device->SetTexture(0, texture);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    for (const auto& r : rows) {
        device->SetSamplerState(0, D3DSAMP_MAGFILTER, r.filter);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, r.filter);
        const float left = 5.0f, top = 3.0f, right = float(width) - 7.0f, bottom = float(height) - 4.0f;
        const D3DCOLOR colour = 0xFFE0B090;
        const screen_vertex quad[4] = {{left, top, 0.3f, 0.5f, colour, r.u0, r.v0},
                                       {right, top, 0.3f, 0.5f, colour, r.u1, r.v0},
                                       {left, bottom, 0.3f, 0.5f, colour, r.u0, r.v1},
                                       {right, bottom, 0.3f, 0.5f, colour, r.u1, r.v1}};
        std::vector<uint32_t> pictures[2];
        for (int route = 0; route < 2; ++route) {
            clear(0x00000001);
            device->SetRenderState(D3DRS_ALPHATESTENABLE, route == 1);  // everything passes: the general route
            ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(screen_vertex)), D3D_OK);
            pictures[route].assign(buffer().colour_pixels, buffer().colour_pixels + width * height);
        }
        device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        int far_off = 0, coverage = 0;
        for (size_t i = 0; i < pictures[0].size(); ++i) {
            coverage += (pictures[0][i] == 1) != (pictures[1][i] == 1);
            for (int shift : {0, 8, 16}) {
                far_off += std::abs(int(pictures[0][i] >> shift & 0xFF) - int(pictures[1][i] >> shift & 0xFF)) > 1;
            }
        }
        EXPECT_EQ(coverage, 0) << "row " << &r - rows;
        EXPECT_EQ(far_off, 0) << "row " << &r - rows;
    }
    device->SetTexture(0, nullptr);
    texture->Release();
}
