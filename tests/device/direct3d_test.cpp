// direct3d_test.cpp - IDirect3D9's answers about its one adapter: identity, display mode, format
// checks and the requests CreateDevice refuses.
#include "device_fixture.h"

#include "platform/win32/win_window_table.h"

#include <cstring>

namespace {

class Direct3DTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(test_window(), nullptr);  // the headless back end answers the desktop mode from here on
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
    }
    void TearDown() override {
        if (d3d != nullptr) d3d->Release();
    }
    IDirect3D9* d3d = nullptr;
};

TEST_F(Direct3DTest, OneGenericAdapterInTheDesktopMode) {
    EXPECT_EQ(d3d->GetAdapterCount(), 1u);
    D3DADAPTER_IDENTIFIER9 id{};
    ASSERT_EQ(d3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &id), D3D_OK);
    EXPECT_STREQ(id.Description, "Software fixed-function device");
    EXPECT_EQ(id.VendorId, 0u);
    EXPECT_EQ(d3d->GetAdapterIdentifier(1, 0, &id), D3DERR_INVALIDCALL);

    D3DDISPLAYMODE desktop{}, listed{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop), D3D_OK);
    EXPECT_EQ(desktop.Format, D3DFMT_X8R8G8B8);
    EXPECT_GT(desktop.Width, 0u);
    EXPECT_GT(desktop.RefreshRate, 0u);
    // The headless back end: the desktop's 1920 x 1080 and four smaller modes, sorted, at 60 Hz.
    const UINT count = d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8);
    ASSERT_EQ(count, 5u);
    bool desktop_listed = false;
    D3DDISPLAYMODE previous{};
    for (UINT i = 0; i < count; ++i) {
        ASSERT_EQ(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, i, &listed), D3D_OK);
        EXPECT_EQ(listed.Format, D3DFMT_X8R8G8B8);
        EXPECT_TRUE(listed.Width > previous.Width ||
                    (listed.Width == previous.Width && listed.Height > previous.Height));
        desktop_listed = desktop_listed || std::memcmp(&listed, &desktop, sizeof listed) == 0;
        previous = listed;
    }
    EXPECT_TRUE(desktop_listed);
    EXPECT_EQ(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_X8R8G8B8, count, &listed), D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_R5G6B5), 0u);
    EXPECT_EQ(d3d->GetAdapterMonitor(D3DADAPTER_DEFAULT), nullptr);
    EXPECT_EQ(d3d->RegisterSoftwareDevice(nullptr), D3DERR_INVALIDCALL);
}

TEST_F(Direct3DTest, ChecksAnswerForWhatTheDeviceDoes) {
    const D3DFORMAT x8 = D3DFMT_X8R8G8B8, a8 = D3DFMT_A8R8G8B8;
    const struct {
        const char* name;
        HRESULT result;
        HRESULT expected;
    } cases[] = {
        {"type X8 windowed", d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, x8, x8, TRUE), D3D_OK},
        {"type A8 full screen", d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, x8, a8, FALSE), D3D_OK},
        {"type UNKNOWN full screen", d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, x8, D3DFMT_UNKNOWN, FALSE),
         D3DERR_NOTAVAILABLE},
        {"type R5G6B5", d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, TRUE),
         D3DERR_NOTAVAILABLE},
        {"type REF", d3d->CheckDeviceType(0, D3DDEVTYPE_REF, x8, x8, TRUE), D3DERR_NOTAVAILABLE},
        {"type adapter 1", d3d->CheckDeviceType(1, D3DDEVTYPE_HAL, x8, x8, TRUE), D3DERR_INVALIDCALL},
        {"texture A8R8G8B8", d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, 0, D3DRTYPE_TEXTURE, a8), D3D_OK},
        {"texture DXT1", d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT1), D3D_OK},
        {"autogen DXT5",
         d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, D3DUSAGE_AUTOGENMIPMAP, D3DRTYPE_TEXTURE, D3DFMT_DXT5),
         D3DOK_NOAUTOGEN},
        {"autogen L8 with filter query",
         d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, D3DUSAGE_AUTOGENMIPMAP | D3DUSAGE_QUERY_FILTER, D3DRTYPE_TEXTURE,
                                D3DFMT_L8),
         D3D_OK},
        {"dynamic A4R4G4B4 surface",
         d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, D3DUSAGE_DYNAMIC, D3DRTYPE_SURFACE, D3DFMT_A4R4G4B4),
         D3DERR_NOTAVAILABLE},
        {"texture A16B16G16R16",
         d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, 0, D3DRTYPE_TEXTURE, D3DFMT_A16B16G16R16), D3DERR_NOTAVAILABLE},
        {"cube texture", d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, 0, D3DRTYPE_CUBETEXTURE, a8),
         D3DERR_NOTAVAILABLE},
        {"render-target R5G6B5",
         d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_R5G6B5),
         D3DERR_NOTAVAILABLE},
        {"depth texture",
         d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_TEXTURE, D3DFMT_D16),
         D3DERR_NOTAVAILABLE},
        {"render target X8", d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, D3DUSAGE_RENDERTARGET, D3DRTYPE_SURFACE, x8),
         D3D_OK},
        {"render-target texture",
         d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, x8), D3D_OK},
        {"depth D16",
         d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16), D3D_OK},
        {"depth D24S8",
         d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24S8), D3D_OK},
        {"depth D15S1",
         d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, x8, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D15S1),
         D3DERR_NOTAVAILABLE},
        {"match D16", d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, x8, a8, D3DFMT_D16), D3D_OK},
        {"match D32", d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, x8, x8, D3DFMT_D32), D3D_OK},
        {"match D24FS8", d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, x8, x8, D3DFMT_D24FS8), D3DERR_NOTAVAILABLE},
        {"multisample 4",
         d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, x8, TRUE, D3DMULTISAMPLE_4_SAMPLES, nullptr),
         D3DERR_NOTAVAILABLE},
        {"conversion A8 to X8", d3d->CheckDeviceFormatConversion(0, D3DDEVTYPE_HAL, a8, x8), D3D_OK},
        {"conversion R5G6B5 to X8", d3d->CheckDeviceFormatConversion(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, x8),
         D3DERR_NOTAVAILABLE},
    };
    for (const auto& c : cases) EXPECT_EQ(c.result, c.expected) << c.name;

    DWORD levels = 0;
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, x8, TRUE, D3DMULTISAMPLE_NONE, &levels), D3D_OK);
    EXPECT_EQ(levels, 1u);
    D3DCAPS9 caps{};
    EXPECT_EQ(d3d->GetDeviceCaps(0, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->GetDeviceCaps(1, D3DDEVTYPE_HAL, &caps), D3DERR_INVALIDCALL);
}

TEST_F(Direct3DTest, CreateDeviceRefusesWhatItCannotDo) {
    IDirect3DDevice9* device = nullptr;
    const auto try_create = [&](D3DDEVTYPE type, DWORD flags, void (*change)(D3DPRESENT_PARAMETERS&)) {
        D3DPRESENT_PARAMETERS p = windowed_parameters(test_window());
        change(p);
        device = reinterpret_cast<IDirect3DDevice9*>(uintptr_t(0x1234));
        const HRESULT result = d3d->CreateDevice(0, type, test_window(), flags, &p, &device);
        EXPECT_EQ(device, nullptr);
        return result;
    };
    const DWORD software = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    const auto same = [](D3DPRESENT_PARAMETERS&) {};
    EXPECT_EQ(try_create(D3DDEVTYPE_REF, software, same), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(try_create(D3DDEVTYPE_HAL, 0, same), D3DERR_INVALIDCALL);
    EXPECT_EQ(try_create(D3DDEVTYPE_HAL, software | D3DCREATE_HARDWARE_VERTEXPROCESSING, same), D3DERR_INVALIDCALL);
    EXPECT_EQ(try_create(D3DDEVTYPE_HAL, software,
                         [](D3DPRESENT_PARAMETERS& p) { p.PresentationInterval = D3DPRESENT_INTERVAL_TWO; }),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(try_create(D3DDEVTYPE_HAL, software, [](D3DPRESENT_PARAMETERS& p) { p.BackBufferCount = 4; }),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(try_create(D3DDEVTYPE_HAL, software, [](D3DPRESENT_PARAMETERS& p) { p.Windowed = FALSE; }),
              D3DERR_INVALIDCALL);  // full screen needs a size and a format
    EXPECT_EQ(try_create(D3DDEVTYPE_HAL, software,
                         [](D3DPRESENT_PARAMETERS& p) { p.MultiSampleType = D3DMULTISAMPLE_2_SAMPLES; }),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(try_create(D3DDEVTYPE_HAL, software, [](D3DPRESENT_PARAMETERS& p) { p.SwapEffect = D3DSWAPEFFECT(0); }),
              D3DERR_INVALIDCALL);
    // Full screen in a mode that is not offered: 400 x 300; 640 x 480 at 75 Hz.
    EXPECT_EQ(try_create(D3DDEVTYPE_HAL, software,
                         [](D3DPRESENT_PARAMETERS& p) {
                             p.Windowed = FALSE;
                             p.BackBufferWidth = 400;
                             p.BackBufferHeight = 300;
                             p.BackBufferFormat = D3DFMT_X8R8G8B8;
                         }),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(try_create(D3DDEVTYPE_HAL, software,
                         [](D3DPRESENT_PARAMETERS& p) {
                             p.Windowed = FALSE;
                             p.BackBufferWidth = 640;
                             p.BackBufferHeight = 480;
                             p.BackBufferFormat = D3DFMT_X8R8G8B8;
                             p.FullScreen_RefreshRateInHz = 75;
                         }),
              D3DERR_INVALIDCALL);

    const HWND window = open_headless_window();  // full screen resizes it
    ASSERT_NE(window, nullptr);
    D3DPRESENT_PARAMETERS full_screen = windowed_parameters(window);
    full_screen.Windowed = FALSE;
    full_screen.BackBufferWidth = 640;
    full_screen.BackBufferHeight = 480;
    full_screen.FullScreen_RefreshRateInHz = 60;
    full_screen.BackBufferFormat = D3DFMT_X8R8G8B8;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_MIXED_VERTEXPROCESSING, &full_screen, &device),
              D3D_OK);
    D3DVIEWPORT9 viewport{};
    ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.Width, 640u);
    EXPECT_EQ(device->SetSoftwareVertexProcessing(TRUE), D3D_OK);  // a mixed device switches
    EXPECT_EQ(device->GetSoftwareVertexProcessing(), TRUE);
    device->Release();
    DestroyWindow(window);
}

// Windowed = FALSE gives the window a client area of the back buffer's size; IMMEDIATE makes the
// window's presents return without waiting for the refresh, any other interval makes them wait.
TEST_F(Direct3DTest, FullScreenSizesItsWindowAndTheIntervalSetsPacing) {
    const HWND window = open_headless_window();
    ASSERT_NE(window, nullptr);
    for (const UINT interval : {UINT(D3DPRESENT_INTERVAL_IMMEDIATE), UINT(D3DPRESENT_INTERVAL_ONE)}) {
        D3DPRESENT_PARAMETERS p = windowed_parameters(window);
        p.Windowed = FALSE;
        p.BackBufferWidth = 800;
        p.BackBufferHeight = 600;
        p.BackBufferFormat = D3DFMT_X8R8G8B8;
        p.PresentationInterval = interval;
        IDirect3DDevice9* device = nullptr;
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device),
                  D3D_OK);
        RECT client{};
        ASSERT_TRUE(GetClientRect(window, &client));
        EXPECT_EQ(client.right, 800);
        EXPECT_EQ(client.bottom, 600);
        EXPECT_EQ(win_table_live_window(window)->present_paced, interval != UINT(D3DPRESENT_INTERVAL_IMMEDIATE));
        device->Release();
    }
    DestroyWindow(window);
}

}  // namespace
