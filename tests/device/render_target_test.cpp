// render_target_test.cpp - drawing into render targets (a texture's level, a render-target surface)
// and reading the result back; the back buffer and depth-stencil surfaces as objects.
#include "device_fixture.h"

namespace {

struct screen_vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD screen_fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class RenderTargetTest : public DeviceTest {
protected:
    void SetUp() override {
        create_device();
        unlit_state();
        ASSERT_EQ(device->SetFVF(screen_fvf), D3D_OK);
    }
    // A quad over [x0, x1) x [y0, y1) in pixels, texture coordinates 0..1.
    // `mirrored`: u runs from 1 on the left to 0 on the right.
    HRESULT quad(float x0, float y0, float x1, float y1, D3DCOLOR colour, bool mirrored = false) {
        const float left = mirrored ? 1.0f : 0.0f, right = 1.0f - left;
        const screen_vertex v[4] = {{x0 - 0.5f, y0 - 0.5f, 0.5f, 1, colour, left, 0},
                                    {x1 - 0.5f, y0 - 0.5f, 0.5f, 1, colour, right, 0},
                                    {x0 - 0.5f, y1 - 0.5f, 0.5f, 1, colour, left, 1},
                                    {x1 - 0.5f, y1 - 0.5f, 0.5f, 1, colour, right, 1}};
        return device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof v[0]);
    }
    // A new 16 x 16 target of `format`, bound without depth and cleared to 0x80FF0000; the binding
    // keeps it alive.
    void bind_cleared_target(D3DFORMAT format) {
        IDirect3DSurface9* target = nullptr;
        ASSERT_EQ(device->CreateRenderTarget(16, 16, format, D3DMULTISAMPLE_NONE, 0, FALSE, &target, nullptr), D3D_OK);
        ASSERT_EQ(device->SetRenderTarget(0, target), D3D_OK);
        target->Release();
        ASSERT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x80FF0000, 1.0f, 0), D3D_OK);
    }
    uint32_t target_pixel(int x, int y) const {
        return buffer().colour_pixels[size_t(y) * size_t(buffer().width) + size_t(x)];
    }
    // The pixels of a render target, through a system-memory copy.
    std::vector<uint32_t> read_back(IDirect3DSurface9* target) {
        D3DSURFACE_DESC desc{};
        target->GetDesc(&desc);
        IDirect3DSurface9* copy = nullptr;
        std::vector<uint32_t> pixels;
        if (device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                nullptr) != D3D_OK) {
            return pixels;
        }
        D3DLOCKED_RECT locked{};
        if (device->GetRenderTargetData(target, copy) == D3D_OK && copy->LockRect(&locked, nullptr, 0) == D3D_OK) {
            for (UINT y = 0; y < desc.Height; ++y) {
                const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const char*>(locked.pBits) +
                                                                    size_t(y) * size_t(locked.Pitch));
                pixels.insert(pixels.end(), row, row + desc.Width);
            }
            copy->UnlockRect();
        }
        copy->Release();
        return pixels;
    }
};

// A scene drawn into a texture's level reads back as drawn, and the texture then shows it when
// sampled; setting a target resets the viewport and scissor rectangle to the whole of it.
TEST_F(RenderTargetTest, DrawIntoATextureThenSampleIt) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(
        device->CreateTexture(64, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr),
        D3D_OK);
    IDirect3DSurface9 *level = nullptr, *back = nullptr, *current = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    ASSERT_EQ(device->GetRenderTarget(0, &back), D3D_OK);
    const D3DVIEWPORT9 small{4, 4, 8, 8, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&small), D3D_OK);
    const RECT scissor{1, 1, 2, 2};
    ASSERT_EQ(device->SetScissorRect(&scissor), D3D_OK);

    ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
    D3DVIEWPORT9 viewport{};
    RECT rect{};
    ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
    ASSERT_EQ(device->GetScissorRect(&rect), D3D_OK);
    EXPECT_EQ(viewport.X, 0u);
    EXPECT_EQ(viewport.Width, 64u);
    EXPECT_EQ(viewport.Height, 32u);
    EXPECT_EQ(rect.right, 64);
    EXPECT_EQ(rect.bottom, 32);
    ASSERT_EQ(device->GetRenderTarget(0, &current), D3D_OK);
    EXPECT_EQ(current, level);
    current->Release();

    // The back buffer's depth buffer is larger than the texture: the part the target covers is used.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00FF0000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(quad(0, 0, 32, 32, 0xFF00FF00), D3D_OK);
    const std::vector<uint32_t> drawn = read_back(level);
    ASSERT_EQ(drawn.size(), 64u * 32u);
    EXPECT_EQ(drawn[5 * 64 + 10] & 0xFFFFFFu, 0x00FF00u);
    EXPECT_EQ(drawn[5 * 64 + 40] & 0xFFFFFFu, 0xFF0000u);

    ASSERT_EQ(device->SetRenderTarget(0, back), D3D_OK);
    ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.Width, UINT(width));
    clear(0);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(quad(0, 0, 64, 32, 0xFFFFFFFF), D3D_OK);
    EXPECT_EQ(pixel(10, 5), 0x00FF00u);
    EXPECT_EQ(pixel(40, 5), 0xFF0000u);

    // Drawn into while sampled: the draw reads the texture as it was when the draw began (mirrored,
    // the right half shows the green the left half held).
    ASSERT_EQ(device->SetRenderTarget(0, level), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRS_ZENABLE, FALSE), D3D_OK);
    ASSERT_EQ(quad(0, 0, 64, 32, 0xFFFFFFFF, true), D3D_OK);
    EXPECT_EQ(target_pixel(10, 5), 0xFF0000u);
    EXPECT_EQ(target_pixel(50, 5), 0x00FF00u);
    ASSERT_EQ(device->SetRenderTarget(0, back), D3D_OK);

    // Released by the program while bound: the texture lives on until the device lets it go.
    level->Release();
    texture->Release();
    ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);
    back->Release();
}

// An A8R8G8B8 target keeps the alpha of clears and of the pixels drawn; an X8R8G8B8 one does not.
TEST_F(RenderTargetTest, AlphaTargetsKeepAlpha) {
    const struct {
        D3DFORMAT format;
        uint32_t cleared, drawn;
    } cases[] = {{D3DFMT_A8R8G8B8, 0x80FF0000u, 0x4000FF00u}, {D3DFMT_X8R8G8B8, 0x00FF0000u, 0x0000FF00u}};
    for (const auto& c : cases) {
        ASSERT_NO_FATAL_FAILURE(bind_cleared_target(c.format));
        EXPECT_EQ(target_pixel(12, 12), c.cleared);
        ASSERT_EQ(quad(0, 0, 8, 8, 0x4000FF00), D3D_OK);
        EXPECT_EQ(target_pixel(2, 2), c.drawn);
        EXPECT_EQ(target_pixel(12, 12), c.cleared);
    }
}

// Blending into an A8R8G8B8 target reads the stored alpha (Ad = 128/255 here) and blends alpha
// too: with the colour factors' alpha, or with the separate set. Without alpha in the target, Ad
// reads as 1. The source is 0x4000FF00 (As = 64/255) over 0x80FF0000.
TEST_F(RenderTargetTest, AlphaTargetsBlendTheStoredAlpha) {
    const struct {
        D3DFORMAT format;
        DWORD source, destination, separate, source_alpha, destination_alpha;
        uint32_t expected;
    } cases[] = {
        {D3DFMT_A8R8G8B8, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, FALSE, 0, 0, 0x70BF4000u},
        {D3DFMT_A8R8G8B8, D3DBLEND_DESTALPHA, D3DBLEND_INVDESTALPHA, FALSE, 0, 0, 0x607F8000u},
        {D3DFMT_A8R8G8B8, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, TRUE, D3DBLEND_ONE, D3DBLEND_ONE, 0xC0BF4000u},
        {D3DFMT_X8R8G8B8, D3DBLEND_DESTALPHA, D3DBLEND_INVDESTALPHA, FALSE, 0, 0, 0x0000FF00u},
    };
    ASSERT_EQ(device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE), D3D_OK);
    for (const auto& c : cases) {
        ASSERT_NO_FATAL_FAILURE(bind_cleared_target(c.format));
        device->SetRenderState(D3DRS_SRCBLEND, c.source);
        device->SetRenderState(D3DRS_DESTBLEND, c.destination);
        device->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, c.separate);
        device->SetRenderState(D3DRS_SRCBLENDALPHA, c.source_alpha);
        device->SetRenderState(D3DRS_DESTBLENDALPHA, c.destination_alpha);
        ASSERT_EQ(quad(0, 0, 8, 8, 0x4000FF00), D3D_OK);
        EXPECT_EQ(target_pixel(2, 2), c.expected) << std::hex << c.source << " " << c.destination;
    }
}

TEST_F(RenderTargetTest, DepthStencilSurfacesBindAndUnbind) {
    IDirect3DSurface9 *automatic = nullptr, *made = nullptr, *current = nullptr;
    ASSERT_EQ(device->GetDepthStencilSurface(&automatic), D3D_OK);
    ASSERT_EQ(
        device->CreateDepthStencilSurface(width, height, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &made, nullptr),
        D3D_OK);
    EXPECT_EQ(
        device->CreateDepthStencilSurface(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &current, nullptr),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(current, nullptr);
    EXPECT_EQ(device->SetRenderTarget(0, made), D3DERR_INVALIDCALL);              // not a render target
    IDirect3DSurface9* foreign = reinterpret_cast<IDirect3DSurface9*>(&current);  // never read
    EXPECT_EQ(device->SetDepthStencilSurface(foreign), D3DERR_INVALIDCALL);

    ASSERT_EQ(device->SetDepthStencilSurface(made), D3D_OK);
    EXPECT_TRUE(fb_has_stencil(buffer()));
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL | D3DCLEAR_ZBUFFER, 0, 0.25f, 7), D3D_OK);
    ASSERT_EQ(device->GetDepthStencilSurface(&current), D3D_OK);
    EXPECT_EQ(current, made);
    current->Release();

    ASSERT_EQ(device->SetDepthStencilSurface(nullptr), D3D_OK);
    EXPECT_EQ(device->GetDepthStencilSurface(&current), D3DERR_NOTFOUND);
    EXPECT_EQ(current, nullptr);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);

    // The values stay with the surface while another is bound.
    ASSERT_EQ(device->SetDepthStencilSurface(automatic), D3D_OK);
    EXPECT_FALSE(fb_has_stencil(buffer()));
    ASSERT_EQ(device->SetDepthStencilSurface(made), D3D_OK);
    EXPECT_EQ(buffer().stencil[100], 7u);
    EXPECT_EQ(buffer().depth32[100], fb_depth_stored(buffer(), 0.25f));
    ASSERT_EQ(device->SetDepthStencilSurface(automatic), D3D_OK);
    made->Release();
    automatic->Release();
}

// The back buffer as a surface: lockable, and Reset gives it the new size; a render target the
// program holds makes Reset fail.
TEST_F(RenderTargetTest, TheBackBufferFollowsReset) {
    clear(0x00336699);
    IDirect3DSurface9 *back = nullptr, *target = nullptr;
    EXPECT_EQ(device->GetBackBuffer(1, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetBackBuffer(0, 1, D3DBACKBUFFER_TYPE_MONO, &back), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(back->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(locked.Pitch, width * 4);
    EXPECT_EQ(static_cast<const uint32_t*>(locked.pBits)[width * 3 + 4], 0x336699u);
    ASSERT_EQ(back->UnlockRect(), D3D_OK);
    // What a program writes through a lock, a clear to the same colour as before clears again.
    ASSERT_EQ(back->LockRect(&locked, nullptr, 0), D3D_OK);
    static_cast<uint32_t*>(locked.pBits)[width * 3 + 4] = 0x00FFFFFF;
    ASSERT_EQ(back->UnlockRect(), D3D_OK);
    clear(0x00336699);
    EXPECT_EQ(target_pixel(4, 3), 0x336699u);

    D3DPRESENT_PARAMETERS p = windowed_parameters(test_window());
    p.BackBufferWidth = 200;
    p.BackBufferHeight = 100;
    EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);  // the program holds the back buffer
    back->Release();
    ASSERT_EQ(device->CreateRenderTarget(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &target, nullptr),
              D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, target), D3D_OK);
    EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);
    target->Release();  // bound only: Reset unbinds it
    ASSERT_EQ(device->Reset(&p), D3D_OK);

    ASSERT_EQ(device->GetRenderTarget(0, &back), D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(back->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 200u);
    EXPECT_EQ(desc.Height, 100u);
    back->Release();
    IDirect3DSurface9* depth = nullptr;
    ASSERT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_EQ(depth->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 200u);
    EXPECT_EQ(desc.Format, D3DFMT_D16);
    depth->Release();
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00FF00FF, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

// The front buffer: the frame at the window's client position on a black desktop, into a
// system-memory A8R8G8B8 surface of the desktop's size only.
TEST_F(RenderTargetTest, FrontBufferDataPlacesTheFrameOnTheDesktop) {
    clear(0x00204080);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(device->GetDisplayMode(0, &desktop), D3D_OK);
    IDirect3DSurface9 *shot = nullptr, *small = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(desktop.Width, desktop.Height, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                  &shot, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateOffscreenPlainSurface(64, 64, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &small, nullptr), D3D_OK);
    EXPECT_EQ(device->GetFrontBufferData(0, small), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetFrontBufferData(1, shot), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->GetFrontBufferData(0, shot), D3D_OK);
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(test_window(), &origin));
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(shot->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const auto at = [&](long x, long y) {
        return static_cast<const uint32_t*>(locked.pBits)[size_t(y) * size_t(locked.Pitch / 4) + size_t(x)];
    };
    EXPECT_EQ(at(origin.x + 3, origin.y + 3), 0xFF204080u);
    EXPECT_EQ(at(origin.x + width - 1, origin.y + height - 1), 0xFF204080u);
    if (origin.x + width < long(desktop.Width)) {
        EXPECT_EQ(at(origin.x + width, origin.y), 0xFF000000u);
    }
    shot->UnlockRect();
    shot->Release();
    small->Release();
}

}  // namespace
