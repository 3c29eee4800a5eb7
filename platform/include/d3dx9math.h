// d3dx9math.h - D3DX maths: vectors, matrices, quaternions, planes, colours and half floats, with
// the constructors and operators of the C++ classes and the functions that build and combine them.
//
// Conventions: row vectors (v' = v * M), so A * B applies A first; left-handed unless a function's
// name ends in RH; single precision; angles in radians; D3DXMATRIX is row-major in memory (_ij =
// row i, column j). Every function returns its output pointer, and the output may be the same
// object as any input. Default-constructed objects are zero (the platform leaves them undefined:
// do not rely on either).
#pragma once

#include <d3d9.h>
#include <unknwn.h>

#include <math.h>

#define D3DX_PI ((FLOAT)3.141592654f)
#define D3DX_1BYPI ((FLOAT)0.318309886f)
#define D3DXToRadian(degree) ((degree) * (D3DX_PI / 180.0f))
#define D3DXToDegree(radian) ((radian) * (180.0f / D3DX_PI))

#define D3DX_16F_DIG 3
#define D3DX_16F_EPSILON 4.8875809e-4f
#define D3DX_16F_MANT_DIG 11
#define D3DX_16F_MAX 6.550400e+004
#define D3DX_16F_MAX_10_EXP 4
#define D3DX_16F_MAX_EXP 15
#define D3DX_16F_MIN 6.1035156e-5f
#define D3DX_16F_MIN_10_EXP (-4)
#define D3DX_16F_MIN_EXP (-14)
#define D3DX_16F_RADIX 2
#define D3DX_16F_ROUNDS 1

struct D3DVIEWPORT9;

// An IEEE 754 half float (1 sign, 5 exponent, 10 mantissa bits); conversions round to nearest even.
struct D3DXFLOAT16 {
    D3DXFLOAT16() = default;
    D3DXFLOAT16(FLOAT f);
    D3DXFLOAT16(const D3DXFLOAT16& f) = default;
    D3DXFLOAT16& operator=(const D3DXFLOAT16& f) = default;
    operator FLOAT();
    BOOL operator==(const D3DXFLOAT16& f) const { return value == f.value; }
    BOOL operator!=(const D3DXFLOAT16& f) const { return value != f.value; }

protected:
    WORD value = 0;
};
typedef D3DXFLOAT16* LPD3DXFLOAT16;

struct D3DXVECTOR2 {
    D3DXVECTOR2() : x(0), y(0) {}
    D3DXVECTOR2(const FLOAT* p) : x(p[0]), y(p[1]) {}
    D3DXVECTOR2(const D3DXFLOAT16* p);
    D3DXVECTOR2(FLOAT fx, FLOAT fy) : x(fx), y(fy) {}

    operator FLOAT*() { return &x; }
    operator const FLOAT*() const { return &x; }

    D3DXVECTOR2& operator+=(const D3DXVECTOR2& v) { return x += v.x, y += v.y, *this; }
    D3DXVECTOR2& operator-=(const D3DXVECTOR2& v) { return x -= v.x, y -= v.y, *this; }
    D3DXVECTOR2& operator*=(FLOAT f) { return x *= f, y *= f, *this; }
    D3DXVECTOR2& operator/=(FLOAT f) { return *this *= 1.0f / f; }

    D3DXVECTOR2 operator+() const { return *this; }
    D3DXVECTOR2 operator-() const { return D3DXVECTOR2(-x, -y); }

    D3DXVECTOR2 operator+(const D3DXVECTOR2& v) const { return D3DXVECTOR2(x + v.x, y + v.y); }
    D3DXVECTOR2 operator-(const D3DXVECTOR2& v) const { return D3DXVECTOR2(x - v.x, y - v.y); }
    D3DXVECTOR2 operator*(FLOAT f) const { return D3DXVECTOR2(x * f, y * f); }
    D3DXVECTOR2 operator/(FLOAT f) const { return *this * (1.0f / f); }
    friend D3DXVECTOR2 operator*(FLOAT f, const D3DXVECTOR2& v) { return v * f; }

    BOOL operator==(const D3DXVECTOR2& v) const { return x == v.x && y == v.y; }
    BOOL operator!=(const D3DXVECTOR2& v) const { return !(*this == v); }

    FLOAT x, y;
};
typedef D3DXVECTOR2* LPD3DXVECTOR2;

struct D3DXVECTOR3 : D3DVECTOR {
    D3DXVECTOR3() : D3DVECTOR{0.0f, 0.0f, 0.0f} {}
    D3DXVECTOR3(const FLOAT* p) : D3DVECTOR{p[0], p[1], p[2]} {}
    D3DXVECTOR3(const D3DVECTOR& v) : D3DVECTOR(v) {}
    D3DXVECTOR3(const D3DXFLOAT16* p);
    D3DXVECTOR3(FLOAT fx, FLOAT fy, FLOAT fz) : D3DVECTOR{fx, fy, fz} {}

    operator FLOAT*() { return &x; }
    operator const FLOAT*() const { return &x; }

    D3DXVECTOR3& operator+=(const D3DXVECTOR3& v) { return x += v.x, y += v.y, z += v.z, *this; }
    D3DXVECTOR3& operator-=(const D3DXVECTOR3& v) { return x -= v.x, y -= v.y, z -= v.z, *this; }
    D3DXVECTOR3& operator*=(FLOAT f) { return x *= f, y *= f, z *= f, *this; }
    D3DXVECTOR3& operator/=(FLOAT f) { return *this *= 1.0f / f; }

    D3DXVECTOR3 operator+() const { return *this; }
    D3DXVECTOR3 operator-() const { return D3DXVECTOR3(-x, -y, -z); }

    D3DXVECTOR3 operator+(const D3DXVECTOR3& v) const { return D3DXVECTOR3(x + v.x, y + v.y, z + v.z); }
    D3DXVECTOR3 operator-(const D3DXVECTOR3& v) const { return D3DXVECTOR3(x - v.x, y - v.y, z - v.z); }
    D3DXVECTOR3 operator*(FLOAT f) const { return D3DXVECTOR3(x * f, y * f, z * f); }
    D3DXVECTOR3 operator/(FLOAT f) const { return *this * (1.0f / f); }
    friend D3DXVECTOR3 operator*(FLOAT f, const D3DXVECTOR3& v) { return v * f; }

    BOOL operator==(const D3DXVECTOR3& v) const { return x == v.x && y == v.y && z == v.z; }
    BOOL operator!=(const D3DXVECTOR3& v) const { return !(*this == v); }
};
typedef D3DXVECTOR3* LPD3DXVECTOR3;

struct D3DXVECTOR4 {
    D3DXVECTOR4() : x(0), y(0), z(0), w(0) {}
    D3DXVECTOR4(const FLOAT* p) : x(p[0]), y(p[1]), z(p[2]), w(p[3]) {}
    D3DXVECTOR4(const D3DXFLOAT16* p);
    D3DXVECTOR4(const D3DVECTOR& xyz, FLOAT fw) : x(xyz.x), y(xyz.y), z(xyz.z), w(fw) {}
    D3DXVECTOR4(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) : x(fx), y(fy), z(fz), w(fw) {}

    operator FLOAT*() { return &x; }
    operator const FLOAT*() const { return &x; }

    D3DXVECTOR4& operator+=(const D3DXVECTOR4& v) { return x += v.x, y += v.y, z += v.z, w += v.w, *this; }
    D3DXVECTOR4& operator-=(const D3DXVECTOR4& v) { return x -= v.x, y -= v.y, z -= v.z, w -= v.w, *this; }
    D3DXVECTOR4& operator*=(FLOAT f) { return x *= f, y *= f, z *= f, w *= f, *this; }
    D3DXVECTOR4& operator/=(FLOAT f) { return *this *= 1.0f / f; }

    D3DXVECTOR4 operator+() const { return *this; }
    D3DXVECTOR4 operator-() const { return D3DXVECTOR4(-x, -y, -z, -w); }

    D3DXVECTOR4 operator+(const D3DXVECTOR4& v) const { return D3DXVECTOR4(x + v.x, y + v.y, z + v.z, w + v.w); }
    D3DXVECTOR4 operator-(const D3DXVECTOR4& v) const { return D3DXVECTOR4(x - v.x, y - v.y, z - v.z, w - v.w); }
    D3DXVECTOR4 operator*(FLOAT f) const { return D3DXVECTOR4(x * f, y * f, z * f, w * f); }
    D3DXVECTOR4 operator/(FLOAT f) const { return *this * (1.0f / f); }
    friend D3DXVECTOR4 operator*(FLOAT f, const D3DXVECTOR4& v) { return v * f; }

    BOOL operator==(const D3DXVECTOR4& v) const { return x == v.x && y == v.y && z == v.z && w == v.w; }
    BOOL operator!=(const D3DXVECTOR4& v) const { return !(*this == v); }

    FLOAT x, y, z, w;
};
typedef D3DXVECTOR4* LPD3DXVECTOR4;

struct D3DXVECTOR2_16F {
    D3DXVECTOR2_16F() = default;
    D3DXVECTOR2_16F(const FLOAT* p);
    D3DXVECTOR2_16F(const D3DXFLOAT16* p) : x(p[0]), y(p[1]) {}
    D3DXVECTOR2_16F(const D3DXFLOAT16& fx, const D3DXFLOAT16& fy) : x(fx), y(fy) {}
    operator D3DXFLOAT16*() { return &x; }
    operator const D3DXFLOAT16*() const { return &x; }
    BOOL operator==(const D3DXVECTOR2_16F& v) const { return x == v.x && y == v.y; }
    BOOL operator!=(const D3DXVECTOR2_16F& v) const { return !(*this == v); }
    D3DXFLOAT16 x, y;
};
typedef D3DXVECTOR2_16F* LPD3DXVECTOR2_16F;

struct D3DXVECTOR3_16F {
    D3DXVECTOR3_16F() = default;
    D3DXVECTOR3_16F(const FLOAT* p);
    D3DXVECTOR3_16F(const D3DVECTOR& v);
    D3DXVECTOR3_16F(const D3DXFLOAT16* p) : x(p[0]), y(p[1]), z(p[2]) {}
    D3DXVECTOR3_16F(const D3DXFLOAT16& fx, const D3DXFLOAT16& fy, const D3DXFLOAT16& fz) : x(fx), y(fy), z(fz) {}
    operator D3DXFLOAT16*() { return &x; }
    operator const D3DXFLOAT16*() const { return &x; }
    BOOL operator==(const D3DXVECTOR3_16F& v) const { return x == v.x && y == v.y && z == v.z; }
    BOOL operator!=(const D3DXVECTOR3_16F& v) const { return !(*this == v); }
    D3DXFLOAT16 x, y, z;
};
typedef D3DXVECTOR3_16F* LPD3DXVECTOR3_16F;

struct D3DXVECTOR4_16F {
    D3DXVECTOR4_16F() = default;
    D3DXVECTOR4_16F(const FLOAT* p);
    D3DXVECTOR4_16F(const D3DXFLOAT16* p) : x(p[0]), y(p[1]), z(p[2]), w(p[3]) {}
    D3DXVECTOR4_16F(const D3DXVECTOR3_16F& xyz, const D3DXFLOAT16& fw) : x(xyz.x), y(xyz.y), z(xyz.z), w(fw) {}
    D3DXVECTOR4_16F(const D3DXFLOAT16& fx, const D3DXFLOAT16& fy, const D3DXFLOAT16& fz, const D3DXFLOAT16& fw)
        : x(fx), y(fy), z(fz), w(fw) {}
    operator D3DXFLOAT16*() { return &x; }
    operator const D3DXFLOAT16*() const { return &x; }
    BOOL operator==(const D3DXVECTOR4_16F& v) const { return x == v.x && y == v.y && z == v.z && w == v.w; }
    BOOL operator!=(const D3DXVECTOR4_16F& v) const { return !(*this == v); }
    D3DXFLOAT16 x, y, z, w;
};
typedef D3DXVECTOR4_16F* LPD3DXVECTOR4_16F;

struct D3DXMATRIX : D3DMATRIX {
    D3DXMATRIX() : D3DMATRIX{} {}
    D3DXMATRIX(const FLOAT* p);
    D3DXMATRIX(const D3DMATRIX& m) : D3DMATRIX(m) {}
    D3DXMATRIX(const D3DXFLOAT16* p);
    D3DXMATRIX(FLOAT m11, FLOAT m12, FLOAT m13, FLOAT m14, FLOAT m21, FLOAT m22, FLOAT m23, FLOAT m24, FLOAT m31,
               FLOAT m32, FLOAT m33, FLOAT m34, FLOAT m41, FLOAT m42, FLOAT m43, FLOAT m44);

    // 0-based: (3, 0) is _41.
    FLOAT& operator()(UINT row, UINT column) { return m[row][column]; }
    FLOAT operator()(UINT row, UINT column) const { return m[row][column]; }

    operator FLOAT*() { return &_11; }
    operator const FLOAT*() const { return &_11; }

    D3DXMATRIX& operator*=(const D3DXMATRIX& other);
    D3DXMATRIX& operator+=(const D3DXMATRIX& other);
    D3DXMATRIX& operator-=(const D3DXMATRIX& other);
    D3DXMATRIX& operator*=(FLOAT f);
    D3DXMATRIX& operator/=(FLOAT f) { return *this *= 1.0f / f; }

    D3DXMATRIX operator+() const { return *this; }
    D3DXMATRIX operator-() const;

    D3DXMATRIX operator*(const D3DXMATRIX& other) const;
    D3DXMATRIX operator+(const D3DXMATRIX& other) const { return D3DXMATRIX(*this) += other; }
    D3DXMATRIX operator-(const D3DXMATRIX& other) const { return D3DXMATRIX(*this) -= other; }
    D3DXMATRIX operator*(FLOAT f) const { return D3DXMATRIX(*this) *= f; }
    D3DXMATRIX operator/(FLOAT f) const { return D3DXMATRIX(*this) *= 1.0f / f; }
    friend D3DXMATRIX operator*(FLOAT f, const D3DXMATRIX& m) { return m * f; }

    BOOL operator==(const D3DXMATRIX& other) const;
    BOOL operator!=(const D3DXMATRIX& other) const { return !(*this == other); }
};
typedef D3DXMATRIX* LPD3DXMATRIX;

// A D3DXMATRIX on a 16-byte boundary, on the stack and (through aligned new) on the heap.
struct alignas(16) D3DXMATRIXA16 : D3DXMATRIX {
    D3DXMATRIXA16() = default;
    D3DXMATRIXA16(const FLOAT* p) : D3DXMATRIX(p) {}
    D3DXMATRIXA16(const D3DMATRIX& m) : D3DXMATRIX(m) {}
    D3DXMATRIXA16(const D3DXFLOAT16* p) : D3DXMATRIX(p) {}
    D3DXMATRIXA16(FLOAT m11, FLOAT m12, FLOAT m13, FLOAT m14, FLOAT m21, FLOAT m22, FLOAT m23, FLOAT m24, FLOAT m31,
                  FLOAT m32, FLOAT m33, FLOAT m34, FLOAT m41, FLOAT m42, FLOAT m43, FLOAT m44)
        : D3DXMATRIX(m11, m12, m13, m14, m21, m22, m23, m24, m31, m32, m33, m34, m41, m42, m43, m44) {}
    D3DXMATRIXA16& operator=(const D3DXMATRIX& m) {
        D3DXMATRIX::operator=(m);
        return *this;
    }
};
typedef D3DXMATRIXA16* LPD3DXMATRIXA16;

// (x, y, z) the vector part, w the scalar part.
struct D3DXQUATERNION {
    D3DXQUATERNION() : x(0), y(0), z(0), w(0) {}
    D3DXQUATERNION(const FLOAT* p) : x(p[0]), y(p[1]), z(p[2]), w(p[3]) {}
    D3DXQUATERNION(const D3DXFLOAT16* p);
    D3DXQUATERNION(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) : x(fx), y(fy), z(fz), w(fw) {}

    operator FLOAT*() { return &x; }
    operator const FLOAT*() const { return &x; }

    D3DXQUATERNION& operator+=(const D3DXQUATERNION& q) { return x += q.x, y += q.y, z += q.z, w += q.w, *this; }
    D3DXQUATERNION& operator-=(const D3DXQUATERNION& q) { return x -= q.x, y -= q.y, z -= q.z, w -= q.w, *this; }
    D3DXQUATERNION& operator*=(const D3DXQUATERNION& q);
    D3DXQUATERNION& operator*=(FLOAT f) { return x *= f, y *= f, z *= f, w *= f, *this; }
    D3DXQUATERNION& operator/=(FLOAT f) { return *this *= 1.0f / f; }

    D3DXQUATERNION operator+() const { return *this; }
    D3DXQUATERNION operator-() const { return D3DXQUATERNION(-x, -y, -z, -w); }

    D3DXQUATERNION operator+(const D3DXQUATERNION& q) const {
        return D3DXQUATERNION(x + q.x, y + q.y, z + q.z, w + q.w);
    }
    D3DXQUATERNION operator-(const D3DXQUATERNION& q) const {
        return D3DXQUATERNION(x - q.x, y - q.y, z - q.z, w - q.w);
    }
    D3DXQUATERNION operator*(const D3DXQUATERNION& q) const;
    D3DXQUATERNION operator*(FLOAT f) const { return D3DXQUATERNION(x * f, y * f, z * f, w * f); }
    D3DXQUATERNION operator/(FLOAT f) const { return *this * (1.0f / f); }
    friend D3DXQUATERNION operator*(FLOAT f, const D3DXQUATERNION& q) { return q * f; }

    BOOL operator==(const D3DXQUATERNION& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
    BOOL operator!=(const D3DXQUATERNION& q) const { return !(*this == q); }

    FLOAT x, y, z, w;
};
typedef D3DXQUATERNION* LPD3DXQUATERNION;

// The points with a*x + b*y + c*z + d = 0.
struct D3DXPLANE {
    D3DXPLANE() : a(0), b(0), c(0), d(0) {}
    D3DXPLANE(const FLOAT* p) : a(p[0]), b(p[1]), c(p[2]), d(p[3]) {}
    D3DXPLANE(const D3DXFLOAT16* p);
    D3DXPLANE(FLOAT fa, FLOAT fb, FLOAT fc, FLOAT fd) : a(fa), b(fb), c(fc), d(fd) {}

    operator FLOAT*() { return &a; }
    operator const FLOAT*() const { return &a; }

    D3DXPLANE& operator*=(FLOAT f) { return a *= f, b *= f, c *= f, d *= f, *this; }
    D3DXPLANE& operator/=(FLOAT f) { return *this *= 1.0f / f; }

    D3DXPLANE operator+() const { return *this; }
    D3DXPLANE operator-() const { return D3DXPLANE(-a, -b, -c, -d); }

    D3DXPLANE operator*(FLOAT f) const { return D3DXPLANE(a * f, b * f, c * f, d * f); }
    D3DXPLANE operator/(FLOAT f) const { return *this * (1.0f / f); }
    friend D3DXPLANE operator*(FLOAT f, const D3DXPLANE& p) { return p * f; }

    BOOL operator==(const D3DXPLANE& p) const { return a == p.a && b == p.b && c == p.c && d == p.d; }
    BOOL operator!=(const D3DXPLANE& p) const { return !(*this == p); }

    FLOAT a, b, c, d;
};
typedef D3DXPLANE* LPD3DXPLANE;

// Red, green, blue, alpha; the layout of D3DCOLORVALUE. To D3DCOLOR (0xAARRGGBB) each component is
// clamped to [0, 1] and rounded; from it each byte is divided by 255.
struct D3DXCOLOR {
    D3DXCOLOR() : r(0), g(0), b(0), a(0) {}
    D3DXCOLOR(DWORD argb);
    D3DXCOLOR(const FLOAT* p) : r(p[0]), g(p[1]), b(p[2]), a(p[3]) {}
    D3DXCOLOR(const D3DXFLOAT16* p);
    D3DXCOLOR(const D3DCOLORVALUE& c) : r(c.r), g(c.g), b(c.b), a(c.a) {}
    D3DXCOLOR(FLOAT fr, FLOAT fg, FLOAT fb, FLOAT fa) : r(fr), g(fg), b(fb), a(fa) {}

    operator DWORD() const;
    operator FLOAT*() { return &r; }
    operator const FLOAT*() const { return &r; }
    operator D3DCOLORVALUE*() { return reinterpret_cast<D3DCOLORVALUE*>(&r); }
    operator const D3DCOLORVALUE*() const { return reinterpret_cast<const D3DCOLORVALUE*>(&r); }
    operator D3DCOLORVALUE&() { return *reinterpret_cast<D3DCOLORVALUE*>(&r); }
    operator const D3DCOLORVALUE&() const { return *reinterpret_cast<const D3DCOLORVALUE*>(&r); }

    D3DXCOLOR& operator+=(const D3DXCOLOR& c) { return r += c.r, g += c.g, b += c.b, a += c.a, *this; }
    D3DXCOLOR& operator-=(const D3DXCOLOR& c) { return r -= c.r, g -= c.g, b -= c.b, a -= c.a, *this; }
    D3DXCOLOR& operator*=(FLOAT f) { return r *= f, g *= f, b *= f, a *= f, *this; }
    D3DXCOLOR& operator/=(FLOAT f) { return *this *= 1.0f / f; }

    D3DXCOLOR operator+() const { return *this; }
    D3DXCOLOR operator-() const { return D3DXCOLOR(-r, -g, -b, -a); }

    D3DXCOLOR operator+(const D3DXCOLOR& c) const { return D3DXCOLOR(r + c.r, g + c.g, b + c.b, a + c.a); }
    D3DXCOLOR operator-(const D3DXCOLOR& c) const { return D3DXCOLOR(r - c.r, g - c.g, b - c.b, a - c.a); }
    D3DXCOLOR operator*(FLOAT f) const { return D3DXCOLOR(r * f, g * f, b * f, a * f); }
    D3DXCOLOR operator/(FLOAT f) const { return *this * (1.0f / f); }
    friend D3DXCOLOR operator*(FLOAT f, const D3DXCOLOR& c) { return c * f; }

    BOOL operator==(const D3DXCOLOR& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
    BOOL operator!=(const D3DXCOLOR& c) const { return !(*this == c); }

    FLOAT r, g, b, a;
};
typedef D3DXCOLOR* LPD3DXCOLOR;

// Half floats.
FLOAT* WINAPI D3DXFloat16To32Array(FLOAT* pOut, const D3DXFLOAT16* pIn, UINT n);
D3DXFLOAT16* WINAPI D3DXFloat32To16Array(D3DXFLOAT16* pOut, const FLOAT* pIn, UINT n);

// 2-D vectors. Transform uses (x, y, 0, 1); TransformCoord also divides by w; TransformNormal uses
// (x, y, 0, 0). The Array forms take strides in bytes and n elements.
D3DXVECTOR2* WINAPI D3DXVec2Normalize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV);
D3DXVECTOR2* WINAPI D3DXVec2Hermite(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pT1,
                                    const D3DXVECTOR2* pV2, const D3DXVECTOR2* pT2, FLOAT s);
D3DXVECTOR2* WINAPI D3DXVec2CatmullRom(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV0, const D3DXVECTOR2* pV1,
                                       const D3DXVECTOR2* pV2, const D3DXVECTOR2* pV3, FLOAT s);
D3DXVECTOR2* WINAPI D3DXVec2BaryCentric(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2,
                                        const D3DXVECTOR2* pV3, FLOAT f, FLOAT g);
D3DXVECTOR4* WINAPI D3DXVec2Transform(D3DXVECTOR4* pOut, const D3DXVECTOR2* pV, const D3DXMATRIX* pM);
D3DXVECTOR2* WINAPI D3DXVec2TransformCoord(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, const D3DXMATRIX* pM);
D3DXVECTOR2* WINAPI D3DXVec2TransformNormal(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, const D3DXMATRIX* pM);
D3DXVECTOR4* WINAPI D3DXVec2TransformArray(D3DXVECTOR4* pOut, UINT OutStride, const D3DXVECTOR2* pV, UINT VStride,
                                           const D3DXMATRIX* pM, UINT n);
D3DXVECTOR2* WINAPI D3DXVec2TransformCoordArray(D3DXVECTOR2* pOut, UINT OutStride, const D3DXVECTOR2* pV, UINT VStride,
                                                const D3DXMATRIX* pM, UINT n);
D3DXVECTOR2* WINAPI D3DXVec2TransformNormalArray(D3DXVECTOR2* pOut, UINT OutStride, const D3DXVECTOR2* pV, UINT VStride,
                                                 const D3DXMATRIX* pM, UINT n);

// 3-D vectors. Normalize leaves a zero vector zero. Project and Unproject treat a null matrix as
// the identity and a null viewport as (0, 0, 1, 1, 0, 1); Unproject returns null, leaving *pOut
// unchanged, when World * View * Projection cannot be inverted.
D3DXVECTOR3* WINAPI D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV);
D3DXVECTOR3* WINAPI D3DXVec3Hermite(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pT1,
                                    const D3DXVECTOR3* pV2, const D3DXVECTOR3* pT2, FLOAT s);
D3DXVECTOR3* WINAPI D3DXVec3CatmullRom(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV0, const D3DXVECTOR3* pV1,
                                       const D3DXVECTOR3* pV2, const D3DXVECTOR3* pV3, FLOAT s);
D3DXVECTOR3* WINAPI D3DXVec3BaryCentric(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2,
                                        const D3DXVECTOR3* pV3, FLOAT f, FLOAT g);
D3DXVECTOR4* WINAPI D3DXVec3Transform(D3DXVECTOR4* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);
D3DXVECTOR3* WINAPI D3DXVec3TransformCoord(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);
D3DXVECTOR3* WINAPI D3DXVec3TransformNormal(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);
D3DXVECTOR4* WINAPI D3DXVec3TransformArray(D3DXVECTOR4* pOut, UINT OutStride, const D3DXVECTOR3* pV, UINT VStride,
                                           const D3DXMATRIX* pM, UINT n);
D3DXVECTOR3* WINAPI D3DXVec3TransformCoordArray(D3DXVECTOR3* pOut, UINT OutStride, const D3DXVECTOR3* pV, UINT VStride,
                                                const D3DXMATRIX* pM, UINT n);
D3DXVECTOR3* WINAPI D3DXVec3TransformNormalArray(D3DXVECTOR3* pOut, UINT OutStride, const D3DXVECTOR3* pV, UINT VStride,
                                                 const D3DXMATRIX* pM, UINT n);
D3DXVECTOR3* WINAPI D3DXVec3Project(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                                    const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld);
D3DXVECTOR3* WINAPI D3DXVec3Unproject(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                                      const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld);
D3DXVECTOR3* WINAPI D3DXVec3ProjectArray(D3DXVECTOR3* pOut, UINT OutStride, const D3DXVECTOR3* pV, UINT VStride,
                                         const D3DVIEWPORT9* pViewport, const D3DXMATRIX* pProjection,
                                         const D3DXMATRIX* pView, const D3DXMATRIX* pWorld, UINT n);
D3DXVECTOR3* WINAPI D3DXVec3UnprojectArray(D3DXVECTOR3* pOut, UINT OutStride, const D3DXVECTOR3* pV, UINT VStride,
                                           const D3DVIEWPORT9* pViewport, const D3DXMATRIX* pProjection,
                                           const D3DXMATRIX* pView, const D3DXMATRIX* pWorld, UINT n);

// 4-D vectors. Cross is the vector orthogonal to U, V and W.
D3DXVECTOR4* WINAPI D3DXVec4Cross(D3DXVECTOR4* pOut, const D3DXVECTOR4* pU, const D3DXVECTOR4* pV,
                                  const D3DXVECTOR4* pW);
D3DXVECTOR4* WINAPI D3DXVec4Normalize(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV);
D3DXVECTOR4* WINAPI D3DXVec4Hermite(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pT1,
                                    const D3DXVECTOR4* pV2, const D3DXVECTOR4* pT2, FLOAT s);
D3DXVECTOR4* WINAPI D3DXVec4CatmullRom(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV0, const D3DXVECTOR4* pV1,
                                       const D3DXVECTOR4* pV2, const D3DXVECTOR4* pV3, FLOAT s);
D3DXVECTOR4* WINAPI D3DXVec4BaryCentric(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2,
                                        const D3DXVECTOR4* pV3, FLOAT f, FLOAT g);
D3DXVECTOR4* WINAPI D3DXVec4Transform(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, const D3DXMATRIX* pM);
D3DXVECTOR4* WINAPI D3DXVec4TransformArray(D3DXVECTOR4* pOut, UINT OutStride, const D3DXVECTOR4* pV, UINT VStride,
                                           const D3DXMATRIX* pM, UINT n);

// Matrices. Inverse returns null, leaving *pOut unchanged (but still writing the determinant),
// when the determinant is exactly zero. Decompose fails with D3DERR_INVALIDCALL when a scale is
// zero; a mirroring matrix gives negative scales and a proper rotation.
FLOAT WINAPI D3DXMatrixDeterminant(const D3DXMATRIX* pM);
HRESULT WINAPI D3DXMatrixDecompose(D3DXVECTOR3* pOutScale, D3DXQUATERNION* pOutRotation, D3DXVECTOR3* pOutTranslation,
                                   const D3DXMATRIX* pM);
D3DXMATRIX* WINAPI D3DXMatrixTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM);
D3DXMATRIX* WINAPI D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2);
D3DXMATRIX* WINAPI D3DXMatrixMultiplyTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2);
D3DXMATRIX* WINAPI D3DXMatrixInverse(D3DXMATRIX* pOut, FLOAT* pDeterminant, const D3DXMATRIX* pM);
D3DXMATRIX* WINAPI D3DXMatrixScaling(D3DXMATRIX* pOut, FLOAT sx, FLOAT sy, FLOAT sz);
D3DXMATRIX* WINAPI D3DXMatrixTranslation(D3DXMATRIX* pOut, FLOAT x, FLOAT y, FLOAT z);
D3DXMATRIX* WINAPI D3DXMatrixRotationX(D3DXMATRIX* pOut, FLOAT Angle);
D3DXMATRIX* WINAPI D3DXMatrixRotationY(D3DXMATRIX* pOut, FLOAT Angle);
D3DXMATRIX* WINAPI D3DXMatrixRotationZ(D3DXMATRIX* pOut, FLOAT Angle);
// The axis is normalised first; a zero axis gives the identity.
D3DXMATRIX* WINAPI D3DXMatrixRotationAxis(D3DXMATRIX* pOut, const D3DXVECTOR3* pV, FLOAT Angle);
D3DXMATRIX* WINAPI D3DXMatrixRotationQuaternion(D3DXMATRIX* pOut, const D3DXQUATERNION* pQ);
// Roll (about z) first, then pitch (about x), then yaw (about y).
D3DXMATRIX* WINAPI D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pOut, FLOAT Yaw, FLOAT Pitch, FLOAT Roll);
// Null arguments stand for the identity of their factor.
D3DXMATRIX* WINAPI D3DXMatrixTransformation(D3DXMATRIX* pOut, const D3DXVECTOR3* pScalingCenter,
                                            const D3DXQUATERNION* pScalingRotation, const D3DXVECTOR3* pScaling,
                                            const D3DXVECTOR3* pRotationCenter, const D3DXQUATERNION* pRotation,
                                            const D3DXVECTOR3* pTranslation);
D3DXMATRIX* WINAPI D3DXMatrixTransformation2D(D3DXMATRIX* pOut, const D3DXVECTOR2* pScalingCenter,
                                              FLOAT ScalingRotation, const D3DXVECTOR2* pScaling,
                                              const D3DXVECTOR2* pRotationCenter, FLOAT Rotation,
                                              const D3DXVECTOR2* pTranslation);
D3DXMATRIX* WINAPI D3DXMatrixAffineTransformation(D3DXMATRIX* pOut, FLOAT Scaling, const D3DXVECTOR3* pRotationCenter,
                                                  const D3DXQUATERNION* pRotation, const D3DXVECTOR3* pTranslation);
D3DXMATRIX* WINAPI D3DXMatrixAffineTransformation2D(D3DXMATRIX* pOut, FLOAT Scaling, const D3DXVECTOR2* pRotationCenter,
                                                    FLOAT Rotation, const D3DXVECTOR2* pTranslation);
D3DXMATRIX* WINAPI D3DXMatrixLookAtRH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                                      const D3DXVECTOR3* pUp);
D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                                      const D3DXVECTOR3* pUp);
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveRH(D3DXMATRIX* pOut, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveLH(D3DXMATRIX* pOut, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovRH(D3DXMATRIX* pOut, FLOAT fovy, FLOAT Aspect, FLOAT zn, FLOAT zf);
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, FLOAT fovy, FLOAT Aspect, FLOAT zn, FLOAT zf);
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveOffCenterRH(D3DXMATRIX* pOut, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn,
                                                    FLOAT zf);
D3DXMATRIX* WINAPI D3DXMatrixPerspectiveOffCenterLH(D3DXMATRIX* pOut, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn,
                                                    FLOAT zf);
D3DXMATRIX* WINAPI D3DXMatrixOrthoRH(D3DXMATRIX* pOut, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
D3DXMATRIX* WINAPI D3DXMatrixOrthoLH(D3DXMATRIX* pOut, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf);
D3DXMATRIX* WINAPI D3DXMatrixOrthoOffCenterRH(D3DXMATRIX* pOut, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn, FLOAT zf);
D3DXMATRIX* WINAPI D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pOut, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn, FLOAT zf);
// Flattens onto the plane as seen from the light (w = 0: a direction towards the light; w = 1: a
// point light). Points on the light's side of the plane come out with a positive w.
D3DXMATRIX* WINAPI D3DXMatrixShadow(D3DXMATRIX* pOut, const D3DXVECTOR4* pLight, const D3DXPLANE* pPlane);
D3DXMATRIX* WINAPI D3DXMatrixReflect(D3DXMATRIX* pOut, const D3DXPLANE* pPlane);

// Quaternions. Multiply(Q1, Q2) is the rotation Q1 followed by Q2 (the order of
// D3DXMatrixMultiply). Slerp takes the shorter arc. ToAxisAngle gives the axis unnormalised.
void WINAPI D3DXQuaternionToAxisAngle(const D3DXQUATERNION* pQ, D3DXVECTOR3* pAxis, FLOAT* pAngle);
D3DXQUATERNION* WINAPI D3DXQuaternionRotationMatrix(D3DXQUATERNION* pOut, const D3DXMATRIX* pM);
D3DXQUATERNION* WINAPI D3DXQuaternionRotationAxis(D3DXQUATERNION* pOut, const D3DXVECTOR3* pV, FLOAT Angle);
D3DXQUATERNION* WINAPI D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* pOut, FLOAT Yaw, FLOAT Pitch, FLOAT Roll);
D3DXQUATERNION* WINAPI D3DXQuaternionMultiply(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1,
                                              const D3DXQUATERNION* pQ2);
D3DXQUATERNION* WINAPI D3DXQuaternionNormalize(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
D3DXQUATERNION* WINAPI D3DXQuaternionInverse(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
D3DXQUATERNION* WINAPI D3DXQuaternionLn(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
D3DXQUATERNION* WINAPI D3DXQuaternionExp(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
D3DXQUATERNION* WINAPI D3DXQuaternionSlerp(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2,
                                           FLOAT t);
D3DXQUATERNION* WINAPI D3DXQuaternionSquad(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pA,
                                           const D3DXQUATERNION* pB, const D3DXQUATERNION* pC, FLOAT t);
void WINAPI D3DXQuaternionSquadSetup(D3DXQUATERNION* pAOut, D3DXQUATERNION* pBOut, D3DXQUATERNION* pCOut,
                                     const D3DXQUATERNION* pQ0, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2,
                                     const D3DXQUATERNION* pQ3);
D3DXQUATERNION* WINAPI D3DXQuaternionBaryCentric(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1,
                                                 const D3DXQUATERNION* pQ2, const D3DXQUATERNION* pQ3, FLOAT f,
                                                 FLOAT g);

// Planes. Normalize leaves a plane with a zero normal zero. IntersectLine meets the infinite line
// through V1 and V2 and returns null when it is parallel to the plane. Transform expects the
// inverse transpose of the point transform.
D3DXPLANE* WINAPI D3DXPlaneNormalize(D3DXPLANE* pOut, const D3DXPLANE* pP);
D3DXVECTOR3* WINAPI D3DXPlaneIntersectLine(D3DXVECTOR3* pOut, const D3DXPLANE* pP, const D3DXVECTOR3* pV1,
                                           const D3DXVECTOR3* pV2);
D3DXPLANE* WINAPI D3DXPlaneFromPointNormal(D3DXPLANE* pOut, const D3DXVECTOR3* pPoint, const D3DXVECTOR3* pNormal);
D3DXPLANE* WINAPI D3DXPlaneFromPoints(D3DXPLANE* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2,
                                      const D3DXVECTOR3* pV3);
D3DXPLANE* WINAPI D3DXPlaneTransform(D3DXPLANE* pOut, const D3DXPLANE* pP, const D3DXMATRIX* pM);
D3DXPLANE* WINAPI D3DXPlaneTransformArray(D3DXPLANE* pOut, UINT OutStride, const D3DXPLANE* pP, UINT PStride,
                                          const D3DXMATRIX* pM, UINT n);

// Colours (no clamping). Saturation uses grey = 0.2125 r + 0.7154 g + 0.0721 b; alpha is kept.
D3DXCOLOR* WINAPI D3DXColorAdjustSaturation(D3DXCOLOR* pOut, const D3DXCOLOR* pC, FLOAT s);
D3DXCOLOR* WINAPI D3DXColorAdjustContrast(D3DXCOLOR* pOut, const D3DXCOLOR* pC, FLOAT c);

// The Fresnel reflectance of unpolarised light at an interface of relative refraction index
// RefractionIndex, for the cosine of the angle of incidence CosTheta.
FLOAT WINAPI D3DXFresnelTerm(FLOAT CosTheta, FLOAT RefractionIndex);

// A stack of matrices that starts with one identity. The plain operations multiply the top on the
// right (top = top * M: applied after it), the Local ones on the left (top = M * top). Pop of the
// only matrix fails with D3DERR_INVALIDCALL; Push can fail with E_OUTOFMEMORY.
struct ID3DXMatrixStack : IUnknown {
    virtual HRESULT Pop() = 0;
    virtual HRESULT Push() = 0;
    virtual HRESULT LoadIdentity() = 0;
    virtual HRESULT LoadMatrix(const D3DXMATRIX* pM) = 0;
    virtual HRESULT MultMatrix(const D3DXMATRIX* pM) = 0;
    virtual HRESULT MultMatrixLocal(const D3DXMATRIX* pM) = 0;
    virtual HRESULT RotateAxis(const D3DXVECTOR3* pV, FLOAT Angle) = 0;
    virtual HRESULT RotateAxisLocal(const D3DXVECTOR3* pV, FLOAT Angle) = 0;
    virtual HRESULT RotateYawPitchRoll(FLOAT Yaw, FLOAT Pitch, FLOAT Roll) = 0;
    virtual HRESULT RotateYawPitchRollLocal(FLOAT Yaw, FLOAT Pitch, FLOAT Roll) = 0;
    virtual HRESULT Scale(FLOAT x, FLOAT y, FLOAT z) = 0;
    virtual HRESULT ScaleLocal(FLOAT x, FLOAT y, FLOAT z) = 0;
    virtual HRESULT Translate(FLOAT x, FLOAT y, FLOAT z) = 0;
    virtual HRESULT TranslateLocal(FLOAT x, FLOAT y, FLOAT z) = 0;
    virtual D3DXMATRIX* GetTop() = 0;
};
typedef ID3DXMatrixStack* LPD3DXMATRIXSTACK;

// Flags must be 0. D3DERR_INVALIDCALL for a null output, E_OUTOFMEMORY.
HRESULT WINAPI D3DXCreateMatrixStack(DWORD Flags, LPD3DXMATRIXSTACK* ppStack);

#include <d3dx9math.inl>
