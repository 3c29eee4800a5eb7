// d3d9.h - our stand-in for the Direct3D 9 operations the demos call.
//
// The device is a software renderer reproducing the fixed-function pipeline: world/view/projection
// transform, per-vertex lighting, culling, homogeneous clipping, viewport mapping, rasterisation
// with the top-left fill rule, 16-bit depth, texture stage 0 MODULATE, specular add. It draws into
// a 32-bit X8R8G8B8 back buffer and a 16-bit depth buffer and presents through the window layer.
//
// DOES NOT: offer vertex or index buffers, shaders, blending, fog, stencil, or more than one
// texture stage; the stand-in extension DrawIndexedTriangles is the draw entry that D3DX meshes use.
//
// Conventions: left-handed, row vectors (v' = v * M), camera looks down +z, depth 0 (near) to 1
// (far), colours 0xAARRGGBB.
#pragma once

#include <windows.h>

#include <cstdint>

typedef DWORD D3DCOLOR;

#define D3DCOLOR_ARGB(a, r, g, b) ((D3DCOLOR)((((a)&0xff) << 24) | (((r)&0xff) << 16) | (((g)&0xff) << 8) | ((b)&0xff)))
#define D3DCOLOR_XRGB(r, g, b) D3DCOLOR_ARGB(0xff, r, g, b)

#define D3D_SDK_VERSION 32
#define D3DADAPTER_DEFAULT 0

#define D3D_OK S_OK
#define D3DERR_INVALIDCALL ((HRESULT)0x8876086CL)
#define D3DERR_NOTAVAILABLE ((HRESULT)0x8876086AL)
#define D3DERR_OUTOFVIDEOMEMORY ((HRESULT)0x8876017CL)

#define D3DCREATE_SOFTWARE_VERTEXPROCESSING 0x00000020L
#define D3DCREATE_HARDWARE_VERTEXPROCESSING 0x00000040L

#define D3DCLEAR_TARGET 0x00000001L
#define D3DCLEAR_ZBUFFER 0x00000002L
#define D3DCLEAR_STENCIL 0x00000004L

#define D3DFVF_XYZ 0x002
#define D3DFVF_NORMAL 0x010
#define D3DFVF_DIFFUSE 0x040
#define D3DFVF_SPECULAR 0x080
#define D3DFVF_TEX1 0x100

struct D3DCOLORVALUE {
    float r;
    float g;
    float b;
    float a;
};

struct D3DVECTOR {
    float x;
    float y;
    float z;
};

struct D3DMATRIX {
    union {
        struct {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
};

struct D3DRECT {
    LONG x1;
    LONG y1;
    LONG x2;
    LONG y2;
};

struct D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power;
};

enum D3DLIGHTTYPE {
    D3DLIGHT_POINT = 1,
    D3DLIGHT_SPOT = 2,
    D3DLIGHT_DIRECTIONAL = 3,
};

struct D3DLIGHT9 {
    D3DLIGHTTYPE Type;
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Ambient;
    D3DVECTOR Position;
    D3DVECTOR Direction;
    float Range;
    float Falloff;
    float Attenuation0;
    float Attenuation1;
    float Attenuation2;
    float Theta;
    float Phi;
};

enum D3DRENDERSTATETYPE {
    D3DRS_ZENABLE = 7,
    D3DRS_FILLMODE = 8,
    D3DRS_SHADEMODE = 9,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_ALPHATESTENABLE = 15,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ZFUNC = 23,
    D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_FOGENABLE = 28,
    D3DRS_SPECULARENABLE = 29,
    D3DRS_TEXTUREFACTOR = 60,
    D3DRS_WRAP0 = 128,
    D3DRS_CLIPPING = 136,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
    D3DRS_COLORVERTEX = 141,
    D3DRS_LOCALVIEWER = 142,
    D3DRS_NORMALIZENORMALS = 143,
    D3DRS_DIFFUSEMATERIALSOURCE = 145,
    D3DRS_SPECULARMATERIALSOURCE = 146,
    D3DRS_AMBIENTMATERIALSOURCE = 147,
    D3DRS_EMISSIVEMATERIALSOURCE = 148,
};

enum D3DTRANSFORMSTATETYPE {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_WORLD = 256,
};

enum D3DCULL {
    D3DCULL_NONE = 1,
    D3DCULL_CW = 2,
    D3DCULL_CCW = 3,
};

enum D3DZBUFFERTYPE {
    D3DZB_FALSE = 0,
    D3DZB_TRUE = 1,
};

enum D3DCMPFUNC {
    D3DCMP_NEVER = 1,
    D3DCMP_LESS = 2,
    D3DCMP_EQUAL = 3,
    D3DCMP_LESSEQUAL = 4,
    D3DCMP_GREATER = 5,
    D3DCMP_NOTEQUAL = 6,
    D3DCMP_GREATEREQUAL = 7,
    D3DCMP_ALWAYS = 8,
};

enum D3DMATERIALCOLORSOURCE {
    D3DMCS_MATERIAL = 0,
    D3DMCS_COLOR1 = 1,
    D3DMCS_COLOR2 = 2,
};

enum D3DFORMAT {
    D3DFMT_UNKNOWN = 0,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_D16 = 80,
};

enum D3DDEVTYPE {
    D3DDEVTYPE_HAL = 1,
    D3DDEVTYPE_REF = 2,
    D3DDEVTYPE_SW = 3,
};

enum D3DSWAPEFFECT {
    D3DSWAPEFFECT_DISCARD = 1,
    D3DSWAPEFFECT_FLIP = 2,
    D3DSWAPEFFECT_COPY = 3,
};

enum D3DMULTISAMPLE_TYPE {
    D3DMULTISAMPLE_NONE = 0,
};

#define D3DPRESENT_INTERVAL_DEFAULT 0x00000000L
#define D3DPRESENT_INTERVAL_ONE 0x00000001L
#define D3DPRESENT_INTERVAL_IMMEDIATE 0x80000000L

struct D3DPRESENT_PARAMETERS {
    UINT BackBufferWidth;
    UINT BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    DWORD MultiSampleQuality;
    D3DSWAPEFFECT SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT PresentationInterval;
};

// Reference-counted objects: AddRef/Release as the platform's interfaces; the object is destroyed
// when the count reaches zero.
struct IDirect3DBaseTexture9 {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IDirect3DBaseTexture9() = default;
};

// A 2D texture: one level of 32-bit A8R8G8B8 texels, row 0 at the top (v = 0).
struct IDirect3DTexture9 : IDirect3DBaseTexture9 {
    virtual UINT GetWidth() const = 0;
    virtual UINT GetHeight() const = 0;
    // Texels as 0xAARRGGBB, rows top to bottom, GetWidth() texels per row.
    virtual const D3DCOLOR* GetTexels() const = 0;
};

// Stand-in extension: the vertex data of an indexed triangle draw. Positions are required; a null
// normal stream lights the vertices by ambient and emissive only; a null diffuse stream takes the
// material colours; a null texture-coordinate stream samples at (0, 0).
struct D3DVERTEXSTREAMS {
    const D3DVECTOR* positions;
    const D3DVECTOR* normals;  // may be null
    const D3DCOLOR* diffuse;   // may be null; 0xAARRGGBB per vertex
    const float* texcoords;    // may be null; (u, v) pairs per vertex
    UINT vertex_count;
};

struct IDirect3DDevice9 {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE kind, const D3DMATRIX* matrix) = 0;
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE kind, D3DMATRIX* matrix) = 0;
    virtual HRESULT SetLight(DWORD index, const D3DLIGHT9* light) = 0;
    virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL9* material) = 0;
    virtual HRESULT GetMaterial(D3DMATERIAL9* material) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) = 0;
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Present(const RECT* source, const RECT* destination, HWND override_window,
                            const void* dirty_region) = 0;

    // Stand-in extension: draws `triangle_count` triangles, three indices each, with the current
    // state. Indices not below streams.vertex_count make the call fail with D3DERR_INVALIDCALL and
    // draw nothing.
    virtual HRESULT DrawIndexedTriangles(const D3DVERTEXSTREAMS& streams, const UINT* indices, UINT triangle_count) = 0;

protected:
    virtual ~IDirect3DDevice9() = default;
};

struct IDirect3D9 {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus_window, DWORD behaviour_flags,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) = 0;

protected:
    virtual ~IDirect3D9() = default;
};

typedef IDirect3D9* LPDIRECT3D9;
typedef IDirect3DDevice9* LPDIRECT3DDEVICE9;
typedef IDirect3DTexture9* LPDIRECT3DTEXTURE9;
typedef IDirect3DBaseTexture9* LPDIRECT3DBASETEXTURE9;

// Returns null when sdk_version is not D3D_SDK_VERSION.
IDirect3D9* WINAPI Direct3DCreate9(UINT sdk_version);
