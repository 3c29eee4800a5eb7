// Tests of the D3DX texture helpers: the sizes, levels and formats D3DXCreateTexture and
// D3DXCreateTextureFromFileInMemoryEx choose, image information of every shared test image,
// resizing filters, colour keys, mip filtering, and clean failure.
#include "texture_files.h"

#include <string>
#include <vector>

namespace {

std::vector<D3DCOLOR> level_texels(IDirect3DTexture9* texture, UINT level) {
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(level, &desc);
    std::vector<D3DCOLOR> texels;
    D3DLOCKED_RECT locked;
    if (texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY) != D3D_OK) return texels;
    for (UINT y = 0; y < desc.Height; ++y) {
        const auto* row = reinterpret_cast<const D3DCOLOR*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
        // X8R8G8B8 keeps 0 in the unused byte; sampling reads it as alpha 255.
        for (UINT x = 0; x < desc.Width; ++x)
            texels.push_back(row[x] | (desc.Format == D3DFMT_X8R8G8B8 ? 0xFF000000 : 0));
    }
    texture->UnlockRect(level);
    return texels;
}

struct created {
    UINT width, height, levels;
    D3DFORMAT format;
};

created describe(IDirect3DTexture9* texture) {
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    return {desc.Width, desc.Height, texture->GetLevelCount(), desc.Format};
}

TEST_F(TextureFile, CreateTextureAdjustsSizeLevelsAndFormat) {
    struct {
        UINT width, height, levels;
        D3DFORMAT format;
        created want;
    } const cases[] = {
        {0, 0, 0, D3DFMT_A8R8G8B8, {1, 1, 1, D3DFMT_A8R8G8B8}},
        {D3DX_DEFAULT, 64, 0, D3DFMT_X8R8G8B8, {64, 64, 7, D3DFMT_X8R8G8B8}},
        {D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, {256, 256, 9, D3DFMT_A8R8G8B8}},
        {100, 60, 3, D3DFMT_R5G6B5, {100, 60, 3, D3DFMT_R5G6B5}},
        {8, 2, 20, D3DFMT_DXT1, {8, 2, 4, D3DFMT_DXT1}},
        {100000, 1, 1, D3DFMT_UNKNOWN, {4096, 1, 1, D3DFMT_A8R8G8B8}},
        {4, 4, 1, D3DFMT_YUY2, {4, 4, 1, D3DFMT_A8R8G8B8}},
    };
    for (const auto& c : cases) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(
            D3DXCreateTexture(device_.device, c.width, c.height, c.levels, 0, c.format, D3DPOOL_MANAGED, &texture),
            D3D_OK)
            << c.width << " x " << c.height;
        const created got = describe(texture);
        EXPECT_EQ(got.width, c.want.width);
        EXPECT_EQ(got.height, c.want.height);
        EXPECT_EQ(got.levels, c.want.levels);
        EXPECT_EQ(got.format, c.want.format);
        texture->Release();
    }
    IDirect3DTexture9* texture = sentinel;
    EXPECT_EQ(D3DXCreateTexture(nullptr, 4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(TextureFile, ImageInfoOfTheSharedImages) {
    struct {
        const char* name;
        UINT width, height, levels;
        D3DFORMAT format;
        D3DXIMAGE_FILEFORMAT file_format;
    } const cases[] = {
        {"source.png", 64, 64, 1, D3DFMT_X8R8G8B8, D3DXIFF_PNG},
        {"source-alpha.png", 64, 64, 1, D3DFMT_A8R8G8B8, D3DXIFF_PNG},
        {"source-37x21.png", 37, 21, 1, D3DFMT_X8R8G8B8, D3DXIFF_PNG},
        {"dxt1.dds", 64, 64, 1, D3DFMT_DXT1, D3DXIFF_DDS},
        {"dxt1-mipmaps.dds", 64, 64, 7, D3DFMT_DXT1, D3DXIFF_DDS},
        {"dxt1-37x21.dds", 37, 21, 1, D3DFMT_DXT1, D3DXIFF_DDS},
        {"dxt3.dds", 64, 64, 1, D3DFMT_DXT3, D3DXIFF_DDS},
        {"dxt5.dds", 64, 64, 1, D3DFMT_DXT5, D3DXIFF_DDS},
        {"r8g8b8.dds", 64, 64, 1, D3DFMT_R8G8B8, D3DXIFF_DDS},
        {"a8r8g8b8.dds", 64, 64, 1, D3DFMT_A8R8G8B8, D3DXIFF_DDS},
        {"x8r8g8b8.dds", 64, 64, 1, D3DFMT_X8R8G8B8, D3DXIFF_DDS},
        {"r5g6b5.dds", 64, 64, 1, D3DFMT_R5G6B5, D3DXIFF_DDS},
        {"a1r5g5b5.dds", 64, 64, 1, D3DFMT_A1R5G5B5, D3DXIFF_DDS},
        {"a4r4g4b4.dds", 64, 64, 1, D3DFMT_A4R4G4B4, D3DXIFF_DDS},
        {"l8.dds", 64, 64, 1, D3DFMT_L8, D3DXIFF_DDS},
        {"ppm16.ppm", 64, 64, 1, D3DFMT_X8R8G8B8, D3DXIFF_PPM},
        {"pgm16.pgm", 64, 64, 1, D3DFMT_L8, D3DXIFF_PPM},
        {"pfm.pfm", 64, 64, 1, D3DFMT_A32B32G32R32F, D3DXIFF_PFM},
        {"hdr.hdr", 64, 64, 1, D3DFMT_A32B32G32R32F, D3DXIFF_HDR},
        {"dib.dib", 64, 64, 1, D3DFMT_R8G8B8, D3DXIFF_DIB},
    };
    for (const auto& c : cases) {
        const std::string path = std::string(DEMOS_SHARED_DIR) + "/textures/" + c.name;
        D3DXIMAGE_INFO info{};
        ASSERT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), D3D_OK) << c.name;
        EXPECT_EQ(info.Width, c.width) << c.name;
        EXPECT_EQ(info.Height, c.height) << c.name;
        EXPECT_EQ(info.Depth, 1u) << c.name;
        EXPECT_EQ(info.MipLevels, c.levels) << c.name;
        EXPECT_EQ(info.Format, c.format) << c.name;
        EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE) << c.name;
        EXPECT_EQ(info.ImageFileFormat, c.file_format) << c.name;
    }
    D3DXIMAGE_INFO info{};
    for (const char* bad : {"cube.dds", "volume.dds", "truncated-dxt1.dds", "bad-huge.dds", "bad-header-size.dds"}) {
        const std::string path = std::string(DEMOS_SHARED_DIR) + "/textures/" + bad;
        EXPECT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), D3DXERR_INVALIDDATA) << bad;
    }
    EXPECT_EQ(D3DXGetImageInfoFromFileA("missing.png", &info), D3DXERR_INVALIDDATA);
    EXPECT_EQ(D3DXGetImageInfoFromFileA(nullptr, &info), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory("x", 0, &info), D3DERR_INVALIDCALL);
}

// A 100 x 60 opaque PNG: red, with one magenta texel at (1, 0).
byte_buffer sprite_png() {
    std::vector<unsigned char> rgb(100 * 60 * 3);
    for (size_t i = 0; i < rgb.size(); i += 3) rgb[i] = 255;
    rgb[3 + 2] = 255;
    return png_bytes(100, 60, 3, rgb.data());
}

TEST_F(TextureFile, FromFileInMemoryExChoosesSizesLevelsAndFormat) {
    const byte_buffer png = sprite_png();
    struct {
        UINT width, height, levels;
        DWORD filter;
        D3DCOLOR key;
        created want;
    } const cases[] = {
        {D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, {128, 64, 8, D3DFMT_X8R8G8B8}},
        {D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 1, D3DX_DEFAULT, 0, {100, 60, 1, D3DFMT_X8R8G8B8}},
        {D3DX_FROM_FILE, D3DX_FROM_FILE, D3DX_FROM_FILE, D3DX_FILTER_POINT, 0, {100, 60, 1, D3DFMT_X8R8G8B8}},
        {10, 6, 2, D3DX_FILTER_BOX, 0xFFFF00FF, {10, 6, 2, D3DFMT_A8R8G8B8}},
    };
    for (const auto& c : cases) {
        IDirect3DTexture9* texture = nullptr;
        D3DXIMAGE_INFO info{};
        ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device_.device, png.data(), UINT(png.size()), c.width, c.height,
                                                      c.levels, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, c.filter,
                                                      D3DX_DEFAULT, c.key, &info, nullptr, &texture),
                  D3D_OK);
        const created got = describe(texture);
        EXPECT_EQ(got.width, c.want.width);
        EXPECT_EQ(got.height, c.want.height);
        EXPECT_EQ(got.levels, c.want.levels);
        EXPECT_EQ(got.format, c.want.format);
        EXPECT_EQ(info.Width, 100u);
        EXPECT_EQ(info.Height, 60u);
        texture->Release();
    }
}

TEST_F(TextureFile, FilterNoneCopiesToTheCornerAndTheColourKeyMakesTransparentBlack) {
    const byte_buffer png = sprite_png();
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  device_.device, png.data(), UINT(png.size()), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_A8R8G8B8,
                  D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_DEFAULT, 0xFFFF00FF, nullptr, nullptr, &texture),
              D3D_OK);
    const auto texels = level_texels(texture, 0);
    ASSERT_EQ(texels.size(), 128u * 64u);
    EXPECT_EQ(texels[0], 0xFFFF0000u);
    EXPECT_EQ(texels[1], 0x00000000u) << "keyed";
    EXPECT_EQ(texels[59 * 128 + 99], 0xFFFF0000u) << "last source texel";
    EXPECT_EQ(texels[59 * 128 + 100], 0x00000000u) << "beyond the image";
    EXPECT_EQ(texels[60 * 128], 0x00000000u);
    texture->Release();
}

TEST_F(TextureFile, ResizingFiltersAndMipLevels) {
    // 2 x 1: black, white. Enlarged to 4 x 1 and shrunk to 1 x 1.
    const unsigned char pixels[] = {0, 0, 0, 255, 255, 255};
    const byte_buffer png = png_bytes(2, 1, 3, pixels);
    struct {
        UINT width;
        DWORD filter;
        std::vector<D3DCOLOR> want;
    } const cases[] = {
        {4, D3DX_FILTER_POINT, {0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF}},
        {4, D3DX_FILTER_LINEAR, {0xFF000000, 0xFF404040, 0xFFBFBFBF, 0xFFFFFFFF}},
        {1, D3DX_FILTER_BOX, {0xFF808080}},
        {1, D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER, {0xFF808080}},
    };
    for (const auto& c : cases) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device_.device, png.data(), UINT(png.size()), c.width, 1, 1, 0,
                                                      D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, c.filter, D3DX_DEFAULT, 0,
                                                      nullptr, nullptr, &texture),
                  D3D_OK);
        EXPECT_EQ(level_texels(texture, 0), c.want) << c.filter;
        texture->Release();
    }
    // The default mip filter averages; D3DXFilterTexture refills the chain after level 0 changes.
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemory(device_.device, png.data(), UINT(png.size()), &texture), D3D_OK);
    EXPECT_EQ(level_texels(texture, 1), std::vector<D3DCOLOR>{0xFF808080});
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    static_cast<D3DCOLOR*>(locked.pBits)[1] = 0xFF000000;
    texture->UnlockRect(0);
    EXPECT_EQ(D3DXFilterTexture(texture, nullptr, D3DX_DEFAULT, D3DX_DEFAULT), D3D_OK);
    EXPECT_EQ(level_texels(texture, 1), std::vector<D3DCOLOR>{0xFF000000});
    EXPECT_EQ(D3DXFilterTexture(texture, nullptr, 5, D3DX_DEFAULT), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXFilterTexture(texture, nullptr, 0, 9), D3DERR_INVALIDCALL);
    texture->Release();
}

void WINAPI fill_with_coordinates(D3DXVECTOR4* out, const D3DXVECTOR2* centre, const D3DXVECTOR2* size, LPVOID data) {
    ++*static_cast<int*>(data);
    *out = D3DXVECTOR4(centre->x, centre->y, size->x * 4.0f, 2.0f);  // alpha clamps to 1
}

TEST_F(TextureFile, FillTextureCallsForEveryTexelCentreOfEveryLevel) {
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTexture(device_.device, 4, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    int calls = 0;
    ASSERT_EQ(D3DXFillTexture(texture, fill_with_coordinates, &calls), D3D_OK);
    EXPECT_EQ(calls, 8 + 2 + 1);
    EXPECT_EQ(level_texels(texture, 0)[0], 0xFF2040FFu);  // (0.125, 0.25), texel width 1/4
    EXPECT_EQ(level_texels(texture, 0)[7], 0xFFDFBFFFu);  // (0.875, 0.75)
    EXPECT_EQ(level_texels(texture, 1), (std::vector<D3DCOLOR>{0xFF4080FF, 0xFFBF80FF}));
    EXPECT_EQ(D3DXFillTexture(texture, nullptr, nullptr), D3DERR_INVALIDCALL);
    texture->Release();
}

TEST_F(TextureFile, FromFileExFailuresCreateNothing) {
    const byte_buffer png = sprite_png();
    const byte_buffer broken(png.begin(), png.begin() + 40);
    write_file("broken.png", broken);
    IDirect3DTexture9* texture = sentinel;
    const auto in_memory = [&](const byte_buffer& bytes, DWORD filter) {
        texture = sentinel;
        return D3DXCreateTextureFromFileInMemoryEx(device_.device, bytes.data(), UINT(bytes.size()), D3DX_DEFAULT,
                                                   D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                   filter, D3DX_DEFAULT, 0, nullptr, nullptr, &texture);
    };
    EXPECT_EQ(in_memory(broken, D3DX_DEFAULT), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(in_memory(png, 0x42), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(D3DXCreateTextureFromFileExA(device_.device, "broken.png", 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                           D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(D3DXCreateTextureFromFileExW(device_.device, L"missing.png", 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                           D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(nullptr, png.data(), UINT(png.size()), &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(device_.device, png.data(), UINT(png.size()), nullptr),
              D3DERR_INVALIDCALL);
    // Written through a staging copy when the texture cannot be locked.
    write_file("good.png", png);
    ASSERT_EQ(D3DXCreateTextureFromFileExW(device_.device, L"good.png", 0, 0, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT,
                                           D3DX_FILTER_NONE, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              D3D_OK);
    texture->Release();
}

}  // namespace
