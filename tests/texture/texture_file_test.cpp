// Tests of D3DXCreateTextureFromFileA: texel values and row order for every format, Win32 names,
// and clean failure on missing, corrupt, truncated and oversized files.
#include "headless_device.h"

#include <d3dx9.h>

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// What a failed call must leave in the output.
int sentinel_storage;
IDirect3DTexture9* const sentinel = reinterpret_cast<IDirect3DTexture9*>(&sentinel_storage);

// A 3 x 2 RGB image with six different colours (top row first) and its expected texels.
const unsigned char rgb_pixels[] = {255, 0,   0, 0, 255, 0,   0,  0,  255,  //
                                    255, 255, 0, 0, 255, 255, 17, 34, 51};
const D3DCOLOR rgb_texels[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFF112233};

// A 2 x 2 RGBA image with several alpha values.
const unsigned char rgba_pixels[] = {255, 0, 0, 0, 0, 255, 0, 128, 0, 0, 255, 255, 10, 20, 30, 7};
const D3DCOLOR rgba_texels[] = {0x00FF0000, 0x8000FF00, 0xFF0000FF, 0x070A141E};

void append_bytes(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

Bytes png_bytes(int width, int height, int channels, const unsigned char* pixels) {
    Bytes out;
    stbi_write_png_to_func(append_bytes, &out, width, height, channels, pixels, width * channels);
    return out;
}

Bytes tga_bytes(int width, int height, int channels, const unsigned char* pixels, bool run_length) {
    Bytes out;
    stbi_write_tga_with_rle = run_length ? 1 : 0;
    stbi_write_tga_to_func(append_bytes, &out, width, height, channels, pixels);
    return out;
}

Bytes jpeg_bytes(int width, int height, const unsigned char* pixels) {
    Bytes out;
    stbi_write_jpg_to_func(append_bytes, &out, width, height, 3, pixels, 95);
    return out;
}

void put_le(Bytes& out, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A 24-bit BMP written by hand: rows padded to 4 bytes, bottom row first unless `top_down`
// (negative height), pixels stored as B, G, R.
Bytes bmp_bytes(int width, int height, const unsigned char* rgb, bool top_down) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t pixel_bytes = stride * static_cast<uint32_t>(height);
    Bytes out = {'B', 'M'};
    put_le(out, 54 + pixel_bytes, 4);
    put_le(out, 0, 4);
    put_le(out, 54, 4);
    put_le(out, 40, 4);
    put_le(out, static_cast<uint32_t>(width), 4);
    put_le(out, static_cast<uint32_t>(top_down ? -height : height), 4);
    put_le(out, 1, 2);
    put_le(out, 24, 2);
    for (int i = 0; i < 6; ++i) put_le(out, 0, 4);
    for (int row = 0; row < height; ++row) {
        const int source_row = top_down ? row : height - 1 - row;
        const unsigned char* p = rgb + source_row * width * 3;
        for (int x = 0; x < width; ++x, p += 3) out.insert(out.end(), {p[2], p[1], p[0]});
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

Bytes pnm_bytes(const std::string& header, const unsigned char* pixels, size_t count) {
    Bytes out(header.begin(), header.end());
    out.insert(out.end(), pixels, pixels + count);
    return out;
}

void write_file(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Every test runs in a fresh folder of its own, which is also the current directory.
class TextureFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() { device_ = create_headless_device(); }
    static void TearDownTestSuite() { release_headless_device(device_); }

    void SetUp() override {
        ASSERT_NE(device_.device, nullptr);
        char pattern[] = "/tmp/texture-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }

    // Loads `name`; on success returns the texels (and sizes), failing the test otherwise.
    std::vector<D3DCOLOR> load(const char* name, UINT& width, UINT& height) {
        IDirect3DTexture9* texture = nullptr;
        const HRESULT result = D3DXCreateTextureFromFileA(device_.device, name, &texture);
        EXPECT_EQ(result, D3D_OK) << name;
        if (result != D3D_OK || texture == nullptr) return {};
        width = texture->GetWidth();
        height = texture->GetHeight();
        std::vector<D3DCOLOR> texels(texture->GetTexels(), texture->GetTexels() + width * height);
        texture->Release();
        return texels;
    }

    std::vector<D3DCOLOR> load_file(const Bytes& bytes, UINT expected_width, UINT expected_height) {
        write_file(folder_ / "image", bytes);
        UINT width = 0, height = 0;
        auto texels = load("image", width, height);
        EXPECT_EQ(width, expected_width);
        EXPECT_EQ(height, expected_height);
        return texels;
    }

    // True when loading fails with a non-zero result and leaves the out pointer as it was.
    static bool fails_cleanly(const char* name) {
        IDirect3DTexture9* texture = sentinel;
        const HRESULT result = D3DXCreateTextureFromFileA(device_.device, name, &texture);
        if (result == D3D_OK && texture != nullptr && texture != sentinel) texture->Release();
        return result != D3D_OK && texture == sentinel;
    }

    // Each file gets a fresh name: rewriting one file over and over makes the file system flush
    // it every time, which is slow.
    bool bytes_fail_cleanly(const Bytes& bytes) {
        const std::string name = "bad" + std::to_string(++files_);
        write_file(folder_ / name, bytes);
        const bool failed = fails_cleanly(name.c_str());
        std::filesystem::remove(folder_ / name);
        return failed;
    }

    static HeadlessDevice device_;
    std::filesystem::path folder_;
    std::filesystem::path previous_;
    int files_ = 0;
};

HeadlessDevice TextureFile::device_;

std::vector<D3DCOLOR> expected(const D3DCOLOR* texels, size_t count) { return {texels, texels + count}; }

TEST_F(TextureFile, RgbImagesGiveOpaqueTexelsTopRowFirstInEveryLosslessFormat) {
    const auto want = expected(rgb_texels, 6);
    EXPECT_EQ(load_file(png_bytes(3, 2, 3, rgb_pixels), 3, 2), want) << "PNG";
    EXPECT_EQ(load_file(tga_bytes(3, 2, 3, rgb_pixels, false), 3, 2), want) << "TGA";
    EXPECT_EQ(load_file(tga_bytes(3, 2, 3, rgb_pixels, true), 3, 2), want) << "TGA, run-length";
    EXPECT_EQ(load_file(pnm_bytes("P6\n3 2\n255\n", rgb_pixels, sizeof rgb_pixels), 3, 2), want) << "PPM";
}

TEST_F(TextureFile, BmpRowsComeTopFirstWhetherStoredBottomUpOrTopDown) {
    const auto want = expected(rgb_texels, 6);
    EXPECT_EQ(load_file(bmp_bytes(3, 2, rgb_pixels, false), 3, 2), want) << "bottom-up";
    EXPECT_EQ(load_file(bmp_bytes(3, 2, rgb_pixels, true), 3, 2), want) << "top-down";
    Bytes written;
    stbi_write_bmp_to_func(append_bytes, &written, 3, 2, 3, rgb_pixels);
    EXPECT_EQ(load_file(written, 3, 2), want) << "stb's BMP writer";
}

TEST_F(TextureFile, AlphaIsKeptFromRgbaPngAndTga) {
    const auto want = expected(rgba_texels, 4);
    EXPECT_EQ(load_file(png_bytes(2, 2, 4, rgba_pixels), 2, 2), want) << "PNG";
    EXPECT_EQ(load_file(tga_bytes(2, 2, 4, rgba_pixels, false), 2, 2), want) << "TGA";
    EXPECT_EQ(load_file(tga_bytes(2, 2, 4, rgba_pixels, true), 2, 2), want) << "TGA, run-length";
}

TEST_F(TextureFile, GreyImagesReplicateGreyIntoEveryChannel) {
    const unsigned char grey[] = {0, 100, 200, 255};
    const std::vector<D3DCOLOR> want = {0xFF000000, 0xFF646464, 0xFFC8C8C8, 0xFFFFFFFF};
    EXPECT_EQ(load_file(pnm_bytes("P5 2 2 255\n", grey, 4), 2, 2), want) << "PGM";
    EXPECT_EQ(load_file(png_bytes(2, 2, 1, grey), 2, 2), want) << "grey PNG";
}

TEST_F(TextureFile, JpegKeepsColoursWithinCompressionErrorAndTopHalfOnTop) {
    std::vector<unsigned char> pixels(16 * 16 * 3);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            unsigned char* p = &pixels[(y * 16 + x) * 3];
            p[0] = y < 8 ? 220 : 20;
            p[1] = 40;
            p[2] = y < 8 ? 30 : 210;
        }
    }
    const auto texels = load_file(jpeg_bytes(16, 16, pixels.data()), 16, 16);
    ASSERT_EQ(texels.size(), 256u);
    auto near = [](D3DCOLOR texel, int r, int g, int b) {
        return texel >> 24 == 0xFF && std::abs(int(texel >> 16 & 0xFF) - r) < 24 &&
               std::abs(int(texel >> 8 & 0xFF) - g) < 24 && std::abs(int(texel & 0xFF) - b) < 24;
    };
    EXPECT_TRUE(near(texels[2 * 16 + 5], 220, 40, 30)) << std::hex << texels[2 * 16 + 5];
    EXPECT_TRUE(near(texels[13 * 16 + 9], 20, 40, 210)) << std::hex << texels[13 * 16 + 9];
}

TEST_F(TextureFile, NamesUseBackslashesAndIgnoreCase) {
    std::filesystem::create_directory(folder_ / "Textures");
    write_file(folder_ / "Textures" / "Skin.PNG", png_bytes(3, 2, 3, rgb_pixels));
    const auto want = expected(rgb_texels, 6);
    for (const char* name :
         {"Textures\\Skin.PNG", "textures\\skin.png", "TEXTURES/SKIN.png", ".\\Textures\\sKIN.png"}) {
        UINT width = 0, height = 0;
        EXPECT_EQ(load(name, width, height), want) << name;
    }
    const std::string absolute = (folder_ / "textures" / "skin.png").string();
    UINT width = 0, height = 0;
    EXPECT_EQ(load(absolute.c_str(), width, height), want) << absolute;
}

TEST_F(TextureFile, NullArgumentsFailWithoutTouchingTheOutput) {
    write_file(folder_ / "good.png", png_bytes(3, 2, 3, rgb_pixels));
    IDirect3DTexture9* texture = sentinel;
    EXPECT_NE(D3DXCreateTextureFromFileA(nullptr, "good.png", &texture), D3D_OK);
    EXPECT_NE(D3DXCreateTextureFromFileA(device_.device, nullptr, &texture), D3D_OK);
    EXPECT_EQ(texture, sentinel);
    EXPECT_NE(D3DXCreateTextureFromFileA(device_.device, "good.png", nullptr), D3D_OK);
}

TEST_F(TextureFile, MissingUnreadableAndUnsupportedFilesFailCleanly) {
    EXPECT_TRUE(fails_cleanly("absent.png"));
    EXPECT_TRUE(fails_cleanly(""));
    std::filesystem::create_directory(folder_ / "folder.png");
    EXPECT_TRUE(fails_cleanly("folder.png"));
    EXPECT_TRUE(bytes_fail_cleanly({}));
    const std::string text = "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
    EXPECT_TRUE(bytes_fail_cleanly(Bytes(text.begin(), text.end())));
    Bytes noise(4096);
    uint32_t state = 12345;
    for (auto& byte : noise) byte = static_cast<unsigned char>((state = state * 1664525u + 1013904223u) >> 24);
    EXPECT_TRUE(bytes_fail_cleanly(noise));
}

TEST_F(TextureFile, CorruptHeadersAndCompressedDataFail) {
    Bytes png = png_bytes(3, 2, 3, rgb_pixels);
    png[1] = 'Q';
    EXPECT_TRUE(bytes_fail_cleanly(png)) << "PNG signature";

    Bytes bmp = bmp_bytes(3, 2, rgb_pixels, false);
    bmp[28] = 7;  // bits per pixel
    EXPECT_TRUE(bytes_fail_cleanly(bmp)) << "BMP bit depth";

    png = png_bytes(3, 2, 3, rgb_pixels);
    for (size_t i = 41; i < png.size() - 16; ++i) png[i] ^= 0x5A;  // inside the IDAT stream
    EXPECT_TRUE(bytes_fail_cleanly(png)) << "PNG data";
}

TEST_F(TextureFile, TruncatedFilesFailAtEveryLength) {
    std::vector<unsigned char> gradient(8 * 8 * 3);
    for (size_t i = 0; i < gradient.size(); ++i) gradient[i] = static_cast<unsigned char>(i * 7);
    const unsigned char* rows = gradient.data();
    struct Case {
        const char* format;
        Bytes bytes;
        size_t intact_tail;  // trailing bytes the decoder never needs
    };
    const Case cases[] = {
        {"PNG", png_bytes(8, 8, 3, rows), 4},  // the end chunk's checksum is not read
        {"BMP", bmp_bytes(4, 8, rows, false), 0},
        {"BMP top-down", bmp_bytes(4, 8, rows, true), 0},
        {"TGA", tga_bytes(8, 8, 3, rows, false), 0},
        {"TGA run-length", tga_bytes(8, 8, 3, rows, true), 0},
        {"PPM", pnm_bytes("P6 8 8 255\n", rows, gradient.size()), 0},
        {"JPEG", jpeg_bytes(8, 8, rows), 0},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(bytes_fail_cleanly(c.bytes)) << c.format << " intact";
        for (size_t length = 0; length + c.intact_tail < c.bytes.size(); ++length) {
            EXPECT_TRUE(bytes_fail_cleanly(Bytes(c.bytes.begin(), c.bytes.begin() + length)))
                << c.format << " cut to " << length << " of " << c.bytes.size() << " bytes";
        }
    }
}

// Damaged files either load at a plausible size or fail; they never crash or hang the loader.
TEST_F(TextureFile, RandomlyDamagedFilesLoadOrFailButNeverCrash) {
    std::vector<unsigned char> pixels(6 * 5 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 37);
    const Bytes originals[] = {png_bytes(6, 5, 4, pixels.data()),
                               bmp_bytes(6, 5, pixels.data(), false),
                               tga_bytes(6, 5, 4, pixels.data(), true),
                               tga_bytes(6, 5, 3, pixels.data(), false),
                               pnm_bytes("P6 6 5 255\n", pixels.data(), 90),
                               jpeg_bytes(6, 5, pixels.data())};
    uint32_t state = 2024;
    auto next = [&state] { return (state = state * 1664525u + 1013904223u) >> 8; };
    for (const Bytes& original : originals) {
        for (int round = 0; round < 150; ++round) {
            Bytes damaged = original;
            for (int flips = 1 + next() % 4; flips > 0; --flips) {
                damaged[next() % damaged.size()] = static_cast<unsigned char>(next());
            }
            write_file(folder_ / "damaged", damaged);
            IDirect3DTexture9* texture = sentinel;
            if (D3DXCreateTextureFromFileA(device_.device, "damaged", &texture) == D3D_OK) {
                EXPECT_LE(texture->GetWidth() * texture->GetHeight(), 8192u * 8192u);
                texture->Release();
            } else {
                EXPECT_EQ(texture, sentinel);
            }
            std::filesystem::remove(folder_ / "damaged");
        }
    }
}

TEST_F(TextureFile, AbsurdSizesFailBeforeAnythingLarge) {
    const unsigned char pixels[4 * 2 * 3] = {};
    Bytes bmp = bmp_bytes(4, 2, pixels, false);
    bmp[18] = 0xFF, bmp[19] = 0xFF, bmp[20] = 0x0F, bmp[21] = 0x00;  // width 1,048,575
    EXPECT_TRUE(bytes_fail_cleanly(bmp)) << "width beyond any texture";

    bmp = bmp_bytes(4, 2, pixels, false);
    bmp[18] = 0x00, bmp[19] = 0x20;  // 8192 wide
    bmp[22] = 0x00, bmp[23] = 0x20;  // 8192 high, in a file of a few dozen bytes
    EXPECT_TRUE(bytes_fail_cleanly(bmp)) << "large image announced by a tiny file";

    EXPECT_TRUE(bytes_fail_cleanly(pnm_bytes("P6 4000000000 2 255\n", rgb_pixels, sizeof rgb_pixels)));
}

}  // namespace
