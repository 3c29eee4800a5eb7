// raster_general.cpp - coverage of the general rasteriser: which pixels a triangle, point or line
// covers, inside the program's rectangle and the framebuffer, and the planes of its values; spans
// of those pixels then run through the program's stages (pixel_stages.cpp).
//
// Positions are snapped to the sub-pixel grid of pipeline_vertex.h as the fast rasteriser does, so
// both draw the same pixels for the same triangle. Vertices whose positions are not finite or lie
// beyond gr_position_limit pixels draw nothing, as does a program without a target; a q that is not
// a positive finite number reads as 1.
#include "platform/d3d9/raster_general_span.h"
#include "platform/d3d9/pipeline_vertex.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float gr_position_limit = float(1 << 21);

bool usable(float x, float y) { return std::fabs(x) <= gr_position_limit && std::fabs(y) <= gr_position_limit; }

float safe_q(float q) { return q > 0.0f && q <= 3.0e38f ? q : 1.0f; }

// The coordinate components the stages read, over w.
[[gnu::noinline]] void coordinate_values(const tx_cascade& c, const gv_screen_vertex& v, float q, float* out) {
    for (int k = 0; k < c.coordinate_count; ++k) out[gr_coordinates + k] = v.attr[c.coordinate_attr[k]] * q;
}

// The plane slot values of a vertex: z, q, then the attributes over w.
[[gnu::always_inline]] inline void vertex_values(const gr_program& p, const gv_screen_vertex& v,
                                                 float out[gr_plane_count]) {
    const float q = safe_q(v.q);
    out[gr_z] = v.z;
    out[gr_q] = q;
    for (int i = 0; i < 4; ++i) out[gr_diffuse + i] = v.attr[gv_diffuse + i] * q;
    for (int i = 0; i < 3; ++i) out[gr_specular + i] = v.attr[gv_specular + i] * q;
    out[gr_fog] = v.attr[gv_fog] * q;
    if (p.cascade.coordinate_count > 0) coordinate_values(p.cascade, v, q, out);
}

// Cylindrical wrapping: the wrapped components of `v` as the value nearest to `first`'s that
// differs from its own by a whole number.
void wrap_values(const gr_program& p, const gv_screen_vertex& first, const gv_screen_vertex& v,
                 float out[gr_plane_count]) {
    const tx_cascade& c = p.cascade;
    const float q = safe_q(v.q);
    for (int k = 0; k < c.coordinate_count; ++k) {
        if (c.coordinate_wrap[k] == 0) continue;
        const float own = v.attr[c.coordinate_attr[k]], target = first.attr[c.coordinate_attr[k]];
        const float shift = std::nearbyint(own - target);
        if (std::isfinite(shift)) out[gr_coordinates + k] = (own - shift) * q;
    }
}

// The pixels [left, right) x [top, bottom) a primitive may touch: the program's rectangle within
// the framebuffer.
struct pixel_rect {
    int left, top, right, bottom;
};

pixel_rect drawable(const gr_program& p) {
    const gr_state& st = p.state;
    return {std::max(st.left, 0), std::max(st.top, 0), std::min(st.right, st.target->width),
            std::min(st.bottom, st.target->height)};
}

// The bounding box of the pixels a primitive drew, for the dirty tiles.
struct drawn_box {
    int x1 = 1 << 30, y1 = 1 << 30, x2 = -1, y2 = -1;
    void add(int x, int y) {
        x1 = std::min(x1, x), x2 = std::max(x2, x);
        y1 = std::min(y1, y), y2 = std::max(y2, y);
    }
};

void mark(const gr_program& p, const drawn_box& box) {
    if (box.x2 < box.x1) return;
    d3d9_framebuffer& fb = *p.state.target;
    fb_mark_drawn(fb, box.x1, box.y1, box.x2, box.y2, p.marks_depth);
    if (p.marks_stencil) fb_mark_dirty(fb.stencil_dirty, fb.tile_shift, box.x1, box.y1, box.x2, box.y2);
}

// Runs the row's columns [x1, x2] through the stages, gr_span_max at a time.
void draw_row(const gr_program& p, const gr_planes& planes, gr_span& s, int y, int x1, int x2) {
    const uint32_t row = uint32_t(y) * uint32_t(p.state.target->width);
    s.fy = float(y) - planes.y0;
    s.consecutive = true;
    for (int x = x1; x <= x2; x += gr_span_max) {
        const int count = std::min(gr_span_max, x2 - x + 1);
        s.count = count;
        for (int i = 0; i < count; ++i) {
            s.fx[i] = float(x + i) - planes.x0;
            s.offset[i] = row + uint32_t(x + i);
            s.live[i] = 1;
        }
        for (int i = count; i < ((count + 3) & ~3); ++i) s.fx[i] = 0.0f, s.offset[i] = 0, s.live[i] = 0;
        gr_run(p, planes, s);
    }
}

// floor(n / d) for d > 0.
int64_t floor_div(int64_t n, int64_t d) {
    const int64_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

struct fixed_point {
    int64_t x, y;
};

// E(px, py) = a*px + b*py + c on the sub-pixel grid, >= 0 inside a clockwise triangle, biased so
// that centres exactly on an edge count only for top and left edges.
struct edge {
    int64_t a, b, c;
};

edge make_edge(fixed_point from, fixed_point to) {
    const int64_t dx = to.x - from.x, dy = to.y - from.y;
    edge e{-dy * raster_subpixel_one, dx * raster_subpixel_one, dy * from.x - dx * from.y};
    const bool top = dy == 0 && dx > 0, left = dy < 0;
    if (!top && !left) e.c -= 1;
    return e;
}

}  // namespace

void gr_triangle(const gr_program* program, const gv_screen_vertex& a, const gv_screen_vertex& b,
                 const gv_screen_vertex& c) {
    const gr_program& p = *program;
    if (p.state.target == nullptr || !usable(a.x, a.y) || !usable(b.x, b.y) || !usable(c.x, c.y)) return;
    const gv_screen_vertex* v[3] = {&a, &b, &c};
    fixed_point f[3];
    for (int i = 0; i < 3; ++i) {
        f[i] = {std::llrint(v[i]->x * raster_subpixel_one), std::llrint(v[i]->y * raster_subpixel_one)};
    }
    const int64_t area = (f[1].x - f[0].x) * (f[2].y - f[0].y) - (f[2].x - f[0].x) * (f[1].y - f[0].y);
    if (area == 0) return;
    gr_planes planes;
    planes.face = area > 0 ? 0 : 1;
    if (area < 0) std::swap(v[1], v[2]), std::swap(f[1], f[2]);
    const pixel_rect rect = drawable(p);
    const int64_t ymin = std::min({f[0].y, f[1].y, f[2].y}), ymax = std::max({f[0].y, f[1].y, f[2].y});
    const int row_first = int(std::max<int64_t>(rect.top, -floor_div(-ymin, raster_subpixel_one)));
    const int row_last = int(std::min<int64_t>(rect.bottom - 1, floor_div(ymax, raster_subpixel_one)));
    if (row_first > row_last || rect.left >= rect.right) return;

    // Planes relative to vertex 0 (in pixels, as snapped).
    constexpr float to_pixels = 1.0f / raster_subpixel_one;
    float values[3][gr_plane_count];
    for (int i = 0; i < 3; ++i) vertex_values(p, *v[i], values[i]);
    if (p.wraps) wrap_values(p, *v[0], *v[1], values[1]), wrap_values(p, *v[0], *v[2], values[2]);
    const float e1x = float(f[1].x - f[0].x) * to_pixels, e1y = float(f[1].y - f[0].y) * to_pixels;
    const float e2x = float(f[2].x - f[0].x) * to_pixels, e2y = float(f[2].y - f[0].y) * to_pixels;
    const float inv_area = 1.0f / (e1x * e2y - e2x * e1y);
    const auto set_plane = [&](int k) {
        const float d1 = values[1][k] - values[0][k], d2 = values[2][k] - values[0][k];
        planes.origin[k] = values[0][k];
        planes.dx[k] = (d1 * e2y - d2 * e1y) * inv_area;
        planes.dy[k] = (d2 * e1x - d1 * e2x) * inv_area;
    };
    // The fixed planes in a loop of known length (unrolled), then the coordinates the stages read.
    for (int k = 0; k < gr_coordinates; ++k) set_plane(k);
    for (int k = gr_coordinates; k < p.plane_count; ++k) set_plane(k);
    planes.x0 = float(f[0].x) * to_pixels;
    planes.y0 = float(f[0].y) * to_pixels;
    const gr_state& st = p.state;
    if (st.depth_bias != 0.0f || st.slope_scale_depth_bias != 0.0f) {
        const float slope = std::max(std::fabs(planes.dx[gr_z]), std::fabs(planes.dy[gr_z]));
        planes.depth_offset = slope * st.slope_scale_depth_bias + st.depth_bias;
    }

    const edge edges[3] = {make_edge(f[0], f[1]), make_edge(f[1], f[2]), make_edge(f[2], f[0])};
    gr_span span;
    drawn_box box;
    for (int y = row_first; y <= row_last; ++y) {
        int64_t x1 = rect.left, x2 = rect.right - 1;
        for (const edge& e : edges) {
            const int64_t n = e.b * y + e.c;
            if (e.a > 0) x1 = std::max(x1, -floor_div(n, e.a));
            if (e.a < 0) x2 = std::min(x2, floor_div(n, -e.a));
            if (e.a == 0 && n < 0) x2 = x1 - 1;
        }
        if (x1 > x2) continue;
        box.add(int(x1), y);
        box.add(int(x2), y);
        draw_row(p, planes, span, y, int(x1), int(x2));
    }
    mark(p, box);
}

void gr_point(const gr_program* program, const gv_screen_vertex& a, bool sprite) {
    const gr_program& p = *program;
    const double size = a.point_size;
    if (p.state.target == nullptr || !usable(a.x, a.y) || !(size > 0.0 && size <= gr_position_limit)) return;
    // The square [x - size/2, x + size/2] under the fill rule: centres on its left and top edges
    // belong to it, those on the right and bottom do not.
    const double x = double(std::llrint(a.x * raster_subpixel_one)) / raster_subpixel_one;
    const double y = double(std::llrint(a.y * raster_subpixel_one)) / raster_subpixel_one;
    const double left = x - size / 2, top = y - size / 2;
    const pixel_rect rect = drawable(p);
    const int x1 = int(std::max<double>(rect.left, std::ceil(left)));
    const int x2 = int(std::min<double>(rect.right - 1, std::ceil(left + size) - 1));
    const int y1 = int(std::max<double>(rect.top, std::ceil(top)));
    const int y2 = int(std::min<double>(rect.bottom - 1, std::ceil(top + size) - 1));
    if (x1 > x2 || y1 > y2) return;

    // The vertex's values over the whole square; sprite coordinates run from (0, 0) at its top-left
    // corner to (1, 1) at its bottom-right.
    gr_planes planes;
    vertex_values(p, a, planes.origin);
    std::fill(planes.dx, planes.dx + gr_plane_count, 0.0f);
    std::fill(planes.dy, planes.dy + gr_plane_count, 0.0f);
    planes.x0 = float(left);
    planes.y0 = float(top);
    if (sprite) {
        // Every stage's (u, v, w, q) becomes (s, t, 0, 1).
        const float q = planes.origin[gr_q];
        const tx_cascade& c = p.cascade;
        for (int k = 0; k < c.coordinate_count; ++k) {
            const int component = c.coordinate_component[k], slot = gr_coordinates + k;
            planes.origin[slot] = component == 3 ? q : 0.0f;
            if (component == 0) planes.dx[slot] = float(q / size);
            if (component == 1) planes.dy[slot] = float(q / size);
        }
    }
    gr_span span;
    for (int row = y1; row <= y2; ++row) draw_row(p, planes, span, row, x1, x2);
    drawn_box box;
    box.add(x1, y1);
    box.add(x2, y2);
    mark(p, box);
}

void gr_line(const gr_program* program, const gv_screen_vertex& a, const gv_screen_vertex& b, bool last_pixel) {
    const gr_program& p = *program;
    if (p.state.target == nullptr || !usable(a.x, a.y) || !usable(b.x, b.y)) return;
    // One pixel per column (x-major) or row (y-major); u runs along the major axis, s across it.
    const bool x_major = std::fabs(b.x - a.x) >= std::fabs(b.y - a.y);
    const double u0 = x_major ? a.x : a.y, u1 = x_major ? b.x : b.y;
    const double s0 = x_major ? a.y : a.x, s1 = x_major ? b.y : b.x;
    const int64_t c0 = int64_t(std::floor(u0 + 0.5)), c1 = int64_t(std::floor(u1 + 0.5));
    const int64_t step = c1 >= c0 ? 1 : -1;
    int64_t end = last_pixel ? c1 + step : c1;  // exclusive
    double du = u1 - u0, slope = du != 0.0 ? (s1 - s0) / du : 0.0;
    // End points in the same pixel: that pixel alone, or nothing.
    const bool one_pixel = c0 == c1 && std::floor(s0 + 0.5) == std::floor(s1 + 0.5);
    if (one_pixel) du = 0.0, slope = 0.0;

    // Only the columns (rows) inside the drawable rectangle are visited.
    const pixel_rect rect = drawable(p);
    const int64_t lo = x_major ? rect.left : rect.top, hi = (x_major ? rect.right : rect.bottom) - 1;
    const int64_t s_lo = x_major ? rect.top : rect.left, s_hi = (x_major ? rect.bottom : rect.right) - 1;
    if (lo > hi || s_lo > s_hi) return;
    int64_t first = c0;
    if (step > 0) {
        first = std::max(first, lo);
        end = std::min(end, hi + 1);
    } else {
        first = std::min(first, hi);
        end = std::max(end, lo - 1);
    }

    // Values along the line: a plane in t alone (fx = t, fy = 0).
    gr_planes planes;
    float va[gr_plane_count], vb[gr_plane_count];
    vertex_values(p, a, va);
    vertex_values(p, b, vb);
    if (p.wraps) wrap_values(p, a, b, vb);
    for (int k = 0; k < p.plane_count; ++k) {
        planes.origin[k] = va[k];
        planes.dx[k] = vb[k] - va[k];
        planes.dy[k] = 0.0f;
    }
    // One pixel along the major axis is this much of t (for the level of detail).
    planes.step_x = du != 0.0 ? float(1.0 / std::fabs(du)) : 0.0f;
    planes.step_y = 0.0f;
    gr_span span;
    span.fy = 0.0f;
    span.count = 0;
    span.consecutive = false;
    drawn_box box;
    const int width = p.state.target->width;
    for (int64_t c = first; c != end && (step > 0 ? c < end : c > end); c += step) {
        const double sc = one_pixel ? s0 : s0 + (double(c) - u0) * slope;
        const int64_t r = int64_t(std::floor(sc + 0.5));
        if (r < s_lo || r > s_hi) continue;
        const double t = du != 0.0 ? std::clamp((double(c) - u0) / du, 0.0, 1.0) : 0.0;
        const int px = int(x_major ? c : r), py = int(x_major ? r : c);
        const int i = span.count++;
        span.fx[i] = float(t);
        span.offset[i] = uint32_t(py) * uint32_t(width) + uint32_t(px);
        span.live[i] = 1;
        box.add(px, py);
        if (span.count == gr_span_max) {
            gr_run(p, planes, span);
            span.count = 0;
        }
    }
    if (span.count > 0) {
        for (int i = span.count; i < ((span.count + 3) & ~3); ++i)
            span.fx[i] = 0.0f, span.offset[i] = 0, span.live[i] = 0;
        gr_run(p, planes, span);
    }
    mark(p, box);
}
