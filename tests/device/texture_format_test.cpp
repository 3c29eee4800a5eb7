// texture_format_test.cpp - texture layouts (pitch, level sizes, chains) and the conversions to and
// from 0xAARRGGBB: every texel format at a value that shows its rounding, and the DXT blocks.
#include "platform/d3d9/texture_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(TextureFormat, PitchRowsAndLevelBytes) {
    struct row {
        D3DFORMAT format;
        UINT width, height, pitch, rows;
    };
    for (const row& r : std::vector<row>{{D3DFMT_A8R8G8B8, 64, 64, 256, 64},
                                         {D3DFMT_R8G8B8, 5, 3, 16, 3},  // 15 bytes rounded up to 16
                                         {D3DFMT_R5G6B5, 3, 1, 8, 1},
                                         {D3DFMT_L8, 1, 1, 4, 1},
                                         {D3DFMT_A8L8, 7, 2, 16, 2},
                                         {D3DFMT_DXT1, 5, 5, 16, 2},  // blocks cover the remainder
                                         {D3DFMT_DXT1, 1, 1, 8, 1},
                                         {D3DFMT_DXT5, 8, 4, 32, 1},
                                         {D3DFMT_D16, 8, 8, 0, 0}}) {
        EXPECT_EQ(d3d9_format_pitch(r.format, r.width), r.pitch) << r.format;
        EXPECT_EQ(d3d9_format_rows(r.format, r.height), r.rows) << r.format;
        EXPECT_EQ(d3d9_format_level_bytes(r.format, r.width, r.height), uint64_t(r.pitch) * r.rows);
    }
}

TEST(TextureFormat, CompleteChainsAndLevelSides) {
    EXPECT_EQ(d3d9_full_level_count(256, 64), 9u);
    EXPECT_EQ(d3d9_full_level_count(1, 1), 1u);
    EXPECT_EQ(d3d9_full_level_count(4096, 3), 13u);
    const UINT widths[] = {256, 128, 64, 32, 16, 8, 4, 2, 1}, heights[] = {64, 32, 16, 8, 4, 2, 1, 1, 1};
    for (UINT level = 0; level < 9; ++level) {
        EXPECT_EQ(d3d9_level_side(256, level), widths[level]);
        EXPECT_EQ(d3d9_level_side(64, level), heights[level]);
    }
}

TEST(TextureFormat, TexelsDecodeAndEncodeByRounding) {
    struct row {
        D3DFORMAT format;
        uint32_t stored;
        D3DCOLOR decoded;
    };
    for (const row& r :
         std::vector<row>{{D3DFMT_A8R8G8B8, 0x80112233, 0x80112233},
                          {D3DFMT_X8R8G8B8, 0x00112233, 0xFF112233},
                          {D3DFMT_R8G8B8, 0x112233, 0xFF112233},
                          {D3DFMT_R5G6B5, 3u << 11 | 1u << 5 | 31u, 0xFF1904FF},  // 5-bit 3 -> 25, 6-bit 1 -> 4
                          {D3DFMT_X1R5G5B5, 0x7FFF, 0xFFFFFFFF},
                          {D3DFMT_A1R5G5B5, 0x0000 | 16u << 10, 0x00840000},  // 16 -> 132; alpha bit clear
                          {D3DFMT_A1R5G5B5, 0x8000, 0xFF000000},
                          {D3DFMT_A4R4G4B4, 0x8F17, 0x88FF1177},
                          {D3DFMT_A8, 0x7F, 0x7F000000},
                          {D3DFMT_L8, 0x40, 0xFF404040},
                          {D3DFMT_A8L8, 0x2040, 0x20404040}}) {
        EXPECT_EQ(d3d9_format_unpack(r.format, r.stored), r.decoded) << r.format;
        // Encoding what was decoded gives the stored bits back (the unused X bits as zero).
        const uint32_t unused = r.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
        EXPECT_EQ(d3d9_format_pack(r.format, r.decoded), r.stored & ~unused) << r.format;
    }
    EXPECT_EQ(d3d9_format_pack(D3DFMT_R5G6B5, 0xFF040000), 0u);        // 4 * 31 / 255 = 0.49 -> 0
    EXPECT_EQ(d3d9_format_pack(D3DFMT_R5G6B5, 0xFF050000), 1u << 11);  // 0.61 -> 1
    EXPECT_EQ(d3d9_format_pack(D3DFMT_A1R5G5B5, 0x7F000000), 0u);
    EXPECT_EQ(d3d9_format_pack(D3DFMT_A1R5G5B5, 0x80000000), 0x8000u);
}

TEST(TextureFormat, RectanglesDecodeAndEncodeThroughThePitch) {
    // A 3 x 2 R5G6B5 level: pitch 8, so the second row starts at byte 8 whatever the width.
    std::vector<uint8_t> bytes(16, 0xEE);
    const uint32_t in[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    ASSERT_TRUE(d3d9_format_encode(D3DFMT_R5G6B5, in, 2, 2, 2, bytes.data() + 2, 8));
    EXPECT_EQ(bytes[0], 0xEE);
    EXPECT_EQ(bytes[2] | bytes[3] << 8, 0xF800);
    EXPECT_EQ(bytes[10] | bytes[11] << 8, 0x001F);
    uint32_t out[4] = {};
    d3d9_format_decode(D3DFMT_R5G6B5, bytes.data(), 8, 1, 0, 2, 2, out, 2);
    EXPECT_EQ(out[0], 0xFFFF0000u);
    EXPECT_EQ(out[3], 0xFFFFFFFFu);
    EXPECT_FALSE(d3d9_format_encode(D3DFMT_DXT1, in, 2, 2, 2, bytes.data(), 8));
}

// A colour block: colour0, colour1, then texel (x, y)'s 2-bit index at bits 2 * (4y + x).
void colour_block(uint8_t* p, uint16_t c0, uint16_t c1, uint32_t indices) {
    p[0] = uint8_t(c0), p[1] = uint8_t(c0 >> 8), p[2] = uint8_t(c1), p[3] = uint8_t(c1 >> 8);
    for (int i = 0; i < 4; ++i) p[4 + i] = uint8_t(indices >> (8 * i));
}

TEST(TextureFormat, DxtBlocksDecodeByTheirModes) {
    uint32_t out[16];
    uint8_t block[16];
    // Four colours (colour0 > colour1): red, blue, then thirds; indices 0, 1, 2, 3 along the top row.
    colour_block(block, 0xF800, 0x001F, 0b11100100);
    d3d9_format_decode(D3DFMT_DXT1, block, 8, 0, 0, 4, 4, out, 4);
    EXPECT_EQ(out[0], 0xFFFF0000u);
    EXPECT_EQ(out[1], 0xFF0000FFu);
    EXPECT_EQ(out[2], 0xFFAA0055u);
    EXPECT_EQ(out[3], 0xFF5500AAu);
    EXPECT_EQ(out[4], 0xFFFF0000u);  // index 0 elsewhere
    // Three colours and transparent black (colour0 <= colour1).
    colour_block(block, 0x001F, 0xF800, 0b11100100);
    d3d9_format_decode(D3DFMT_DXT1, block, 8, 0, 0, 4, 1, out, 4);
    EXPECT_EQ(out[2], 0xFF800080u);
    EXPECT_EQ(out[3], 0x00000000u);

    // DXT3: explicit 4-bit alpha, then a colour block always in four-colour mode.
    for (int i = 0; i < 8; ++i) block[i] = 0;
    block[0] = 0xF1;  // texel 0: 1 -> 17, texel 1: 15 -> 255
    colour_block(block + 8, 0x001F, 0xF800, 0b11);
    d3d9_format_decode(D3DFMT_DXT3, block, 16, 0, 0, 4, 4, out, 4);
    EXPECT_EQ(out[0], 0x11AA0055u);  // alpha 17; index 3 in four-colour mode: (c0 + 2 c1) / 3
    EXPECT_EQ(out[1] >> 24, 255u);
    EXPECT_EQ(out[2] >> 24, 0u);

    // DXT5: interpolated alpha, eight values when alpha0 > alpha1, six plus 0 and 255 otherwise.
    const auto alpha_block = [&](uint8_t a0, uint8_t a1, uint64_t indices) {
        block[0] = a0, block[1] = a1;
        for (int i = 0; i < 6; ++i) block[2 + i] = uint8_t(indices >> (8 * i));
        colour_block(block + 8, 0xFFFF, 0xFFFF, 0);
    };
    alpha_block(255, 0, 2u | 7u << 3 | 1u << 6);
    d3d9_format_decode(D3DFMT_DXT5, block, 16, 0, 0, 3, 1, out, 3);
    EXPECT_EQ(out[0], 0xDBFFFFFFu);  // (6 * 255 + 0) / 7 = 218.6 -> 219
    EXPECT_EQ(out[1], 0x24FFFFFFu);  // 255 / 7 = 36.4 -> 36
    EXPECT_EQ(out[2], 0x00FFFFFFu);
    alpha_block(0, 255, 2u | 6u << 3 | 7u << 6);
    d3d9_format_decode(D3DFMT_DXT5, block, 16, 0, 0, 3, 1, out, 3);
    EXPECT_EQ(out[0] >> 24, 51u);
    EXPECT_EQ(out[1] >> 24, 0u);
    EXPECT_EQ(out[2] >> 24, 255u);
}

TEST(TextureFormat, DxtRectanglesCrossBlocksAndPartialEdges) {
    // A 6 x 5 DXT1 level: 2 x 2 blocks, pitch 16; each block one solid colour.
    std::vector<uint8_t> bytes(32);
    const uint16_t colours[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
    for (int b = 0; b < 4; ++b) colour_block(bytes.data() + 8 * b, colours[b], 0, 0);
    std::vector<uint32_t> out(4 * 3);
    d3d9_format_decode(D3DFMT_DXT1, bytes.data(), 16, 2, 2, 4, 3, out.data(), 4);
    EXPECT_EQ(out[0], 0xFFFF0000u);   // (2, 2): block 0
    EXPECT_EQ(out[2], 0xFF00FF00u);   // (4, 2): block 1
    EXPECT_EQ(out[8], 0xFF0000FFu);   // (2, 4): block 2
    EXPECT_EQ(out[11], 0xFFFFFFFFu);  // (5, 4): block 3, in its partial corner
}

}  // namespace
