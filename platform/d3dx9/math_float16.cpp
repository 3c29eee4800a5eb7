// math_float16.cpp - IEEE 754 half floats: conversion from single precision rounds to nearest
// even (overflow to infinity, NaN kept as a quiet NaN); conversion back is exact.
#include <d3dx9.h>

#include <cstring>

namespace {

WORD half_from_float(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    const auto sign = WORD((bits >> 16) & 0x8000u);
    const uint32_t exponent = (bits >> 23) & 0xFFu;
    uint32_t mantissa = bits & 0x7FFFFFu;
    if (exponent == 0xFF) return WORD(sign | 0x7C00u | (mantissa != 0 ? 0x200u : 0u));
    const int e = int(exponent) - 127 + 15;
    if (e >= 31) return WORD(sign | 0x7C00u);
    if (e <= 0) {
        if (e < -10) return sign;  // below half the smallest subnormal
        mantissa |= 0x800000u;
        const int shift = 14 - e;  // keeps 10 + e bits
        const uint32_t half = mantissa >> shift;
        const uint32_t rest = mantissa & ((1u << shift) - 1u);
        const uint32_t midpoint = 1u << (shift - 1);
        const uint32_t rounded = half + ((rest > midpoint || (rest == midpoint && (half & 1u))) ? 1u : 0u);
        return WORD(sign | rounded);
    }
    uint32_t half = (uint32_t(e) << 10) | (mantissa >> 13);
    const uint32_t rest = mantissa & 0x1FFFu;
    if (rest > 0x1000u || (rest == 0x1000u && (half & 1u))) ++half;  // may carry into infinity: correct
    return WORD(sign | half);
}

float float_from_half(WORD h) {
    const uint32_t sign = uint32_t(h & 0x8000u) << 16;
    const uint32_t exponent = (h >> 10) & 0x1Fu;
    uint32_t mantissa = h & 0x3FFu;
    uint32_t bits;
    if (exponent == 31) {
        bits = sign | 0x7F800000u | (mantissa << 13);
    } else if (exponent != 0) {
        bits = sign | ((exponent - 15 + 127) << 23) | (mantissa << 13);
    } else if (mantissa == 0) {
        bits = sign;
    } else {
        int e = -14;
        while ((mantissa & 0x400u) == 0) {
            mantissa <<= 1;
            --e;
        }
        bits = sign | (uint32_t(e + 127) << 23) | ((mantissa & 0x3FFu) << 13);
    }
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

}  // namespace

D3DXFLOAT16::D3DXFLOAT16(FLOAT f) : value(half_from_float(f)) {}

D3DXFLOAT16::operator FLOAT() { return float_from_half(value); }

FLOAT* WINAPI D3DXFloat16To32Array(FLOAT* out, const D3DXFLOAT16* in, UINT n) {
    for (UINT i = 0; i < n; ++i) {
        WORD bits;
        std::memcpy(&bits, &in[i], sizeof bits);
        out[i] = float_from_half(bits);
    }
    return out;
}

D3DXFLOAT16* WINAPI D3DXFloat32To16Array(D3DXFLOAT16* out, const FLOAT* in, UINT n) {
    for (UINT i = 0; i < n; ++i) out[i] = D3DXFLOAT16(in[i]);
    return out;
}

D3DXVECTOR2_16F::D3DXVECTOR2_16F(const FLOAT* p) : x(p[0]), y(p[1]) {}
D3DXVECTOR3_16F::D3DXVECTOR3_16F(const FLOAT* p) : x(p[0]), y(p[1]), z(p[2]) {}
D3DXVECTOR3_16F::D3DXVECTOR3_16F(const D3DVECTOR& v) : x(v.x), y(v.y), z(v.z) {}
D3DXVECTOR4_16F::D3DXVECTOR4_16F(const FLOAT* p) : x(p[0]), y(p[1]), z(p[2]), w(p[3]) {}
