// Tests of D3DXCreateTextureFromFileA: texel values and row order for every format, Win32 names,
// and clean failure, with its reason, on missing, corrupt, truncated and oversized files.
#include "texture_files.h"

#include "platform/d3d9/texture.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// A 3 x 2 RGB image with six different colours (top row first) and its expected texels.
const unsigned char rgb_pixels[] = {255, 0,   0, 0, 255, 0,   0,  0,  255,  //
                                    255, 255, 0, 0, 255, 255, 17, 34, 51};
const D3DCOLOR rgb_texels[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFF112233};

// A 2 x 2 RGBA image with several alpha values.
const unsigned char rgba_pixels[] = {255, 0, 0, 0, 0, 255, 0, 128, 0, 0, 255, 255, 10, 20, 30, 7};
const D3DCOLOR rgba_texels[] = {0x00FF0000, 0x8000FF00, 0xFF0000FF, 0x070A141E};

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
    EXPECT_EQ(load_file(bmp_writer_bytes(3, 2, rgb_pixels), 3, 2), want) << "stb's BMP writer";
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

TEST_F(TextureFile, MissingUnreadableAndUnsupportedFilesFailCleanlyWithTheirReason) {
    std::filesystem::create_directory(folder_ / "folder.png");
    ASSERT_EQ(mkfifo("pipe.png", 0600), 0);
    write_file(folder_ / "empty.png", {});
    write_file(folder_ / "model.x", text_bytes("xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n"));
    write_file(folder_ / "surface.dds", text_bytes("DDS |\0\0\0\x07\x10\0\0"));
    const byte_buffer png = png_bytes(3, 2, 3, rgb_pixels);
    write_file(folder_ / "cut.png", byte_buffer(png.begin(), png.begin() + 40));
    write_file(folder_ / "huge.png", png);
    std::filesystem::resize_file(folder_ / "huge.png", 257 << 20);  // sparse: takes no room
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"absent.png", "file not found"},
        {"", "file not found"},
        {"absent\\inner.png", "file not found"},
        {"folder.png", "not a regular file (a directory)"},
        {"pipe.png", "not a regular file (a FIFO)"},
        {"/dev/null", "not a regular file (a character device)"},
        {"empty.png", "empty file"},
        {"model.x", "unknown format"},
        {"surface.dds", "truncated"},
        {"cut.png", "truncated"},
        {"huge.png", "too large: 269484032 bytes (at most 256 MiB)"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(fails_cleanly(c.name)) << c.name;
        EXPECT_EQ(failure_reason(c.name), c.reason) << c.name;
    }

    byte_buffer noise(4096);
    uint32_t state = 12345;
    for (auto& byte : noise) byte = static_cast<unsigned char>((state = state * 1664525u + 1013904223u) >> 24);
    EXPECT_TRUE(bytes_fail_cleanly(noise));
}

// A failed load of a named file says so on stderr, one line with the program, the name as given
// and the reason; a call without a name (a material without texture) fails quietly.
TEST_F(TextureFile, FailedLoadsAreReportedOnOneLineOfStderr) {
    IDirect3DTexture9* texture = sentinel;
    testing::internal::CaptureStderr();
    EXPECT_NE(D3DXCreateTextureFromFileA(device_.device, "Skins\\wing\n.bmp", &texture), D3D_OK);
    EXPECT_NE(D3DXCreateTextureFromFileA(device_.device, nullptr, &texture), D3D_OK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string(program_invocation_short_name) + ": texture \"Skins\\wing\\x0A.bmp\": file not found\n");
    EXPECT_EQ(texture, sentinel);
}

TEST_F(TextureFile, CorruptHeadersAndCompressedDataFail) {
    byte_buffer png = png_bytes(3, 2, 3, rgb_pixels);
    png[1] = 'Q';
    EXPECT_TRUE(bytes_fail_cleanly(png)) << "PNG signature";

    byte_buffer bmp = bmp_bytes(3, 2, rgb_pixels, false);
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
    struct test_case {
        const char* format;
        byte_buffer bytes;
        size_t intact_tail;  // trailing bytes the decoder never needs
    };
    const test_case cases[] = {
        {"PNG", png_bytes(8, 8, 3, rows), 4},  // the end chunk's checksum is not read
        {"BMP", bmp_bytes(4, 8, rows, false), 0},
        {"BMP top-down", bmp_bytes(4, 8, rows, true), 0},
        {"TGA", tga_bytes(8, 8, 3, rows, false), 0},
        {"TGA run-length", tga_bytes(8, 8, 3, rows, true), 0},
        {"PPM", pnm_bytes("P6 8 8 255\n", rows, gradient.size()), 0},
        {"JPEG", jpeg_bytes(8, 8, rows), 0},
    };
    for (const test_case& c : cases) {
        ASSERT_FALSE(bytes_fail_cleanly(c.bytes)) << c.format << " intact";
        for (size_t length = 0; length + c.intact_tail < c.bytes.size(); ++length) {
            EXPECT_TRUE(bytes_fail_cleanly(byte_buffer(c.bytes.begin(), c.bytes.begin() + length)))
                << c.format << " cut to " << length << " of " << c.bytes.size() << " bytes";
        }
    }
}

// Damaged files either load at a plausible size or fail; they never crash or hang the loader.
TEST_F(TextureFile, RandomlyDamagedFilesLoadOrFailButNeverCrash) {
    std::vector<unsigned char> pixels(6 * 5 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<unsigned char>(i * 37);
    const byte_buffer originals[] = {png_bytes(6, 5, 4, pixels.data()),
                                     bmp_bytes(6, 5, pixels.data(), false),
                                     tga_bytes(6, 5, 4, pixels.data(), true),
                                     tga_bytes(6, 5, 3, pixels.data(), false),
                                     pnm_bytes("P6 6 5 255\n", pixels.data(), 90),
                                     jpeg_bytes(6, 5, pixels.data())};
    uint32_t state = 2024;
    auto next = [&state] { return (state = state * 1664525u + 1013904223u) >> 8; };
    for (const byte_buffer& original : originals) {
        for (int round = 0; round < 150; ++round) {
            byte_buffer damaged = original;
            for (int flips = 1 + next() % 4; flips > 0; --flips) {
                damaged[next() % damaged.size()] = static_cast<unsigned char>(next());
            }
            write_file(folder_ / "damaged", damaged);
            IDirect3DTexture9* texture = sentinel;
            if (D3DXCreateTextureFromFileA(device_.device, "damaged", &texture) == D3D_OK) {
                EXPECT_LE(d3d9_texture_texels(texture).width * d3d9_texture_texels(texture).height, 8192u * 8192u);
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
    byte_buffer bmp = bmp_bytes(4, 2, pixels, false);
    bmp[18] = 0xFF, bmp[19] = 0xFF, bmp[20] = 0x0F, bmp[21] = 0x00;  // width 1,048,575
    EXPECT_TRUE(bytes_fail_cleanly(bmp)) << "width beyond any texture";

    bmp = bmp_bytes(4, 2, pixels, false);
    bmp[18] = 0x00, bmp[19] = 0x20;  // 8192 wide
    bmp[22] = 0x00, bmp[23] = 0x20;  // 8192 high, in a file of a few dozen bytes
    EXPECT_TRUE(bytes_fail_cleanly(bmp)) << "large image announced by a tiny file";

    EXPECT_TRUE(bytes_fail_cleanly(pnm_bytes("P6 4000000000 2 255\n", rgb_pixels, sizeof rgb_pixels)));
}

}  // namespace
