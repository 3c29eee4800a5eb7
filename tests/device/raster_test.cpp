// raster_test.cpp - coverage (fill rule, shared edges), depth, culling, clipping and invalid draws.
#include "device_fixture.h"

#include <cmath>

namespace {

class RasterTest : public DeviceTest {
protected:
    void SetUp() override {
        create_device(64, 64);
        unlit_state();
        clear(0);
    }

    test_vertex at(float x, float y, D3DCOLOR colour, float z = 0.5f) { return {at_pixel(x, y, z), {}, colour}; }

    HRESULT triangle(test_vertex a, test_vertex b, test_vertex c) { return draw({a, b, c}, {false, true, false}); }

    void set_perspective() {
        D3DMATRIX p{};  // field of view pi/2, aspect 1, near 1, far 100
        p._11 = 1.0f, p._22 = 1.0f, p._33 = 100.0f / 99.0f, p._34 = 1.0f, p._43 = -100.0f / 99.0f;
        device->SetTransform(D3DTS_PROJECTION, &p);
    }

    // A camera-space square at depth z, spanning +-half in x and y.
    std::vector<test_vertex> square_at(float z, float half, D3DCOLOR colour) {
        std::vector<test_vertex> v;
        const float corners[6][2] = {{-1, -1}, {-1, 1}, {1, 1}, {-1, -1}, {1, 1}, {1, -1}};
        for (auto& c : corners) v.push_back({{c[0] * half, c[1] * half, z}, {}, colour});
        return v;
    }
};

TEST_F(RasterTest, TopLeftFillRuleSplitsTheSharedDiagonal) {
    ASSERT_EQ(triangle(at(0, 0, 0xFFFF0000), at(5, 0, 0xFFFF0000), at(5, 5, 0xFFFF0000)), D3D_OK);
    ASSERT_EQ(triangle(at(0, 5, 0xFF00FF00), at(0, 0, 0xFF00FF00), at(5, 5, 0xFF00FF00)), D3D_OK);
    EXPECT_EQ(count_pixels(0xFF0000), 15);
    EXPECT_EQ(count_pixels(0x00FF00), 10);
    EXPECT_EQ(pixel(0, 0), 0xFF0000u);  // on the top edge: drawn
    EXPECT_EQ(pixel(5, 0), 0u);         // on the right edge: not drawn
    EXPECT_EQ(pixel(0, 4), 0x00FF00u);  // on the left edge: drawn
    EXPECT_EQ(pixel(2, 5), 0u);         // on the bottom edge: not drawn
}

// Draws each triangle of a fan alone and counts, per pixel, how many drew it: every pixel whose
// centre is inside the fan's outline is drawn exactly once, and none twice.
TEST_F(RasterTest, TrianglesSharingEdgesCoverEveryPixelExactlyOnce) {
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    const float cx = 31.0f, cy = 30.0f;  // a centre on a pixel centre, rim points off the grid
    const int spokes = 17;
    std::vector<std::pair<float, float>> rim;
    for (int i = 0; i < spokes; ++i) {
        const double a = 2.0 * 3.14159265358979 * i / spokes + 0.1;
        rim.push_back({float(cx + 25.3 * std::cos(a)), float(cy + 22.7 * std::sin(a))});
    }
    std::vector<int> count(size_t(width * height), 0);
    for (int i = 0; i < spokes; ++i) {
        clear(0);
        const auto [x1, y1] = rim[size_t(i)];
        const auto [x2, y2] = rim[size_t((i + 1) % spokes)];
        ASSERT_EQ(triangle(at(cx, cy, 0xFFFFFFFF), at(x1, y1, 0xFFFFFFFF), at(x2, y2, 0xFFFFFFFF)), D3D_OK);
        for (int p = 0; p < width * height; ++p) count[size_t(p)] += pixel(p % width, p / width) != 0;
    }
    int inside = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int n = count[size_t(y * width + x)];
            EXPECT_LE(n, 1) << x << "," << y;
            bool strictly_inside = true;
            for (int i = 0; i < spokes; ++i) {
                const auto [ax, ay] = rim[size_t(i)];
                const auto [bx, by] = rim[size_t((i + 1) % spokes)];
                const double e = (double(bx) - ax) * (y - ay) - (double(by) - ay) * (x - ax);
                strictly_inside = strictly_inside && e > 1e-3;
            }
            if (strictly_inside) {
                EXPECT_EQ(n, 1) << x << "," << y;
                ++inside;
            }
        }
    }
    EXPECT_GT(inside, 1000);
}

TEST_F(RasterTest, NearerSurfaceWinsWhateverTheDrawOrder) {
    const auto near_tri = [&] {
        return triangle(at(2, 2, 0xFFFF0000, 0.3f), at(60, 2, 0xFFFF0000, 0.3f), at(2, 60, 0xFFFF0000, 0.3f));
    };
    const auto far_tri = [&] {
        return triangle(at(2, 2, 0xFF0000FF, 0.6f), at(60, 2, 0xFF0000FF, 0.6f), at(60, 60, 0xFF0000FF, 0.6f));
    };
    near_tri(), far_tri();
    const std::vector<uint32_t> first(buffer().colour);
    clear(0);
    far_tri(), near_tri();
    EXPECT_EQ(buffer().colour, first);
    EXPECT_EQ(pixel(20, 10), 0xFF0000u);  // both cover it
    EXPECT_EQ(pixel(50, 40), 0x0000FFu);  // only the far one
    EXPECT_EQ(depth(20, 10), uint16_t(std::lround(0.3 * 65535)));
}

TEST_F(RasterTest, DepthStatesAreRespected) {
    triangle(at(2, 2, 0xFFFF0000, 0.3f), at(60, 2, 0xFFFF0000, 0.3f), at(2, 60, 0xFFFF0000, 0.3f));
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
    triangle(at(2, 2, 0xFF0000FF, 0.6f), at(60, 2, 0xFF0000FF, 0.6f), at(2, 60, 0xFF0000FF, 0.6f));
    EXPECT_EQ(pixel(10, 10), 0x0000FFu);                           // 0.6 > 0.3 passes GREATER
    EXPECT_EQ(depth(10, 10), uint16_t(std::lround(0.3 * 65535)));  // but was not written
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_NEVER);
    triangle(at(2, 2, 0xFF00FF00, 0.9f), at(60, 2, 0xFF00FF00, 0.9f), at(2, 60, 0xFF00FF00, 0.9f));
    EXPECT_EQ(pixel(10, 10), 0x00FF00u);  // no test at all
}

TEST_F(RasterTest, CullModesDropClockwiseOrCounterClockwiseTriangles) {
    const test_vertex a = at(4, 4, 0xFFFF0000), b = at(30, 4, 0xFFFF0000), c = at(4, 30, 0xFFFF0000);  // clockwise
    const test_vertex d = at(34, 34, 0xFF00FF00), e = at(34, 60, 0xFF00FF00),
                      f = at(60, 34, 0xFF00FF00);  // counter-clockwise
    const DWORD modes[] = {D3DCULL_NONE, D3DCULL_CW, D3DCULL_CCW};
    for (DWORD mode : modes) {
        clear(0);
        device->SetRenderState(D3DRS_CULLMODE, mode);
        triangle(a, b, c);
        triangle(d, e, f);
        EXPECT_EQ(pixel(8, 8) != 0, mode != D3DCULL_CW) << mode;
        EXPECT_EQ(pixel(38, 38) != 0, mode != D3DCULL_CCW) << mode;
    }
}

TEST_F(RasterTest, GeometryOutsideTheNearAndFarPlanesIsClipped) {
    set_perspective();
    const std::pair<float, bool> cases[] = {{0.9f, false}, {1.5f, true}, {99.0f, true}, {101.0f, false}};
    for (auto [z, visible] : cases) {
        clear(0);
        ASSERT_EQ(draw(square_at(z, 0.4f * z, 0xFFFFFFFF), {false, true, false}), D3D_OK);
        EXPECT_EQ(pixel(32, 32) != 0, visible) << z;
    }
}

TEST_F(RasterTest, TriangleCrossingTheNearPlaneIsDrawnBeyondIt) {
    set_perspective();
    // From z = 0.5 (in front of the near plane) to z = 5; the near plane cuts it at y/z = -0.144.
    ASSERT_EQ(draw({{{-0.5f, -0.2f, 0.5f}, {}, 0xFFFFFFFF},
                    {{0.0f, 0.3f, 5.0f}, {}, 0xFFFFFFFF},
                    {{0.5f, -0.2f, 0.5f}, {}, 0xFFFFFFFF}},
                   {false, true, false}),
              D3D_OK);
    EXPECT_NE(pixel(32, 32), 0u);  // y/z = 0: beyond the near plane
    EXPECT_NE(pixel(32, 36), 0u);  // y/z = -0.125
    EXPECT_EQ(pixel(32, 44), 0u);  // y/z = -0.375: only the part in front of the near plane lands here
    int drawn = 0;
    for (int x = 0; x < width; ++x) drawn += pixel(x, 36) != 0;
    EXPECT_GT(drawn, 0);
    EXPECT_LT(drawn, width);
}

TEST_F(RasterTest, TrianglesFarOutsideTheSidesAreClippedToTheBuffer) {
    // Corners far outside the guard band on every side: the whole buffer is covered once.
    ASSERT_EQ(triangle({{-50.0f, 50.0f, 0.5f}, {}, 0xFFFFFFFF}, {{50.0f, 50.0f, 0.5f}, {}, 0xFFFFFFFF},
                       {{0.0f, -80.0f, 0.5f}, {}, 0xFFFFFFFF}),
              D3D_OK);
    EXPECT_EQ(count_pixels(0xFFFFFF), width * height);
}

TEST_F(RasterTest, OutOfRangeIndicesFailAndDrawNothing) {
    const std::vector<test_vertex> v = {at(4, 4, 0xFFFFFFFF), at(30, 4, 0xFFFFFFFF), at(4, 30, 0xFFFFFFFF)};
    EXPECT_EQ(draw(v, {false, true, false}, {0, 1, 2, 0, 1, 3}), D3DERR_INVALIDCALL);
    EXPECT_EQ(count_pixels(0), width * height);
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, nullptr, D3DFMT_INDEX32, v.data(), 12),
              D3DERR_INVALIDCALL);
}

TEST_F(RasterTest, NonFiniteVerticesAreSkipped) {
    const float nan = std::nanf("");
    ASSERT_EQ(triangle({{nan, 0, 0.5f}, {}, 0xFFFFFFFF}, at(30, 4, 0xFFFFFFFF), at(4, 30, 0xFFFFFFFF)), D3D_OK);
    ASSERT_EQ(triangle({{1e30f, 0, 0.5f}, {}, 0xFFFFFFFF}, at(30, 4, 0xFFFFFFFF), at(4, 30, 0xFFFFFFFF)), D3D_OK);
    EXPECT_EQ(pixel(10, 10), 0u);
    EXPECT_EQ(pixel(40, 10), 0xFFFFFFu);  // the huge but finite one is clipped and drawn
}

}  // namespace
