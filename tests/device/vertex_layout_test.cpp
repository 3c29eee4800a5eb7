// vertex_layout_test.cpp - vertex layouts from FVF codes and declarations, and reading vertices
// through them: element offsets and types, validation, every storage type at a worked value.
#include "platform/d3d9/vertex_input.h"
#include "platform/d3d9/vertex_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// The element an expectation names: p position, w weights, i indices, n normal, s point size,
// d diffuse, S specular, 0..7 texture coordinate sets.
const vl_element& element(const vertex_layout& l, char code) {
    switch (code) {
    case 'p': return l.position;
    case 'w': return l.blend_weights;
    case 'i': return l.blend_indices;
    case 'n': return l.normal;
    case 's': return l.point_size;
    case 'd': return l.diffuse;
    case 'S': return l.specular;
    default: return l.texcoord[code - '0'];
    }
}

struct placed {
    char code;
    int offset;
    int type;
    int stream = 0;
};

void expect_exactly(const vertex_layout& l, const std::vector<placed>& expected) {
    for (char code : std::string("pwinsdS01234567")) {
        const vl_element& e = element(l, code);
        bool listed = false;
        for (const placed& x : expected) {
            if (x.code != code) continue;
            listed = true;
            EXPECT_TRUE(e.present) << code;
            EXPECT_EQ(e.stream, x.stream) << code;
            EXPECT_EQ(e.offset, x.offset) << code;
            EXPECT_EQ(e.type, x.type) << code;
        }
        if (!listed) {
            EXPECT_FALSE(e.present) << code;
        }
    }
}

TEST(VertexLayoutTest, FvfCodesGiveTheirSizesAndOffsets) {
    const struct {
        DWORD fvf;
        UINT size;
        std::vector<placed> elements;
        bool pretransformed = false;
    } cases[] = {
        {0x042, 16, {{'p', 0, D3DDECLTYPE_FLOAT3}, {'d', 12, D3DDECLTYPE_D3DCOLOR}}},
        {0x044, 20, {{'p', 0, D3DDECLTYPE_FLOAT4}, {'d', 16, D3DDECLTYPE_D3DCOLOR}}, true},
        {0x142, 24, {{'p', 0, 2}, {'d', 12, 4}, {'0', 16, D3DDECLTYPE_FLOAT2}}},
        {0x144, 28, {{'p', 0, 3}, {'d', 16, 4}, {'0', 20, 1}}, true},
        {0x112, 32, {{'p', 0, 2}, {'n', 12, D3DDECLTYPE_FLOAT3}, {'0', 24, 1}}},
        {0x2D2, 48, {{'p', 0, 2}, {'n', 12, 2}, {'d', 24, 4}, {'S', 28, 4}, {'0', 32, 1}, {'1', 40, 1}}},
        {0x062, 20, {{'p', 0, 2}, {'s', 12, D3DDECLTYPE_FLOAT1}, {'d', 16, 4}}},
        {0x10102, 24, {{'p', 0, 2}, {'0', 12, D3DDECLTYPE_FLOAT3}}},
        {0x1018, 32, {{'p', 0, 2}, {'w', 12, D3DDECLTYPE_FLOAT1}, {'i', 16, D3DDECLTYPE_UBYTE4}, {'n', 20, 2}}},
        // Beyond the worked table: XYZW, five weights (the fifth unplaced), a colour-packed index as
        // the only blend value, one-float and four-float sets, no position at all.
        {D3DFVF_XYZW, 16, {{'p', 0, 3}}},
        {D3DFVF_XYZB5, 32, {{'p', 0, 2}, {'w', 12, D3DDECLTYPE_FLOAT4}}},
        {D3DFVF_XYZB1 | D3DFVF_LASTBETA_D3DCOLOR, 16, {{'p', 0, 2}, {'i', 12, D3DDECLTYPE_D3DCOLOR}}},
        {D3DFVF_XYZ | D3DFVF_TEX2 | D3DFVF_TEXCOORDSIZE1(1) | D3DFVF_TEXCOORDSIZE4(0),
         32,
         {{'p', 0, 2}, {'0', 12, D3DDECLTYPE_FLOAT4}, {'1', 28, D3DDECLTYPE_FLOAT1}}},
        {D3DFVF_DIFFUSE, 4, {{'d', 0, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.fvf);
        vertex_layout l;
        ASSERT_TRUE(vl_from_fvf(c.fvf, &l));
        EXPECT_EQ(vl_fvf_size(c.fvf), c.size);
        EXPECT_EQ(l.vertex_size[0], c.size);
        EXPECT_EQ(l.stream_mask, 1);
        EXPECT_EQ(l.pretransformed, c.pretransformed);
        expect_exactly(l, c.elements);
    }
}

TEST(VertexLayoutTest, InvalidFvfCodesAreRefusedAndLeaveTheLayout) {
    for (DWORD bad : {0x001u, 0x2002u, 0x4004u, 0x400Eu, 0x902u}) {
        vertex_layout l;
        l.vertex_size[0] = 7;
        EXPECT_FALSE(vl_fvf_valid(bad)) << bad;
        EXPECT_FALSE(vl_from_fvf(bad, &l)) << bad;
        EXPECT_EQ(vl_fvf_size(bad), 0u) << bad;
        EXPECT_EQ(l.vertex_size[0], 7) << bad;
    }
    EXPECT_TRUE(vl_fvf_valid(0));
    EXPECT_EQ(vl_fvf_size(0), 0u);
}

constexpr D3DVERTEXELEMENT9 end = D3DDECL_END();

D3DVERTEXELEMENT9 el(WORD stream, WORD offset, int type, int usage, int index = 0, int method = 0) {
    return {stream, offset, BYTE(type), BYTE(method), BYTE(usage), BYTE(index)};
}

TEST(VertexLayoutTest, DeclarationsAreCheckedElementByElement) {
    const auto pos = el(0, 0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION);
    std::vector<D3DVERTEXELEMENT9> longest, too_long;
    for (int i = 0; i < MAXD3DDECLLENGTH; ++i) longest.push_back(el(0, 0, 1, D3DDECLUSAGE_TEXCOORD, i));
    too_long = longest;
    too_long.push_back(el(0, 0, 1, D3DDECLUSAGE_TANGENT));
    longest.push_back(end);
    too_long.push_back(end);
    const struct {
        const char* name;
        std::vector<D3DVERTEXELEMENT9> elements;
        bool valid;
    } cases[] = {
        {"position only", {pos, end}, true},
        {"end marker only", {end}, true},
        {"64 elements", longest, true},
        {"65 elements", too_long, false},
        {"method other than default", {el(0, 0, 2, D3DDECLUSAGE_POSITION, 0, D3DDECLMETHOD_PARTIALU), end}, false},
        {"stream 16", {el(16, 0, 2, D3DDECLUSAGE_POSITION), end}, false},
        {"type UNUSED in an element", {el(0, 0, D3DDECLTYPE_UNUSED, D3DDECLUSAGE_POSITION), end}, false},
        {"unknown type", {el(0, 0, 18, D3DDECLUSAGE_POSITION), end}, false},
        {"unknown usage", {pos, el(0, 12, 2, 14), end}, false},
        {"same usage and index twice", {pos, el(0, 12, 1, 5, 0), el(0, 20, 1, 5, 0), end}, false},
        {"same usage, other index", {pos, el(0, 12, 1, 5, 0), el(0, 20, 1, 5, 1), end}, true},
        {"colour as FLOAT2", {pos, el(0, 12, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_COLOR), end}, false},
        {"colour as SHORT4", {pos, el(0, 12, D3DDECLTYPE_SHORT4, D3DDECLUSAGE_COLOR), end}, false},
        {"colour as UBYTE4N", {pos, el(0, 12, D3DDECLTYPE_UBYTE4N, D3DDECLUSAGE_COLOR), end}, true},
        {"colour as FLOAT3", {pos, el(0, 12, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_COLOR, 1), end}, true},
        {"position and pre-transformed position", {pos, el(0, 12, 3, D3DDECLUSAGE_POSITIONT), end}, false},
        {"end marker of another type", {pos, {0xFF, 0, D3DDECLTYPE_FLOAT1, 0, 0, 0}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vertex_layout l;
        l.vertex_size[0] = 99;
        UINT count = 1234;
        EXPECT_EQ(vl_from_elements(c.elements.data(), &l, &count), c.valid);
        EXPECT_EQ(count, c.valid ? UINT(c.elements.size()) : 1234u);
        if (!c.valid) {
            EXPECT_EQ(l.vertex_size[0], 99);
        }
    }
}

TEST(VertexLayoutTest, DeclarationsPlaceWhatTheFixedFunctionReadsFromAnyStream) {
    const D3DVERTEXELEMENT9 elements[] = {el(0, 0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT),
                                          el(3, 8, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_TANGENT),
                                          el(0, 16, D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_FOG),
                                          el(2, 4, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1),
                                          el(2, 0, D3DDECLTYPE_SHORT2, D3DDECLUSAGE_TEXCOORD, 7),
                                          el(0, 20, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 9),
                                          end};
    vertex_layout l;
    UINT count = 0;
    ASSERT_TRUE(vl_from_elements(elements, &l, &count));
    EXPECT_EQ(count, 7u);
    EXPECT_TRUE(l.pretransformed);
    expect_exactly(l,
                   {{'p', 0, D3DDECLTYPE_FLOAT4}, {'S', 4, D3DDECLTYPE_D3DCOLOR, 2}, {'7', 0, D3DDECLTYPE_SHORT2, 2}});
    // Tangent, fog and a ninth set are not read: streams 0 and 2 only, sized by what is read.
    EXPECT_EQ(l.stream_mask, (1 << 0) | (1 << 2));
    EXPECT_EQ(l.vertex_size[0], 16);
    EXPECT_EQ(l.vertex_size[2], 8);
    EXPECT_EQ(l.vertex_size[3], 0);
}

// Every storage type read as texture coordinate set 0 from an unaligned address.
TEST(VertexInputTest, EveryTypeExpandsToItsWorkedValue) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        int type;
        std::vector<uint8_t> bytes;
        float expected[4];
    } cases[] = {
        {D3DDECLTYPE_FLOAT1, {0, 0, 0x20, 0x40}, {2.5f, 0, 0, 1}},
        {D3DDECLTYPE_FLOAT2, {0, 0, 0x80, 0x3F, 0, 0, 0, 0x40}, {1, 2, 0, 1}},
        {D3DDECLTYPE_FLOAT3, {0, 0, 0x80, 0x3F, 0, 0, 0, 0x40, 0, 0, 0x40, 0x40}, {1, 2, 3, 1}},
        {D3DDECLTYPE_FLOAT4, {0, 0, 0x80, 0x3F, 0, 0, 0, 0x40, 0, 0, 0x40, 0x40, 0, 0, 0x80, 0x40}, {1, 2, 3, 4}},
        {D3DDECLTYPE_D3DCOLOR, {0x33, 0x00, 0xFF, 0x66}, {1, 0, 0.2f, 0.4f}},  // 0x66FF0033
        {D3DDECLTYPE_UBYTE4, {1, 2, 3, 255}, {1, 2, 3, 255}},
        {D3DDECLTYPE_SHORT2, {0xFD, 0xFF, 7, 0}, {-3, 7, 0, 1}},
        {D3DDECLTYPE_SHORT4, {0xFF, 0xFF, 2, 0, 0xFD, 0xFF, 4, 0}, {-1, 2, -3, 4}},
        {D3DDECLTYPE_UBYTE4N, {0, 51, 255, 102}, {0, 0.2f, 1, 0.4f}},
        {D3DDECLTYPE_SHORT2N, {0xFF, 0x7F, 0x00, 0x80}, {1, -1, 0, 1}},
        {D3DDECLTYPE_SHORT4N, {0, 0, 0x01, 0x80, 0x00, 0x40, 0xFF, 0x7F}, {0, -1, 16384.0f / 32767.0f, 1}},
        {D3DDECLTYPE_USHORT2N, {0xFF, 0xFF, 0, 0}, {1, 0, 0, 1}},
        {D3DDECLTYPE_USHORT4N, {0, 0, 0xFF, 0xFF, 0x33, 0x33, 0xCC, 0xCC}, {0, 1, 0.2f, 0.8f}},
        // x 1, y 512, z 1023 (and the two top bits, which are not read).
        {D3DDECLTYPE_UDEC3, {0x01, 0x00, 0xF8, 0xFF}, {1, 512, 1023, 1}},
        // x 511 -> 1, y 256 -> 256/511, z -512 -> -1.
        {D3DDECLTYPE_DEC3N, {0xFF, 0x01, 0x04, 0x20}, {1, 256.0f / 511.0f, -1, 1}},
        {D3DDECLTYPE_FLOAT16_2, {0x00, 0x3C, 0x00, 0xC0}, {1, -2, 0, 1}},
        {D3DDECLTYPE_FLOAT16_4, {0x00, 0x38, 0xFF, 0x7B, 0x01, 0x00, 0x00, 0xFC}, {0.5f, 65504, 0x1p-24f, -inf}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type);
        ASSERT_EQ(vl_type_size(c.type), c.bytes.size());
        const D3DVERTEXELEMENT9 elements[] = {el(0, 1, c.type, D3DDECLUSAGE_TEXCOORD), end};
        vertex_layout l;
        UINT count = 0;
        ASSERT_TRUE(vl_from_elements(elements, &l, &count));
        std::vector<uint8_t> data(1 + c.bytes.size());
        std::memcpy(data.data() + 1, c.bytes.data(), c.bytes.size());
        vi_stream streams[vl_max_streams] = {};
        streams[0] = {data.data(), data.size(), uint32_t(data.size())};
        vi_vertex v;
        vi_fetch(l, streams, 0, &v);
        for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(v.texcoord[0][i], c.expected[i]) << i;
    }
}

TEST(VertexInputTest, VerticesAreReadByStrideAndMissingElementsTakeDefaults) {
    // Two streams: positions in 0 (stride 16, 4 bytes of padding), colours in 1 at offset 4.
    const float positions[] = {0, 0, 0, -9, 1, 2, 3, -9};
    const uint32_t colours[] = {0, 0, 0, 0xFF0000FF};
    const D3DVERTEXELEMENT9 elements[] = {el(0, 0, 2, D3DDECLUSAGE_POSITION),
                                          el(1, 4, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR), end};
    vertex_layout l;
    UINT count = 0;
    ASSERT_TRUE(vl_from_elements(elements, &l, &count));
    vi_stream streams[vl_max_streams] = {};
    streams[0] = {reinterpret_cast<const uint8_t*>(positions), sizeof positions, 16};
    streams[1] = {reinterpret_cast<const uint8_t*>(colours), sizeof colours, 8};
    vi_vertex v;
    vi_fetch(l, streams, 1, &v);
    EXPECT_EQ(std::vector<float>(v.position, v.position + 4), (std::vector<float>{1, 2, 3, 1}));
    EXPECT_TRUE(v.has_diffuse);
    EXPECT_EQ(std::vector<float>(v.diffuse, v.diffuse + 4), (std::vector<float>{0, 0, 1, 1}));
    EXPECT_FALSE(v.has_specular);
    EXPECT_EQ(std::vector<float>(v.specular, v.specular + 4), (std::vector<float>{0, 0, 0, 0}));
    EXPECT_FALSE(v.has_normal);
    EXPECT_FALSE(v.has_point_size);
    EXPECT_EQ(std::vector<float>(v.texcoord[3], v.texcoord[3] + 4), (std::vector<float>{0, 0, 0, 1}));

    vertex_layout no_colour;
    ASSERT_TRUE(vl_from_fvf(D3DFVF_XYZ, &no_colour));
    vi_fetch(no_colour, streams, 0, &v);
    EXPECT_FALSE(v.has_diffuse);
    EXPECT_EQ(std::vector<float>(v.diffuse, v.diffuse + 4), (std::vector<float>{1, 1, 1, 1}));
}

TEST(VertexInputTest, StreamVertexLimitCountsWholeVertices) {
    vertex_layout l;
    ASSERT_TRUE(vl_from_fvf(D3DFVF_XYZ, &l));  // 12 bytes in stream 0
    const uint8_t bytes[64] = {};
    const struct {
        size_t size;
        uint32_t stride;
        size_t limit;
    } cases[] = {
        {36, 12, 3}, {35, 12, 2}, {40, 16, 2}, {12, 12, 1}, {11, 12, 0}, {64, 8, 0}, {64, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vi_stream_vertex_limit(l, 0, {bytes, c.size, c.stride}), c.limit) << c.size << " " << c.stride;
    }
    EXPECT_EQ(vi_stream_vertex_limit(l, 0, {nullptr, 64, 12}), 0u);
    EXPECT_EQ(vi_stream_vertex_limit(l, 1, {}), std::numeric_limits<size_t>::max());  // not read
}

}  // namespace
