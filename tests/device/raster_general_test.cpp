// raster_general_test.cpp - the general rasteriser driven directly on a small framebuffer:
// coverage of triangles, points and lines, and the per-pixel stages at hand-computed values.
#include "platform/d3d9/raster_general.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int size = 16;

gv_screen_vertex vertex(float x, float y, float r = 1.0f, float g = 1.0f, float b = 1.0f, float a = 1.0f) {
    gv_screen_vertex v{};
    v.x = x, v.y = y, v.z = 0.5f, v.q = 1.0f;
    v.attr[gv_diffuse + 0] = r, v.attr[gv_diffuse + 1] = g, v.attr[gv_diffuse + 2] = b, v.attr[gv_diffuse + 3] = a;
    v.attr[gv_fog] = 1.0f;
    v.point_size = 1.0f;
    return v;
}

class GeneralRasterTest : public ::testing::Test {
protected:
    void SetUp() override { make(fb_depth_format::d24s8); }

    void make(fb_depth_format depth) {
        ASSERT_TRUE(fb_create(fb, size, size, depth));
        state = gr_state{};
        state.target = &fb;
        state.right = state.bottom = size;
    }
    const gr_program* program() { return gr_compile(state, &storage); }
    uint32_t pixel(int x, int y) const { return fb.colour_pixels[y * size + x]; }
    uint8_t stencil(int x, int y) const { return fb.stencil[size_t(y * size + x)]; }
    std::vector<std::pair<int, int>> drawn() const {
        std::vector<std::pair<int, int>> out;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (pixel(x, y) != 0) out.push_back({x, y});
        return out;
    }
    // One pixel, (2, 2), drawn by a point of that colour.
    void dot(float r, float g, float b, float a = 1.0f, float z = 0.5f) {
        gv_screen_vertex v = vertex(2, 2, r, g, b, a);
        v.z = z;
        gr_point(program(), v, false);
    }

    d3d9_framebuffer fb;
    gr_state state;
    gr_program_storage storage;
};

using pixels = std::vector<std::pair<int, int>>;

TEST_F(GeneralRasterTest, TrianglesSharingAnEdgeCoverEachPixelOnce) {
    state.blend = true;  // ONE / ONE: a pixel drawn twice would read 2
    state.blending.destination = 2;
    const float one = 1.0f / 255.0f;
    // The pair of the fill-rule example, then one of them wound the other way round.
    gr_triangle(program(), vertex(0, 0, 0, 0, one), vertex(5, 0, 0, 0, one), vertex(5, 5, 0, 0, one));
    EXPECT_EQ(drawn().size(), 15u);
    gr_triangle(program(), vertex(0, 5, 0, 0, one), vertex(5, 5, 0, 0, one), vertex(0, 0, 0, 0, one));
    EXPECT_EQ(drawn().size(), 25u);
    for (const auto& [x, y] : drawn()) EXPECT_EQ(pixel(x, y), 1u) << x << "," << y;
    EXPECT_EQ(pixel(5, 0), 0u);  // right edge
    EXPECT_EQ(pixel(2, 5), 0u);  // bottom edge
}

TEST_F(GeneralRasterTest, PointIsASquareUnderTheFillRule) {
    const struct {
        float x, y, size;
        pixels expected;
    } cases[] = {
        {10, 10, 1, {{10, 10}}},
        {10.5f, 10.5f, 1, {{10, 10}}},
        {10, 10, 2, {{9, 9}, {10, 9}, {9, 10}, {10, 10}}},
        {0, 0, 3, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},  // cut by the framebuffer
        {5, 5, 0, {}},
    };
    for (const auto& c : cases) {
        fb_clear_colour(fb, 0);
        gv_screen_vertex v = vertex(c.x, c.y);
        v.point_size = c.size;
        gr_point(program(), v, false);
        EXPECT_EQ(drawn(), c.expected) << c.x << " size " << c.size;
    }
}

TEST_F(GeneralRasterTest, LineStepsAlongItsMajorAxis) {
    const struct {
        float x0, y0, x1, y1;
        bool last;
        pixels expected;
    } cases[] = {
        {0, 0, 5, 2, true, {{0, 0}, {1, 0}, {4, 2}, {5, 2}, {2, 1}, {3, 1}}},
        {0, 0, 5, 2, false, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
        {2, 5, 0, 0, false, {{2, 5}, {2, 4}, {1, 3}, {1, 2}, {0, 1}}},  // y-major, backwards
        {3.2f, 3.3f, 3.4f, 3.1f, false, {}},
        {3.2f, 3.3f, 3.4f, 3.1f, true, {{3, 3}}},
    };
    for (const auto& c : cases) {
        fb_clear_colour(fb, 0);
        gr_line(program(), vertex(c.x0, c.y0), vertex(c.x1, c.y1), c.last);
        pixels expected = c.expected;
        std::sort(expected.begin(), expected.end(),
                  [](auto p, auto q) { return std::pair(p.second, p.first) < std::pair(q.second, q.first); });
        EXPECT_EQ(drawn(), expected) << c.x0 << "," << c.y0 << " last " << c.last;
    }
}

TEST_F(GeneralRasterTest, LineInterpolatesPerspectiveCorrectly) {
    gv_screen_vertex a = vertex(0, 0, 0, 0, 0), b = vertex(10, 0, 1, 0, 0);
    b.q = 0.25f;  // four times as far: at half way on screen, r = 0.125 / 0.625 = 0.2
    gr_line(program(), a, b, true);
    EXPECT_EQ(pixel(5, 0), 51u << 16);
    EXPECT_EQ(pixel(10, 0), 255u << 16);
}

TEST_F(GeneralRasterTest, SpriteShowsTheWholeTexture) {
    const uint32_t texels[2] = {0xFF0000FFu, 0xFF00FF00u};
    state.stages[0].sampler.levels[0] = {texels, 2, 1, 0};
    state.stages[0].sampler.level_count = 1;
    state.stages[0].colour_op = 4;  // MODULATE
    gv_screen_vertex v = vertex(5, 5);
    v.point_size = 2;
    gr_point(program(), v, true);
    EXPECT_EQ(pixel(4, 4), 0x0000FFu);
    EXPECT_EQ(pixel(5, 5), 0x00FF00u);
    fb_clear_colour(fb, 0);
    gr_point(program(), v, false);  // coordinates (0, 0): texel 0 everywhere
    EXPECT_EQ(pixel(5, 5), 0x0000FFu);
}

TEST_F(GeneralRasterTest, AlphaTestComparesTheRoundedAlpha) {
    state.alpha_test = true;
    state.alpha_func = 7;     // GREATEREQUAL
    state.alpha_ref = 0x180;  // only the low byte counts
    const struct {
        float a;
        bool kept;
    } cases[] = {{0.51f, true}, {0.49f, false}, {128.0f / 255.0f, true}};
    for (const auto& c : cases) {
        fb_clear_colour(fb, 0);
        dot(1, 1, 1, c.a);
        EXPECT_EQ(pixel(2, 2) != 0, c.kept) << c.a;
    }
}

TEST_F(GeneralRasterTest, BlendFactorsAndOperations) {
    const struct {
        uint32_t source, destination, op;
        float r, g, b, a;
        uint32_t dst, write_mask, expected;
    } cases[] = {
        {5, 6, 1, 1.0f, 0.5f, 0.0f, 0.25f, 0x0000FF, 0xF, 0x4020BF},
        {2, 2, 1, 200 / 255.f, 100 / 255.f, 50 / 255.f, 1, 0x646464, 0xF, 0xFFC896},
        {2, 2, 2, 200 / 255.f, 100 / 255.f, 50 / 255.f, 1, 0x646464, 0xF, 0x640000},
        {2, 2, 3, 200 / 255.f, 100 / 255.f, 50 / 255.f, 1, 0x646464, 0xF, 0x000032},
        {1, 1, 4, 200 / 255.f, 100 / 255.f, 50 / 255.f, 1, 0x646464, 0xF, 0x646432},
        {1, 1, 5, 200 / 255.f, 100 / 255.f, 50 / 255.f, 1, 0x646464, 0xF, 0xC86464},
        {9, 1, 1, 128 / 255.f, 1, 0, 1, 0xC86432, 0xF, 0x646400},
        {11, 2, 1, 1, 1, 1, 0.75f, 0x0A0A0A, 0xF, 0x0A0A0A},
        {14, 15, 1, 1, 0, 0, 1, 0x0000FF, 0xF, 0x80007F},
        {12, 1, 1, 1.0f, 0.5f, 0.0f, 0.25f, 0x0000FF, 0xF, 0x4020BF},               // BOTHSRCALPHA overrides DESTBLEND
        {13, 1, 1, 0, 0, 1.0f, 0.75f, 0xFF0000, 0xF, 0xBF0040},                     // BOTHINVSRCALPHA
        {0, 0, 0, 10 / 255.f, 20 / 255.f, 30 / 255.f, 1, 0x646464, 0x9, 0x0A6464},  // no blend, RED|ALPHA
    };
    for (const auto& c : cases) {
        state.blend = c.source != 0;
        state.blending.source = c.source, state.blending.destination = c.destination, state.blending.op = c.op;
        state.blend_factor = 0x80808080u;
        state.colour_write_mask = c.write_mask;
        fb_fill_colour(fb, 2, 2, 3, 3, c.dst);
        dot(c.r, c.g, c.b, c.a);
        EXPECT_EQ(pixel(2, 2), c.expected) << c.source << "/" << c.destination << " op " << c.op;
    }
}

TEST_F(GeneralRasterTest, PixelFog) {
    const struct {
        uint32_t mode;
        bool uses_w;
        float start, end, density, z, q, vertex_fog;
        uint32_t colour, expected;
    } cases[] = {
        {3, true, 10, 50, 1, 0.5f, 1 / 20.f, 1, 0x0000FF, 0xBF0040},
        {3, true, 10, 50, 1, 0.5f, 1 / 60.f, 1, 0x0000FF, 0x0000FF},
        {3, false, 0.5f, 1, 1, 0.8f, 1, 1, 0x0000FF, 0x660099},
        {1, true, 0, 1, 0.025f, 0.5f, 1 / 20.f, 1, 0, 0x9B0000},
        {2, true, 0, 1, 0.025f, 0.5f, 1 / 20.f, 1, 0, 0xC70000},
        {3, false, 0.5f, 0.5f, 1, 0.4f, 1, 1, 0x0000FF, 0xFF0000},  // start = end: a step at end
        {0, false, 0, 1, 1, 0.5f, 1, 128 / 255.f, 0x0000FF, 0x80007F},
    };
    for (const auto& c : cases) {
        state.fog = true;
        state.fog_table_mode = c.mode, state.fog_uses_w = c.uses_w;
        state.fog_start = c.start, state.fog_end = c.end, state.fog_density = c.density;
        state.fog_colour = c.colour;
        gv_screen_vertex v = vertex(2, 2, 1, 0, 0);
        v.z = c.z, v.q = c.q, v.attr[gv_fog] = c.vertex_fog;
        gr_point(program(), v, false);
        EXPECT_EQ(pixel(2, 2), c.expected) << "mode " << c.mode << " z " << c.z << " q " << c.q;
    }
}

TEST_F(GeneralRasterTest, StencilOperationsThroughTheWriteMask) {
    const struct {
        uint8_t before;
        uint32_t op, ref, write_mask;
        uint8_t after;
    } cases[] = {
        {255, 4, 0, 0xFF, 255},      {255, 7, 0, 0xFF, 0},     {0, 5, 0, 0xFF, 0},
        {0, 8, 0, 0xFF, 255},        {0x0F, 6, 0, 0xFF, 0xF0}, {0, 3, 0x1FF, 0xFF, 0xFF},
        {0xA5, 3, 0x3C, 0x0F, 0xAC}, {7, 2, 0, 0xFF, 0},       {7, 1, 0, 0xFF, 7},
    };
    state.stencil = true;
    for (const auto& c : cases) {
        fb_fill_stencil(fb, 2, 2, 3, 3, c.before);
        state.clockwise.pass = c.op;
        state.stencil_ref = c.ref, state.stencil_write_mask = c.write_mask;
        dot(1, 1, 1);
        EXPECT_EQ(stencil(2, 2), c.after) << "op " << c.op << " from " << int(c.before);
    }
}

TEST_F(GeneralRasterTest, StencilAndDepthOutcomesPickTheirOps) {
    state.stencil = true, state.depth_test = true;
    state.stencil_ref = 1, state.stencil_mask = 0xFF;
    state.clockwise = {3, 2, 4, 7};  // EQUAL; fail ZERO, depth fail INCRSAT, pass INCR
    const struct {
        uint8_t stored;
        float z;
        uint8_t after;
        bool drawn;
    } cases[] = {{1, 0.5f, 2, true}, {5, 0.5f, 0, false}, {1, 0.9f, 2, false}};
    for (const auto& c : cases) {
        fb_clear_colour(fb, 0);
        fb_fill_depth(fb, 0, 0, size, size, 0.7f);
        fb_fill_stencil(fb, 2, 2, 3, 3, c.stored);
        dot(1, 1, 1, 1, c.z);
        EXPECT_EQ(stencil(2, 2), c.after) << int(c.stored) << " z " << c.z;
        EXPECT_EQ(pixel(2, 2) != 0, c.drawn) << int(c.stored) << " z " << c.z;
    }
    state.clockwise = {2, 1, 1, 1};  // LESS: 1 < stored
    fb_fill_stencil(fb, 0, 0, size, size, 2);
    fb_fill_stencil(fb, 2, 2, 3, 3, 1);
    fb_fill_depth(fb, 0, 0, size, size, 1.0f);
    fb_clear_colour(fb, 0);
    gr_triangle(program(), vertex(0, 0), vertex(8, 0), vertex(0, 8));
    EXPECT_EQ(pixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(pixel(2, 2), 0u);
}

TEST_F(GeneralRasterTest, TwoSidedStencilPicksTheFaceByWinding) {
    state.stencil = true;
    state.stencil_ref = 9;
    state.clockwise.pass = 3;          // REPLACE
    state.counter_clockwise.pass = 7;  // INCR
    for (const bool two_sided : {false, true}) {
        state.two_sided_stencil = two_sided;
        fb_clear_stencil(fb, 0);
        gr_triangle(program(), vertex(0, 0), vertex(4, 0), vertex(0, 4));   // clockwise
        gr_triangle(program(), vertex(8, 0), vertex(8, 4), vertex(12, 0));  // counter-clockwise
        gr_line(program(), vertex(0, 10), vertex(4, 10), true);             // lines: the clockwise set
        EXPECT_EQ(stencil(1, 1), 9);
        EXPECT_EQ(stencil(9, 1), two_sided ? 1 : 9);
        EXPECT_EQ(stencil(2, 10), 9);
    }
}

TEST_F(GeneralRasterTest, DepthStoredAtTheFormatsPrecision) {
    const struct {
        fb_depth_format format;
        uint32_t expected;
    } cases[] = {
        {fb_depth_format::d16, 57101}, {fb_depth_format::d24x8, 14618155}, {fb_depth_format::d32, 3742247935u}};
    for (const auto& c : cases) {
        make(c.format);
        EXPECT_EQ(fb_depth_stored(fb, 0.87131f), c.expected);
        state.depth_test = true;
        dot(1, 1, 1, 1, 0.87131f);
        const uint32_t stored = c.format == fb_depth_format::d16 ? fb.depth[2 * size + 2] : fb.depth32[2 * size + 2];
        EXPECT_EQ(stored, c.expected);
    }
}

TEST_F(GeneralRasterTest, DepthBiasLiftsADecalOffItsWall) {
    state.depth_test = true;
    state.depth_func = 2;  // LESS: without the bias the decal loses against the wall it lies on
    gr_triangle(program(), vertex(0, 0, 0, 0, 1), vertex(8, 0, 0, 0, 1), vertex(0, 8, 0, 0, 1));
    gr_triangle(program(), vertex(0, 0, 1, 0, 0), vertex(8, 0, 1, 0, 0), vertex(0, 8, 1, 0, 0));
    EXPECT_EQ(pixel(1, 1), 0x0000FFu);
    state.depth_bias = -0.0001f;
    gr_triangle(program(), vertex(0, 0, 1, 0, 0), vertex(8, 0, 1, 0, 0), vertex(0, 8, 1, 0, 0));
    EXPECT_EQ(pixel(1, 1), 0xFF0000u);
    EXPECT_EQ(fb.depth32[size + 1], fb_depth_stored(fb, 0.4999f));
    state.depth_bias = -1.0f;  // clamped to the near end
    gr_triangle(program(), vertex(0, 0), vertex(8, 0), vertex(0, 8));
    EXPECT_EQ(fb.depth32[size + 1], 0u);
}

TEST_F(GeneralRasterTest, RectangleAndDepthRangeLimitThePixels) {
    state.left = 2, state.top = 3, state.right = 5, state.bottom = 6;
    gr_triangle(program(), vertex(-4, -4), vertex(40, -4), vertex(-4, 40));
    EXPECT_EQ(drawn().size(), 9u);
    EXPECT_EQ(pixel(2, 3), 0xFFFFFFu);
    state = gr_state{};
    state.target = &fb, state.right = state.bottom = size;
    state.discard_outside_depth_range = true;
    fb_clear_colour(fb, 0);
    dot(1, 1, 1, 1, 1.5f);
    dot(1, 1, 1, 1, -0.1f);
    EXPECT_EQ(drawn().size(), 0u);
}

// Drawing marks its tiles, so a clear to the base value refills what was drawn.
TEST_F(GeneralRasterTest, ClearsRefillWhatWasDrawn) {
    state.depth_test = true, state.stencil = true;
    state.clockwise.pass = 3, state.stencil_ref = 4;
    gr_line(program(), vertex(1, 1), vertex(9, 5), true);
    fb_clear_colour(fb, 0);
    fb_clear_depth(fb, 1.0f);
    fb_clear_stencil(fb, 0);
    EXPECT_EQ(pixel(1, 1), 0u);
    EXPECT_EQ(fb.depth32[size + 1], 0xFFFFFFu);
    EXPECT_EQ(stencil(1, 1), 0);
}

}  // namespace

// ---- texture stages: wrapping, projection and the level of detail ----

class GeneralTextureTest : public GeneralRasterTest {
protected:
    // Stage 0 modulates its texture by the diffuse colour (white here).
    void texture(const uint32_t* texels, int width, int height) {
        gr_texture_stage& s = state.stages[0];
        s.colour_op = 4;  // MODULATE
        s.alpha_op = 2;   // SELECTARG1
        s.sampler.levels[0] = {texels, width, height, 0};
        s.sampler.level_count = 1;
    }
    // A line from (0, 0) to (10, 0) whose stage-0 coordinates run from `from` to `to`.
    void line(const float from[4], const float to[4]) {
        gv_screen_vertex a = vertex(0, 0), b = vertex(10, 0);
        for (int k = 0; k < 4; ++k) a.attr[gv_texcoord + k] = from[k], b.attr[gv_texcoord + k] = to[k];
        gr_line(program(), a, b, true);
    }
};

TEST_F(GeneralTextureTest, WrappedCoordinatesTakeTheShorterWayRound) {
    const uint32_t texels[4] = {0xFF000011u, 0xFF000022u, 0xFF000033u, 0xFF000044u};
    texture(texels, 4, 1);
    const float from[4] = {0.9f, 0, 0, 1}, to[4] = {0.1f, 0, 0, 1};
    const struct {
        uint32_t wrap;
        uint32_t at4, at5, at8;
    } cases[] = {
        {0, 0x33, 0x33, 0x22},  // u 0.58, 0.5, 0.26
        {1, 0x44, 0x11, 0x11},  // u 0.98, 1.0, 1.06
        {2, 0x33, 0x33, 0x22},  // only v wraps
    };
    for (const auto& c : cases) {
        fb_clear_colour(fb, 0);
        state.stages[0].wrap = c.wrap;
        line(from, to);
        EXPECT_EQ(pixel(4, 0), c.at4) << c.wrap;
        EXPECT_EQ(pixel(5, 0), c.at5) << c.wrap;
        EXPECT_EQ(pixel(8, 0), c.at8) << c.wrap;
    }
}

TEST_F(GeneralTextureTest, ProjectedCoordinatesAreDividedPerPixel) {
    const uint32_t texels[4] = {0xFF000011u, 0xFF000022u, 0xFF000033u, 0xFF000044u};
    texture(texels, 4, 1);
    state.stages[0].coordinate_count = 3;
    state.stages[0].projected = true;
    const float from[4] = {0, 0, 2, 1}, to[4] = {4, 0, 4, 1};  // u = 4t / (2 + 2t)
    line(from, to);
    EXPECT_EQ(pixel(0, 0), 0x11u);
    EXPECT_EQ(pixel(5, 0), 0x33u);  // 2 / 3
    EXPECT_EQ(pixel(8, 0), 0x44u);  // 0.89
}

TEST_F(GeneralTextureTest, MipLevelFollowsTheScreenDerivatives) {
    // A 64 x 64 texture with four levels, each one colour, over a 16 x 16-pixel quad: rho = 4,
    // lambda = 2.
    std::vector<uint32_t> levels[4];
    const uint32_t colours[4] = {0xFF000010u, 0xFF000020u, 0xFF000030u, 0xFF000040u};
    sampler_setup& s = state.stages[0].sampler;
    for (int l = 0; l < 4; ++l) {
        const int side = 64 >> l;
        levels[l].assign(size_t(side * side), colours[l]);
        s.levels[l] = {levels[l].data(), side, side, 0};
    }
    texture(levels[0].data(), 64, 64);
    s.level_count = 4;
    const struct {
        uint32_t mip_filter, max_level;
        float bias;
        uint32_t expected;
    } cases[] = {
        {1, 0, 0.0f, 0x30}, {1, 0, -1.0f, 0x20}, {1, 3, 0.0f, 0x40}, {0, 0, 0.0f, 0x10}, {2, 0, 0.0f, 0x30},
    };
    gv_screen_vertex corners[4] = {vertex(-0.5f, -0.5f), vertex(15.5f, -0.5f), vertex(-0.5f, 15.5f),
                                   vertex(15.5f, 15.5f)};
    for (int k = 0; k < 4; ++k) {
        corners[k].attr[gv_texcoord] = float(k & 1);
        corners[k].attr[gv_texcoord + 1] = float(k >> 1);
    }
    for (const auto& c : cases) {
        s.mip_filter = c.mip_filter;
        s.max_level = c.max_level;
        s.lod_bias = c.bias;
        fb_clear_colour(fb, 0);
        const gr_program* p = program();
        gr_triangle(p, corners[0], corners[1], corners[2]);
        gr_triangle(p, corners[1], corners[3], corners[2]);
        EXPECT_EQ(pixel(7, 7), c.expected) << c.mip_filter << " " << c.max_level << " " << c.bias;
        EXPECT_EQ(pixel(15, 15), c.expected) << c.mip_filter << " " << c.max_level << " " << c.bias;
    }
}
