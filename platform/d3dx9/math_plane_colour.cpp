// math_plane_colour.cpp - D3DX plane functions (normalising, construction, line intersection,
// transforms) and the colour class and adjustments that are not inline. Outputs may alias inputs.
#include <d3dx9.h>

#include <cmath>
#include <cstring>

D3DXPLANE::D3DXPLANE(const D3DXFLOAT16* p) { D3DXFloat16To32Array(&a, p, 4); }

D3DXPLANE* WINAPI D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
    const float length = std::sqrt(p->a * p->a + p->b * p->b + p->c * p->c);
    if (length == 0.0f) {
        *out = D3DXPLANE(0, 0, 0, 0);
        return out;
    }
    *out = D3DXPLANE(p->a / length, p->b / length, p->c / length, p->d / length);
    return out;
}

D3DXPLANE* WINAPI D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal) {
    *out = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(point, normal));
    return out;
}

D3DXPLANE* WINAPI D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2,
                                      const D3DXVECTOR3* v3) {
    const D3DXVECTOR3 e1 = *v2 - *v1, e2 = *v3 - *v1;
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, D3DXVec3Cross(&n, &e1, &e2));
    return D3DXPlaneFromPointNormal(out, v1, &n);
}

D3DXVECTOR3* WINAPI D3DXPlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* v1,
                                           const D3DXVECTOR3* v2) {
    const D3DXVECTOR3 direction = *v2 - *v1;
    const float denominator = D3DXPlaneDotNormal(p, &direction);
    if (denominator == 0.0f) return nullptr;
    const float t = -D3DXPlaneDotCoord(p, v1) / denominator;
    *out = *v1 + direction * t;
    return out;
}

D3DXPLANE* WINAPI D3DXPlaneTransform(D3DXPLANE* out, const D3DXPLANE* p, const D3DXMATRIX* m) {
    const D3DXPLANE v = *p;
    float r[4];
    for (int j = 0; j < 4; ++j) r[j] = v.a * m->m[0][j] + v.b * m->m[1][j] + v.c * m->m[2][j] + v.d * m->m[3][j];
    *out = D3DXPLANE(r);
    return out;
}

D3DXPLANE* WINAPI D3DXPlaneTransformArray(D3DXPLANE* out, UINT out_stride, const D3DXPLANE* p, UINT p_stride,
                                          const D3DXMATRIX* m, UINT n) {
    auto* o = reinterpret_cast<unsigned char*>(out);
    const auto* i = reinterpret_cast<const unsigned char*>(p);
    for (UINT k = 0; k < n; ++k) {
        D3DXPlaneTransform(reinterpret_cast<D3DXPLANE*>(o + size_t(k) * out_stride),
                           reinterpret_cast<const D3DXPLANE*>(i + size_t(k) * p_stride), m);
    }
    return out;
}

D3DXCOLOR::D3DXCOLOR(DWORD argb)
    : r(float((argb >> 16) & 0xFF) / 255.0f),
      g(float((argb >> 8) & 0xFF) / 255.0f),
      b(float(argb & 0xFF) / 255.0f),
      a(float((argb >> 24) & 0xFF) / 255.0f) {}

D3DXCOLOR::D3DXCOLOR(const D3DXFLOAT16* p) { D3DXFloat16To32Array(&r, p, 4); }

namespace {

// Clamped to [0, 1] (NaN as 0) and rounded to a byte.
DWORD colour_byte(float x) {
    if (!(x >= 0.0f)) x = 0.0f;
    if (x > 1.0f) x = 1.0f;
    return DWORD(x * 255.0f + 0.5f);
}

}  // namespace

D3DXCOLOR::operator DWORD() const {
    return (colour_byte(a) << 24) | (colour_byte(r) << 16) | (colour_byte(g) << 8) | colour_byte(b);
}

D3DXCOLOR* WINAPI D3DXColorAdjustSaturation(D3DXCOLOR* out, const D3DXCOLOR* c, FLOAT s) {
    const float grey = c->r * 0.2125f + c->g * 0.7154f + c->b * 0.0721f;
    *out = D3DXCOLOR(grey + s * (c->r - grey), grey + s * (c->g - grey), grey + s * (c->b - grey), c->a);
    return out;
}

D3DXCOLOR* WINAPI D3DXColorAdjustContrast(D3DXCOLOR* out, const D3DXCOLOR* c, FLOAT k) {
    *out = D3DXCOLOR(0.5f + k * (c->r - 0.5f), 0.5f + k * (c->g - 0.5f), 0.5f + k * (c->b - 0.5f), c->a);
    return out;
}

// Unpolarised light: the mean of the s and p reflectances, with g = sqrt(n^2 + c^2 - 1).
FLOAT WINAPI D3DXFresnelTerm(FLOAT cos_theta, FLOAT refraction_index) {
    const float c = cos_theta;
    const float g = std::sqrt(refraction_index * refraction_index + c * c - 1.0f);
    const float a = (g - c) / (g + c);
    const float b = (c * (g + c) - 1.0f) / (c * (g - c) + 1.0f);
    return 0.5f * a * a * (1.0f + b * b);
}
