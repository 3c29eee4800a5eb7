// Files that made stb_image fault before the fixes in third_party/stb, or cost far more than their
// size (found by fuzzing): each must fail cleanly with its reason, or load as stated; the
// sanitizer build catches a relapse.
#include "texture_files.h"

#include <string>

namespace {

byte_buffer bytes(std::initializer_list<byte_buffer> parts) {
    byte_buffer out;
    for (const byte_buffer& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A baseline 8 x 8 grey JPEG up to its frame header.
byte_buffer jpeg_frame() {
    byte_buffer quantisation = {0xFF, 0xDB, 0x00, 0x43, 0x00};
    quantisation.resize(quantisation.size() + 64, 1);
    return bytes(
        {{0xFF, 0xD8}, quantisation, {0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x08, 0x00, 0x08, 0x01, 0x01, 0x11, 0x00}});
}

const byte_buffer jpeg_scan = {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00};
const byte_buffer jpeg_end = {0xFF, 0xD9};

TEST_F(TextureFile, FilesThatMadeTheDecoderFaultFailCleanly) {
    byte_buffer oversized_table = {0xFF, 0xC4, 0x00, 0x13, 0x00};  // 16 code lengths of 32 codes each
    oversized_table.resize(oversized_table.size() + 16, 0x20);
    byte_buffer huge_tga = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0x10, 0x10, 0x10, 16, 0};  // RLE, 4112 x 4112
    huge_tga.resize(huge_tga.size() + 1600, 0x10);
    const unsigned char grey[] = {9, 200};
    byte_buffer huge_chunk = png_bytes(2, 1, 1, grey);
    huge_chunk[33] = 0x40;  // the first IDAT announces 1 GiB
    const struct {
        const char* what;
        byte_buffer file;
        const char* reason;
    } cases[] = {
        {"JPEG Huffman table of 512 codes", bytes({{0xFF, 0xD8}, oversized_table}),
         "JPEG: corrupt or unsupported header"},
        {"JPEG scan with undefined tables", bytes({jpeg_frame(), jpeg_scan, byte_buffer(32, 0x55), jpeg_end}),
         "JPEG: bad huffman code"},
        {"JPEG frame without a scan", bytes({jpeg_frame(), jpeg_end}), "JPEG: no SOS"},
        {"HDR literal run of length 0",
         bytes({text_bytes("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 1 +X 8\n"), {2, 2, 0, 8, 0, 1, 2}}),
         "HDR: corrupt"},
        {"RLE TGA of 4112 x 4112 texels", huge_tga, "implausible size 4112 x 4112 for a file of 1618 bytes"},
        {"PNG chunk of 1 GiB in a small file", huge_chunk, "truncated"},
    };
    for (const auto& c : cases) {
        write_file(folder_ / "hostile", c.file);
        EXPECT_TRUE(fails_cleanly("hostile")) << c.what;
        EXPECT_EQ(failure_reason("hostile"), c.reason) << c.what;
    }
}

// Odd but valid files that made the decoder fault: a PSD colour darker than its white matte
// allows (un-matting it converted an out-of-range float), a PNG whose first IDAT chunk is empty
// (which added 0 to a null pointer).
TEST_F(TextureFile, OddButValidFilesThatMadeTheDecoderFaultLoad) {
    const byte_buffer psd = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 4,  // version 1, 4 channels
                             0,   0,   0,   1,   0, 0, 0, 1, 0, 8, 0, 3,        // 1 x 1, 8 bits, RGB
                             0,   0,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // no sections, raw
                             0,   0,   0,   128};                               // r, g, b, alpha planes
    const unsigned char grey[] = {9, 200};
    byte_buffer png = png_bytes(2, 1, 1, grey);
    const byte_buffer empty_idat = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0x35, 0xAF, 0x06, 0x1E};
    png.insert(png.begin() + 33, empty_idat.begin(), empty_idat.end());  // after the signature and IHDR
    EXPECT_EQ(load_file(psd, 1, 1), std::vector<D3DCOLOR>{0x80000000}) << "PSD";
    EXPECT_EQ(load_file(png, 2, 1), (std::vector<D3DCOLOR>{0xFF090909, 0xFFC8C8C8})) << "PNG";
}

}  // namespace
