// d3dx9shape.h - procedural meshes: box, torus, teapot, sphere, cylinder, polygon and 3-D text.
//
// All are left-handed, centred at the origin, position + normal (D3DFVF_XYZ | D3DFVF_NORMAL), one
// subset with attribute id 0, front faces clockwise seen from outside. A non-null ppAdjacency
// receives three DWORDs per face: the face across each edge, 0xFFFFFFFF where there is none. Null device or mesh
// pointer, and sizes that cannot describe the shape (NaN, infinite, zero or negative, except that one cylinder radius
// may be zero for a cone; an extent beyond the float range; fewer than 3 sides, slices or rings, fewer than 2 sphere
// stacks or 1 cylinder stack; more than 65,535 vertices), fail with D3DERR_INVALIDCALL and leave *ppMesh null.
//
// Works: D3DXCreateBox, D3DXCreateTorus, D3DXCreateTeapot, D3DXCreateSphere, D3DXCreateCylinder
// and D3DXCreatePolygon. Not available: D3DXCreateTextA/W (E_NOTIMPL: 3-D text needs GDI fonts).
#pragma once

#include <d3dx9mesh.h>

struct GLYPHMETRICSFLOAT;
typedef GLYPHMETRICSFLOAT* LPGLYPHMETRICSFLOAT;

HRESULT WINAPI D3DXCreateBox(LPDIRECT3DDEVICE9 pDevice, FLOAT Width, FLOAT Height, FLOAT Depth, LPD3DXMESH* ppMesh,
                             LPD3DXBUFFER* ppAdjacency);
HRESULT WINAPI D3DXCreateTorus(LPDIRECT3DDEVICE9 pDevice, FLOAT InnerRadius, FLOAT OuterRadius, UINT Sides, UINT Rings,
                               LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency);
HRESULT WINAPI D3DXCreateTeapot(LPDIRECT3DDEVICE9 pDevice, LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency);
// Axis along z; poles at (0, 0, +-Radius).
HRESULT WINAPI D3DXCreateSphere(LPDIRECT3DDEVICE9 pDevice, FLOAT Radius, UINT Slices, UINT Stacks, LPD3DXMESH* ppMesh,
                                LPD3DXBUFFER* ppAdjacency);
// Axis along z, Radius1 at -Length/2 and Radius2 at +Length/2.
HRESULT WINAPI D3DXCreateCylinder(LPDIRECT3DDEVICE9 pDevice, FLOAT Radius1, FLOAT Radius2, FLOAT Length, UINT Slices,
                                  UINT Stacks, LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency);
// In the xy-plane, facing +z, a corner on +x; Length is the length of each side.
HRESULT WINAPI D3DXCreatePolygon(LPDIRECT3DDEVICE9 pDevice, FLOAT Length, UINT Sides, LPD3DXMESH* ppMesh,
                                 LPD3DXBUFFER* ppAdjacency);
HRESULT WINAPI D3DXCreateTextA(LPDIRECT3DDEVICE9 pDevice, HDC hDC, LPCSTR pText, FLOAT Deviation, FLOAT Extrusion,
                               LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency, LPGLYPHMETRICSFLOAT pGlyphMetrics);
HRESULT WINAPI D3DXCreateTextW(LPDIRECT3DDEVICE9 pDevice, HDC hDC, LPCWSTR pText, FLOAT Deviation, FLOAT Extrusion,
                               LPD3DXMESH* ppMesh, LPD3DXBUFFER* ppAdjacency, LPGLYPHMETRICSFLOAT pGlyphMetrics);
#ifdef UNICODE
#define D3DXCreateText D3DXCreateTextW
#else
#define D3DXCreateText D3DXCreateTextA
#endif
