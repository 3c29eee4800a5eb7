// d3d9.h - our stand-in for the Direct3D 9 operations the demos call.
//
// The device is a software renderer reproducing the fixed-function pipeline: world/view/projection
// transform, per-vertex lighting, culling, homogeneous clipping, viewport mapping, rasterisation
// with the top-left fill rule, 16-bit depth, texture stage 0 MODULATE, specular add. It draws into
// a 32-bit X8R8G8B8 back buffer and a 16-bit depth buffer and presents through the window layer.
//
// DOES NOT: offer vertex or index buffers, shaders, blending, fog, stencil, or more than one
// texture stage.
//
// Conventions: left-handed, row vectors (v' = v * M), camera looks down +z, depth 0 (near) to 1
// (far), colours 0xAARRGGBB.
#pragma once

#include <windows.h>

#include <unknwn.h>
#include <d3d9types.h>
#include <d3d9caps.h>

#define D3D_SDK_VERSION 32
#define D3DADAPTER_DEFAULT 0

#define D3D_OK S_OK
#define D3DERR_INVALIDCALL ((HRESULT)0x8876086CL)
#define D3DERR_NOTAVAILABLE ((HRESULT)0x8876086AL)
#define D3DERR_OUTOFVIDEOMEMORY ((HRESULT)0x8876017CL)

#define D3DCREATE_SOFTWARE_VERTEXPROCESSING 0x00000020L
#define D3DCREATE_HARDWARE_VERTEXPROCESSING 0x00000040L

// The interfaces of Direct3D 9. Every one is reference counted (IUnknown): an object is destroyed
// when its count reaches zero.
struct IDirect3D9;
struct IDirect3DDevice9;
struct IDirect3DStateBlock9;
struct IDirect3DSwapChain9;
struct IDirect3DResource9;
struct IDirect3DVertexDeclaration9;
struct IDirect3DVertexShader9;
struct IDirect3DPixelShader9;
struct IDirect3DBaseTexture9;
struct IDirect3DTexture9;
struct IDirect3DVolumeTexture9;
struct IDirect3DCubeTexture9;
struct IDirect3DVertexBuffer9;
struct IDirect3DIndexBuffer9;
struct IDirect3DSurface9;
struct IDirect3DVolume9;
struct IDirect3DQuery9;

struct IDirect3DBaseTexture9 : IUnknown {};

// A 2D texture: one level of 32-bit A8R8G8B8 texels, row 0 at the top (v = 0).
struct IDirect3DTexture9 : IDirect3DBaseTexture9 {};

struct IDirect3DDevice9 : IUnknown {
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
};

struct IDirect3D9 : IUnknown {
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus_window, DWORD behaviour_flags,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) = 0;
};

typedef IDirect3D9* LPDIRECT3D9;
typedef IDirect3DDevice9* LPDIRECT3DDEVICE9;
typedef IDirect3DTexture9* LPDIRECT3DTEXTURE9;
typedef IDirect3DBaseTexture9* LPDIRECT3DBASETEXTURE9;

// Returns null when sdk_version is not D3D_SDK_VERSION.
IDirect3D9* WINAPI Direct3DCreate9(UINT sdk_version);
