// Files that made stb_image fault before the fixes in third_party/stb (found by fuzzing): each must
// fail cleanly with stb_image's reason; the sanitizer build catches a relapse.
#include "texture_files.h"

#include <string>

namespace {

Bytes bytes(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A baseline 8 x 8 grey JPEG up to its scan, whose Huffman tables are `tables`.
Bytes jpeg_head(const Bytes& tables) {
    Bytes quantisation = {0xFF, 0xDB, 0x00, 0x43, 0x00};
    quantisation.resize(quantisation.size() + 64, 1);
    const Bytes frame = {0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x08, 0x00, 0x08, 0x01, 0x01, 0x11, 0x00};
    const Bytes scan = {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00};
    return bytes({{0xFF, 0xD8}, quantisation, frame, tables, scan});
}

TEST_F(TextureFile, FilesThatMadeTheDecoderFaultFailCleanly) {
    Bytes oversized_table = {0xFF, 0xC4, 0x00, 0x13, 0x00};  // 16 code lengths of 32 codes each
    oversized_table.resize(oversized_table.size() + 16, 0x20);
    const struct {
        const char* what;
        Bytes file;
        const char* reason;
    } cases[] = {
        {"JPEG Huffman table of 512 codes", bytes({{0xFF, 0xD8}, oversized_table}),
         "JPEG: corrupt or unsupported header"},
        {"JPEG scan with undefined tables", bytes({jpeg_head({}), Bytes(32, 0x55), {0xFF, 0xD9}}),
         "JPEG: bad huffman code"},
        {"HDR literal run of length 0",
         bytes({text_bytes("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 1 +X 8\n"), {2, 2, 0, 8, 0, 1, 2}}),
         "HDR: corrupt"},
    };
    for (const auto& c : cases) {
        write_file(folder_ / "hostile", c.file);
        EXPECT_TRUE(fails_cleanly("hostile")) << c.what;
        EXPECT_EQ(failure_reason("hostile"), c.reason) << c.what;
    }
}

}  // namespace
