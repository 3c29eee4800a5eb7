// raster.cpp - triangle set-up: culling, bounds, edge functions with the fill rule, span walkers
// and attribute planes; the row loops themselves live in raster_kernels.h.
#include "platform/d3d9/raster.h"

#include "platform/d3d9/raster_setup.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float depth_scale = 65535.0f;
constexpr int64_t unbounded = int64_t(1) << 40;

// floor(n / d) and its remainder, exactly, for d > 0 and |n| < 2^53 (a double quotient is within
// one of the truth; the remainder check corrects it).
struct Quotient {
    int64_t q, r;
};

Quotient floor_divide(int64_t n, int64_t d) {
    int64_t q = int64_t(double(n) / double(d));
    int64_t r = n - q * d;
    if (r < 0) {
        q -= 1, r += d;
    } else if (r >= d) {
        q += 1, r -= d;
    }
    return {q, r};
}

struct Edge {
    int64_t a, b, c;
};

// E(px, py) = a*px + b*py + c for pixel (px, py), positive inside a clockwise triangle, biased so
// that centres exactly on an edge count only for top and left edges.
Edge make_edge(const raster_vertex& from, const raster_vertex& to) {
    const int64_t dx = int64_t(to.x) - from.x;
    const int64_t dy = int64_t(to.y) - from.y;
    Edge e{-dy * raster_subpixel_one, dx * raster_subpixel_one, dy * from.x - dx * from.y};
    const bool top = dy == 0 && dx > 0;
    const bool left = dy < 0;
    if (!top && !left) e.c -= 1;
    return e;
}

raster_walker make_walker(int64_t e_first_row, int64_t step, int64_t d) {
    const Quotient start = floor_divide(e_first_row, d);
    const Quotient per_row = floor_divide(step, d);
    return {start.q, start.r, d, per_row.q, per_row.r};
}

// Rows limited by the edges with a == 0, then one walker per other edge from the first row.
// False when no row is left.
bool make_walkers(raster_setup& s, const Edge edges[3]) {
    for (int i = 0; i < 3; ++i) {
        const Edge& e = edges[i];
        if (e.a != 0) continue;
        if (e.b > 0) {
            s.row_first = int(std::max<int64_t>(s.row_first, -floor_divide(e.c, e.b).q));
        } else {
            s.row_last = int(std::min<int64_t>(s.row_last, floor_divide(e.c, -e.b).q));
        }
    }
    if (s.row_first > s.row_last) return false;
    const raster_walker none{unbounded, 0, 1, 0, 0};
    s.left[0] = s.left[1] = s.right[0] = s.right[1] = none;
    int lefts = 0, rights = 0;
    for (int i = 0; i < 3; ++i) {
        const Edge& e = edges[i];
        const int64_t first_row = e.b * s.row_first + e.c;
        if (e.a > 0) s.left[lefts++] = make_walker(first_row, e.b, e.a);
        if (e.a < 0) s.right[rights++] = make_walker(first_row, e.b, -e.a);
    }
    return true;
}

// Extent in both directions at most raster_small_extent pixels: edge values at the pixels of the
// bounding box (and a few lanes past it) then stay below 2^30.
bool is_small(const raster_vertex& a, const raster_vertex& b, const raster_vertex& c) {
    constexpr int32_t limit = raster_small_extent * raster_subpixel_one;
    return std::max({a.x, b.x, c.x}) - std::min({a.x, b.x, c.x}) <= limit &&
           std::max({a.y, b.y, c.y}) - std::min({a.y, b.y, c.y}) <= limit;
}

void start_edges(raster_setup& s, const Edge edges[3]) {
    for (int i = 0; i < 3; ++i) {
        const Edge& e = edges[i];
        s.edge_start[i] = int32_t(e.a * s.column_first + e.b * s.row_first + e.c);
        s.edge_dx[i] = int32_t(e.a);
        s.edge_dy[i] = int32_t(e.b);
    }
}

struct Gradients {
    float e1x, e1y, e2x, e2y, inv_area;
};

void set_plane(raster_setup& s, int slot, float f0, float f1, float f2, const Gradients& g) {
    const float d1 = f1 - f0, d2 = f2 - f0;
    s.origin[slot] = f0;
    s.dx[slot] = (d1 * g.e2y - d2 * g.e1y) * g.inv_area;
    s.dy[slot] = (d2 * g.e1x - d1 * g.e2x) * g.inv_area;
}

// Planes for the values that the selected row loop reads.
void make_planes(raster_setup& s, const raster_state& st, const raster_vertex& a, const raster_vertex& b,
                 const raster_vertex& c, int64_t area) {
    constexpr float to_pixels = 1.0f / raster_subpixel_one;
    const Gradients g{float(b.x - a.x) * to_pixels, float(b.y - a.y) * to_pixels, float(c.x - a.x) * to_pixels,
                      float(c.y - a.y) * to_pixels,
                      float(double(raster_subpixel_one) * raster_subpixel_one / double(area))};
    set_plane(s, plane_depth, a.z * depth_scale + 0.5f, b.z * depth_scale + 0.5f, c.z * depth_scale + 0.5f, g);
    set_plane(s, plane_q, a.q, b.q, c.q, g);
    const bool textured = st.texture.texels != nullptr;
    if (textured) {
        for (int i = 0; i < 3; ++i) {
            const int d = attr_diffuse_r + i, sp = attr_specular_r + i;
            set_plane(s, plane_c0 + i, 255.0f * a.attr[d], 255.0f * b.attr[d], 255.0f * c.attr[d], g);
            set_plane(s, plane_s0 + i, 255.0f * a.attr[sp], 255.0f * b.attr[sp], 255.0f * c.attr[sp], g);
        }
        set_plane(s, plane_u, a.attr[attr_u], b.attr[attr_u], c.attr[attr_u], g);
        set_plane(s, plane_v, a.attr[attr_v], b.attr[attr_v], c.attr[attr_v], g);
    } else {
        const float m = st.specular ? 255.0f : 0.0f;  // without a texture, diffuse + specular is linear
        for (int i = 0; i < 3; ++i) {
            const int d = attr_diffuse_r + i, sp = attr_specular_r + i;
            set_plane(s, plane_c0 + i, 255.0f * a.attr[d] + m * a.attr[sp], 255.0f * b.attr[d] + m * b.attr[sp],
                      255.0f * c.attr[d] + m * c.attr[sp], g);
        }
    }
    s.x0 = float(a.x) * to_pixels;
    s.y0 = float(a.y) * to_pixels;
}

int64_t floor_pixel(int64_t v) { return v >= 0 ? v >> raster_subpixel_bits : -((-v + raster_subpixel_one - 1) >> raster_subpixel_bits); }

// Pixel rows and columns of the triangle's bounding box, limited to the target.
bool make_bounds(raster_setup& s, const raster_state& st, const raster_vertex& a, const raster_vertex& b,
                 const raster_vertex& c) {
    const int64_t xmin = std::min({a.x, b.x, c.x}), xmax = std::max({a.x, b.x, c.x});
    const int64_t ymin = std::min({a.y, b.y, c.y}), ymax = std::max({a.y, b.y, c.y});
    s.column_first = int(std::max<int64_t>(0, -floor_pixel(-xmin)));
    s.column_last = int(std::min<int64_t>(st.target->width - 1, floor_pixel(xmax)));
    s.row_first = int(std::max<int64_t>(0, -floor_pixel(-ymin)));
    s.row_last = int(std::min<int64_t>(st.target->height - 1, floor_pixel(ymax)));
    return s.column_first <= s.column_last && s.row_first <= s.row_last;
}

}  // namespace

raster_program raster_compile(const raster_state& state) {
    raster_program program{state, nullptr};
    d3d9_framebuffer& fb = *state.target;
    program.state.colour = fb.colour.data();
    program.state.depth = fb.depth.empty() ? nullptr : fb.depth.data();
    program.state.pitch = fb.width;
    int mode = raster_depth_off;
    if (state.depth_test && program.state.depth != nullptr) {
        mode = state.depth_func == 4 && state.depth_write ? raster_depth_less_equal_write : raster_depth_generic;
    }
    const bool textured = state.texture.texels != nullptr;
    const bool specular = textured && state.specular;  // untextured: merged into the diffuse planes
    program.rows = raster_kernels().rows[textured][specular][mode];
    program.small_rows = raster_kernels().small[textured][specular][mode];
    return program;
}

void raster_triangle(const raster_program& program, const raster_vertex& a, const raster_vertex& b,
                     const raster_vertex& c) {
    const int64_t area = (int64_t(b.x) - a.x) * (int64_t(c.y) - a.y) - (int64_t(c.x) - a.x) * (int64_t(b.y) - a.y);
    if (area == 0) return;
    const raster_cull cull = program.state.cull;
    if ((area > 0 && cull == raster_cull::clockwise) || (area < 0 && cull == raster_cull::counter_clockwise)) return;

    raster_setup s;
    if (!make_bounds(s, program.state, a, b, c)) return;
    const raster_vertex& b2 = area > 0 ? b : c;  // walk clockwise
    const raster_vertex& c2 = area > 0 ? c : b;
    const Edge edges[3] = {make_edge(a, b2), make_edge(b2, c2), make_edge(c2, a)};
    const bool small = is_small(a, b, c);
    if (small) {
        start_edges(s, edges);
    } else if (!make_walkers(s, edges)) {
        return;
    }
    make_planes(s, program.state, a, b2, c2, area > 0 ? area : -area);
    (small ? program.small_rows : program.rows)(s, program.state);
}

bool raster_is_clockwise_clip(const float a[4], const float b[4], const float c[4]) {
    const double det = double(a[0]) * (double(b[1]) * c[3] - double(c[1]) * b[3]) -
                       double(b[0]) * (double(a[1]) * c[3] - double(c[1]) * a[3]) +
                       double(c[0]) * (double(a[1]) * b[3] - double(b[1]) * a[3]);
    return det < 0.0;
}
