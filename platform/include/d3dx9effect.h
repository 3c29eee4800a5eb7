// d3dx9effect.h - the names of D3DX effects that a fixed-function program may meet: the effect
// and pool interfaces (opaque here), the creation flags and the file creation calls. There are no
// effects: the calls set their outputs to null and return D3DERR_INVALIDCALL for a missing device,
// file name or effect output, else D3DERR_NOTAVAILABLE.
#pragma once

#include <d3dx9shader.h>

#define D3DXFX_DONOTSAVESTATE (1 << 0)
#define D3DXFX_DONOTSAVESHADERSTATE (1 << 1)
#define D3DXFX_DONOTSAVESAMPLERSTATE (1 << 2)
#define D3DXFX_NOT_CLONEABLE (1 << 11)
#define D3DXFX_LARGEADDRESSAWARE (1 << 17)

struct ID3DXEffect;
typedef ID3DXEffect* LPD3DXEFFECT;
struct ID3DXEffectPool;
typedef ID3DXEffectPool* LPD3DXEFFECTPOOL;

HRESULT WINAPI D3DXCreateEffectFromFileA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, const D3DXMACRO* pDefines,
                                         LPD3DXINCLUDE pInclude, DWORD Flags, LPD3DXEFFECTPOOL pPool,
                                         LPD3DXEFFECT* ppEffect, LPD3DXBUFFER* ppCompilationErrors);
HRESULT WINAPI D3DXCreateEffectFromFileW(LPDIRECT3DDEVICE9 pDevice, LPCWSTR pSrcFile, const D3DXMACRO* pDefines,
                                         LPD3DXINCLUDE pInclude, DWORD Flags, LPD3DXEFFECTPOOL pPool,
                                         LPD3DXEFFECT* ppEffect, LPD3DXBUFFER* ppCompilationErrors);
#ifdef UNICODE
#define D3DXCreateEffectFromFile D3DXCreateEffectFromFileW
#else
#define D3DXCreateEffectFromFile D3DXCreateEffectFromFileA
#endif
