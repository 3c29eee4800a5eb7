// math_quaternion.cpp - D3DX quaternion functions: products (in the order of
// D3DXMatrixMultiply), rotations from axes, angles and matrices, logarithm and exponential, and
// the spherical interpolations. Outputs may alias inputs.
#include <d3dx9.h>

#include <algorithm>
#include <cmath>

D3DXQUATERNION::D3DXQUATERNION(const D3DXFLOAT16* p) { D3DXFloat16To32Array(&x, p, 4); }

D3DXQUATERNION& D3DXQUATERNION::operator*=(const D3DXQUATERNION& q) {
    D3DXQuaternionMultiply(this, this, &q);
    return *this;
}

D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const {
    D3DXQUATERNION out;
    D3DXQuaternionMultiply(&out, this, &q);
    return out;
}

// Q1 followed by Q2: the Hamilton product Q2 * Q1.
D3DXQUATERNION* WINAPI D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2) {
    const D3DXQUATERNION a = *q2, b = *q1;
    *out = D3DXQUATERNION(
        a.w * b.x + b.w * a.x + (a.y * b.z - a.z * b.y), a.w * b.y + b.w * a.y + (a.z * b.x - a.x * b.z),
        a.w * b.z + b.w * a.z + (a.x * b.y - a.y * b.x), a.w * b.w - (a.x * b.x + a.y * b.y + a.z * b.z));
    return out;
}

D3DXQUATERNION* WINAPI D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float length = D3DXQuaternionLength(q);
    if (length == 0.0f) {
        *out = D3DXQUATERNION(0, 0, 0, 0);
        return out;
    }
    *out = D3DXQUATERNION(q->x / length, q->y / length, q->z / length, q->w / length);
    return out;
}

// The conjugate over the squared length: the inverse of any non-zero quaternion.
D3DXQUATERNION* WINAPI D3DXQuaternionInverse(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float norm = D3DXQuaternionLengthSq(q);
    *out = D3DXQUATERNION(-q->x / norm, -q->y / norm, -q->z / norm, q->w / norm);
    return out;
}

D3DXQUATERNION* WINAPI D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, FLOAT angle) {
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f) return D3DXQuaternionIdentity(out);
    const float s = std::sin(angle / 2.0f);
    *out = D3DXQUATERNION(n.x * s, n.y * s, n.z * s, std::cos(angle / 2.0f));
    return out;
}

D3DXQUATERNION* WINAPI D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, FLOAT yaw, FLOAT pitch, FLOAT roll) {
    const D3DXQUATERNION q_roll(0, 0, std::sin(roll / 2.0f), std::cos(roll / 2.0f));
    const D3DXQUATERNION q_pitch(std::sin(pitch / 2.0f), 0, 0, std::cos(pitch / 2.0f));
    const D3DXQUATERNION q_yaw(0, std::sin(yaw / 2.0f), 0, std::cos(yaw / 2.0f));
    D3DXQUATERNION q;
    D3DXQuaternionMultiply(&q, &q_roll, &q_pitch);
    D3DXQuaternionMultiply(out, &q, &q_yaw);
    return out;
}

// The inverse of D3DXMatrixRotationQuaternion, from the largest of w, x, y, z for accuracy.
D3DXQUATERNION* WINAPI D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* pm) {
    const D3DXMATRIX m = *pm;
    const float trace = m._11 + m._22 + m._33;
    D3DXQUATERNION q;
    if (trace > 0.0f) {
        const float w = std::sqrt(trace + 1.0f) / 2.0f;
        const float k = 1.0f / (4.0f * w);
        q = D3DXQUATERNION((m._23 - m._32) * k, (m._31 - m._13) * k, (m._12 - m._21) * k, w);
    } else if (m._11 >= m._22 && m._11 >= m._33) {
        const float x = std::sqrt(1.0f + m._11 - m._22 - m._33) / 2.0f;
        const float k = 1.0f / (4.0f * x);
        q = D3DXQUATERNION(x, (m._12 + m._21) * k, (m._13 + m._31) * k, (m._23 - m._32) * k);
    } else if (m._22 >= m._33) {
        const float y = std::sqrt(1.0f + m._22 - m._11 - m._33) / 2.0f;
        const float k = 1.0f / (4.0f * y);
        q = D3DXQUATERNION((m._12 + m._21) * k, y, (m._23 + m._32) * k, (m._31 - m._13) * k);
    } else {
        const float z = std::sqrt(1.0f + m._33 - m._11 - m._22) / 2.0f;
        const float k = 1.0f / (4.0f * z);
        q = D3DXQUATERNION((m._13 + m._31) * k, (m._23 + m._32) * k, z, (m._12 - m._21) * k);
    }
    *out = q;
    return out;
}

void WINAPI D3DXQuaternionToAxisAngle(const D3DXQUATERNION* q, D3DXVECTOR3* axis, FLOAT* angle) {
    const D3DXQUATERNION v = *q;
    if (axis != nullptr) *axis = D3DXVECTOR3(v.x, v.y, v.z);
    if (angle != nullptr) *angle = 2.0f * std::acos(std::clamp(v.w, -1.0f, 1.0f));
}

// For a unit quaternion (v sin a, cos a): (v a, 0).
D3DXQUATERNION* WINAPI D3DXQuaternionLn(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float a = std::acos(std::clamp(q->w, -1.0f, 1.0f));
    const float s = std::sin(a);
    const float k = s > 1e-6f ? a / s : 1.0f;
    *out = D3DXQUATERNION(q->x * k, q->y * k, q->z * k, 0.0f);
    return out;
}

// For a pure quaternion (v a, w ignored) with |v| = 1: (v sin a, cos a).
D3DXQUATERNION* WINAPI D3DXQuaternionExp(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float a = std::sqrt(q->x * q->x + q->y * q->y + q->z * q->z);
    const float k = a > 1e-6f ? std::sin(a) / a : 1.0f;
    *out = D3DXQUATERNION(q->x * k, q->y * k, q->z * k, std::cos(a));
    return out;
}

// The shorter arc; linear interpolation when the angle between them is below 1e-6.
D3DXQUATERNION* WINAPI D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                                           FLOAT t) {
    const D3DXQUATERNION a = *q1;
    D3DXQUATERNION b = *q2;
    float cosine = D3DXQuaternionDot(&a, &b);
    if (cosine < 0.0f) {
        b = -b;
        cosine = -cosine;
    }
    const float angle = std::acos(std::min(cosine, 1.0f));
    float ka = 1.0f - t, kb = t;
    if (angle >= 1e-6f) {
        const float s = std::sin(angle);
        ka = std::sin((1.0f - t) * angle) / s;
        kb = std::sin(t * angle) / s;
    }
    *out = a * ka + b * kb;
    return out;
}

// Slerp(Slerp(Q1, C, t), Slerp(A, B, t), 2t(1 - t)).
D3DXQUATERNION* WINAPI D3DXQuaternionSquad(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* a,
                                           const D3DXQUATERNION* b, const D3DXQUATERNION* c, FLOAT t) {
    D3DXQUATERNION outer, inner;
    D3DXQuaternionSlerp(&outer, q1, c, t);
    D3DXQuaternionSlerp(&inner, a, b, t);
    return D3DXQuaternionSlerp(out, &outer, &inner, 2.0f * t * (1.0f - t));
}

namespace {

// q * exp(-(ln(q^-1 next) + ln(q^-1 previous)) / 4), products in D3DX order.
D3DXQUATERNION squad_control(const D3DXQUATERNION& previous, const D3DXQUATERNION& q, const D3DXQUATERNION& next) {
    D3DXQUATERNION inverse, to_next, to_previous, ln_next, ln_previous, e;
    D3DXQuaternionInverse(&inverse, &q);
    D3DXQuaternionMultiply(&to_next, &inverse, &next);
    D3DXQuaternionMultiply(&to_previous, &inverse, &previous);
    D3DXQuaternionLn(&ln_next, &to_next);
    D3DXQuaternionLn(&ln_previous, &to_previous);
    const D3DXQUATERNION sum = (ln_next + ln_previous) * -0.25f;
    D3DXQuaternionExp(&e, &sum);
    D3DXQUATERNION result;
    D3DXQuaternionMultiply(&result, &q, &e);
    return result;
}

// q or -q, whichever is nearer to `reference`.
D3DXQUATERNION nearer(const D3DXQUATERNION& reference, const D3DXQUATERNION& q) {
    const D3DXQUATERNION sum = reference + q, difference = reference - q;
    return D3DXQuaternionLengthSq(&sum) < D3DXQuaternionLengthSq(&difference) ? -q : q;
}

}  // namespace

void WINAPI D3DXQuaternionSquadSetup(D3DXQUATERNION* a_out, D3DXQUATERNION* b_out, D3DXQUATERNION* c_out,
                                     const D3DXQUATERNION* pq0, const D3DXQUATERNION* pq1, const D3DXQUATERNION* pq2,
                                     const D3DXQUATERNION* pq3) {
    const D3DXQUATERNION q1 = *pq1;
    const D3DXQUATERNION q0 = nearer(q1, *pq0);
    const D3DXQUATERNION q2 = nearer(q1, *pq2);
    const D3DXQUATERNION q3 = nearer(q2, *pq3);
    const D3DXQUATERNION a = squad_control(q0, q1, q2);
    const D3DXQUATERNION b = squad_control(q1, q2, q3);
    *a_out = a;
    *b_out = b;
    *c_out = q2;
}

// Slerp(Slerp(Q1, Q2, f + g), Slerp(Q1, Q3, f + g), g / (f + g)); Q1 when f + g is 0.
D3DXQUATERNION* WINAPI D3DXQuaternionBaryCentric(D3DXQUATERNION* out, const D3DXQUATERNION* q1,
                                                 const D3DXQUATERNION* q2, const D3DXQUATERNION* q3, FLOAT f, FLOAT g) {
    const float sum = f + g;
    if (sum == 0.0f) {
        *out = *q1;
        return out;
    }
    D3DXQUATERNION a, b;
    D3DXQuaternionSlerp(&a, q1, q2, sum);
    D3DXQuaternionSlerp(&b, q1, q3, sum);
    return D3DXQuaternionSlerp(out, &a, &b, g / sum);
}
