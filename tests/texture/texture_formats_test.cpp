// DDS, PFM, HDR and DIB: the shared files made by another encoder against their correct decodes,
// DDS variants of one picture drawn like its BMP, and hand-made files for the cases those miss.
#include "texture_files.h"

#include "draw_arrays.h"
#include "platform/d3d9/device_debug.h"

#include <squish.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

void put_le32(byte_buffer& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

constexpr uint32_t four_cc(const char (&code)[5]) {
    return uint32_t(code[0]) | uint32_t(code[1]) << 8 | uint32_t(code[2]) << 16 | uint32_t(code[3]) << 24;
}

// The pixel format of a DDS header: its flags, four-character code, bits per texel and masks.
struct dds_layout {
    uint32_t flags;
    uint32_t code;
    uint32_t bits;
    std::array<uint32_t, 4> masks;  // red, green, blue, alpha
    uint32_t size = 32;
};

const dds_layout dds_a8r8g8b8 = {0x41, 0, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}};
dds_layout dds_blocks(const char (&code)[5]) { return {0x4, four_cc(code), 0, {}}; }

// A DDS file of a width x height texture in `format`, announcing `mip_count` levels (none when 0),
// followed by `data`.
byte_buffer dds_file(uint32_t width, uint32_t height, const dds_layout& format, const byte_buffer& data,
                     uint32_t mip_count = 0) {
    byte_buffer out = {'D', 'D', 'S', ' '};
    for (uint32_t field : {124u, 0x1007u | (mip_count != 0 ? 0x20000u : 0u), height, width, 0u, 0u, mip_count}) {
        put_le32(out, field);
    }
    out.resize(out.size() + 44);
    for (uint32_t field : {format.size, format.flags, format.code, format.bits}) put_le32(out, field);
    for (uint32_t mask : format.masks) put_le32(out, mask);
    for (uint32_t field : {0x1000u, 0u, 0u, 0u, 0u}) put_le32(out, field);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// A PFM file: the header text, then the samples in the byte order the header's scale announces.
byte_buffer pfm_file(const std::string& header, std::initializer_list<float> samples, bool little_endian) {
    byte_buffer out = text_bytes(header);
    for (float sample : samples) {
        const auto bits = std::bit_cast<uint32_t>(sample);
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<unsigned char>(bits >> (little_endian ? 8 * i : 24 - 8 * i)));
    }
    return out;
}

// The largest difference of any channel between two images of the same size.
int largest_difference(const std::vector<D3DCOLOR>& a, const std::vector<D3DCOLOR>& b) {
    int worst = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            worst = std::max(worst, std::abs(int(a[i] >> shift & 0xFF) - int(b[i] >> shift & 0xFF)));
        }
    }
    return worst;
}

// Every image of the shared folder (see its README): decoded within its tolerance of the correct
// decode, or refused with a reason. An image the table does not know fails the test.
TEST_F(TextureFile, SharedReferenceFilesDecodeWithinTheirToleranceOrAreRefused) {
    const std::filesystem::path shared = std::filesystem::path(DEMOS_SHARED_DIR) / "textures";
    if (!std::filesystem::is_directory(shared)) GTEST_SKIP() << "no shared reference textures in " << shared;
    struct file_expectation {
        const char* reference;  // in the shared folder; null when the file must be refused
        int tolerance;
    };
    const std::map<std::string, file_expectation> table = {
        {"source.png", {"source.png", 0}},
        {"source-alpha.png", {"source-alpha.png", 0}},
        {"source-37x21.png", {"source-37x21.png", 0}},
        {"dxt1.dds", {"expected/dxt1-dds.png", 2}},
        {"dxt1-mipmaps.dds", {"expected/dxt1-mipmaps-dds.png", 2}},
        {"dxt1-37x21.dds", {"expected/dxt1-37x21-dds.png", 2}},
        {"dxt3.dds", {"expected/dxt3-dds.png", 2}},
        {"dxt5.dds", {"expected/dxt5-dds.png", 2}},
        {"r8g8b8.dds", {"expected/r8g8b8-dds.png", 0}},
        {"a8r8g8b8.dds", {"expected/a8r8g8b8-dds.png", 0}},
        {"x8r8g8b8.dds", {"expected/x8r8g8b8-dds.png", 0}},
        {"r5g6b5.dds", {"expected/r5g6b5-dds.png", 0}},
        {"a1r5g5b5.dds", {"expected/a1r5g5b5-dds.png", 0}},
        {"a4r4g4b4.dds", {"expected/a4r4g4b4-dds.png", 0}},
        {"l8.dds", {"expected/l8-dds.png", 0}},
        {"cube.dds", {nullptr, 0}},
        {"volume.dds", {nullptr, 0}},
        {"truncated-dxt1.dds", {nullptr, 0}},
        {"bad-huge.dds", {nullptr, 0}},
        {"bad-header-size.dds", {nullptr, 0}},
        {"ppm16.ppm", {"expected/ppm16-ppm.png", 1}},
        {"ppm16-ascii.ppm", {"expected/ppm16-ascii-ppm.png", 1}},
        {"pgm16.pgm", {"expected/pgm16-pgm.png", 1}},
        {"png16.png", {"expected/png16-png.png", 1}},
        {"pfm.pfm", {"expected/pfm-pfm.png", 0}},
        {"hdr.hdr", {"expected/hdr-hdr.png", 1}},  // as stored: no gamma curve
        {"dib.dib", {"expected/dib-dib.png", 0}},
    };
    int walked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(shared)) {
        const std::string name = entry.path().filename().string(), extension = entry.path().extension().string();
        if (!entry.is_regular_file() || extension == ".md" || extension == ".sh" || extension == ".py") continue;
        const auto found = table.find(name);
        if (found == table.end()) {
            ADD_FAILURE() << "no expectation for the shared file " << name;
            continue;
        }
        ++walked;
        const file_expectation& expectation = found->second;
        if (expectation.reference == nullptr) {
            EXPECT_TRUE(fails_cleanly(entry.path().c_str())) << name;
            EXPECT_NE(failure_reason(entry.path().c_str()), "") << name;
            continue;
        }
        UINT width = 0, height = 0, reference_width = 0, reference_height = 0;
        const auto texels = load(entry.path().c_str(), width, height);
        const auto expected = load((shared / expectation.reference).c_str(), reference_width, reference_height);
        ASSERT_EQ(width, reference_width) << name;
        ASSERT_EQ(height, reference_height) << name;
        ASSERT_EQ(texels.size(), expected.size()) << name;
        EXPECT_LE(largest_difference(texels, expected), expectation.tolerance) << name;
    }
    EXPECT_EQ(walked, int(table.size())) << "shared files missing";
}

// Files of each format in the cases the shared files miss, with their texels or reason.
TEST_F(TextureFile, HandMadeDdsPfmAndDibFilesGiveTheirTexelsOrReason) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const byte_buffer bmp = bmp_bytes(3, 1, std::array<unsigned char, 9>{255, 0, 0, 0, 255, 0, 1, 2, 3}.data(), false);
    byte_buffer palette_dib;  // 8 bits per texel, a colour table of 2 entries, one row of 2 texels
    for (uint32_t field : {40u, 2u, 1u, 0x00080001u, 0u, 4u, 0u, 0u, 2u, 0u, 0x00112233u, 0x00C0FFEEu}) {
        put_le32(palette_dib, field);
    }
    palette_dib.insert(palette_dib.end(), {1, 0, 0, 0});
    const byte_buffer tiny_dds = dds_file(1, 1, dds_a8r8g8b8, {});
    byte_buffer huge_table = palette_dib;
    huge_table[32] = 0xFF, huge_table[33] = 0xFF;  // 65,535 colours
    const struct {
        const char* what;
        byte_buffer file;
        std::vector<D3DCOLOR> texels;  // empty when the file is refused with `reason`
        const char* reason;
    } cases[] = {
        {"DXT1 of 1 x 1: part of one block",
         dds_file(1, 1, dds_blocks("DXT1"), {0x00, 0xF8, 0x1F, 0, 0, 0, 0, 0}),
         {0xFFFF0000},
         ""},
        {"A8L8",
         dds_file(2, 1, {0x20001, 0, 16, {0xFF, 0, 0, 0xFF00}}, {0x40, 0x80, 0xFF, 0x00}),
         {0x80404040, 0x00FFFFFF},
         ""},
        {"A8 alone", dds_file(1, 1, {0x2, 0, 8, {0, 0, 0, 0xFF}}, {0x7F}), {0x7F000000}, ""},
        {"A2R10G10B10: fields wider than 8 bits",
         dds_file(1, 1, {0x41, 0, 32, {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000}}, {0x00, 0x00, 0xF8, 0x7F}),
         {0x55FF8000},
         ""},
        {"24-bit texels of 12-bit fields",
         dds_file(2, 1, {0x40, 0, 24, {0xFFF000, 0xFFF, 0, 0}}, {0xFF, 0x0F, 0, 0, 0xF0, 0xFF}),
         {0xFF00FF00, 0xFFFF0000},
         ""},
        {"DXT2", dds_file(4, 4, dds_blocks("DXT2"), byte_buffer(16)), {}, "DDS: pixel format DXT2 is not supported"},
        {"numbered format",
         dds_file(4, 4, {0x4, 113, 0, {}}, byte_buffer(128)),
         {},
         "DDS: pixel format code 113 is not supported"},
        {"12 bits per texel",
         dds_file(1, 1, {0x40, 0, 12, {0xF00, 0xF0, 0xF, 0}}, byte_buffer(2)),
         {},
         "DDS: 12 bits per texel are not supported"},
        {"mask of two runs",
         dds_file(1, 1, {0x40, 0, 16, {0xF0F, 0, 0, 0}}, byte_buffer(2)),
         {},
         "DDS: invalid channel mask"},
        {"mask beyond the texel",
         dds_file(1, 1, {0x40, 0, 16, {0xFF0000, 0, 0, 0}}, byte_buffer(2)),
         {},
         "DDS: invalid channel mask"},
        {"no channels",
         dds_file(1, 1, {0x0, 0, 32, {}}, byte_buffer(4)),
         {},
         "DDS: the pixel format describes no channels"},
        {"YUV", dds_file(1, 1, {0x200, 0, 16, {}}, byte_buffer(2)), {}, "DDS: YUV pixel formats are not supported"},
        {"pixel format size 0",
         dds_file(1, 1, {0x41, 0, 32, {}, 0}, byte_buffer(4)),
         {},
         "DDS: pixel format size 0, not 32"},
        {"more mip levels than 4 x 4 has",
         dds_file(4, 4, dds_blocks("DXT1"), byte_buffer(40), 4),
         {},
         "DDS: 4 mip levels for a 4 x 4 image"},
        {"mip chain cut short", dds_file(4, 4, dds_blocks("DXT1"), byte_buffer(23), 3), {}, "truncated"},
        {"texels cut short", dds_file(2, 2, dds_a8r8g8b8, byte_buffer(15)), {}, "truncated"},
        {"header cut short", byte_buffer(tiny_dds.begin(), tiny_dds.end() - 1), {}, "truncated"},
        {"no width", dds_file(0, 4, dds_a8r8g8b8, byte_buffer(64)), {}, "implausible size 0 x 4"},
        {"PFM big-endian colour, bottom row first",
         pfm_file("PF\n1 2\n1.0\n", {1, 0, 0, 0, 0.5f, -3}, false),
         {0xFF008000, 0xFFFF0000},
         ""},
        {"PFM little-endian grey, clamped",
         pfm_file("Pf 3 1 -1 ", {nan, 2, 0.25f}, true),
         {0xFF000000, 0xFFFFFFFF, 0xFF404040},
         ""},
        {"PFM cut short", pfm_file("PF\n2 2\n-1.0\n", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true), {}, "truncated"},
        {"PFM scale 0", pfm_file("PF\n1 1\n0\n", {0, 0, 0}, true), {}, "malformed PFM header"},
        {"PFM scale nan", pfm_file("Pf\n1 1\nnan\n", {0}, true), {}, "malformed PFM header"},
        {"PFM width missing", text_bytes("PF x 1"), {}, "malformed PFM header"},
        {"PFM header cut short", text_bytes("PF\n1 1\n-1.0"), {}, "truncated"},
        {"PFM too wide", text_bytes("Pf\n9000 1\n-1\n"), {}, "too large: 9000 x 1 (at most 8192 per side)"},
        {"DIB without file header", byte_buffer(bmp.begin() + 14, bmp.end()), {0xFFFF0000, 0xFF00FF00, 0xFF010203}, ""},
        {"DIB with a colour table", palette_dib, {0xFFC0FFEE, 0xFF112233}, ""},
        {"DIB with a colour table beyond the file", huge_table, {}, "truncated"},
    };
    for (const auto& c : cases) {
        write_file(folder_ / "image", c.file);
        if (c.texels.empty()) {
            EXPECT_TRUE(fails_cleanly("image")) << c.what;
            EXPECT_EQ(failure_reason("image"), c.reason) << c.what;
        } else {
            UINT width = 0, height = 0;
            EXPECT_EQ(load("image", width, height), c.texels) << c.what;
        }
        std::filesystem::remove(folder_ / "image");
    }
}

// A picture of smooth ramps and hard edges, RGBA with alpha falling down the rows, top row first.
std::vector<unsigned char> picture(int width, int height) {
    std::vector<unsigned char> rgba;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool square = x > width / 4 && x < width / 2 && y > height / 4 && y < height / 2;
            rgba.push_back(square ? 255 : static_cast<unsigned char>(x * 255 / width));
            rgba.push_back(square ? 255 : static_cast<unsigned char>(y * 255 / height));
            rgba.push_back(static_cast<unsigned char>((x + y) * 4));
            rgba.push_back(static_cast<unsigned char>(255 - y * 255 / height));
        }
    }
    return rgba;
}

// The screen after drawing the texture in `file` over all of it, point sampled and unlit.
std::vector<uint32_t> draw_texture(IDirect3DDevice9* device, const char* file) {
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, file, &texture), D3D_OK) << file;
    if (texture == nullptr) return {};
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTexture(0, texture);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    const D3DVECTOR positions[] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {1, -1, 0.5f}, {-1, -1, 0.5f}};
    const float texcoords[] = {0, 0, 1, 0, 1, 1, 0, 1};
    const UINT indices[] = {0, 1, 2, 0, 2, 3};
    vertex_arrays streams;
    streams.positions = positions;
    streams.texcoords = texcoords;
    streams.vertex_count = 4;
    EXPECT_EQ(draw_vertex_arrays(device, streams, indices, 2), D3D_OK);
    device->SetTexture(0, nullptr);
    texture->Release();
    return d3d9_device_framebuffer(device)->colour;
}

// The same picture as a BMP and as DDS files, DXT-compressed (by libsquish's encoder) and not, on
// a quad whose sides are not multiples of 4: each draws what the BMP does, within what the
// compression itself loses (the largest error of its blocks, decoded back by libsquish).
TEST_F(TextureFile, DdsVariantsOfOnePictureDrawLikeItsBmpWithinTheCompressionError) {
    const int width = 38, height = 22;
    const std::vector<unsigned char> rgba = picture(width, height);
    std::vector<unsigned char> rgb;
    byte_buffer argb;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
        argb.insert(argb.end(), {rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]});
    }
    write_file(folder_ / "picture.bmp", bmp_bytes(width, height, rgb.data(), false));
    write_file(folder_ / "a8r8g8b8.dds", dds_file(width, height, dds_a8r8g8b8, argb));
    const std::vector<uint32_t> bmp_screen = draw_texture(device_.device, "picture.bmp");
    ASSERT_FALSE(bmp_screen.empty());
    EXPECT_EQ(draw_texture(device_.device, "a8r8g8b8.dds"), bmp_screen) << "uncompressed";

    const struct {
        const char code[5];
        int flags;
    } compressions[] = {{"DXT1", squish::kDxt1}, {"DXT5", squish::kDxt5}};
    for (const auto& compression : compressions) {
        byte_buffer blocks(size_t(squish::GetStorageRequirements(width, height, compression.flags)));
        squish::CompressImage(rgba.data(), width, height, blocks.data(), compression.flags);
        std::vector<unsigned char> decoded(rgba.size());
        squish::DecompressImage(decoded.data(), width, height, blocks.data(), compression.flags);
        int error = 0;
        for (size_t i = 0; i < rgba.size(); ++i) {
            if (i % 4 != 3) error = std::max(error, std::abs(int(decoded[i]) - int(rgba[i])));
        }
        const std::string name = std::string(compression.code) + ".dds";
        write_file(folder_ / name, dds_file(width, height, dds_blocks(compression.code), blocks));
        const std::vector<uint32_t> screen = draw_texture(device_.device, name.c_str());
        ASSERT_EQ(screen.size(), bmp_screen.size()) << name;
        std::vector<D3DCOLOR> a(screen.begin(), screen.end()), b(bmp_screen.begin(), bmp_screen.end());
        EXPECT_LE(largest_difference(a, b), error) << name;
        EXPECT_GT(error, 0) << name << ": a lossless compression says nothing";
    }
}

}  // namespace
