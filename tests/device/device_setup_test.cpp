// device_setup_test.cpp - creation, defaults, reference counting and the scene bracket.
#include "device_fixture.h"

#include "platform/d3d9/texture.h"

namespace {

TEST(Direct3DCreate, OnlyTheKnownSdkVersion) {
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    EXPECT_EQ(d3d->Release(), 0u);
}

class CreateDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { d3d = Direct3DCreate9(D3D_SDK_VERSION); }
    void TearDown() override {
        if (device != nullptr) device->Release();
        d3d->Release();
    }
    HRESULT create(D3DPRESENT_PARAMETERS* p, HWND focus) {
        return d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, focus, D3DCREATE_SOFTWARE_VERTEXPROCESSING, p,
                                 &device);
    }
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

TEST_F(CreateDeviceTest, BackBufferTakesTheClientAreaAndIsWrittenBack) {
    D3DPRESENT_PARAMETERS p = windowed_parameters(test_window());
    ASSERT_EQ(create(&p, test_window()), D3D_OK);
    EXPECT_EQ(p.BackBufferWidth, 624u);
    EXPECT_EQ(p.BackBufferHeight, 441u);
    EXPECT_EQ(p.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(p.BackBufferCount, 1u);
    const d3d9_framebuffer* fb = d3d9_device_framebuffer(device);
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(fb->width, 624);
    EXPECT_EQ(fb->height, 441);
    EXPECT_FALSE(fb->depth.empty());
}

TEST_F(CreateDeviceTest, BadRequestsFailAndLeaveNoDevice) {
    D3DPRESENT_PARAMETERS p = windowed_parameters(test_window());
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, test_window(), 0, &p, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(create(nullptr, test_window()), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);

    D3DPRESENT_PARAMETERS unknown_window = windowed_parameters(reinterpret_cast<HWND>(0x5eed));
    EXPECT_EQ(create(&unknown_window, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);

    D3DPRESENT_PARAMETERS d24 = windowed_parameters(test_window());
    d24.AutoDepthStencilFormat = static_cast<D3DFORMAT>(83);  // D24FS8: not offered
    EXPECT_EQ(create(&d24, test_window()), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(d24.BackBufferWidth, 0u);  // nothing written back on failure
}

TEST_F(CreateDeviceTest, DepthBufferTakesTheRequestedFormat) {
    const struct {
        D3DFORMAT format;
        int bits;
        bool stencil;
    } cases[] = {{D3DFMT_D16, 16, false}, {D3DFMT_D24X8, 24, false}, {D3DFMT_D24S8, 24, true}, {D3DFMT_D32, 32, false}};
    for (const auto& c : cases) {
        D3DPRESENT_PARAMETERS p = windowed_parameters(test_window());
        p.AutoDepthStencilFormat = c.format;
        ASSERT_EQ(create(&p, test_window()), D3D_OK) << c.format;
        const d3d9_framebuffer* fb = d3d9_device_framebuffer(device);
        EXPECT_EQ(fb_depth_bits(*fb), c.bits) << c.format;
        EXPECT_EQ(fb_has_stencil(*fb), c.stencil) << c.format;
        device->Release();
        device = nullptr;
    }
}

TEST_F(CreateDeviceTest, EmptyClientAreaFails) {
    win_headless_resize(test_window(), 0, 0);
    D3DPRESENT_PARAMETERS p = windowed_parameters(test_window());
    EXPECT_EQ(create(&p, test_window()), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    win_headless_resize(test_window(), 624, 441);
}

TEST_F(CreateDeviceTest, WithoutAutoDepthThereIsNoDepthBufferAndNoDepthTest) {
    D3DPRESENT_PARAMETERS p = windowed_parameters(test_window());
    p.EnableAutoDepthStencil = FALSE;
    p.AutoDepthStencilFormat = D3DFMT_UNKNOWN;
    ASSERT_EQ(create(&p, test_window()), D3D_OK);
    DWORD z = 1;
    device->GetRenderState(D3DRS_ZENABLE, &z);
    EXPECT_EQ(z, DWORD(D3DZB_FALSE));
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

TEST_F(CreateDeviceTest, DeviceKeepsItsDirect3DObjectAlive) {
    D3DPRESENT_PARAMETERS p = windowed_parameters(test_window());
    ASSERT_EQ(create(&p, test_window()), D3D_OK);
    d3d->AddRef();
    EXPECT_EQ(d3d->Release(), 2u);  // ours plus the device's
    device->AddRef();
    EXPECT_EQ(device->Release(), 1u);
}

class DeviceDefaultsTest : public DeviceTest {
protected:
    void SetUp() override { create_device(); }
    DWORD state(D3DRENDERSTATETYPE s) {
        DWORD v = 0xDEADBEEF;
        EXPECT_EQ(device->GetRenderState(s, &v), D3D_OK);
        return v;
    }
};

TEST_F(DeviceDefaultsTest, RenderStatesStartAtThePlatformDefaults) {
    const struct {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } defaults[] = {
        {D3DRS_ZENABLE, D3DZB_TRUE},
        {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_LIGHTING, TRUE},
        {D3DRS_SPECULARENABLE, FALSE},
        {D3DRS_AMBIENT, 0},
        {D3DRS_COLORVERTEX, TRUE},
        {D3DRS_LOCALVIEWER, TRUE},
        {D3DRS_NORMALIZENORMALS, FALSE},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
        {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
        {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
        {D3DRS_CLIPPING, TRUE},
    };
    for (const auto& d : defaults) EXPECT_EQ(state(d.state), d.value) << "render state " << d.state;
}

TEST_F(DeviceDefaultsTest, StatesTheRendererIgnoresAreStored) {
    EXPECT_EQ(device->SetRenderState(D3DRS_SCISSORTESTENABLE, 42), D3D_OK);
    EXPECT_EQ(state(D3DRS_SCISSORTESTENABLE), 42u);
}

TEST_F(DeviceDefaultsTest, TransformsStartAsIdentityAndMaterialAsWhiteDiffuse) {
    for (D3DTRANSFORMSTATETYPE kind : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION}) {
        D3DMATRIX m{};
        ASSERT_EQ(device->GetTransform(kind, &m), D3D_OK);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) EXPECT_EQ(m.m[i][j], i == j ? 1.0f : 0.0f);
    }
    D3DMATERIAL9 m{};
    ASSERT_EQ(device->GetMaterial(&m), D3D_OK);
    EXPECT_EQ(m.Diffuse.r, 1.0f);
    EXPECT_EQ(m.Diffuse.a, 1.0f);
    EXPECT_EQ(m.Ambient.r, 0.0f);
    EXPECT_EQ(m.Specular.g, 0.0f);
    EXPECT_EQ(m.Emissive.b, 0.0f);
    EXPECT_EQ(m.Power, 0.0f);
}

TEST_F(DeviceDefaultsTest, InvalidArgumentsAreRefused) {
    EXPECT_EQ(device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(99), nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetMaterial(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetLight(8, nullptr), D3DERR_INVALIDCALL);
    D3DLIGHT9 bad{};
    bad.Type = static_cast<D3DLIGHTTYPE>(9);
    EXPECT_EQ(device->SetLight(0, &bad), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTexture(8, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(DeviceDefaultsTest, BoundTexturesAreHeldUntilReplacedOrTheDeviceGoes) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(d3d9_create_texture(1, 1, std::vector<D3DCOLOR>{0xFFFFFFFF}, &texture), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    texture->AddRef();
    EXPECT_EQ(texture->Release(), 2u);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);  // rebinding the same texture keeps one reference
    texture->AddRef();
    EXPECT_EQ(texture->Release(), 2u);
    ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);
    texture->AddRef();
    EXPECT_EQ(texture->Release(), 1u);
    device->SetTexture(3, texture);
    device->Release();
    device = nullptr;
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(DeviceDefaultsTest, ScenesDoNotNest) {
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
}

}  // namespace
