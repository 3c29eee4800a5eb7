// The D3DX text calls as a tutorial built with UNICODE writes them: the undecorated names
// (D3DXCreateFont, DrawText, GetDesc, GetTextMetrics, D3DXFONT_DESC, TEXTMETRIC) must pick the
// wide forms. Built as a program of its own with UNICODE and _UNICODE.
#include <windows.h>
#include <tchar.h>
#include <d3d9.h>
#include <d3dx9.h>

#include "headless_device_test.h"

#include <gtest/gtest.h>

namespace {

using FontUnicodeTest = HeadlessDeviceTest;

TEST_F(FontUnicodeTest, TheTutorialCallsTakeTheWideForms) {
    LPD3DXFONT font = NULL;
    ASSERT_EQ(D3DXCreateFont(device_, 20, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, TEXT("Arial"), &font),
              D3D_OK);
    D3DXFONT_DESC desc;
    ASSERT_EQ(font->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(_tcscmp(desc.FaceName, _T("Arial")), 0);
    TEXTMETRIC metrics;
    ASSERT_TRUE(font->GetTextMetrics(&metrics));
    EXPECT_EQ(metrics.tmHeight, 20);
    EXPECT_EQ(metrics.tmWeight, FW_BOLD);
    RECT rect = {0, 0, 640, 480};
    device_->BeginScene();
    EXPECT_EQ(font->DrawText(NULL, TEXT("Żółw"), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                             D3DCOLOR_XRGB(255, 255, 0)),
              250);
    device_->EndScene();
    EXPECT_EQ(font->PreloadText(TEXT("ąę"), -1), D3D_OK);
    EXPECT_EQ(font->Release(), 0u);
}

}  // namespace
