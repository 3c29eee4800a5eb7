// device_allocation_test.cpp - steady-state frames allocate nothing (this program counts every
// global operator new, see counting_allocator.h).
#include "counting_allocator.h"
#include "device_fixture.h"

#include "platform/d3d9/texture.h"

#include <cmath>

namespace {

class DeviceAllocationTest : public DeviceTest {};

// A lit, textured sphere-like grid of 32 x 16 quads.
std::vector<test_vertex> make_mesh(std::vector<UINT>* indices) {
    std::vector<test_vertex> v;
    for (int i = 0; i <= 16; ++i) {
        for (int j = 0; j <= 32; ++j) {
            const float a = 3.14159f * float(i) / 16.0f, b = 6.28318f * float(j) / 32.0f;
            const D3DVECTOR n{std::sin(a) * std::cos(b), std::cos(a), std::sin(a) * std::sin(b)};
            v.push_back({{n.x, n.y, n.z + 4.0f}, n, 0xFFFFFFFF, float(j) / 8.0f, float(i) / 4.0f});
        }
    }
    for (UINT i = 0; i < 16; ++i) {
        for (UINT j = 0; j < 32; ++j) {
            const UINT a = i * 33 + j, b = a + 1, c = a + 33, d = c + 1;
            indices->insert(indices->end(), {a, c, b, b, c, d});
        }
    }
    return v;
}

TEST_F(DeviceAllocationTest, FramesAfterTheFirstAllocateNothing) {
    create_device();
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(d3d9_create_texture(2, 2, std::vector<D3DCOLOR>(4, 0xFF808080), &texture), D3D_OK);
    D3DMATRIX p{};
    p._11 = p._22 = 1.0f, p._33 = 100.0f / 99.0f, p._34 = 1.0f, p._43 = -100.0f / 99.0f;
    device->SetTransform(D3DTS_PROJECTION, &p);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = light.Specular = {1, 1, 1, 1};
    light.Direction = {0, -1, 1};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    device->SetTexture(0, texture);
    std::vector<UINT> indices;
    const std::vector<test_vertex> mesh = make_mesh(&indices);

    size_t after_first = 0;
    for (int frame = 0; frame < 20; ++frame) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF202020, 1.0f, 0);
        device->BeginScene();
        ASSERT_EQ(draw(mesh, {true, true, true}, indices), D3D_OK);
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        if (frame == 0) after_first = allocations_counted();
    }
    EXPECT_EQ(allocations_counted(), after_first);
    EXPECT_NE(pixel(width / 2, height / 2), 0x202020u);  // the mesh was drawn
    texture->Release();
}

}  // namespace
