// texture_resource_test.cpp - textures and surfaces a program makes: creation rules, levels and
// their sizes, locks through the pitch, level surfaces sharing their texture's bytes and lifetime,
// what is sampled after a write, generated mip levels, and the copies between surfaces.
#include "device_fixture.h"

#include "platform/d3d9/sampler.h"
#include "platform/d3d9/surface.h"
#include "platform/d3d9/texture.h"

#include <cstring>

namespace {

class TextureResourceTest : public DeviceTest {
protected:
    void SetUp() override { create_device(64, 64); }

    IDirect3DTexture9* make(UINT w, UINT h, UINT levels, D3DFORMAT format, D3DPOOL pool = D3DPOOL_MANAGED,
                            DWORD usage = 0) {
        IDirect3DTexture9* t = nullptr;
        EXPECT_EQ(device->CreateTexture(w, h, levels, usage, format, pool, &t, nullptr), D3D_OK);
        return t;
    }
    IDirect3DSurface9* plain(UINT w, UINT h, D3DFORMAT format, D3DPOOL pool) {
        IDirect3DSurface9* s = nullptr;
        EXPECT_EQ(device->CreateOffscreenPlainSurface(w, h, format, pool, &s, nullptr), D3D_OK);
        return s;
    }
    // Writes `value` into every texel of a 32-bit surface through the pitch.
    static void fill32(IDirect3DSurface9* s, uint32_t value) {
        D3DLOCKED_RECT lr;
        ASSERT_EQ(s->LockRect(&lr, nullptr, 0), D3D_OK);
        D3DSURFACE_DESC d;
        s->GetDesc(&d);
        for (UINT y = 0; y < d.Height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * UINT(lr.Pitch));
            for (UINT x = 0; x < d.Width; ++x) row[x] = value;
        }
        s->UnlockRect();
    }
    static uint32_t read32(IDirect3DSurface9* s, int x, int y) {
        D3DLOCKED_RECT lr;
        if (s->LockRect(&lr, nullptr, D3DLOCK_READONLY) != D3D_OK) return 0xDEADBEEF;
        const uint32_t v = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x];
        s->UnlockRect();
        return v;
    }
};

TEST_F(TextureResourceTest, CreationFollowsTheRules) {
    HANDLE handle = nullptr;
    const struct {
        const char* name;
        UINT w, h, levels;
        DWORD usage;
        D3DFORMAT format;
        D3DPOOL pool;
        HANDLE* shared;
        HRESULT expected;
    } cases[] = {
        {"whole chain", 256, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, D3D_OK},
        {"any size", 5, 3, 3, 0, D3DFMT_R5G6B5, D3DPOOL_SYSTEMMEM, nullptr, D3D_OK},
        {"dxt of any size", 6, 2, 0, 0, D3DFMT_DXT1, D3DPOOL_SCRATCH, nullptr, D3D_OK},
        {"render target", 32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, nullptr, D3D_OK},
        {"autogen", 32, 32, 0, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_L8, D3DPOOL_MANAGED, nullptr, D3D_OK},
        {"dynamic", 8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8, D3DPOOL_DEFAULT, nullptr, D3D_OK},
        {"largest", 4096, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, D3D_OK},
        {"width 0", 0, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, D3DERR_INVALIDCALL},
        {"above 4096", 4097, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, D3DERR_INVALIDCALL},
        {"too many levels", 256, 64, 10, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, D3DERR_INVALIDCALL},
        {"unknown format", 8, 8, 1, 0, D3DFMT_A2B10G10R10, D3DPOOL_MANAGED, nullptr, D3DERR_INVALIDCALL},
        {"depth format", 8, 8, 1, 0, D3DFMT_D16, D3DPOOL_DEFAULT, nullptr, D3DERR_INVALIDCALL},
        {"depth stencil", 8, 8, 1, D3DUSAGE_DEPTHSTENCIL, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, nullptr,
         D3DERR_INVALIDCALL},
        {"target not default", 8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, nullptr,
         D3DERR_INVALIDCALL},
        {"target format", 8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_R5G6B5, D3DPOOL_DEFAULT, nullptr, D3DERR_INVALIDCALL},
        {"managed dynamic", 8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, D3DERR_INVALIDCALL},
        {"autogen levels", 8, 8, 2, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr,
         D3DERR_INVALIDCALL},
        {"autogen systemmem", 8, 8, 1, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, nullptr,
         D3DERR_INVALIDCALL},
        {"unknown usage", 8, 8, 1, D3DUSAGE_WRITEONLY, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, D3DERR_INVALIDCALL},
        {"unknown pool", 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL(4), nullptr, D3DERR_INVALIDCALL},
        {"shared handle", 8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &handle, D3DERR_INVALIDCALL},
    };
    for (const auto& c : cases) {
        IDirect3DTexture9* t = reinterpret_cast<IDirect3DTexture9*>(1);
        EXPECT_EQ(device->CreateTexture(c.w, c.h, c.levels, c.usage, c.format, c.pool, &t, c.shared), c.expected)
            << c.name;
        if (c.expected != D3D_OK) {
            EXPECT_EQ(t, nullptr) << c.name;
        } else if (t != nullptr) {
            t->Release();
        }
    }
    EXPECT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, nullptr),
              D3DERR_INVALIDCALL);
}

TEST_F(TextureResourceTest, LevelsOfAWholeChain) {
    IDirect3DTexture9* t = make(256, 64, 0, D3DFMT_A4R4G4B4);
    ASSERT_EQ(t->GetLevelCount(), 9u);
    const UINT widths[] = {256, 128, 64, 32, 16, 8, 4, 2, 1}, heights[] = {64, 32, 16, 8, 4, 2, 1, 1, 1};
    for (UINT i = 0; i < 9; ++i) {
        D3DSURFACE_DESC d{};
        ASSERT_EQ(t->GetLevelDesc(i, &d), D3D_OK);
        EXPECT_EQ(d.Width, widths[i]);
        EXPECT_EQ(d.Height, heights[i]);
        EXPECT_EQ(d.Format, D3DFMT_A4R4G4B4);
        EXPECT_EQ(d.Pool, D3DPOOL_MANAGED);
        EXPECT_EQ(d.Type, D3DRTYPE_SURFACE);
    }
    D3DSURFACE_DESC d;
    EXPECT_EQ(t->GetLevelDesc(9, &d), D3DERR_INVALIDCALL);
    // LOD: managed only, clamped to the last level, and the most detailed level sampled.
    EXPECT_EQ(t->SetLOD(20), 0u);
    EXPECT_EQ(t->GetLOD(), 8u);
    EXPECT_EQ(t->SetLOD(2), 8u);
    sampler_level levels[sampler_max_levels];
    int count = 0;
    ASSERT_TRUE(d3d9_texture_sampled_levels(t, levels, &count));
    EXPECT_EQ(count, 7);
    EXPECT_EQ(levels[0].width, 64);
    t->Release();
    IDirect3DTexture9* dynamic = make(8, 8, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, D3DUSAGE_DYNAMIC);
    EXPECT_EQ(dynamic->SetLOD(1), 0u);
    EXPECT_EQ(dynamic->GetLOD(), 0u);
    dynamic->Release();
}

TEST_F(TextureResourceTest, LockRectPointsIntoTheLevelByPitch) {
    IDirect3DTexture9* t = make(64, 64, 1, D3DFMT_A8R8G8B8);
    D3DLOCKED_RECT whole, part;
    ASSERT_EQ(t->LockRect(0, &whole, nullptr, D3DLOCK_READONLY), D3D_OK);
    t->UnlockRect(0);
    const RECT r{8, 4, 16, 12};
    ASSERT_EQ(t->LockRect(0, &part, &r, 0), D3D_OK);
    EXPECT_EQ(part.Pitch, 256);
    EXPECT_EQ(static_cast<uint8_t*>(part.pBits), static_cast<uint8_t*>(whole.pBits) + 4 * 256 + 8 * 4);
    D3DLOCKED_RECT again;
    EXPECT_EQ(t->LockRect(0, &again, nullptr, 0), D3DERR_INVALIDCALL);  // already locked
    EXPECT_EQ(t->UnlockRect(0), D3D_OK);
    EXPECT_EQ(t->UnlockRect(0), D3DERR_INVALIDCALL);
    t->Release();

    // Rows of other formats are padded to 4 bytes; DXT rectangles address blocks.
    IDirect3DTexture9* rgb = make(5, 2, 1, D3DFMT_R8G8B8);
    ASSERT_EQ(rgb->LockRect(0, &whole, nullptr, 0), D3D_OK);
    EXPECT_EQ(whole.Pitch, 16);
    rgb->UnlockRect(0);
    rgb->Release();
    IDirect3DTexture9* dxt = make(16, 16, 1, D3DFMT_DXT5);
    ASSERT_EQ(dxt->LockRect(0, &whole, nullptr, 0), D3D_OK);
    dxt->UnlockRect(0);
    const RECT blocks{4, 8, 12, 16};
    ASSERT_EQ(dxt->LockRect(0, &part, &blocks, 0), D3D_OK);
    EXPECT_EQ(part.Pitch, 64);
    EXPECT_EQ(static_cast<uint8_t*>(part.pBits), static_cast<uint8_t*>(whole.pBits) + 2 * 64 + 16);
    dxt->UnlockRect(0);
    dxt->Release();
}

TEST_F(TextureResourceTest, LockRectRefusals) {
    IDirect3DTexture9* t = make(16, 16, 2, D3DFMT_A8R8G8B8);
    IDirect3DTexture9* dxt = make(10, 10, 1, D3DFMT_DXT1);
    IDirect3DTexture9* fixed = make(16, 16, 1, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT);
    const struct {
        const char* name;
        IDirect3DTexture9* texture;
        UINT level;
        RECT rect;
        bool whole;
        DWORD flags;
    } cases[] = {
        {"level out of range", t, 2, {}, true, 0},
        {"empty rectangle", t, 0, {4, 4, 4, 8}, false, 0},
        {"outside the level", t, 1, {0, 0, 9, 8}, false, 0},
        {"negative", t, 0, {-1, 0, 4, 4}, false, 0},
        {"readonly with discard", t, 0, {}, true, D3DLOCK_READONLY | D3DLOCK_DISCARD},
        {"unknown flag", t, 0, {}, true, 0x80000000u},
        {"dxt not on blocks", dxt, 0, {2, 0, 8, 4}, false, 0},
        {"default pool without dynamic", fixed, 0, {}, true, 0},
    };
    for (const auto& c : cases) {
        D3DLOCKED_RECT lr{1, &lr};
        EXPECT_EQ(c.texture->LockRect(c.level, &lr, c.whole ? nullptr : &c.rect, c.flags), D3DERR_INVALIDCALL)
            << c.name;
        EXPECT_EQ(lr.pBits, nullptr) << c.name;
    }
    const RECT edge{8, 8, 10, 10};  // ends at the level's edge
    D3DLOCKED_RECT lr;
    EXPECT_EQ(dxt->LockRect(0, &lr, &edge, 0), D3D_OK);
    dxt->UnlockRect(0);
    t->Release();
    dxt->Release();
    fixed->Release();
}

TEST_F(TextureResourceTest, LevelSurfacesShareBytesAndKeepTheTextureAlive) {
    IDirect3DTexture9* t = make(8, 4, 0, D3DFMT_R5G6B5);
    IDirect3DSurface9* level1 = nullptr;
    ASSERT_EQ(t->GetSurfaceLevel(1, &level1), D3D_OK);
    ASSERT_NE(level1, nullptr);
    IDirect3DSurface9* beyond = level1;
    EXPECT_EQ(t->GetSurfaceLevel(4, &beyond), D3DERR_INVALIDCALL);
    EXPECT_EQ(beyond, nullptr);
    EXPECT_EQ(t->Release(), 1u);  // the level holds the texture

    // Written through the surface, read through the texture; the sampled form follows the unlock.
    D3DLOCKED_RECT lr;
    ASSERT_EQ(level1->LockRect(&lr, nullptr, 0), D3D_OK);
    static_cast<uint16_t*>(lr.pBits)[1] = 0xF800;
    EXPECT_EQ(t->LockRect(1, &lr, nullptr, 0), D3DERR_INVALIDCALL);  // one lock per level, whoever holds it
    level1->UnlockRect();
    ASSERT_EQ(t->LockRect(1, &lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<uint16_t*>(lr.pBits)[1], 0xF800);
    t->UnlockRect(1);
    sampler_level levels[sampler_max_levels];
    int count = 0;
    ASSERT_TRUE(d3d9_texture_sampled_levels(t, levels, &count));
    ASSERT_EQ(count, 4);
    EXPECT_EQ(levels[1].texels[1], 0xFFFF0000u);
    EXPECT_EQ(levels[1].texels[0], 0xFF000000u);

    IDirect3DTexture9* container = nullptr;
    ASSERT_EQ(level1->GetContainer(IID_IDirect3DTexture9, reinterpret_cast<void**>(&container)), D3D_OK);
    EXPECT_EQ(container, t);
    container->Release();
    D3DSURFACE_DESC d;
    ASSERT_EQ(level1->GetDesc(&d), D3D_OK);
    EXPECT_EQ(d.Width, 4u);
    EXPECT_EQ(d.Height, 2u);
    HDC dc = nullptr;
    EXPECT_EQ(level1->GetDC(&dc), D3DERR_INVALIDCALL);
    EXPECT_EQ(level1->Release(), 0u);  // the last reference: texture and levels go
}

TEST_F(TextureResourceTest, BoundTexturesLiveOnWithoutHoldingTheDevice) {
    IDirect3DTexture9* t = make(4, 4, 0, D3DFMT_X8R8G8B8);
    ASSERT_EQ(device->SetTexture(0, t), D3D_OK);
    EXPECT_EQ(t->Release(), 0u);  // the binding is the device's own
    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(device->GetTexture(0, &bound), D3D_OK);
    EXPECT_EQ(bound, t);
    bound->Release();
    sampler_level levels[sampler_max_levels];
    int count = 0;
    ASSERT_TRUE(d3d9_texture_sampled_levels(bound, levels, &count));
    EXPECT_EQ(levels[0].alpha_or, 0xFF000000u);  // X8R8G8B8: the bytes themselves, alpha supplied
    EXPECT_EQ(device->Release(), 0u);            // ends the device, which lets go of the texture
    device = nullptr;
    direct3d->Release();
    direct3d = nullptr;

    create_device(64, 64);
    IDirect3DTexture9* scratch = make(4, 4, 1, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH);
    EXPECT_EQ(device->SetTexture(0, scratch), D3DERR_INVALIDCALL);
    scratch->Release();
}

TEST_F(TextureResourceTest, AutogenShowsOneLevelAndBoxFiltersTheRest) {
    IDirect3DTexture9* t = make(4, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DUSAGE_AUTOGENMIPMAP);
    EXPECT_EQ(t->GetLevelCount(), 1u);
    D3DLOCKED_RECT lr;
    EXPECT_EQ(t->LockRect(1, &lr, nullptr, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(t->LockRect(0, &lr, nullptr, 0), D3D_OK);
    const uint32_t texels[8] = {0xFF000000, 0xFF0000FF, 0x00FFFFFF, 0x00FFFFFF,
                                0xFF000000, 0xFF0000FF, 0x00000000, 0x00000002};
    for (int y = 0; y < 2; ++y) std::memcpy(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch, texels + 4 * y, 16);
    t->UnlockRect(0);
    sampler_level levels[sampler_max_levels];
    int count = 0;
    ASSERT_TRUE(d3d9_texture_sampled_levels(t, levels, &count));
    ASSERT_EQ(count, 3);
    EXPECT_EQ(levels[1].width, 2);
    EXPECT_EQ(levels[1].height, 1);
    EXPECT_EQ(levels[1].texels[0], 0xFF000080u);  // (0 + 255 + 0 + 255) / 4 = 127.5 -> 128
    EXPECT_EQ(levels[1].texels[1], 0x00808080u);  // blue (255 + 255 + 0 + 2) / 4 = 128
    EXPECT_EQ(levels[2].texels[0], 0x80404080u);
    EXPECT_EQ(t->SetAutoGenFilterType(D3DTEXF_POINT), D3D_OK);
    EXPECT_EQ(t->SetAutoGenFilterType(D3DTEXF_NONE), D3DERR_INVALIDCALL);
    EXPECT_EQ(t->GetAutoGenFilterType(), D3DTEXF_POINT);
    t->Release();
}

TEST_F(TextureResourceTest, OffscreenSurfacesAndColorFill) {
    IDirect3DSurface9* s = nullptr;
    EXPECT_EQ(device->CreateOffscreenPlainSurface(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &s, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(device->CreateOffscreenPlainSurface(4, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &s, nullptr),
              D3DERR_INVALIDCALL);
    IDirect3DSurface9* fillable = plain(4, 4, D3DFMT_R5G6B5, D3DPOOL_DEFAULT);
    const RECT r{1, 1, 3, 2};
    ASSERT_EQ(device->ColorFill(fillable, &r, 0xFFFF0000), D3D_OK);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(fillable->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3D_OK);
    const auto* row1 = reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(lr.pBits) + lr.Pitch);
    EXPECT_EQ(row1[0], 0u);
    EXPECT_EQ(row1[1], 0xF800u);
    EXPECT_EQ(row1[2], 0xF800u);
    EXPECT_EQ(row1[3], 0u);
    EXPECT_EQ(device->ColorFill(fillable, nullptr, 0), D3DERR_INVALIDCALL);  // locked
    fillable->UnlockRect();
    IDirect3DSurface9* system = plain(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM);
    EXPECT_EQ(device->ColorFill(system, nullptr, 0), D3DERR_INVALIDCALL);
    const RECT outside{0, 0, 5, 1};
    EXPECT_EQ(device->ColorFill(fillable, &outside, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->ColorFill(nullptr, nullptr, 0), D3DERR_INVALIDCALL);
    fillable->Release();
    system->Release();
}

TEST_F(TextureResourceTest, CopiesBetweenSurfaces) {
    // A render-target texture: its level is a target for StretchRect and a source for GetRenderTargetData.
    IDirect3DTexture9* target = make(4, 4, 1, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &level), D3D_OK);
    IDirect3DSurface9* source = plain(2, 2, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT);
    IDirect3DSurface9* system = plain(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM);
    IDirect3DSurface9* small_system = plain(2, 2, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM);
    fill32(source, 0xFF102030);
    fill32(small_system, 0x80FFFFFF);

    ASSERT_EQ(device->StretchRect(source, nullptr, level, nullptr, D3DTEXF_POINT), D3D_OK);  // 2 x 2 -> 4 x 4
    ASSERT_EQ(device->GetRenderTargetData(level, system), D3D_OK);
    EXPECT_EQ(read32(system, 3, 3), 0xFF102030u);
    const POINT at{2, 1};
    const POINT origin{0, 0};
    ASSERT_EQ(device->UpdateSurface(small_system, nullptr, source, &origin), D3D_OK);
    EXPECT_EQ(read32(source, 1, 1), 0x80FFFFFFu);

    const RECT overlapping{0, 0, 2, 2}, shifted{1, 1, 3, 3};
    const struct {
        const char* name;
        HRESULT result;
    } refusals[] = {
        {"stretch from systemmem", device->StretchRect(system, nullptr, level, nullptr, D3DTEXF_NONE)},
        {"stretch into a plain surface of another size",
         device->StretchRect(level, nullptr, source, nullptr, D3DTEXF_NONE)},
        {"overlapping in one surface", device->StretchRect(level, &overlapping, level, &shifted, D3DTEXF_NONE)},
        {"unknown filter", device->StretchRect(source, nullptr, level, nullptr, D3DTEXF_ANISOTROPIC)},
        {"update into systemmem", device->UpdateSurface(small_system, nullptr, system, nullptr)},
        {"update past the edge", device->UpdateSurface(small_system, nullptr, source, &at)},
        {"render target data of a plain surface", device->GetRenderTargetData(source, system)},
        {"render target data of another size", device->GetRenderTargetData(level, small_system)},
    };
    for (const auto& r : refusals) EXPECT_EQ(r.result, D3DERR_INVALIDCALL) << r.name;
    EXPECT_EQ(read32(system, 0, 0), 0xFF102030u);  // nothing changed

    // Linear stretching of a 2 x 1 black-white source into 4 x 1: texel centres 0.25 and 0.75 apart.
    IDirect3DSurface9* strip = plain(2, 1, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(strip->LockRect(&lr, nullptr, 0), D3D_OK);
    static_cast<uint32_t*>(lr.pBits)[0] = 0;
    static_cast<uint32_t*>(lr.pBits)[1] = 0xFFFFFF;
    strip->UnlockRect();
    const RECT row{0, 0, 4, 1};
    ASSERT_EQ(device->StretchRect(strip, nullptr, level, &row, D3DTEXF_LINEAR), D3D_OK);
    ASSERT_EQ(device->GetRenderTargetData(level, system), D3D_OK);
    EXPECT_EQ(read32(system, 0, 0), 0xFF000000u);
    EXPECT_EQ(read32(system, 1, 0), 0xFF404040u);  // 0.25 of the way
    EXPECT_EQ(read32(system, 2, 0), 0xFFBFBFBFu);  // 0.75: 191.25 -> 191
    EXPECT_EQ(read32(system, 3, 0), 0xFFFFFFFFu);

    for (IUnknown* u : std::initializer_list<IUnknown*>{level, source, system, small_system, strip, target}) {
        u->Release();
    }
}

TEST_F(TextureResourceTest, UpdateTextureCopiesLevelsOfTheSameSize) {
    IDirect3DTexture9* from = make(8, 8, 0, D3DFMT_L8, D3DPOOL_SYSTEMMEM);
    IDirect3DTexture9* to = make(4, 4, 0, D3DFMT_L8, D3DPOOL_DEFAULT);
    IDirect3DTexture9* wrong = make(4, 4, 0, D3DFMT_A8, D3DPOOL_DEFAULT);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(from->LockRect(1, &lr, nullptr, 0), D3D_OK);  // the 4 x 4 level
    static_cast<uint8_t*>(lr.pBits)[lr.Pitch * 3 + 3] = 0x40;
    from->UnlockRect(1);
    EXPECT_EQ(device->UpdateTexture(from, wrong), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->UpdateTexture(to, from), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->UpdateTexture(from, to), D3D_OK);
    sampler_level levels[sampler_max_levels];
    int count = 0;
    ASSERT_TRUE(d3d9_texture_sampled_levels(to, levels, &count));
    EXPECT_EQ(levels[0].texels[15], 0xFF404040u);
    from->Release();
    to->Release();
    wrong->Release();
}

}  // namespace
