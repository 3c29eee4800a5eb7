// d3dx9math.h - D3DX maths: vectors, matrices and the functions that build and combine them.
//
// Conventions: row vectors (v' = v * M), so A * B applies A first; left-handed; single precision;
// D3DXMATRIX is row-major in memory (_ij = row i, column j).
#pragma once

#include <d3d9.h>

#include <math.h>

#define D3DX_PI 3.141592654f

struct D3DXVECTOR3 : D3DVECTOR {
    D3DXVECTOR3() : D3DVECTOR{0.0f, 0.0f, 0.0f} {}
    D3DXVECTOR3(float x_, float y_, float z_) : D3DVECTOR{x_, y_, z_} {}
};

struct D3DXMATRIX : D3DMATRIX {
    D3DXMATRIX() : D3DMATRIX{} {}
    D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24, float m31,
               float m32, float m33, float m34, float m41, float m42, float m43, float m44);
    float& operator()(UINT row, UINT column) { return m[row][column]; }
    float operator()(UINT row, UINT column) const { return m[row][column]; }
    D3DXMATRIX operator*(const D3DXMATRIX& other) const;
};

D3DXMATRIX* WINAPI D3DXMatrixIdentity(D3DXMATRIX* out);
D3DXMATRIX* WINAPI D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2);
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf);
D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                      const D3DXVECTOR3* up);
D3DXMATRIX* WINAPI D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* WINAPI D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* WINAPI D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
