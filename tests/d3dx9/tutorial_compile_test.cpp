// A translation unit written the way tutorial programs use D3DX: the maths classes with their
// operators and casts, D3DXMATRIXA16, and the names of the other headers. That it compiles (with
// warnings as errors) is most of the test; the values check the operators' meaning.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

struct CUSTOMVERTEX {
    FLOAT x, y, z;
    DWORD color;
};
#define D3DFVF_CUSTOMVERTEX (D3DFVF_XYZ | D3DFVF_DIFFUSE)

LPD3DXFONT g_pFont = NULL;
LPD3DXSPRITE g_pSprite = NULL;
LPD3DXMESH g_pMesh = NULL;
D3DXMATERIAL* g_pMaterials = NULL;

TEST(D3dxTutorialStyle, OperatorsAndCastsCompileAndMeanWhatTutorialsExpect) {
    D3DXMATRIXA16 matWorld, matView, matProj;
    D3DXMatrixRotationY(&matWorld, D3DXToRadian(90.0f));
    D3DXVECTOR3 vEyePt(0.0f, 3.0f, -5.0f);
    D3DXVECTOR3 vLookatPt(0.0f, 0.0f, 0.0f);
    D3DXVECTOR3 vUpVec(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&matView, &vEyePt, &vLookatPt, &vUpVec);
    D3DXMatrixPerspectiveFovLH(&matProj, D3DX_PI / 4, 1.0f, 1.0f, 100.0f);
    D3DXMATRIX combined = matWorld * matView;
    combined *= matProj;
    D3DXMATRIXA16 aligned = combined;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(&aligned) % 16, 0u);
    auto heap = std::make_unique<D3DXMATRIXA16>();
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(heap.get()) % 16, 0u);
    EXPECT_TRUE(aligned == combined);

    D3DXVECTOR3 v = D3DXVECTOR3(1, 2, 3) * 0.5f;
    v += D3DXVECTOR3(0.5f, 0, 0);
    v = 2.0f * v - D3DXVECTOR3(1, 1, 1);
    EXPECT_TRUE(v == D3DXVECTOR3(1, 1, 2));
    const float* components = v;
    EXPECT_EQ(components[2], 2.0f);
    v /= 2.0f;
    EXPECT_TRUE(-v == D3DXVECTOR3(-0.5f, -0.5f, -1.0f));
    D3DXVECTOR2 v2(3, 4);
    EXPECT_EQ(D3DXVec2Length(&v2), 5.0f);
    D3DXVECTOR4 v4(D3DXVECTOR3(1, 2, 3), 1.0f);
    EXPECT_EQ(v4.w, 1.0f);

    D3DXMATRIX m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(m(3, 0), 13.0f);
    EXPECT_EQ(static_cast<const float*>(m)[1], 2.0f);
    const D3DXMATRIX doubled = m + m;
    EXPECT_TRUE(doubled == m * 2.0f && doubled == 2.0f * m);
    EXPECT_TRUE(doubled / 2.0f == m);
    EXPECT_TRUE(-m + m == D3DXMATRIX(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));

    D3DMATERIAL9 material;
    memset(&material, 0, sizeof material);
    material.Diffuse = D3DXCOLOR(1.0f, 0.5f, 0.0f, 1.0f);
    material.Ambient = D3DXCOLOR(0xFF808080);
    EXPECT_EQ(material.Diffuse.g, 0.5f);
    const D3DCOLOR packed = D3DXCOLOR(1.0f, 0.5f, 0.0f, 1.0f);
    EXPECT_EQ(packed, 0xFFFF8000u);
    D3DXCOLOR c = D3DXCOLOR(0.25f, 0.25f, 0.25f, 1.0f) * 2.0f;
    c += D3DXCOLOR(0, 0, 0.5f, 0);
    EXPECT_TRUE(c == D3DXCOLOR(0.5f, 0.5f, 1.0f, 2.0f));

    D3DXQUATERNION q1, q2;
    D3DXQuaternionRotationYawPitchRoll(&q1, 0.1f, 0.2f, 0.3f);
    q2 = q1;
    q2 *= q1;
    EXPECT_TRUE(q2 == q1 * q1);
    D3DXPLANE plane(0, 1, 0, 0);
    EXPECT_TRUE(-plane * 2.0f == D3DXPLANE(0, -2, 0, 0));

    CUSTOMVERTEX vertices[] = {{-1.0f, -1.0f, 0.0f, 0xffff0000}, {1.0f, -1.0f, 0.0f, 0xff0000ff}};
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_CUSTOMVERTEX), sizeof(CUSTOMVERTEX));
    D3DXVECTOR3 low, high;
    EXPECT_EQ(D3DXComputeBoundingBox(reinterpret_cast<D3DXVECTOR3*>(vertices), 2, sizeof(CUSTOMVERTEX), &low, &high),
              D3D_OK);
    EXPECT_TRUE(high == D3DXVECTOR3(1, -1, 0));

    EXPECT_EQ(D3DX_DEFAULT, UINT(-1));
    EXPECT_EQ(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_TEXTURE, 0x30);
    EXPECT_EQ(D3DXMESH_SYSTEMMEM | D3DXMESH_32BIT, 0x111);
    EXPECT_EQ(D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER, 0x80004);
    EXPECT_TRUE(D3DXCheckVersion(D3D_SDK_VERSION, D3DX_SDK_VERSION));
    EXPECT_EQ(g_pFont, nullptr);
    EXPECT_EQ(g_pSprite, nullptr);
    EXPECT_EQ(g_pMesh, nullptr);
    EXPECT_EQ(g_pMaterials, nullptr);
}

}  // namespace
