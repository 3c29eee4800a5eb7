// device_fixture.h - a headless window and a device for the device tests, and small drawing helpers.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include "platform/d3d9/device_debug.h"
#include "draw_arrays.h"
#include "headless_device.h"
#include "platform/win32/win_headless.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// A window with the standard 640 x 480 outer size (624 x 441 client area), made once per process.
HWND test_window();

// A vertex of the helpers below: position plus optional normal, colour and texture coordinates.
struct test_vertex {
    D3DVECTOR position;
    D3DVECTOR normal{0, 0, 0};
    D3DCOLOR colour = 0xFFFFFFFF;
    float u = 0, v = 0;
};

// Which optional streams a draw hands the device.
struct test_streams {
    bool normals = false;
    bool colours = false;
    bool texcoords = false;
};

class DeviceTest : public ::testing::Test {
protected:
    // Creates the device; a non-zero size asks for that back buffer instead of the client area.
    void create_device(UINT width = 0, UINT height = 0);
    void TearDown() override;

    // Draws the vertices as a triangle list (or with `indices` when given).
    HRESULT draw(const std::vector<test_vertex>& vertices, test_streams streams, const std::vector<UINT>& indices = {});
    // Position in clip space (identity transforms) of the centre of pixel (x, y) at depth z.
    D3DVECTOR at_pixel(float x, float y, float z = 0.5f) const;

    uint32_t pixel(int x, int y) const;
    uint16_t depth(int x, int y) const;
    int count_pixels(uint32_t colour) const;
    const d3d9_framebuffer& buffer() const { return *d3d9_device_framebuffer(device); }

    // No lighting, no culling, depth test on: vertex colours go straight to the pixels.
    void unlit_state();
    void clear(D3DCOLOR colour = 0, float z = 1.0f);

    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    int width = 0;
    int height = 0;

private:
    std::vector<D3DVECTOR> positions_, normals_;
    std::vector<D3DCOLOR> colours_;
    std::vector<float> texcoords_;
    std::vector<UINT> indices_;
    std::vector<unsigned char> interleaved_;
};

uint32_t rgb(int r, int g, int b);
