// clear_present_test.cpp - clears of the colour and depth buffers, and presenting the back buffer.
#include "device_fixture.h"

#include <algorithm>
#include <vector>

namespace {

class ClearPresentTest : public DeviceTest {
protected:
    void SetUp() override { create_device(); }
};

TEST_F(ClearPresentTest, ColourClearFillsTheWholeBufferWithoutAlpha) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF505050, 1.0f, 0), D3D_OK);
    EXPECT_EQ(count_pixels(0x505050), width * height);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x12FF0080, 1.0f, 0), D3D_OK);
    EXPECT_EQ(count_pixels(0x00FF0080), width * height);
}

TEST_F(ClearPresentTest, DepthClearStoresRoundedSixteenBitValues) {
    const std::pair<float, uint16_t> cases[] = {{1.0f, 65535}, {0.0f, 0}, {0.25f, 16384}, {0.5f, 32768}};
    for (auto [z, expected] : cases) {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, z, 0), D3D_OK);
        EXPECT_EQ(depth(0, 0), expected) << z;
        EXPECT_EQ(depth(width - 1, height - 1), expected) << z;
    }
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.5f, 0), D3DERR_INVALIDCALL);
}

TEST_F(ClearPresentTest, EachClearTouchesOnlyTheBuffersItNames) {
    clear(0x111111, 0.5f);
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFF222222, 1.0f, 0);
    EXPECT_EQ(pixel(10, 10), 0x111111u);
    EXPECT_EQ(depth(10, 10), 65535);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF333333, 0.0f, 0);
    EXPECT_EQ(pixel(10, 10), 0x333333u);
    EXPECT_EQ(depth(10, 10), 65535);
}

// Clears after drawing refill what was drawn, whatever was drawn and cleared before.
TEST_F(ClearPresentTest, ClearsAfterDrawingLeaveNothingBehind) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    const D3DVECTOR positions[3] = {{-0.9f, 0.9f, 0.3f}, {0.95f, 0.2f, 0.3f}, {-0.2f, -0.97f, 0.3f}};
    const UINT indices[3] = {0, 1, 2};
    vertex_arrays streams;
    streams.positions = positions;
    streams.vertex_count = 3;
    for (D3DCOLOR colour : {0xFF101010u, 0xFF101010u, 0xFF202020u}) {
        clear(colour, 1.0f);
        ASSERT_EQ(draw_vertex_arrays(device, streams, indices, 1), D3D_OK);
        ASSERT_LT(count_pixels(colour & 0xFFFFFF), width * height);
        const D3DRECT rect{5, 5, 40, 9};
        device->Clear(1, &rect, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF777777, 0.5f, 0);
        clear(colour, 1.0f);
        EXPECT_EQ(count_pixels(colour & 0xFFFFFF), width * height);
        for (int y = 0; y < height; y += 7)
            for (int x = 0; x < width; x += 3) ASSERT_EQ(depth(x, y), 65535) << x << "," << y;
    }
}

// 64 tiles of 32 columns per band: clears refill the drawn tiles in runs, with undrawn tiles
// between runs and a run through the last tile.
class WideClearTest : public DeviceTest {
protected:
    void SetUp() override { create_device(2048, 16); }
};

TEST_F(WideClearTest, ClearsRefillSeparateRunsOfDrawnTilesAndTheLastTile) {
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    std::vector<D3DVECTOR> positions;
    for (float x : {3.0f, 300.0f, 1000.0f, 2030.0f}) {  // first band, undrawn tiles between
        for (D3DVECTOR p : {at_pixel(x, 1), at_pixel(x + 12, 1), at_pixel(x, 6)}) positions.push_back(p);
    }
    for (D3DVECTOR p : {at_pixel(-5, 9), at_pixel(2060, 9), at_pixel(-5, 15)}) positions.push_back(p);
    std::vector<UINT> indices(positions.size());
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = UINT(i);
    vertex_arrays streams;
    streams.positions = positions.data();
    streams.vertex_count = UINT(positions.size());
    for (D3DCOLOR colour : {0xFF101010u, 0xFF101010u}) {
        clear(colour, 1.0f);
        ASSERT_EQ(draw_vertex_arrays(device, streams, indices.data(), UINT(indices.size() / 3)), D3D_OK);
        ASSERT_NE(pixel(2035, 2), colour & 0xFFFFFF);
        ASSERT_NE(pixel(2047, 9), colour & 0xFFFFFF);
        clear(colour, 1.0f);
        EXPECT_EQ(count_pixels(colour & 0xFFFFFF), width * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) ASSERT_EQ(depth(x, y), 65535) << x << "," << y;
    }
}

TEST_F(ClearPresentTest, RectangleClearsAreClippedToTheBuffer) {
    clear(0);
    const D3DRECT rects[] = {{-5, -5, 3, 2}, {width - 1, height - 1, width + 10, height + 10}};
    ASSERT_EQ(device->Clear(2, rects, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
    EXPECT_EQ(count_pixels(0xFFFFFF), 3 * 2 + 1);
    EXPECT_EQ(pixel(2, 1), 0xFFFFFFu);
    EXPECT_EQ(pixel(3, 1), 0u);
    EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

// The cleared pixels, colour and depth alike, are exactly the rectangle (or the whole viewport)
// cut to the viewport and, with the scissor test on, to the scissor rectangle.
TEST_F(ClearPresentTest, ClearsKeepToTheViewportAndTheScissorRectangle) {
    const struct {
        const char* name;
        D3DVIEWPORT9 viewport;
        BOOL scissor_test;
        RECT scissor;
        std::vector<D3DRECT> rects;
        RECT expected;
    } cases[] = {
        {"whole viewport", {10, 20, 30, 40, 0, 1}, FALSE, {0, 0, 5, 5}, {}, {10, 20, 40, 60}},
        {"rectangle cut to the viewport", {10, 20, 30, 40, 0, 1}, FALSE, {}, {{0, 0, 15, 25}}, {10, 20, 15, 25}},
        {"rectangle outside the viewport", {10, 20, 30, 40, 0, 1}, FALSE, {}, {{40, 0, 50, 70}}, {0, 0, 0, 0}},
        {"inverted rectangle", {0, 0, 624, 441, 0, 1}, FALSE, {}, {{20, 20, 10, 30}}, {0, 0, 0, 0}},
        {"scissor cuts the viewport", {10, 20, 30, 40, 0, 1}, TRUE, {0, 30, 25, 100}, {}, {10, 30, 25, 60}},
        {"scissor cuts a rectangle",
         {0, 0, 624, 441, 0, 1},
         TRUE,
         {100, 100, 200, 200},
         {{150, 0, 624, 441}},
         {150, 100, 200, 200}},
        {"scissor on a whole viewport", {0, 0, 624, 441, 0, 1}, TRUE, {3, 4, 5, 6}, {}, {3, 4, 5, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clear(0, 1.0f);
        ASSERT_EQ(device->SetViewport(&c.viewport), D3D_OK);
        ASSERT_EQ(device->SetScissorRect(&c.scissor), D3D_OK);
        ASSERT_EQ(device->SetRenderState(D3DRS_SCISSORTESTENABLE, c.scissor_test), D3D_OK);
        ASSERT_EQ(device->Clear(DWORD(c.rects.size()), c.rects.empty() ? nullptr : c.rects.data(),
                                D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 0.0f, 0),
                  D3D_OK);
        const RECT& e = c.expected;
        EXPECT_EQ(count_pixels(0xFFFFFF), (e.right - e.left) * (e.bottom - e.top));
        if (e.right > e.left) {
            EXPECT_EQ(pixel(e.left, e.top), 0xFFFFFFu);
            EXPECT_EQ(pixel(e.right - 1, e.bottom - 1), 0xFFFFFFu);
            EXPECT_EQ(depth(e.right - 1, e.bottom - 1), 0);
        }
        if (e.right < width) {
            EXPECT_EQ(depth(e.right, std::max(0, int(e.bottom) - 1)), 65535);
        }
        const D3DVIEWPORT9 whole{0, 0, DWORD(width), DWORD(height), 0, 1};
        device->SetViewport(&whole);
        device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    }
}

TEST_F(ClearPresentTest, ClearsWithBadArgumentsChangeNothing) {
    clear(0x123456, 0.5f);
    const D3DRECT rect{0, 0, 10, 10};
    const struct {
        DWORD count;
        const D3DRECT* rects;
        DWORD flags;
        float z;
    } cases[] = {
        {0, &rect, D3DCLEAR_TARGET, 1.0f},       {0, nullptr, 0, 1.0f},
        {0, nullptr, D3DCLEAR_TARGET | 8, 1.0f}, {0, nullptr, D3DCLEAR_STENCIL, 1.0f},
        {1, &rect, D3DCLEAR_ZBUFFER, -0.5f},     {1, &rect, D3DCLEAR_TARGET | D3DCLEAR_STENCIL, 1.0f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(device->Clear(c.count, c.rects, c.flags, 0xFFFFFFFF, c.z, 0), D3DERR_INVALIDCALL)
            << c.count << " " << c.flags << " " << c.z;
    }
    EXPECT_EQ(count_pixels(0x123456), width * height);
    EXPECT_EQ(depth(5, 5), 32768);
}

TEST_F(ClearPresentTest, PresentInsideASceneFailsAndAfterItShowsTheBackBuffer) {
    clear(0xFF336699);
    const int before = win_headless_present_count();
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(win_headless_present_count(), before);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(win_headless_present_count(), before + 1);

    const win_headless_frame& frame = win_headless_last_frame();
    ASSERT_EQ(frame.width, width);
    ASSERT_EQ(frame.height, height);
    const std::vector<uint32_t> back(buffer().colour.begin(), buffer().colour.begin() + width * height);
    EXPECT_EQ(frame.pixels, back);
}

TEST_F(ClearPresentTest, ResizingTheWindowChangesNeitherTheBackBufferNorThePresentedSize) {
    win_headless_resize(test_window(), 800, 300);
    clear(0xFF00FF00);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(buffer().width, 624);
    EXPECT_EQ(buffer().height, 441);
    EXPECT_EQ(win_headless_last_frame().width, 624);
    EXPECT_EQ(win_headless_last_frame().height, 441);
    EXPECT_EQ(count_pixels(0x00FF00), 624 * 441);
    win_headless_resize(test_window(), 624, 441);
}

}  // namespace
