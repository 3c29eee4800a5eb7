// clip.cpp - Sutherland-Hodgman clipping in homogeneous clip space.
#include "platform/d3d9/clip.h"

#include <cmath>

namespace {

struct clip_plane {
    uint32_t bit;
    float x, y, z, w;  // signed distance = x*X + y*Y + z*Z + w*W, inside when >= 0
};

constexpr float g = clip_guard_band;
constexpr clip_plane planes[] = {
    {clip_out_near, 0, 0, 1, 0},    {clip_out_far, 0, 0, -1, 1},      {clip_out_w, 0, 0, 0, 1},
    {clip_beyond_left, 1, 0, 0, g}, {clip_beyond_right, -1, 0, 0, g}, {clip_beyond_bottom, 0, 1, 0, g},
    {clip_beyond_top, 0, -1, 0, g},
};

float distance(const clip_plane& p, const clip_vertex& v) {
    const float d = p.x * v.position[0] + p.y * v.position[1] + p.z * v.position[2] + p.w * v.position[3];
    return p.bit == clip_out_w ? d - clip_min_w : d;
}

clip_vertex lerp(const clip_vertex& from, const clip_vertex& to, float t) {
    clip_vertex r;
    for (int i = 0; i < 4; ++i) r.position[i] = from.position[i] + t * (to.position[i] - from.position[i]);
    for (int a = 0; a < attr_count; ++a) r.attr[a] = from.attr[a] + t * (to.attr[a] - from.attr[a]);
    return r;
}

// Clips polygon `in` (n vertices) against one plane into `out`; returns the new count.
int clip_against(const clip_plane& plane, const clip_vertex* in, int n, clip_vertex* out) {
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const clip_vertex& a = in[i];
        const clip_vertex& b = in[(i + 1) % n];
        const float da = distance(plane, a);
        const float db = distance(plane, b);
        if (da >= 0.0f) out[count++] = a;
        if ((da >= 0.0f) != (db >= 0.0f)) {
            out[count++] = da >= 0.0f ? lerp(a, b, da / (da - db)) : lerp(b, a, db / (db - da));
        }
    }
    return count;
}

}  // namespace

uint32_t clip_outcode(const float p[4]) {
    const float x = p[0], y = p[1], z = p[2], w = p[3];
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || !std::isfinite(w)) return ~0u;
    uint32_t code = 0;
    if (x < -w) code |= clip_out_left;
    if (x > w) code |= clip_out_right;
    if (y < -w) code |= clip_out_bottom;
    if (y > w) code |= clip_out_top;
    if (z < 0.0f) code |= clip_out_near;
    if (z > w) code |= clip_out_far;
    if (x < -g * w) code |= clip_beyond_left;
    if (x > g * w) code |= clip_beyond_right;
    if (y < -g * w) code |= clip_beyond_bottom;
    if (y > g * w) code |= clip_beyond_top;
    if (w < clip_min_w) code |= clip_out_w;
    return code;
}

int clip_triangle(const clip_vertex& a, const clip_vertex& b, const clip_vertex& c, uint32_t needed,
                  clip_vertex out[clip_max_vertices]) {
    clip_vertex scratch[clip_max_vertices];
    clip_vertex* source = out;
    clip_vertex* target = scratch;
    source[0] = a;
    source[1] = b;
    source[2] = c;
    int n = 3;
    for (const clip_plane& plane : planes) {
        if ((needed & plane.bit) == 0) continue;
        n = clip_against(plane, source, n, target);
        if (n < 3) return 0;
        clip_vertex* t = source;
        source = target;
        target = t;
    }
    if (source != out) {
        for (int i = 0; i < n; ++i) out[i] = source[i];
    }
    return n;
}
