// d3dx9.h - our stand-in for the D3DX 9 operations the demos call: matrix maths, procedural
// meshes (box, torus, teapot), the mesh object, the .x mesh loader and the texture loader.
//
// DOES NOT: offer effects, skinning, animation, mesh optimisation, or any D3DX call the demos do
// not use.
#pragma once

#include <d3d9.h>

#include <limits.h>

#include <d3dx9math.h>
#include <d3dx9core.h>
#include <d3dx9mesh.h>
#include <d3dx9tex.h>
#include <d3dx9shape.h>

#define D3DXERR_INVALIDDATA ((HRESULT)0x88760B59L)
