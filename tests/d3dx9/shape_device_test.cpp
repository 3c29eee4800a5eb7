// The three shapes created through the public calls on the software device (headless back end),
// and drawn where the scene's matrices put them.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "headless_device_test.h"
#include "platform/win32/win_headless.h"

#include <gtest/gtest.h>

namespace {

using ShapeDeviceTest = HeadlessDeviceTest;

TEST_F(ShapeDeviceTest, CreatesTheSceneShapes) {
    ID3DXMesh *box = nullptr, *torus = nullptr, *teapot = nullptr;
    ASSERT_EQ(D3DXCreateBox(device_, 1.5f, 1.5f, 1.5f, &box, nullptr), D3D_OK);
    ASSERT_EQ(D3DXCreateTorus(device_, 0.45f, 0.85f, 24, 24, &torus, nullptr), D3D_OK);
    ASSERT_EQ(D3DXCreateTeapot(device_, &teapot, nullptr), D3D_OK);
    const DWORD position_normal = D3DFVF_XYZ | D3DFVF_NORMAL;
    EXPECT_EQ(box->GetNumFaces(), 12u);
    EXPECT_EQ(box->GetNumVertices(), 24u);
    EXPECT_EQ(box->GetFVF(), position_normal);
    EXPECT_EQ(torus->GetNumFaces(), 1152u);
    EXPECT_EQ(torus->GetNumVertices(), 576u);
    EXPECT_EQ(torus->GetFVF(), position_normal);
    EXPECT_EQ(teapot->GetNumFaces(), 2256u);
    EXPECT_EQ(teapot->GetNumVertices(), 1177u);
    EXPECT_EQ(teapot->GetFVF(), position_normal);
    EXPECT_EQ(teapot->Release(), 0u);
    EXPECT_EQ(torus->Release(), 0u);
    EXPECT_EQ(box->Release(), 0u);
}

TEST_F(ShapeDeviceTest, DrawsTheBoxWhereTheSceneMatricesPutIt) {
    ID3DXMesh* box = nullptr;
    ASSERT_EQ(D3DXCreateBox(device_, 1.5f, 1.5f, 1.5f, &box, nullptr), D3D_OK);
    D3DXMATRIX projection, view, world;
    D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 1.3333334f, 1.0f, 100.0f);
    const D3DXVECTOR3 eye(0, 2, 7), at(0, -0.2f, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixTranslation(&world, 2, 0, 0);
    device_->SetTransform(D3DTS_PROJECTION, &projection);
    device_->SetTransform(D3DTS_VIEW, &view);
    device_->SetTransform(D3DTS_WORLD, &world);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device_->BeginScene();
    EXPECT_EQ(box->DrawSubset(0), D3D_OK);
    device_->EndScene();
    device_->Present(nullptr, nullptr, nullptr, nullptr);

    const win_headless_frame& frame = win_headless_last_frame();
    ASSERT_EQ(frame.width, 624);
    ASSERT_EQ(frame.height, 441);
    const auto pixel = [&frame](int x, int y) { return frame.pixels[size_t(y) * frame.width + x] & 0xFFFFFF; };
    EXPECT_NE(pixel(157, 207), 0u);  // the box's centre projects to (156.75, 206.54)
    EXPECT_EQ(pixel(468, 207), 0u);  // the mirror position, where nothing is drawn
    box->Release();
}

}  // namespace
