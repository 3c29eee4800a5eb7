// sprite_allocation_test.cpp - a warm sprite allocates nothing per frame, and creating one when
// memory runs out fails cleanly (this program counts every global operator new, see
// counting_allocator.h).
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "counting_allocator.h"
#include "headless_device_test.h"
#include "platform/d3d9/texture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using SpriteAllocationTest = HeadlessDeviceTest;

TEST_F(SpriteAllocationTest, FramesAfterTheFirstAllocateNothing) {
    ID3DXSprite* sprite = nullptr;
    ASSERT_EQ(D3DXCreateSprite(device_, &sprite), D3D_OK);
    IDirect3DTexture9* textures[3] = {};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(d3d9_create_texture(8, 8, std::vector<D3DCOLOR>(64, 0x80FF0000u >> (8 * i)), &textures[i]), D3D_OK);
    }
    size_t after_first = 0;
    for (int frame = 0; frame < 4; ++frame) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device_->BeginScene();
        ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_DEPTH_BACKTOFRONT), D3D_OK);
        for (int i = 0; i < 100; ++i) {
            const D3DXVECTOR3 position(float(i * 5 % 600), float(i * 3 % 400), float(i % 7) / 8.0f);
            ASSERT_EQ(sprite->Draw(textures[i % 3], nullptr, nullptr, &position, 0xFFFFFFFF), D3D_OK);
        }
        ASSERT_EQ(sprite->End(), D3D_OK);
        device_->EndScene();
        device_->Present(nullptr, nullptr, nullptr, nullptr);
        if (frame == 0) after_first = allocations_counted();
    }
    EXPECT_EQ(allocations_counted(), after_first);
    EXPECT_EQ(sprite->Release(), 0u);
    for (IDirect3DTexture9* t : textures) t->Release();
}

TEST_F(SpriteAllocationTest, CreationFailsCleanlyWhenMemoryRunsOut) {
    for (long allowed = 0;; ++allowed) {
        ID3DXSprite* sprite = reinterpret_cast<ID3DXSprite*>(1);
        fail_allocations_after(allowed);
        const HRESULT result = D3DXCreateSprite(device_, &sprite);
        fail_allocations_after(-1);
        if (result == D3D_OK) {
            EXPECT_EQ(sprite->Release(), 0u);
            break;
        }
        EXPECT_EQ(result, E_OUTOFMEMORY) << allowed;
        EXPECT_EQ(sprite, nullptr);
        ASSERT_LT(allowed, 1000);
        // A device that could not allocate a recorded block keeps recording until it can.
        IDirect3DStateBlock9* block = nullptr;
        if (device_->EndStateBlock(&block) == D3D_OK) block->Release();
    }
}

}  // namespace
