// math.cpp - D3DX matrix construction and multiplication, single precision, row vectors.
#include <d3dx9.h>

#include <cmath>

D3DXMATRIX::D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
                       float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
    : D3DMATRIX{} {
    _11 = m11, _12 = m12, _13 = m13, _14 = m14;
    _21 = m21, _22 = m22, _23 = m23, _24 = m24;
    _31 = m31, _32 = m32, _33 = m33, _34 = m34;
    _41 = m41, _42 = m42, _43 = m43, _44 = m44;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const {
    D3DXMATRIX out;
    D3DXMatrixMultiply(&out, this, &other);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

// out = m1 * m2; out may alias either input.
D3DXMATRIX* WINAPI D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
    D3DXMATRIX product;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            product.m[i][j] = m1->m[i][0] * m2->m[0][j] + m1->m[i][1] * m2->m[1][j] + m1->m[i][2] * m2->m[2][j] +
                              m1->m[i][3] * m2->m[3][j];
        }
    }
    *out = product;
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf) {
    const float y_scale = 1.0f / std::tan(fovy / 2.0f);
    const float x_scale = y_scale / aspect;
    const float z_scale = zf / (zf - zn);
    *out = D3DXMATRIX(x_scale, 0, 0, 0, 0, y_scale, 0, 0, 0, 0, z_scale, 1, 0, 0, -zn * z_scale, 0);
    return out;
}

namespace {

D3DXVECTOR3 subtract(const D3DVECTOR& a, const D3DVECTOR& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

D3DXVECTOR3 cross(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float dot(const D3DVECTOR& a, const D3DVECTOR& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

D3DXVECTOR3 normalise(const D3DVECTOR& v) {
    const float length = std::sqrt(dot(v, v));
    if (length == 0.0f) return {0, 0, 0};
    return {v.x / length, v.y / length, v.z / length};
}

}  // namespace

D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                      const D3DXVECTOR3* up) {
    const D3DXVECTOR3 z = normalise(subtract(*at, *eye));
    const D3DXVECTOR3 x = normalise(cross(*up, z));
    const D3DXVECTOR3 y = cross(z, x);
    *out = D3DXMATRIX(x.x, y.x, z.x, 0, x.y, y.y, z.y, 0, x.z, y.z, z.z, 0, -dot(x, *eye), -dot(y, *eye), -dot(z, *eye),
                      1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
    const float s = std::sin(angle);
    const float c = std::cos(angle);
    *out = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    const float s = std::sin(angle);
    const float c = std::cos(angle);
    *out = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return out;
}
