// sprite_batch.cpp - placing, ordering and expanding the quads of a sprite batch.
#include "platform/d3dx9/sprite_batch.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr float local_corners[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};

bool finite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// p * m with the division by w of a point; w == 0 leaves x, y, z undivided (and a projective
// transform that sends a corner to infinity is caught as a non-finite corner by the callers).
D3DXVECTOR3 transform_point(const D3DXVECTOR3& p, const D3DXMATRIX& m) {
    const float x = p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41;
    const float y = p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42;
    const float z = p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43;
    const float w = p.x * m._14 + p.y * m._24 + p.z * m._34 + m._44;
    if (w == 1.0f || w == 0.0f) return {x, y, z};
    return {x / w, y / w, z / w};
}

D3DXVECTOR3 transform_vector(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    return {v.x * m._11 + v.y * m._21 + v.z * m._31, v.x * m._12 + v.y * m._22 + v.z * m._32,
            v.x * m._13 + v.y * m._23 + v.z * m._33};
}

template <typename Vertex>
void append_quad(const sprite_quad& q, std::vector<Vertex>* vertices,
                 Vertex (*make)(const D3DXVECTOR3&, D3DCOLOR, float, float)) {
    const Vertex tl = make(q.corners[0], q.colour, q.u0, q.v0);
    const Vertex tr = make(q.corners[1], q.colour, q.u1, q.v0);
    const Vertex bl = make(q.corners[2], q.colour, q.u0, q.v1);
    const Vertex br = make(q.corners[3], q.colour, q.u1, q.v1);
    vertices->insert(vertices->end(), {tl, tr, bl, bl, tr, br});
}

sprite_screen_vertex screen_vertex(const D3DXVECTOR3& p, D3DCOLOR colour, float u, float v) {
    return {p.x - 0.5f, p.y - 0.5f, p.z, 1.0f, colour, u, v};
}

sprite_object_vertex object_vertex(const D3DXVECTOR3& p, D3DCOLOR colour, float u, float v) {
    return {p.x, p.y, p.z, colour, u, v};
}

}  // namespace

bool sprite_place_corners(float w, float h, const D3DXVECTOR3& centre, const D3DXVECTOR3& position,
                          const D3DXMATRIX& transform, D3DXVECTOR3 corners[4]) {
    for (int i = 0; i < 4; ++i) {
        const D3DXVECTOR3 local(local_corners[i][0] * w - centre.x + position.x,
                                local_corners[i][1] * h - centre.y + position.y, position.z - centre.z);
        corners[i] = transform_point(local, transform);
        if (!finite(corners[i])) return false;
    }
    return true;
}

bool sprite_place_billboard(float w, float h, const D3DXVECTOR3& centre, const D3DXVECTOR3& position,
                            const D3DXMATRIX& transform, const D3DXMATRIX& to_object, D3DXVECTOR3 corners[4]) {
    const D3DXVECTOR3 middle = transform_point(position, transform);
    for (int i = 0; i < 4; ++i) {
        const D3DXVECTOR3 offset(local_corners[i][0] * w - centre.x, local_corners[i][1] * h - centre.y, 0.0f);
        const D3DXVECTOR3 scaled = transform_vector(offset, transform);
        // Texel rows run down the screen: local y down is view y negative.
        const D3DXVECTOR3 along_view = transform_vector(D3DXVECTOR3(scaled.x, -scaled.y, 0.0f), to_object);
        corners[i] = middle + along_view;
        if (!finite(corners[i])) return false;
    }
    return true;
}

void sprite_order(const std::vector<sprite_quad>& quads, sprite_sort sort, const D3DXMATRIX& to_depth,
                  std::vector<float>* depth, std::vector<uint32_t>* order) {
    order->resize(quads.size());
    std::iota(order->begin(), order->end(), 0u);
    if (sort == sprite_sort::call_order) return;
    depth->resize(quads.size());
    for (size_t i = 0; i < quads.size(); ++i) {
        const D3DXVECTOR3* c = quads[i].corners;
        const D3DXVECTOR3 middle = (c[0] + c[1] + c[2] + c[3]) * 0.25f;
        const float z = middle.x * to_depth._13 + middle.y * to_depth._23 + middle.z * to_depth._33 + to_depth._43;
        const float w = middle.x * to_depth._14 + middle.y * to_depth._24 + middle.z * to_depth._34 + to_depth._44;
        const float key = w != 0.0f ? z / w : z;
        (*depth)[i] = std::isnan(key) ? 0.0f : key;
    }
    // Ties keep call order; std::sort with the index as the second key needs no scratch memory,
    // unlike std::stable_sort.
    const std::vector<float>& d = *depth;
    if (sort == sprite_sort::front_to_back) {
        std::sort(order->begin(), order->end(),
                  [&d](uint32_t a, uint32_t b) { return d[a] < d[b] || (d[a] == d[b] && a < b); });
    } else {
        std::sort(order->begin(), order->end(),
                  [&d](uint32_t a, uint32_t b) { return d[a] > d[b] || (d[a] == d[b] && a < b); });
    }
}

void sprite_append_screen(const sprite_quad& quad, std::vector<sprite_screen_vertex>* vertices) {
    append_quad(quad, vertices, screen_vertex);
}

void sprite_append_object(const sprite_quad& quad, std::vector<sprite_object_vertex>* vertices) {
    append_quad(quad, vertices, object_vertex);
}
