// clip_general.cpp - clipping of the general pipeline's triangles and lines in homogeneous clip
// space: the near and far planes exactly, the side planes at clip.h's guard band, w kept above
// clip_min_w, and the enabled user clip planes by their carried distances (kept where >= 0).
//
// A new vertex interpolates position, every attribute, the point size and the plane distances
// linearly, always measured from the vertex inside the plane, so that two triangles sharing a
// clipped edge get the same new vertex.
#include "platform/d3d9/clip.h"
#include "platform/d3d9/vertex_general.h"

namespace {

struct frustum_plane {
    uint32_t bit;
    float x, y, z, w;  // signed distance = x*X + y*Y + z*Z + w*W, inside when >= 0
};

constexpr float g = clip_guard_band;
constexpr frustum_plane frustum[] = {
    {clip_out_near, 0, 0, 1, 0},    {clip_out_far, 0, 0, -1, 1},      {clip_out_w, 0, 0, 0, 1},
    {clip_beyond_left, 1, 0, 0, g}, {clip_beyond_right, -1, 0, 0, g}, {clip_beyond_bottom, 0, 1, 0, g},
    {clip_beyond_top, 0, -1, 0, g},
};

// A plane to clip by: a frustum plane, or user plane `user` (0..5) when that is >= 0.
struct plane_ref {
    const frustum_plane* frustum;
    int user;
};

float distance(const plane_ref& p, const gv_clip_vertex& v) {
    if (p.user >= 0) return v.clip_distance[p.user];
    const frustum_plane& f = *p.frustum;
    const float d = f.x * v.position[0] + f.y * v.position[1] + f.z * v.position[2] + f.w * v.position[3];
    return f.bit == clip_out_w ? d - clip_min_w : d;
}

bool inside(float d) { return d >= 0.0f; }

gv_clip_vertex lerp(const gv_clip_vertex& from, const gv_clip_vertex& to, float t) {
    gv_clip_vertex r;
    for (int i = 0; i < 4; ++i) r.position[i] = from.position[i] + t * (to.position[i] - from.position[i]);
    for (int a = 0; a < gv_attr_count; ++a) r.attr[a] = from.attr[a] + t * (to.attr[a] - from.attr[a]);
    r.point_size = from.point_size + t * (to.point_size - from.point_size);
    for (int i = 0; i < 6; ++i) {
        r.clip_distance[i] = from.clip_distance[i] + t * (to.clip_distance[i] - from.clip_distance[i]);
    }
    return r;
}

// The point where edge (in, out) crosses the plane, measured from the inside end.
gv_clip_vertex crossing(const gv_clip_vertex& in, float d_in, const gv_clip_vertex& out, float d_out) {
    return lerp(in, out, d_in / (d_in - d_out));
}

int clip_against(const plane_ref& plane, const gv_clip_vertex* in, int n, gv_clip_vertex* out) {
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const gv_clip_vertex& a = in[i];
        const gv_clip_vertex& b = in[(i + 1) % n];
        const float da = distance(plane, a);
        const float db = distance(plane, b);
        if (inside(da)) out[count++] = a;
        if (inside(da) != inside(db)) out[count++] = inside(da) ? crossing(a, da, b, db) : crossing(b, db, a, da);
    }
    return count;
}

// The planes `needed` names, frustum first, then user planes 0..5; returns their count.
int planes_needed(uint32_t needed, plane_ref planes[13]) {
    int n = 0;
    for (const frustum_plane& f : frustum) {
        if ((needed & f.bit) != 0) planes[n++] = {&f, -1};
    }
    for (int i = 0; i < 6; ++i) {
        if ((needed & (1u << (16 + i))) != 0) planes[n++] = {nullptr, i};
    }
    return n;
}

}  // namespace

int vg_clip_triangle(const vg_draw*, const gv_clip_vertex& a, const gv_clip_vertex& b, const gv_clip_vertex& c,
                     uint32_t needed, gv_clip_vertex out[vg_max_polygon]) {
    plane_ref planes[13];
    const int plane_count = planes_needed(needed, planes);
    gv_clip_vertex scratch[vg_max_polygon];
    gv_clip_vertex* source = out;
    gv_clip_vertex* target = scratch;
    source[0] = a;
    source[1] = b;
    source[2] = c;
    int n = 3;
    for (int p = 0; p < plane_count; ++p) {
        n = clip_against(planes[p], source, n, target);
        if (n < 3) return 0;
        gv_clip_vertex* t = source;
        source = target;
        target = t;
    }
    if (source != out) {
        for (int i = 0; i < n; ++i) out[i] = source[i];
    }
    return n;
}

bool vg_clip_line(const vg_draw*, const gv_clip_vertex& a, const gv_clip_vertex& b, uint32_t needed,
                  gv_clip_vertex* out_a, gv_clip_vertex* out_b) {
    plane_ref planes[13];
    const int plane_count = planes_needed(needed, planes);
    gv_clip_vertex first = a, second = b;
    for (int p = 0; p < plane_count; ++p) {
        const float d1 = distance(planes[p], first);
        const float d2 = distance(planes[p], second);
        if (!inside(d1) && !inside(d2)) return false;
        if (!inside(d1)) {
            first = crossing(second, d2, first, d1);
        } else if (!inside(d2)) {
            second = crossing(first, d1, second, d2);
        }
    }
    *out_a = first;
    *out_b = second;
    return true;
}
