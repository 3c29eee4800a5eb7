// math_vector.cpp - D3DX vector functions that are not inline: normalising, splines, barycentric
// combinations, transforms by a matrix (one vector or strided arrays) and projection to and from
// the screen. Each result is computed before it is stored, so outputs may alias inputs.
#include <d3dx9.h>

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace {

// Component-wise helpers over N floats.
template <int N>
void normalise(float* out, const float* v) {
    float sum = 0.0f;
    for (int i = 0; i < N; ++i) sum += v[i] * v[i];
    const float length = std::sqrt(sum);
    float r[N];
    for (int i = 0; i < N; ++i) r[i] = length == 0.0f ? 0.0f : v[i] / length;
    std::memcpy(out, r, sizeof r);
}

template <int N>
void hermite(float* out, const float* v1, const float* t1, const float* v2, const float* t2, float s) {
    const float s2 = s * s, s3 = s2 * s;
    const float h1 = 2 * s3 - 3 * s2 + 1, h2 = s3 - 2 * s2 + s, h3 = -2 * s3 + 3 * s2, h4 = s3 - s2;
    float r[N];
    for (int i = 0; i < N; ++i) r[i] = h1 * v1[i] + h2 * t1[i] + h3 * v2[i] + h4 * t2[i];
    std::memcpy(out, r, sizeof r);
}

template <int N>
void catmull_rom(float* out, const float* v0, const float* v1, const float* v2, const float* v3, float s) {
    const float s2 = s * s, s3 = s2 * s;
    float r[N];
    for (int i = 0; i < N; ++i) {
        r[i] = 0.5f * (2 * v1[i] + (v2[i] - v0[i]) * s + (2 * v0[i] - 5 * v1[i] + 4 * v2[i] - v3[i]) * s2 +
                       (3 * v1[i] - v0[i] - 3 * v2[i] + v3[i]) * s3);
    }
    std::memcpy(out, r, sizeof r);
}

template <int N>
void barycentric(float* out, const float* v1, const float* v2, const float* v3, float f, float g) {
    float r[N];
    for (int i = 0; i < N; ++i) r[i] = v1[i] + f * (v2[i] - v1[i]) + g * (v3[i] - v1[i]);
    std::memcpy(out, r, sizeof r);
}

// (v, 0..., w) * M for the first N components of v, giving all four.
template <int N>
void transform4(float* out, const float* v, float w, const D3DXMATRIX& m) {
    float r[4];
    for (int j = 0; j < 4; ++j) {
        float sum = w * m.m[3][j];
        for (int i = 0; i < N; ++i) sum += v[i] * m.m[i][j];
        r[j] = sum;
    }
    std::memcpy(out, r, sizeof r);
}

template <int N>
void transform_coord(float* out, const float* v, const D3DXMATRIX& m) {
    float r[4];
    transform4<N>(r, v, 1.0f, m);
    for (int i = 0; i < N; ++i) r[i] /= r[3];
    std::memcpy(out, r, N * sizeof(float));
}

template <int N>
void transform_normal(float* out, const float* v, const D3DXMATRIX& m) {
    float r[4];
    transform4<N>(r, v, 0.0f, m);
    std::memcpy(out, r, N * sizeof(float));
}

// Applies `f(out, in)` to n elements laid out `out_stride` and `in_stride` bytes apart.
template <class Out, class In, class F>
Out* for_each_strided(Out* out, UINT out_stride, const In* in, UINT in_stride, UINT n, F f) {
    auto* o = reinterpret_cast<unsigned char*>(out);
    const auto* i = reinterpret_cast<const unsigned char*>(in);
    for (UINT k = 0; k < n; ++k) {
        f(reinterpret_cast<Out*>(o + size_t(k) * out_stride), reinterpret_cast<const In*>(i + size_t(k) * in_stride));
    }
    return out;
}

}  // namespace

D3DXVECTOR2::D3DXVECTOR2(const D3DXFLOAT16* p) { D3DXFloat16To32Array(&x, p, 2); }
D3DXVECTOR3::D3DXVECTOR3(const D3DXFLOAT16* p) : D3DVECTOR{} { D3DXFloat16To32Array(&x, p, 3); }
D3DXVECTOR4::D3DXVECTOR4(const D3DXFLOAT16* p) { D3DXFloat16To32Array(&x, p, 4); }

D3DXVECTOR2* WINAPI D3DXVec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v) {
    normalise<2>(*out, *v);
    return out;
}
D3DXVECTOR3* WINAPI D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    normalise<3>(*out, *v);
    return out;
}
D3DXVECTOR4* WINAPI D3DXVec4Normalize(D3DXVECTOR4* out, const D3DXVECTOR4* v) {
    normalise<4>(*out, *v);
    return out;
}

D3DXVECTOR2* WINAPI D3DXVec2Hermite(D3DXVECTOR2* out, const D3DXVECTOR2* v1, const D3DXVECTOR2* t1,
                                    const D3DXVECTOR2* v2, const D3DXVECTOR2* t2, FLOAT s) {
    hermite<2>(*out, *v1, *t1, *v2, *t2, s);
    return out;
}
D3DXVECTOR3* WINAPI D3DXVec3Hermite(D3DXVECTOR3* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* t1,
                                    const D3DXVECTOR3* v2, const D3DXVECTOR3* t2, FLOAT s) {
    hermite<3>(*out, *v1, *t1, *v2, *t2, s);
    return out;
}
D3DXVECTOR4* WINAPI D3DXVec4Hermite(D3DXVECTOR4* out, const D3DXVECTOR4* v1, const D3DXVECTOR4* t1,
                                    const D3DXVECTOR4* v2, const D3DXVECTOR4* t2, FLOAT s) {
    hermite<4>(*out, *v1, *t1, *v2, *t2, s);
    return out;
}

D3DXVECTOR2* WINAPI D3DXVec2CatmullRom(D3DXVECTOR2* out, const D3DXVECTOR2* v0, const D3DXVECTOR2* v1,
                                       const D3DXVECTOR2* v2, const D3DXVECTOR2* v3, FLOAT s) {
    catmull_rom<2>(*out, *v0, *v1, *v2, *v3, s);
    return out;
}
D3DXVECTOR3* WINAPI D3DXVec3CatmullRom(D3DXVECTOR3* out, const D3DXVECTOR3* v0, const D3DXVECTOR3* v1,
                                       const D3DXVECTOR3* v2, const D3DXVECTOR3* v3, FLOAT s) {
    catmull_rom<3>(*out, *v0, *v1, *v2, *v3, s);
    return out;
}
D3DXVECTOR4* WINAPI D3DXVec4CatmullRom(D3DXVECTOR4* out, const D3DXVECTOR4* v0, const D3DXVECTOR4* v1,
                                       const D3DXVECTOR4* v2, const D3DXVECTOR4* v3, FLOAT s) {
    catmull_rom<4>(*out, *v0, *v1, *v2, *v3, s);
    return out;
}

D3DXVECTOR2* WINAPI D3DXVec2BaryCentric(D3DXVECTOR2* out, const D3DXVECTOR2* v1, const D3DXVECTOR2* v2,
                                        const D3DXVECTOR2* v3, FLOAT f, FLOAT g) {
    barycentric<2>(*out, *v1, *v2, *v3, f, g);
    return out;
}
D3DXVECTOR3* WINAPI D3DXVec3BaryCentric(D3DXVECTOR3* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* v2,
                                        const D3DXVECTOR3* v3, FLOAT f, FLOAT g) {
    barycentric<3>(*out, *v1, *v2, *v3, f, g);
    return out;
}
D3DXVECTOR4* WINAPI D3DXVec4BaryCentric(D3DXVECTOR4* out, const D3DXVECTOR4* v1, const D3DXVECTOR4* v2,
                                        const D3DXVECTOR4* v3, FLOAT f, FLOAT g) {
    barycentric<4>(*out, *v1, *v2, *v3, f, g);
    return out;
}

D3DXVECTOR4* WINAPI D3DXVec4Cross(D3DXVECTOR4* out, const D3DXVECTOR4* u, const D3DXVECTOR4* v, const D3DXVECTOR4* w) {
    const float a = v->x * w->y - v->y * w->x, b = v->x * w->z - v->z * w->x, c = v->x * w->w - v->w * w->x;
    const float d = v->y * w->z - v->z * w->y, e = v->y * w->w - v->w * w->y, f = v->z * w->w - v->w * w->z;
    *out = D3DXVECTOR4(u->y * f - u->z * e + u->w * d, -(u->x * f) + u->z * c - u->w * b,
                       u->x * e - u->y * c + u->w * a, -(u->x * d) + u->y * b - u->z * a);
    return out;
}

D3DXVECTOR4* WINAPI D3DXVec2Transform(D3DXVECTOR4* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    transform4<2>(*out, *v, 1.0f, *m);
    return out;
}
D3DXVECTOR4* WINAPI D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    transform4<3>(*out, *v, 1.0f, *m);
    return out;
}
D3DXVECTOR4* WINAPI D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
    transform4<3>(*out, *v, v->w, *m);
    return out;
}
D3DXVECTOR2* WINAPI D3DXVec2TransformCoord(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    transform_coord<2>(*out, *v, *m);
    return out;
}
D3DXVECTOR3* WINAPI D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    transform_coord<3>(*out, *v, *m);
    return out;
}
D3DXVECTOR2* WINAPI D3DXVec2TransformNormal(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    transform_normal<2>(*out, *v, *m);
    return out;
}
D3DXVECTOR3* WINAPI D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    transform_normal<3>(*out, *v, *m);
    return out;
}

D3DXVECTOR4* WINAPI D3DXVec2TransformArray(D3DXVECTOR4* out, UINT out_stride, const D3DXVECTOR2* v, UINT v_stride,
                                           const D3DXMATRIX* m, UINT n) {
    return for_each_strided(out, out_stride, v, v_stride, n,
                            [m](D3DXVECTOR4* o, const D3DXVECTOR2* i) { D3DXVec2Transform(o, i, m); });
}
D3DXVECTOR2* WINAPI D3DXVec2TransformCoordArray(D3DXVECTOR2* out, UINT out_stride, const D3DXVECTOR2* v, UINT v_stride,
                                                const D3DXMATRIX* m, UINT n) {
    return for_each_strided(out, out_stride, v, v_stride, n,
                            [m](D3DXVECTOR2* o, const D3DXVECTOR2* i) { D3DXVec2TransformCoord(o, i, m); });
}
D3DXVECTOR2* WINAPI D3DXVec2TransformNormalArray(D3DXVECTOR2* out, UINT out_stride, const D3DXVECTOR2* v, UINT v_stride,
                                                 const D3DXMATRIX* m, UINT n) {
    return for_each_strided(out, out_stride, v, v_stride, n,
                            [m](D3DXVECTOR2* o, const D3DXVECTOR2* i) { D3DXVec2TransformNormal(o, i, m); });
}
D3DXVECTOR4* WINAPI D3DXVec3TransformArray(D3DXVECTOR4* out, UINT out_stride, const D3DXVECTOR3* v, UINT v_stride,
                                           const D3DXMATRIX* m, UINT n) {
    return for_each_strided(out, out_stride, v, v_stride, n,
                            [m](D3DXVECTOR4* o, const D3DXVECTOR3* i) { D3DXVec3Transform(o, i, m); });
}
D3DXVECTOR3* WINAPI D3DXVec3TransformCoordArray(D3DXVECTOR3* out, UINT out_stride, const D3DXVECTOR3* v, UINT v_stride,
                                                const D3DXMATRIX* m, UINT n) {
    return for_each_strided(out, out_stride, v, v_stride, n,
                            [m](D3DXVECTOR3* o, const D3DXVECTOR3* i) { D3DXVec3TransformCoord(o, i, m); });
}
D3DXVECTOR3* WINAPI D3DXVec3TransformNormalArray(D3DXVECTOR3* out, UINT out_stride, const D3DXVECTOR3* v, UINT v_stride,
                                                 const D3DXMATRIX* m, UINT n) {
    return for_each_strided(out, out_stride, v, v_stride, n,
                            [m](D3DXVECTOR3* o, const D3DXVECTOR3* i) { D3DXVec3TransformNormal(o, i, m); });
}
D3DXVECTOR4* WINAPI D3DXVec4TransformArray(D3DXVECTOR4* out, UINT out_stride, const D3DXVECTOR4* v, UINT v_stride,
                                           const D3DXMATRIX* m, UINT n) {
    return for_each_strided(out, out_stride, v, v_stride, n,
                            [m](D3DXVECTOR4* o, const D3DXVECTOR4* i) { D3DXVec4Transform(o, i, m); });
}

namespace {

// D3DVIEWPORT9 as the platform lays it out: X, Y, Width, Height (DWORD), MinZ, MaxZ (float).
struct viewport_values {
    DWORD x, y, width, height;
    float min_z, max_z;
};
static_assert(sizeof(viewport_values) == 24);

viewport_values viewport_of(const D3DVIEWPORT9* viewport) {
    viewport_values v{0, 0, 1, 1, 0.0f, 1.0f};
    if (viewport != nullptr) std::memcpy(&v, static_cast<const void*>(viewport), sizeof v);
    return v;
}

// World * View * Projection, a null matrix counting as the identity.
D3DXMATRIX world_view_projection(const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    for (const D3DXMATRIX* factor : {world, view, projection}) {
        if (factor != nullptr) D3DXMatrixMultiply(&m, &m, factor);
    }
    return m;
}

void project(D3DXVECTOR3* out, const D3DXVECTOR3& v, const viewport_values& vp, const D3DXMATRIX& m) {
    D3DXVECTOR3 c;
    D3DXVec3TransformCoord(&c, &v, &m);
    *out = D3DXVECTOR3(float(vp.x) + (1.0f + c.x) * float(vp.width) / 2.0f,
                       float(vp.y) + (1.0f - c.y) * float(vp.height) / 2.0f, vp.min_z + c.z * (vp.max_z - vp.min_z));
}

void unproject(D3DXVECTOR3* out, const D3DXVECTOR3& v, const viewport_values& vp, const D3DXMATRIX& inverse) {
    const D3DXVECTOR3 ndc(2.0f * (v.x - float(vp.x)) / float(vp.width) - 1.0f,
                          1.0f - 2.0f * (v.y - float(vp.y)) / float(vp.height),
                          (v.z - vp.min_z) / (vp.max_z - vp.min_z));
    D3DXVec3TransformCoord(out, &ndc, &inverse);
}

}  // namespace

D3DXVECTOR3* WINAPI D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT9* viewport,
                                    const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    project(out, *v, viewport_of(viewport), world_view_projection(projection, view, world));
    return out;
}

D3DXVECTOR3* WINAPI D3DXVec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT9* viewport,
                                      const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    D3DXMATRIX m = world_view_projection(projection, view, world);
    if (D3DXMatrixInverse(&m, nullptr, &m) == nullptr) return nullptr;
    unproject(out, *v, viewport_of(viewport), m);
    return out;
}

D3DXVECTOR3* WINAPI D3DXVec3ProjectArray(D3DXVECTOR3* out, UINT out_stride, const D3DXVECTOR3* v, UINT v_stride,
                                         const D3DVIEWPORT9* viewport, const D3DXMATRIX* projection,
                                         const D3DXMATRIX* view, const D3DXMATRIX* world, UINT n) {
    const viewport_values vp = viewport_of(viewport);
    const D3DXMATRIX m = world_view_projection(projection, view, world);
    return for_each_strided(out, out_stride, v, v_stride, n,
                            [&](D3DXVECTOR3* o, const D3DXVECTOR3* i) { project(o, *i, vp, m); });
}

D3DXVECTOR3* WINAPI D3DXVec3UnprojectArray(D3DXVECTOR3* out, UINT out_stride, const D3DXVECTOR3* v, UINT v_stride,
                                           const D3DVIEWPORT9* viewport, const D3DXMATRIX* projection,
                                           const D3DXMATRIX* view, const D3DXMATRIX* world, UINT n) {
    const viewport_values vp = viewport_of(viewport);
    D3DXMATRIX m = world_view_projection(projection, view, world);
    if (D3DXMatrixInverse(&m, nullptr, &m) == nullptr) return nullptr;
    return for_each_strided(out, out_stride, v, v_stride, n,
                            [&](D3DXVECTOR3* o, const D3DXVECTOR3* i) { unproject(o, *i, vp, m); });
}
