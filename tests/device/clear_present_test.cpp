// clear_present_test.cpp - clears of the colour and depth buffers, and presenting the back buffer.
#include "device_fixture.h"

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
