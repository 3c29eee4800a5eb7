// math.cpp - D3DX matrix functions: construction, products, inverse, view and projection
// matrices, composite transforms, shadow and reflection. Single precision, row vectors; every
// result is computed into a temporary first, so the output may alias an input.
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

D3DXMATRIX::D3DXMATRIX(const FLOAT* p) : D3DMATRIX{} {
    for (int i = 0; i < 16; ++i) m[i / 4][i % 4] = p[i];
}

D3DXMATRIX::D3DXMATRIX(const D3DXFLOAT16* p) : D3DMATRIX{} {
    float values[16];
    D3DXFloat16To32Array(values, p, 16);
    for (int i = 0; i < 16; ++i) m[i / 4][i % 4] = values[i];
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const {
    D3DXMATRIX out;
    D3DXMatrixMultiply(&out, this, &other);
    return out;
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& other) {
    D3DXMatrixMultiply(this, this, &other);
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& other) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) m[i][j] += other.m[i][j];
    }
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& other) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) m[i][j] -= other.m[i][j];
    }
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator*=(FLOAT f) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) m[i][j] *= f;
    }
    return *this;
}

D3DXMATRIX D3DXMATRIX::operator-() const {
    D3DXMATRIX out(*this);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) out.m[i][j] = -m[i][j];
    }
    return out;
}

BOOL D3DXMATRIX::operator==(const D3DXMATRIX& other) const {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            if (m[i][j] != other.m[i][j]) return FALSE;
        }
    }
    return TRUE;
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

D3DXMATRIX* WINAPI D3DXMatrixMultiplyTranspose(D3DXMATRIX* out, const D3DXMATRIX* m1, const D3DXMATRIX* m2) {
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, m1, m2);
    return D3DXMatrixTranspose(out, &product);
}

D3DXMATRIX* WINAPI D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m) {
    D3DXMATRIX t;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) t.m[i][j] = m->m[j][i];
    }
    *out = t;
    return out;
}

namespace {

// The 2 x 2 minors of the top two rows (s) and of the bottom two rows (c), from which the
// determinant and the adjugate of a 4 x 4 matrix follow (Laplace expansion by complementary minors).
struct minors {
    float s[6];
    float c[6];
    float determinant;
};

minors minors_of(const D3DXMATRIX& a) {
    const auto& m = a.m;
    minors r{};
    r.s[0] = m[0][0] * m[1][1] - m[1][0] * m[0][1];
    r.s[1] = m[0][0] * m[1][2] - m[1][0] * m[0][2];
    r.s[2] = m[0][0] * m[1][3] - m[1][0] * m[0][3];
    r.s[3] = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    r.s[4] = m[0][1] * m[1][3] - m[1][1] * m[0][3];
    r.s[5] = m[0][2] * m[1][3] - m[1][2] * m[0][3];
    r.c[5] = m[2][2] * m[3][3] - m[3][2] * m[2][3];
    r.c[4] = m[2][1] * m[3][3] - m[3][1] * m[2][3];
    r.c[3] = m[2][1] * m[3][2] - m[3][1] * m[2][2];
    r.c[2] = m[2][0] * m[3][3] - m[3][0] * m[2][3];
    r.c[1] = m[2][0] * m[3][2] - m[3][0] * m[2][2];
    r.c[0] = m[2][0] * m[3][1] - m[3][0] * m[2][1];
    r.determinant =
        r.s[0] * r.c[5] - r.s[1] * r.c[4] + r.s[2] * r.c[3] + r.s[3] * r.c[2] - r.s[4] * r.c[1] + r.s[5] * r.c[0];
    return r;
}

}  // namespace

FLOAT WINAPI D3DXMatrixDeterminant(const D3DXMATRIX* m) { return minors_of(*m).determinant; }

D3DXMATRIX* WINAPI D3DXMatrixInverse(D3DXMATRIX* out, FLOAT* determinant, const D3DXMATRIX* a) {
    const minors r = minors_of(*a);
    if (determinant != nullptr) *determinant = r.determinant;
    if (r.determinant == 0.0f) return nullptr;
    const auto& m = a->m;
    const float* s = r.s;
    const float* c = r.c;
    const float k = 1.0f / r.determinant;
    D3DXMATRIX inv(
        (m[1][1] * c[5] - m[1][2] * c[4] + m[1][3] * c[3]) * k, (-m[0][1] * c[5] + m[0][2] * c[4] - m[0][3] * c[3]) * k,
        (m[3][1] * s[5] - m[3][2] * s[4] + m[3][3] * s[3]) * k, (-m[2][1] * s[5] + m[2][2] * s[4] - m[2][3] * s[3]) * k,
        (-m[1][0] * c[5] + m[1][2] * c[2] - m[1][3] * c[1]) * k, (m[0][0] * c[5] - m[0][2] * c[2] + m[0][3] * c[1]) * k,
        (-m[3][0] * s[5] + m[3][2] * s[2] - m[3][3] * s[1]) * k, (m[2][0] * s[5] - m[2][2] * s[2] + m[2][3] * s[1]) * k,
        (m[1][0] * c[4] - m[1][1] * c[2] + m[1][3] * c[0]) * k, (-m[0][0] * c[4] + m[0][1] * c[2] - m[0][3] * c[0]) * k,
        (m[3][0] * s[4] - m[3][1] * s[2] + m[3][3] * s[0]) * k, (-m[2][0] * s[4] + m[2][1] * s[2] - m[2][3] * s[0]) * k,
        (-m[1][0] * c[3] + m[1][1] * c[1] - m[1][2] * c[0]) * k, (m[0][0] * c[3] - m[0][1] * c[1] + m[0][2] * c[0]) * k,
        (-m[3][0] * s[3] + m[3][1] * s[1] - m[3][2] * s[0]) * k,
        (m[2][0] * s[3] - m[2][1] * s[1] + m[2][2] * s[0]) * k);
    *out = inv;
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixScaling(D3DXMATRIX* out, FLOAT sx, FLOAT sy, FLOAT sz) {
    *out = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
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

D3DXMATRIX* WINAPI D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
    const float s = std::sin(angle);
    const float c = std::cos(angle);
    *out = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q) {
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    *out = D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0,  //
                      2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0,  //
                      2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0,  //
                      0, 0, 0, 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, FLOAT angle) {
    if (axis->x == 0.0f && axis->y == 0.0f && axis->z == 0.0f) return D3DXMatrixIdentity(out);
    D3DXQUATERNION q;
    D3DXQuaternionRotationAxis(&q, axis, angle);
    return D3DXMatrixRotationQuaternion(out, &q);
}

D3DXMATRIX* WINAPI D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, FLOAT yaw, FLOAT pitch, FLOAT roll) {
    D3DXMATRIX r, p, y;
    D3DXMatrixRotationZ(&r, roll);
    D3DXMatrixRotationX(&p, pitch);
    D3DXMatrixRotationY(&y, yaw);
    *out = r * p * y;
    return out;
}

namespace {

D3DXMATRIX translation(float x, float y, float z) {
    D3DXMATRIX t;
    D3DXMatrixTranslation(&t, x, y, z);
    return t;
}

D3DXMATRIX rotation(const D3DXQUATERNION* q) {
    D3DXMATRIX r;
    if (q == nullptr) return *D3DXMatrixIdentity(&r);
    return *D3DXMatrixRotationQuaternion(&r, q);
}

D3DXMATRIX transposed(const D3DXMATRIX& m) {
    D3DXMATRIX t;
    return *D3DXMatrixTranspose(&t, &m);
}

}  // namespace

// M = Msc^-1 * Msr^-1 * Ms * Msr * Msc * Mrc^-1 * Mr * Mrc * Mt.
D3DXMATRIX* WINAPI D3DXMatrixTransformation(D3DXMATRIX* out, const D3DXVECTOR3* scaling_center,
                                            const D3DXQUATERNION* scaling_rotation, const D3DXVECTOR3* scaling,
                                            const D3DXVECTOR3* rotation_center, const D3DXQUATERNION* rotation_q,
                                            const D3DXVECTOR3* translation_v) {
    const D3DXVECTOR3 sc = scaling_center != nullptr ? *scaling_center : D3DXVECTOR3(0, 0, 0);
    const D3DXVECTOR3 rc = rotation_center != nullptr ? *rotation_center : D3DXVECTOR3(0, 0, 0);
    const D3DXVECTOR3 s = scaling != nullptr ? *scaling : D3DXVECTOR3(1, 1, 1);
    const D3DXVECTOR3 t = translation_v != nullptr ? *translation_v : D3DXVECTOR3(0, 0, 0);
    const D3DXMATRIX msr = rotation(scaling_rotation);
    D3DXMATRIX ms;
    D3DXMatrixScaling(&ms, s.x, s.y, s.z);
    *out = translation(-sc.x, -sc.y, -sc.z) * transposed(msr) * ms * msr * translation(sc.x, sc.y, sc.z) *
           translation(-rc.x, -rc.y, -rc.z) * rotation(rotation_q) * translation(rc.x, rc.y, rc.z) *
           translation(t.x, t.y, t.z);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixTransformation2D(D3DXMATRIX* out, const D3DXVECTOR2* scaling_center,
                                              FLOAT scaling_rotation, const D3DXVECTOR2* scaling,
                                              const D3DXVECTOR2* rotation_center, FLOAT rotation_angle,
                                              const D3DXVECTOR2* translation_v) {
    const D3DXVECTOR3 sc =
        scaling_center != nullptr ? D3DXVECTOR3(scaling_center->x, scaling_center->y, 0) : D3DXVECTOR3(0, 0, 0);
    const D3DXVECTOR3 s = scaling != nullptr ? D3DXVECTOR3(scaling->x, scaling->y, 1) : D3DXVECTOR3(1, 1, 1);
    const D3DXVECTOR3 rc =
        rotation_center != nullptr ? D3DXVECTOR3(rotation_center->x, rotation_center->y, 0) : D3DXVECTOR3(0, 0, 0);
    const D3DXVECTOR3 t =
        translation_v != nullptr ? D3DXVECTOR3(translation_v->x, translation_v->y, 0) : D3DXVECTOR3(0, 0, 0);
    const D3DXVECTOR3 z_axis(0, 0, 1);
    D3DXQUATERNION sr, r;
    D3DXQuaternionRotationAxis(&sr, &z_axis, scaling_rotation);
    D3DXQuaternionRotationAxis(&r, &z_axis, rotation_angle);
    return D3DXMatrixTransformation(out, &sc, &sr, &s, &rc, &r, &t);
}

// M = Ms * Mrc^-1 * Mr * Mrc * Mt.
D3DXMATRIX* WINAPI D3DXMatrixAffineTransformation(D3DXMATRIX* out, FLOAT scaling, const D3DXVECTOR3* rotation_center,
                                                  const D3DXQUATERNION* rotation_q, const D3DXVECTOR3* translation_v) {
    const D3DXVECTOR3 rc = rotation_center != nullptr ? *rotation_center : D3DXVECTOR3(0, 0, 0);
    const D3DXVECTOR3 t = translation_v != nullptr ? *translation_v : D3DXVECTOR3(0, 0, 0);
    D3DXMATRIX ms;
    D3DXMatrixScaling(&ms, scaling, scaling, scaling);
    *out = ms * translation(-rc.x, -rc.y, -rc.z) * rotation(rotation_q) * translation(rc.x, rc.y, rc.z) *
           translation(t.x, t.y, t.z);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixAffineTransformation2D(D3DXMATRIX* out, FLOAT scaling, const D3DXVECTOR2* rotation_center,
                                                    FLOAT rotation_angle, const D3DXVECTOR2* translation_v) {
    const D3DXVECTOR3 rc =
        rotation_center != nullptr ? D3DXVECTOR3(rotation_center->x, rotation_center->y, 0) : D3DXVECTOR3(0, 0, 0);
    const D3DXVECTOR3 t =
        translation_v != nullptr ? D3DXVECTOR3(translation_v->x, translation_v->y, 0) : D3DXVECTOR3(0, 0, 0);
    D3DXMATRIX ms, r;
    D3DXMatrixScaling(&ms, scaling, scaling, 1.0f);
    D3DXMatrixRotationZ(&r, rotation_angle);
    *out = ms * translation(-rc.x, -rc.y, 0) * r * translation(rc.x, rc.y, 0) * translation(t.x, t.y, 0);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf) {
    const float y_scale = 1.0f / std::tan(fovy / 2.0f);
    const float x_scale = y_scale / aspect;
    const float z_scale = zf / (zf - zn);
    *out = D3DXMATRIX(x_scale, 0, 0, 0, 0, y_scale, 0, 0, 0, 0, z_scale, 1, 0, 0, -zn * z_scale, 0);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveFovRH(D3DXMATRIX* out, float fovy, float aspect, float zn, float zf) {
    const float y_scale = 1.0f / std::tan(fovy / 2.0f);
    const float x_scale = y_scale / aspect;
    const float z_scale = zf / (zn - zf);
    *out = D3DXMATRIX(x_scale, 0, 0, 0, 0, y_scale, 0, 0, 0, 0, z_scale, -1, 0, 0, zn * z_scale, 0);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveLH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
    *out = D3DXMATRIX(2 * zn / w, 0, 0, 0, 0, 2 * zn / h, 0, 0, 0, 0, zf / (zf - zn), 1, 0, 0, zn * zf / (zn - zf), 0);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveRH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
    *out = D3DXMATRIX(2 * zn / w, 0, 0, 0, 0, 2 * zn / h, 0, 0, 0, 0, zf / (zn - zf), -1, 0, 0, zn * zf / (zn - zf), 0);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveOffCenterLH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn,
                                                    FLOAT zf) {
    *out = D3DXMATRIX(2 * zn / (r - l), 0, 0, 0, 0, 2 * zn / (t - b), 0, 0, (l + r) / (l - r), (t + b) / (b - t),
                      zf / (zf - zn), 1, 0, 0, zn * zf / (zn - zf), 0);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixPerspectiveOffCenterRH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn,
                                                    FLOAT zf) {
    *out = D3DXMATRIX(2 * zn / (r - l), 0, 0, 0, 0, 2 * zn / (t - b), 0, 0, (l + r) / (r - l), (t + b) / (t - b),
                      zf / (zn - zf), -1, 0, 0, zn * zf / (zn - zf), 0);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoLH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
    *out = D3DXMATRIX(2 / w, 0, 0, 0, 0, 2 / h, 0, 0, 0, 0, 1 / (zf - zn), 0, 0, 0, zn / (zn - zf), 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoRH(D3DXMATRIX* out, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
    *out = D3DXMATRIX(2 / w, 0, 0, 0, 0, 2 / h, 0, 0, 0, 0, 1 / (zn - zf), 0, 0, 0, zn / (zn - zf), 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn, FLOAT zf) {
    *out = D3DXMATRIX(2 / (r - l), 0, 0, 0, 0, 2 / (t - b), 0, 0, 0, 0, 1 / (zf - zn), 0, (l + r) / (l - r),
                      (t + b) / (b - t), zn / (zn - zf), 1);
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixOrthoOffCenterRH(D3DXMATRIX* out, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn, FLOAT zf) {
    *out = D3DXMATRIX(2 / (r - l), 0, 0, 0, 0, 2 / (t - b), 0, 0, 0, 0, 1 / (zn - zf), 0, (l + r) / (l - r),
                      (t + b) / (b - t), zn / (zn - zf), 1);
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

// The view matrix of a camera at `eye` whose viewing direction is `z` (normalised).
D3DXMATRIX* look_along(D3DXMATRIX* out, const D3DXVECTOR3& eye, const D3DXVECTOR3& z, const D3DXVECTOR3& up) {
    const D3DXVECTOR3 x = normalise(cross(up, z));
    const D3DXVECTOR3 y = cross(z, x);
    *out =
        D3DXMATRIX(x.x, y.x, z.x, 0, x.y, y.y, z.y, 0, x.z, y.z, z.z, 0, -dot(x, eye), -dot(y, eye), -dot(z, eye), 1);
    return out;
}

}  // namespace

D3DXMATRIX* WINAPI D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                      const D3DXVECTOR3* up) {
    return look_along(out, *eye, normalise(subtract(*at, *eye)), *up);
}

D3DXMATRIX* WINAPI D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                                      const D3DXVECTOR3* up) {
    return look_along(out, *eye, normalise(subtract(*eye, *at)), *up);
}

namespace {

D3DXPLANE normalised(const D3DXPLANE& p) {
    D3DXPLANE n;
    return *D3DXPlaneNormalize(&n, &p);
}

}  // namespace

// M = dot(P, L) * I - P (x) L, P the normalised plane: a positive w for points on the light's side.
D3DXMATRIX* WINAPI D3DXMatrixShadow(D3DXMATRIX* out, const D3DXVECTOR4* light, const D3DXPLANE* plane) {
    const D3DXPLANE p = normalised(*plane);
    const float pv[4] = {p.a, p.b, p.c, p.d};
    const float lv[4] = {light->x, light->y, light->z, light->w};
    const float d = pv[0] * lv[0] + pv[1] * lv[1] + pv[2] * lv[2] + pv[3] * lv[3];
    D3DXMATRIX m;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) m.m[i][j] = (i == j ? d : 0.0f) - pv[i] * lv[j];
    }
    *out = m;
    return out;
}

D3DXMATRIX* WINAPI D3DXMatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane) {
    const D3DXPLANE p = normalised(*plane);
    const float n[3] = {p.a, p.b, p.c};
    D3DXMATRIX m;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) m.m[i][j] = (i == j ? 1.0f : 0.0f) - 2 * n[i] * n[j];
        m.m[i][3] = 0.0f;
        m.m[3][i] = -2 * p.d * n[i];
    }
    m.m[3][3] = 1.0f;
    *out = m;
    return out;
}

HRESULT WINAPI D3DXMatrixDecompose(D3DXVECTOR3* out_scale, D3DXQUATERNION* out_rotation, D3DXVECTOR3* out_translation,
                                   const D3DXMATRIX* m) {
    if (out_scale == nullptr || out_rotation == nullptr || out_translation == nullptr || m == nullptr)
        return D3DERR_INVALIDCALL;
    D3DXVECTOR3 rows[3];
    float scale[3];
    for (int i = 0; i < 3; ++i) {
        rows[i] = D3DXVECTOR3(m->m[i][0], m->m[i][1], m->m[i][2]);
        scale[i] = D3DXVec3Length(&rows[i]);
        if (scale[i] == 0.0f) return D3DERR_INVALIDCALL;
    }
    D3DXVECTOR3 c;
    D3DXVec3Cross(&c, &rows[0], &rows[1]);
    if (D3DXVec3Dot(&c, &rows[2]) < 0.0f) {
        for (float& s : scale) s = -s;
    }
    D3DXMATRIX r;
    D3DXMatrixIdentity(&r);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) r.m[i][j] = m->m[i][j] / scale[i];
    }
    *out_translation = D3DXVECTOR3(m->_41, m->_42, m->_43);
    *out_scale = D3DXVECTOR3(scale[0], scale[1], scale[2]);
    D3DXQuaternionRotationMatrix(out_rotation, &r);
    return D3D_OK;
}
