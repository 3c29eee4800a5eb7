// d3d9_names_test.cpp - what a tutorial program writes against d3d9.h compiles and means what it
// means on the platform: values of constants and macros, sizes and layouts of structures.
#include <d3d9.h>

#include <gtest/gtest.h>

#include <cstddef>

namespace {

// Layouts a program may rely on when it fills structures or reads vertex data.
static_assert(sizeof(D3DCOLORVALUE) == 16 && sizeof(D3DVECTOR) == 12 && sizeof(D3DMATRIX) == 64);
static_assert(sizeof(D3DMATERIAL9) == 68 && sizeof(D3DLIGHT9) == 104 && sizeof(D3DVIEWPORT9) == 24);
static_assert(sizeof(D3DVERTEXELEMENT9) == 8 && sizeof(D3DRECT) == 16 && sizeof(D3DGAMMARAMP) == 1536);
static_assert(sizeof(D3DFORMAT) == 4 && sizeof(D3DRENDERSTATETYPE) == 4 && sizeof(D3DPOOL) == 4);
static_assert(sizeof(D3DCAPS9) == 304 && offsetof(D3DCAPS9, MaxTextureWidth) == 88);
static_assert(offsetof(D3DCAPS9, VertexShaderVersion) == 196 && offsetof(D3DCAPS9, VS20Caps) == 248);
static_assert(offsetof(D3DADAPTER_IDENTIFIER9, DriverVersion) == 1056 && sizeof(D3DADAPTER_IDENTIFIER9) == 1104);
static_assert(offsetof(D3DLIGHT9, Position) == 52 && offsetof(D3DLIGHT9, Range) == 76);

// Values: errors, versions, flags, formats.
static_assert(D3DERR_INVALIDCALL == HRESULT(0x8876086C) && D3DERR_NOTAVAILABLE == HRESULT(0x8876086A));
static_assert(D3DERR_DEVICELOST == HRESULT(0x88760868) && D3DERR_DEVICENOTRESET == HRESULT(0x88760869));
static_assert(D3DERR_OUTOFVIDEOMEMORY == HRESULT(0x8876017C) && D3DERR_WASSTILLDRAWING == HRESULT(0x8876021C));
static_assert(D3DERR_DRIVERINTERNALERROR == HRESULT(0x88760827) && D3DERR_NOTFOUND == HRESULT(0x88760866));
static_assert(D3DOK_NOAUTOGEN == HRESULT(0x0876086F) && SUCCEEDED(D3DOK_NOAUTOGEN));
static_assert(D3DFMT_DXT1 == 0x31545844 && D3DFMT_DXT5 == MAKEFOURCC('D', 'X', 'T', '5'));
static_assert(D3DFMT_INDEX16 == 101 && D3DFMT_D24S8 == 75 && D3DFMT_A16B16G16R16F == 113);
static_assert(D3DTS_WORLD == 256 && D3DTS_WORLDMATRIX(3) == D3DTS_WORLD3 && D3DTS_TEXTURE7 == 23);
static_assert(D3DRS_WRAP8 == 198 && D3DRS_BLENDOPALPHA == 209 && D3DRS_POINTSIZE == 154);
static_assert(D3DFVF_TEXCOORDSIZE1(0) == 0x30000 && D3DFVF_TEXCOORDSIZE3(1) == 0x40000);
static_assert(D3DFVF_TEXCOORDSIZE4(2) == 0x200000 && D3DFVF_TEXCOORDSIZE2(5) == 0);
static_assert((D3DFVF_XYZB5 & D3DFVF_POSITION_MASK) == D3DFVF_XYZB5 && D3DFVF_XYZW == 0x4002);
static_assert(D3DCOLOR_ARGB(0x80, 1, 2, 3) == 0x80010203 && D3DCOLOR_RGBA(1, 2, 3, 4) == 0x04010203);
static_assert(D3DCOLOR_XRGB(255, 128, 0) == 0xFFFF8000 && D3DCOLOR_COLORVALUE(1.0f, 0.0f, 0.0f, 1.0f) == 0xFFFF0000);
static_assert(D3DVS_VERSION(1, 1) == 0xFFFE0101 && D3DPS_VERSION(2, 0) == 0xFFFF0200);
static_assert(D3DCS_ALL == 0xFFF && D3DCLIPPLANE5 == 32);
static_assert(D3DPRESENT_INTERVAL_IMMEDIATE == 0x80000000L && D3DCREATE_MIXED_VERTEXPROCESSING == 0x80);
static_assert(D3DTEXOPCAPS_LERP == 1 << (D3DTOP_LERP - 1) && D3DPTFILTERCAPS_MAGFLINEAR == 0x02000000);

// A vertex declaration as a tutorial writes one.
const D3DVERTEXELEMENT9 declaration[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    D3DDECL_END(),
};

TEST(D3d9Names, DeclarationEndsWithTheEndMarker) {
    EXPECT_EQ(declaration[2].Stream, 0xFF);
    EXPECT_EQ(declaration[2].Type, D3DDECLTYPE_UNUSED);
    LPDIRECT3DVERTEXBUFFER9 buffer = nullptr;
    PDIRECT3DTEXTURE9 texture = nullptr;
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(texture, nullptr);
}

}  // namespace
