// lighting_test.cpp - per-vertex lighting seen in the pixels: the worked colours of the demos'
// light, highlights, colour sources, ambient, normals and the light's space.
#include "device_fixture.h"

#include <cmath>

namespace {

struct light_colour {
    float r, g, b;
};

class LightingTest : public DeviceTest {
protected:
    void SetUp() override {
        create_device(64, 64);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        clear(0);
    }

    // The demos' light: directional, from above and the camera's side, white highlights.
    void set_light(float diffuse, float ambient) {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {diffuse, diffuse, diffuse, 1.0f};
        light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
        light.Ambient = {ambient, ambient, ambient, 1.0f};
        light.Direction = {0.0f, -1.0f, -1.0f};
        ASSERT_EQ(device->SetLight(0, &light), D3D_OK);
        ASSERT_EQ(device->LightEnable(0, TRUE), D3D_OK);
    }

    void set_material(light_colour c, float power = 64.0f) {
        D3DMATERIAL9 m{};
        m.Diffuse = {c.r, c.g, c.b, 1.0f};
        m.Ambient = {c.r, c.g, c.b, 1.0f};
        m.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
        m.Power = power;
        ASSERT_EQ(device->SetMaterial(&m), D3D_OK);
    }

    // A square around the screen centre at depth 0.5, every vertex with the same normal.
    std::vector<test_vertex> square(D3DVECTOR normal, float half = 0.5f) {
        std::vector<test_vertex> v;
        const float corners[6][2] = {{-1, -1}, {-1, 1}, {1, 1}, {-1, -1}, {1, 1}, {1, -1}};
        for (auto& c : corners) v.push_back({{c[0] * half, c[1] * half, 0.5f}, normal});
        return v;
    }

    uint32_t lit_centre(D3DVECTOR normal, test_streams streams = {true, false, false}) {
        clear(0);
        EXPECT_EQ(draw(square(normal), streams), D3D_OK);
        return pixel(32, 32);
    }
};

TEST_F(LightingTest, WorkedColoursOfTheDemoLights) {
    struct test_case {
        light_colour material;
        float diffuse, ambient;
        uint32_t lit, unlit;
    };
    const test_case cases[] = {
        {{0.2f, 1.0f, 0.2f}, 0.8f, 0.2f, rgb(39, 195, 39), rgb(10, 51, 10)},
        {{1.0f, 0.2f, 0.2f}, 0.8f, 0.2f, rgb(195, 39, 39), rgb(51, 10, 10)},
        {{0.2f, 0.2f, 1.0f}, 0.9f, 0.1f, rgb(38, 38, 188), rgb(5, 5, 26)},
    };
    for (const test_case& c : cases) {
        set_light(c.diffuse, c.ambient);
        set_material(c.material);
        EXPECT_EQ(lit_centre({0, 1, 0}), c.lit);     // N.L = 0.7071
        EXPECT_EQ(lit_centre({0, -1, 0}), c.unlit);  // faces away: ambient only
    }
}

TEST_F(LightingTest, LightDirectionFollowsTheViewButNotTheWorld) {
    set_light(0.8f, 0.2f);
    set_material({0.2f, 1.0f, 0.2f});
    const float a = 0.9f, c = std::cos(a), s = std::sin(a);
    D3DMATRIX roll{};  // rotation about z
    roll._11 = c, roll._12 = s, roll._21 = -s, roll._22 = c, roll._33 = 1, roll._44 = 1;
    device->SetTransform(D3DTS_VIEW, &roll);
    EXPECT_EQ(lit_centre({0, 1, 0}), rgb(39, 195, 39));

    D3DMATRIX identity{};
    identity._11 = identity._22 = identity._33 = identity._44 = 1;
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_WORLD, &roll);
    // The object normal that the world turns to (0, 1, 0): lit as the box top.
    EXPECT_EQ(lit_centre({s, c, 0}), rgb(39, 195, 39));
}

TEST_F(LightingTest, WhiteHighlightWhereTheNormalIsTheHalfwayVector) {
    set_light(0.8f, 0.2f);
    set_material({1.0f, 0.2f, 0.2f}, 64.0f);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    std::vector<test_vertex> v = square({0, 0, 0});
    const float l[3] = {0.0f, 0.70710678f, 0.70710678f};
    for (test_vertex& t : v) {  // N = norm(norm(-V) + L) at each vertex: N.H = 1
        const D3DVECTOR p = t.position;
        const float len = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
        float h[3] = {-p.x / len + l[0], -p.y / len + l[1], -p.z / len + l[2]};
        const float hl = std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
        t.normal = {h[0] / hl, h[1] / hl, h[2] / hl};
    }
    ASSERT_EQ(draw(v, {true, false, false}), D3D_OK);
    EXPECT_EQ(pixel(32, 32), rgb(255, 255, 255));
}

TEST_F(LightingTest, HighlightIsTheHalfwayCosineToThePowerForWholeAndFractionalPowers) {
    set_light(0.8f, 0.2f);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    device->SetRenderState(D3DRS_LOCALVIEWER, FALSE);  // H = norm((0, 0, -1) + L) at every vertex
    const double n_dot_h = 0.70710678 / std::sqrt(0.5 + 0.29289322 * 0.29289322);  // N = (0, 1, 0)
    for (float power : {1.0f, 2.0f, 16.0f, 64.0f, 10.5f, 0.25f}) {
        set_material({0.0f, 0.0f, 0.0f}, power);  // black: the pixel is the highlight alone
        const uint32_t c = lit_centre({0, 1, 0});
        const long expected = std::lround(255.0 * std::pow(n_dot_h, double(power)));
        EXPECT_NEAR(double(c & 0xFF), double(expected), 1.0) << "power " << power;
        EXPECT_EQ(c, rgb(c & 0xFF, c & 0xFF, c & 0xFF)) << "power " << power;
    }
}

TEST_F(LightingTest, NoSpecularOnFacesTheLightDoesNotReachEvenWithPowerZero) {
    set_light(0.8f, 0.2f);
    set_material({0.2f, 1.0f, 0.2f}, 0.0f);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    EXPECT_EQ(lit_centre({0, 0, -1}), rgb(10, 51, 10));    // N.L < 0 although N.H > 0
    EXPECT_EQ(lit_centre({0, 1, 0}), rgb(255, 255, 255));  // power 0: full specular where lit
    device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    EXPECT_EQ(lit_centre({0, 1, 0}), rgb(39, 195, 39));
}

TEST_F(LightingTest, TheSecondMaterialReplacesTheFirst) {
    set_light(0.8f, 0.2f);
    set_material({1.0f, 0.2f, 0.2f});
    set_material({0.2f, 1.0f, 0.2f});
    D3DMATERIAL9 m{};
    device->GetMaterial(&m);
    EXPECT_EQ(m.Diffuse.r, 0.2f);
    EXPECT_EQ(lit_centre({0, 1, 0}), rgb(39, 195, 39));
}

TEST_F(LightingTest, GlobalAmbientAddsToTheLightsAmbient) {
    set_light(0.8f, 0.2f);
    set_material({0.2f, 1.0f, 0.2f});
    device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
    const float ga = 64.0f / 255.0f;
    const int g = int(std::lround(255.0 * (0.2 + ga))), rb = int(std::lround(255.0 * 0.2 * (0.2 + ga)));
    EXPECT_EQ(lit_centre({0, -1, 0}), rgb(rb, g, rb));
}

TEST_F(LightingTest, VertexColourIsTheDiffuseSourceWhileColorVertexIsOn) {
    set_light(0.8f, 0.2f);
    set_material({0.2f, 1.0f, 0.2f});
    std::vector<test_vertex> v = square({0, 1, 0});
    for (test_vertex& t : v) t.colour = 0xFFFF0000;
    ASSERT_EQ(draw(v, {true, true, false}), D3D_OK);
    // Ambient from the material, diffuse from the vertex: 0.2*0.2 + 1*0.8*0.7071 for red.
    EXPECT_EQ(pixel(32, 32), rgb(154, 51, 10));
    device->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    ASSERT_EQ(draw(v, {true, true, false}), D3D_OK);
    EXPECT_EQ(pixel(32, 32), rgb(39, 195, 39));
}

TEST_F(LightingTest, WithoutLightingTheVertexColourOrWhiteIsDrawn) {
    set_light(0.8f, 0.2f);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    std::vector<test_vertex> v = square({0, 1, 0});
    for (test_vertex& t : v) t.colour = 0xFF123456;
    ASSERT_EQ(draw(v, {true, true, false}), D3D_OK);
    EXPECT_EQ(pixel(32, 32), rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(lit_centre({0, 1, 0}, {true, false, false}), rgb(255, 255, 255));
}

TEST_F(LightingTest, WithoutNormalsOnlyAmbientAndEmissiveRemain) {
    set_light(0.8f, 0.2f);
    D3DMATERIAL9 m{};
    m.Diffuse = {0.2f, 1.0f, 0.2f, 1.0f};
    m.Ambient = {0.2f, 1.0f, 0.2f, 1.0f};
    m.Emissive = {0.0f, 0.0f, 0.4f, 0.0f};
    device->SetMaterial(&m);
    EXPECT_EQ(lit_centre({0, 1, 0}, {false, false, false}), rgb(10, 51, 112));
}

TEST_F(LightingTest, NormalsAreNotRenormalisedUnlessAsked) {
    set_light(0.8f, 0.2f);
    set_material({0.2f, 1.0f, 0.2f});
    D3DMATRIX twice{};
    twice._11 = twice._22 = twice._33 = 2.0f;
    twice._44 = 1.0f;
    device->SetTransform(D3DTS_WORLD, &twice);
    // The inverse-transpose halves the normal: N.L = 0.3536.
    EXPECT_EQ(lit_centre({0, 1, 0}), rgb(25, 123, 25));
    device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    EXPECT_EQ(lit_centre({0, 1, 0}), rgb(39, 195, 39));
}

TEST_F(LightingTest, PointAndSpotLightsDrawWithoutTrouble) {
    set_material({0.2f, 1.0f, 0.2f});
    D3DLIGHT9 point{};
    point.Type = D3DLIGHT_POINT;
    point.Diffuse = {1, 1, 1, 1};
    point.Position = {0, 1, 0};
    point.Range = 10;
    point.Attenuation0 = 1;
    ASSERT_EQ(device->SetLight(1, &point), D3D_OK);
    device->LightEnable(1, TRUE);
    D3DLIGHT9 spot = point;
    spot.Type = D3DLIGHT_SPOT;
    spot.Direction = {0, -1, 0};
    spot.Theta = 0.5f;
    spot.Phi = 1.0f;
    spot.Falloff = 1.0f;
    ASSERT_EQ(device->SetLight(2, &spot), D3D_OK);
    device->LightEnable(2, TRUE);
    EXPECT_NE(lit_centre({0, 1, 0}), 0u);
}

// Any index holds a light, every enabled one is lit (nine lights of 0.05 add up to 0.45), and a light
// without attenuation constants is kept and lights at full strength.
TEST_F(LightingTest, LightsAtAnyIndexAreAllLit) {
    set_material({1.0f, 1.0f, 1.0f});
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {0.05f, 0.05f, 0.05f, 1};
    light.Direction = {0, 0, 1};
    const DWORD indices[] = {0, 1, 2, 3, 4, 5, 6, 7, 0xFFFFFFFFu};
    for (DWORD i : indices) {
        ASSERT_EQ(device->SetLight(i, &light), D3D_OK);
        ASSERT_EQ(device->LightEnable(i, TRUE), D3D_OK);
    }
    EXPECT_EQ(lit_centre({0, 0, -1}), rgb(115, 115, 115));

    D3DLIGHT9 got{};
    BOOL enabled = FALSE;
    EXPECT_EQ(device->GetLight(1000, &got), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->LightEnable(1000, FALSE), D3D_OK);  // creates the default light, disabled
    ASSERT_EQ(device->GetLight(1000, &got), D3D_OK);
    EXPECT_EQ(got.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(got.Direction.z, 1.0f);
    EXPECT_EQ(device->GetLightEnable(0xFFFFFFFFu, &enabled), D3D_OK);
    EXPECT_EQ(enabled, TRUE);
    D3DLIGHT9 bad = light;
    bad.Type = static_cast<D3DLIGHTTYPE>(0);
    EXPECT_EQ(device->SetLight(0, &bad), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetLight(0, &got), D3D_OK);
    EXPECT_EQ(got.Diffuse.r, 0.05f);  // unchanged by the refused call

    for (DWORD i : indices) device->LightEnable(i, FALSE);
    D3DLIGHT9 point{};
    point.Type = D3DLIGHT_POINT;
    point.Diffuse = {1, 0, 1, 1};
    point.Position = {0, 0, -1};
    point.Range = 10;  // all three attenuation constants 0
    ASSERT_EQ(device->SetLight(20, &point), D3D_OK);
    ASSERT_EQ(device->LightEnable(20, TRUE), D3D_OK);
    EXPECT_EQ(lit_centre({0, 0, -1}), rgb(255, 0, 255));
}

}  // namespace
