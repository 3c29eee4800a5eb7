// device_reset_test.cpp - the device as a whole: the capabilities it reports, and Reset with the
// objects that must go first, the "not reset" state and the states it restores.
#include "device_fixture.h"

#include <cstring>

namespace {

class DeviceResetTest : public DeviceTest {
protected:
    void SetUp() override { create_device(); }
    D3DPRESENT_PARAMETERS parameters(UINT w = 0, UINT h = 0) {
        D3DPRESENT_PARAMETERS p = windowed_parameters(test_window());
        p.BackBufferWidth = w;
        p.BackBufferHeight = h;
        return p;
    }
};

TEST_F(DeviceResetTest, CapsAreTheDevicesTable) {
    D3DCAPS9 c{};
    ASSERT_EQ(device->GetDeviceCaps(&c), D3D_OK);
    const struct {
        const char* name;
        DWORD value, expected;
    } fields[] = {
        {"Caps2", c.Caps2, 0x60000000},
        {"Caps3", c.Caps3, 0x300},
        {"PresentationIntervals", c.PresentationIntervals, 0x80000001},
        {"DevCaps", c.DevCaps, 0x0009AFF0},
        {"PrimitiveMiscCaps", c.PrimitiveMiscCaps, 0x00038EF2},
        {"RasterCaps", c.RasterCaps, 0x07712190},
        {"ShadeCaps", c.ShadeCaps, 0x00084208},
        {"TextureCaps", c.TextureCaps, 0x00004445},
        {"TextureFilterCaps", c.TextureFilterCaps, 0x03030300},
        {"TextureAddressCaps", c.TextureAddressCaps, 0x3F},
        {"LineCaps", c.LineCaps, 0x1F},
        {"MaxTextureWidth", c.MaxTextureWidth, 4096},
        {"MaxTextureRepeat", c.MaxTextureRepeat, 8192},
        {"FVFCaps", c.FVFCaps, 0x00100008},
        {"TextureOpCaps", c.TextureOpCaps, 0x039FFFFF},
        {"MaxTextureBlendStages", c.MaxTextureBlendStages, 8},
        {"MaxSimultaneousTextures", c.MaxSimultaneousTextures, 8},
        {"VertexProcessingCaps", c.VertexProcessingCaps, 0x13B},
        {"MaxActiveLights", c.MaxActiveLights, 8},
        {"DevCaps2", c.DevCaps2, 0x11},
        {"StretchRectFilterCaps", c.StretchRectFilterCaps, 0x03000300},
        {"NumSimultaneousRTs", c.NumSimultaneousRTs, 1},
        {"VertexShaderVersion", c.VertexShaderVersion, 0xFFFE0000},
        {"PixelShaderVersion", c.PixelShaderVersion, 0xFFFF0000},
    };
    for (const auto& f : fields) EXPECT_EQ(f.value, f.expected) << f.name;
}

// Every object the program holds that Reset needs gone makes it fail; the device then says it is
// not reset until a Reset succeeds. Managed resources and objects only the device binds survive.
TEST_F(DeviceResetTest, ResetFailsWhileTheProgramHoldsDefaultPoolObjects) {
    D3DPRESENT_PARAMETERS p = parameters();
    IDirect3DVertexBuffer9* managed = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &managed, nullptr), D3D_OK);
    IDirect3DVertexBuffer9* bound = nullptr;  // released by the program, still bound
    ASSERT_EQ(device->CreateVertexBuffer(64, 0, 0, D3DPOOL_DEFAULT, &bound, nullptr), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, bound, 0, 16), D3D_OK);
    bound->Release();

    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    IDirect3DStateBlock9* block = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, 0, 0, D3DPOOL_DEFAULT, &vertices, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(64, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indices, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateStateBlock(D3DSBT_ALL, &block), D3D_OK);
    IUnknown* blockers[] = {vertices, indices, block};
    for (IUnknown* held : blockers) {
        EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);
        EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
        held->Release();
    }
    // Handed back by a Get* after release: held again.
    ASSERT_EQ(device->GetStreamSource(0, &vertices, nullptr, nullptr), D3DERR_INVALIDCALL);
    UINT offset = 0, stride = 0;
    ASSERT_EQ(device->GetStreamSource(0, &vertices, &offset, &stride), D3D_OK);
    EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);
    vertices->Release();

    EXPECT_EQ(device->Reset(&p), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    ASSERT_EQ(device->GetStreamSource(0, &vertices, &offset, &stride), D3D_OK);
    EXPECT_EQ(vertices, nullptr);
    D3DVERTEXBUFFER_DESC desc{};
    EXPECT_EQ(managed->GetDesc(&desc), D3D_OK);
    managed->Release();
}

TEST_F(DeviceResetTest, ParametersTheDeviceCannotHonourFailAndKeepTheBackBuffer) {
    clear(0x00123456);
    D3DPRESENT_PARAMETERS bad[4] = {parameters(), parameters(), parameters(), parameters()};
    bad[0].MultiSampleType = D3DMULTISAMPLE_4_SAMPLES;
    bad[1].AutoDepthStencilFormat = D3DFMT_D15S1;
    bad[2].PresentationInterval = D3DPRESENT_INTERVAL_TWO;
    bad[3].BackBufferFormat = D3DFMT_R5G6B5;
    for (D3DPRESENT_PARAMETERS& p : bad) {
        EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);
        EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
        EXPECT_EQ(pixel(3, 3), 0x123456u);
    }
    EXPECT_EQ(device->Reset(nullptr), D3DERR_INVALIDCALL);
}

// A Reset that succeeds gives a back buffer of the new size (0: the client area now) and puts every
// state back as at creation.
TEST_F(DeviceResetTest, ResetMakesANewBackBufferAndRestoresEveryDefault) {
    unlit_state();
    D3DMATRIX scale{};
    scale._11 = scale._22 = scale._33 = 2.0f;
    scale._44 = 1.0f;
    ASSERT_EQ(device->SetTransform(D3DTS_VIEW, &scale), D3D_OK);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    ASSERT_EQ(device->SetLight(3, &light), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_FOGENABLE, TRUE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);

    D3DPRESENT_PARAMETERS p = parameters(320, 200);
    p.EnableAutoDepthStencil = FALSE;
    ASSERT_EQ(device->Reset(&p), D3D_OK);
    EXPECT_EQ(buffer().width, 320);
    EXPECT_EQ(buffer().height, 200);
    EXPECT_FALSE(fb_has_depth(buffer()));
    D3DVIEWPORT9 viewport{};
    ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.Width, 320u);
    EXPECT_EQ(viewport.Height, 200u);
    DWORD value = 0;
    const struct {
        D3DRENDERSTATETYPE state;
        DWORD expected;
    } states[] = {
        {D3DRS_LIGHTING, TRUE}, {D3DRS_CULLMODE, D3DCULL_CCW}, {D3DRS_FOGENABLE, FALSE}, {D3DRS_ZENABLE, D3DZB_FALSE}};
    for (const auto& s : states) {
        ASSERT_EQ(device->GetRenderState(s.state, &value), D3D_OK);
        EXPECT_EQ(value, s.expected) << s.state;
    }
    ASSERT_EQ(device->GetTextureStageState(1, D3DTSS_COLOROP, &value), D3D_OK);
    EXPECT_EQ(value, DWORD(D3DTOP_DISABLE));
    D3DMATRIX view{};
    ASSERT_EQ(device->GetTransform(D3DTS_VIEW, &view), D3D_OK);
    EXPECT_EQ(view._11, 1.0f);
    EXPECT_EQ(device->GetLight(3, &light), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);  // the scene ended with the Reset

    p = parameters();
    ASSERT_EQ(device->Reset(&p), D3D_OK);
    RECT client{};
    ASSERT_TRUE(GetClientRect(test_window(), &client));
    EXPECT_EQ(buffer().width, client.right);
    EXPECT_EQ(p.BackBufferWidth, UINT(client.right));
    ASSERT_EQ(device->GetRenderState(D3DRS_ZENABLE, &value), D3D_OK);
    EXPECT_EQ(value, DWORD(D3DZB_TRUE));
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

}  // namespace
