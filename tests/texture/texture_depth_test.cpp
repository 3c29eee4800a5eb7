// Samples of other depths than 8 bits: PNM of any maximum value, ASCII and binary (the shared
// reference images of 16-bit PNM and PNG and of HDR are read in texture_formats_test).
#include "texture_files.h"

#include <string>
#include <vector>

namespace {

byte_buffer pnm(const std::string& header, std::initializer_list<unsigned char> samples) {
    byte_buffer out(header.begin(), header.end());
    out.insert(out.end(), samples);
    return out;
}

TEST_F(TextureFile, PnmSamplesOfAnyMaximumValueScaleToEightBitsWithRounding) {
    const struct {
        const char* what;
        byte_buffer file;
        std::vector<D3DCOLOR> texels;
    } cases[] = {
        {"P5, maximum 15", pnm("P5 3 1 15\n", {0, 15, 7}), {0xFF000000, 0xFFFFFFFF, 0xFF777777}},
        {"P5, 16-bit big-endian",
         pnm("P5 3 1 65535\n", {0, 0, 0xFF, 0xFF, 0x80, 0x00}),
         {0xFF000000, 0xFFFFFFFF, 0xFF808080}},
        {"P6, 16-bit", pnm("P6 1 1 65535\n", {0x12, 0x34, 0xAB, 0xCD, 0x01, 0x01}), {0xFF12AB01}},
        {"P6, 16-bit, 1000", pnm("P6 1 1 1000\n", {0x03, 0xE8, 0x01, 0xF4, 0, 1}), {0xFFFF8000}},
        {"P2 with comments",
         text_bytes("P2\n# by hand\n3 1\n# maximum\n100\n0 50 100\n"),
         {0xFF000000, 0xFF808080, 0xFFFFFFFF}},
        {"P3, 16-bit", text_bytes("P3 1 1 65535 65535 0 32768"), {0xFFFF0080}},
        {"sample above the maximum", pnm("P5 1 1 100\n", {200}), {0xFFFFFFFF}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(load_file(c.file, UINT(c.texels.size()), 1), c.texels) << c.what;
    }
}

TEST_F(TextureFile, HostilePnmFilesFailWithTheirReason) {
    const struct {
        byte_buffer file;
        const char* reason;
    } cases[] = {
        {pnm("P5 2 1 70000\n", {0, 0, 0, 0}), "PNM maximum value 70000 is not supported (1 to 65535)"},
        {pnm("P5 2 1 0\n", {0, 0}), "PNM maximum value 0 is not supported (1 to 65535)"},
        {pnm("P4 8 1\n", {0xFF}), "PNM type P4 is not supported"},
        {text_bytes("P7\nWIDTH 1\n"), "PNM type P7 is not supported"},
        {pnm("P6 2 1 65535\n", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), "truncated"},
        {text_bytes("P3 2 1 255 1 2 3 4 5"), "truncated"},
        {text_bytes("P5 2"), "truncated"},
        {text_bytes("P6 2 1 255"), "truncated"},
        {text_bytes("P2 2 1 255 1 x"), "malformed PNM sample"},
        {text_bytes("P5 abc"), "malformed PNM header"},
        {text_bytes("P6 1 1 255x123"), "malformed PNM header"},
        {text_bytes("P5 0 5 255\n"), "implausible size 0 x 5"},
        {text_bytes("P6 100000 2 255\n"), "too large: 100000 x 2 (at most 8192 per side)"},
        {pnm("P5 8000 8000 65535\n", {1, 2, 3}), "truncated"},
        {text_bytes("P2 8000 8000 255\n1 2 3"), "truncated"},
    };
    for (const auto& c : cases) {
        write_file(folder_ / "hostile", c.file);
        EXPECT_TRUE(fails_cleanly("hostile")) << c.reason;
        EXPECT_EQ(failure_reason("hostile"), c.reason);
    }
}

}  // namespace
