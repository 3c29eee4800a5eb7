// d3dx9.h - our stand-in for D3DX 9: maths (d3dx9math.h), buffers, fonts, sprites and lines
// (d3dx9core.h), meshes and the .x loader (d3dx9mesh.h), procedural shapes (d3dx9shape.h),
// textures (d3dx9tex.h), frame hierarchies (d3dx9anim.h), and the names of effects, shaders and
// the .x file API (d3dx9effect.h, d3dx9shader.h, d3dx9xof.h). Each header says what works and
// what returns a failure.
#pragma once

#include <d3d9.h>

#include <float.h>
#include <limits.h>

#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_DEFAULT_FLOAT FLT_MAX
#define D3DX_FROM_FILE ((UINT)-3)
#define D3DFMT_FROM_FILE ((D3DFORMAT)-3)

// D3DX errors: MAKE_D3DHRESULT(2900 + n).
#define D3DXERR_CANNOTMODIFYINDEXBUFFER ((HRESULT)0x88760B54L)
#define D3DXERR_INVALIDMESH ((HRESULT)0x88760B55L)
#define D3DXERR_CANNOTATTRSORT ((HRESULT)0x88760B56L)
#define D3DXERR_SKINNINGNOTSUPPORTED ((HRESULT)0x88760B57L)
#define D3DXERR_TOOMANYINFLUENCES ((HRESULT)0x88760B58L)
#define D3DXERR_INVALIDDATA ((HRESULT)0x88760B59L)
#define D3DXERR_LOADEDMESHASNODATA ((HRESULT)0x88760B5AL)
#define D3DXERR_DUPLICATENAMEDFRAGMENT ((HRESULT)0x88760B5BL)
#define D3DXERR_CANNOTREMOVELASTITEM ((HRESULT)0x88760B5CL)

#include <d3dx9math.h>
#include <d3dx9core.h>
#include <d3dx9xof.h>
#include <d3dx9mesh.h>
#include <d3dx9shader.h>
#include <d3dx9effect.h>
#include <d3dx9tex.h>
#include <d3dx9shape.h>
#include <d3dx9anim.h>
