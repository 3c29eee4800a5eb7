// Tests of D3DXLoadSurfaceFrom* (rectangles, colour key, conversion) and of saving surfaces and
// textures: save-then-load round trips in every written file format, and clean failures.
#include "texture_files.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A 5 x 3 image with alpha: texel (x, y) = 0x(40 + 50y)(10 * x)(20 * y)(x * 40 + y).
D3DCOLOR pattern(UINT x, UINT y) {
    return D3DCOLOR((0x40u + 50u * y) << 24 | (10u * x) << 16 | (20u * y) << 8 | (x * 40u + y));
}

IDirect3DTexture9* pattern_texture(IDirect3DDevice9* device, D3DFORMAT format) {
    IDirect3DTexture9* texture = nullptr;
    if (D3DXCreateTexture(device, 5, 3, 1, 0, format, D3DPOOL_MANAGED, &texture) != D3D_OK) return nullptr;
    std::vector<D3DCOLOR> texels;
    for (UINT y = 0; y < 3; ++y) {
        for (UINT x = 0; x < 5; ++x) texels.push_back(pattern(x, y));
    }
    const RECT all{0, 0, 5, 3};
    IDirect3DSurface9* level = nullptr;
    texture->GetSurfaceLevel(0, &level);
    EXPECT_EQ(D3DXLoadSurfaceFromMemory(level, nullptr, nullptr, texels.data(), D3DFMT_A8R8G8B8, 20, nullptr, &all,
                                        D3DX_FILTER_NONE, 0),
              D3D_OK);
    level->Release();
    return texture;
}

std::vector<D3DCOLOR> texels_of(IDirect3DTexture9* texture) {
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    D3DLOCKED_RECT locked;
    std::vector<D3DCOLOR> texels;
    if (texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY) != D3D_OK) return texels;
    for (UINT y = 0; y < desc.Height; ++y) {
        const auto* row = reinterpret_cast<const D3DCOLOR*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
        texels.insert(texels.end(), row, row + desc.Width);
    }
    texture->UnlockRect(0);
    return texels;
}

IDirect3DTexture9* load_exact(IDirect3DDevice9* device, const char* name) {
    IDirect3DTexture9* texture = nullptr;
    const HRESULT result = D3DXCreateTextureFromFileExA(device, name, D3DX_FROM_FILE, D3DX_FROM_FILE, 1, 0,
                                                        D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE,
                                                        D3DX_FILTER_NONE, 0, nullptr, nullptr, &texture);
    return result == D3D_OK ? texture : nullptr;
}

TEST_F(TextureFile, SavedTexturesLoadBackInEveryWrittenFormat) {
    struct {
        D3DXIMAGE_FILEFORMAT format;
        const char* name;
        D3DFORMAT texture_format;
        int tolerance;  // per channel
    } const cases[] = {
        {D3DXIFF_PNG, "saved.png", D3DFMT_A8R8G8B8, 0},  {D3DXIFF_BMP, "saved.bmp", D3DFMT_A8R8G8B8, 0},
        {D3DXIFF_TGA, "saved.tga", D3DFMT_A8R8G8B8, 0},  {D3DXIFF_DDS, "saved.dds", D3DFMT_A8R8G8B8, 0},
        {D3DXIFF_PNG, "opaque.png", D3DFMT_X8R8G8B8, 0}, {D3DXIFF_DDS, "opaque.dds", D3DFMT_X8R8G8B8, 0},
        {D3DXIFF_JPG, "saved.jpg", D3DFMT_X8R8G8B8, 24},
    };
    for (const auto& c : cases) {
        IDirect3DTexture9* source = pattern_texture(device_.device, c.texture_format);
        ASSERT_NE(source, nullptr);
        ASSERT_EQ(D3DXSaveTextureToFileA(c.name, c.format, source, nullptr), D3D_OK) << c.name;
        source->Release();
        IDirect3DTexture9* loaded = load_exact(device_.device, c.name);
        ASSERT_NE(loaded, nullptr) << c.name;
        const auto texels = texels_of(loaded);
        loaded->Release();
        ASSERT_EQ(texels.size(), 15u) << c.name;
        for (UINT i = 0; i < 15; ++i) {
            D3DCOLOR want = pattern(i % 5, i / 5);
            if (c.texture_format == D3DFMT_X8R8G8B8) want |= 0xFF000000;
            for (int shift = 0; shift < 32; shift += 8) {
                const int got_channel = int(texels[i] >> shift & 0xFF), want_channel = int(want >> shift & 0xFF);
                EXPECT_LE(std::abs(got_channel - want_channel), c.tolerance) << c.name << " texel " << i;
            }
        }
    }
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileA("saved.dds", &info), D3D_OK);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    ASSERT_EQ(D3DXGetImageInfoFromFileA("opaque.dds", &info), D3D_OK);
    EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
}

TEST_F(TextureFile, SavingInMemoryAndFailures) {
    IDirect3DTexture9* texture = pattern_texture(device_.device, D3DFMT_A8R8G8B8);
    ASSERT_NE(texture, nullptr);
    IDirect3DSurface9* level = nullptr;
    texture->GetSurfaceLevel(0, &level);
    const RECT corner{3, 1, 5, 3};
    ID3DXBuffer* buffer = nullptr;
    ASSERT_EQ(D3DXSaveSurfaceToFileInMemory(&buffer, D3DXIFF_PNG, level, nullptr, &corner), D3D_OK);
    D3DXIMAGE_INFO info{};
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(buffer->GetBufferPointer(), buffer->GetBufferSize(), &info), D3D_OK);
    EXPECT_EQ(info.Width, 2u);
    EXPECT_EQ(info.Height, 2u);
    buffer->Release();

    const RECT outside{3, 1, 6, 3}, empty{2, 2, 2, 3};
    buffer = reinterpret_cast<ID3DXBuffer*>(0x1);
    EXPECT_EQ(D3DXSaveSurfaceToFileInMemory(&buffer, D3DXIFF_PNG, level, nullptr, &outside), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(D3DXSaveSurfaceToFileA("x.png", D3DXIFF_PNG, level, nullptr, &empty), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXSaveSurfaceToFileA("x.ppm", D3DXIFF_PPM, level, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXSaveSurfaceToFileW(L"no-such-folder/x.png", D3DXIFF_PNG, level, nullptr, nullptr), E_FAIL);
    EXPECT_EQ(D3DXSaveTextureToFileA(nullptr, D3DXIFF_PNG, texture, nullptr), D3DERR_INVALIDCALL);
    EXPECT_FALSE(std::filesystem::exists("x.png"));
    EXPECT_FALSE(std::filesystem::exists("x.ppm"));
    level->Release();
    texture->Release();
}

TEST_F(TextureFile, LoadSurfaceRectanglesColourKeyAndConversion) {
    IDirect3DTexture9* source = pattern_texture(device_.device, D3DFMT_A8R8G8B8);
    ASSERT_NE(source, nullptr);
    IDirect3DSurface9* from = nullptr;
    source->GetSurfaceLevel(0, &from);
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(D3DXCreateTexture(device_.device, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &target), D3D_OK);
    IDirect3DSurface9* to = nullptr;
    target->GetSurfaceLevel(0, &to);

    // Source texels (1..2, 1..2) land at (2..3, 0..1); (2, 2) is keyed; the rest stays zero.
    const RECT source_rect{1, 1, 3, 3}, dest_rect{2, 0, 4, 2};
    ASSERT_EQ(D3DXLoadSurfaceFromSurface(to, nullptr, &dest_rect, from, nullptr, &source_rect, D3DX_FILTER_NONE,
                                         pattern(2, 2)),
              D3D_OK);
    std::vector<D3DCOLOR> want(16, 0);
    want[2] = pattern(1, 1);
    want[3] = pattern(2, 1);
    want[4 + 2] = pattern(1, 2);
    EXPECT_EQ(texels_of(target), want);

    // From memory in R5G6B5, stretched 1 x 1 -> 4 x 4 by point sampling.
    const unsigned short red_565[] = {0xF800};
    const RECT one{0, 0, 1, 1};
    ASSERT_EQ(
        D3DXLoadSurfaceFromMemory(to, nullptr, nullptr, red_565, D3DFMT_R5G6B5, 2, nullptr, &one, D3DX_FILTER_POINT, 0),
        D3D_OK);
    EXPECT_EQ(texels_of(target), std::vector<D3DCOLOR>(16, 0xFFFF0000));

    // Failures leave the surface as it was.
    const RECT outside{0, 0, 6, 3}, inverted{2, 2, 1, 1};
    EXPECT_EQ(D3DXLoadSurfaceFromSurface(to, nullptr, nullptr, from, nullptr, &outside, D3DX_DEFAULT, 0),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXLoadSurfaceFromSurface(to, nullptr, &inverted, from, nullptr, nullptr, D3DX_DEFAULT, 0),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(
        D3DXLoadSurfaceFromMemory(to, nullptr, nullptr, red_565, D3DFMT_R5G6B5, 2, nullptr, nullptr, D3DX_DEFAULT, 0),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXLoadSurfaceFromFileA(to, nullptr, nullptr, "missing.png", nullptr, D3DX_DEFAULT, 0, nullptr),
              D3DXERR_INVALIDDATA);
    const unsigned char junk[] = "not an image";
    EXPECT_EQ(
        D3DXLoadSurfaceFromFileInMemory(to, nullptr, nullptr, junk, sizeof junk, nullptr, D3DX_DEFAULT, 0, nullptr),
        D3DXERR_INVALIDDATA);
    EXPECT_EQ(texels_of(target), std::vector<D3DCOLOR>(16, 0xFFFF0000));

    // From a file, a source rectangle, with the file's information.
    ASSERT_EQ(D3DXSaveTextureToFileA("pattern.png", D3DXIFF_PNG, source, nullptr), D3D_OK);
    D3DXIMAGE_INFO info{};
    const RECT last_column{4, 0, 5, 3}, first_column{0, 0, 1, 3};
    ASSERT_EQ(
        D3DXLoadSurfaceFromFileW(to, nullptr, &first_column, L"pattern.png", &last_column, D3DX_FILTER_NONE, 0, &info),
        D3D_OK);
    EXPECT_EQ(info.Width, 5u);
    const auto texels = texels_of(target);
    EXPECT_EQ(texels[0], pattern(4, 0));
    EXPECT_EQ(texels[8], pattern(4, 2));
    EXPECT_EQ(texels[12], 0xFFFF0000);
    to->Release();
    target->Release();
    from->Release();
    source->Release();
}

}  // namespace
