// raster.cpp - triangle set-up: culling, bounds, edge functions with the fill rule, span walkers
// and attribute planes; the row loops themselves live in raster_kernels.h.
#include "platform/d3d9/raster.h"

#include "platform/d3d9/raster_setup.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int64_t unbounded = int64_t(1) << 40;

// floor(n / d) and its remainder, exactly, for d > 0 and |n| < 2^53 (a double quotient is within
// one of the truth; the remainder check corrects it).
struct floor_quotient {
    int64_t q, r;
};

floor_quotient floor_divide(int64_t n, int64_t d) {
    int64_t q = int64_t(double(n) / double(d));
    int64_t r = n - q * d;
    if (r < 0) {
        q -= 1, r += d;
    } else if (r >= d) {
        q += 1, r -= d;
    }
    return {q, r};
}

struct raster_edge {
    int64_t a, b, c;
};

// E(px, py) = a*px + b*py + c for pixel (px, py), positive inside a clockwise triangle, biased so
// that centres exactly on an edge count only for top and left edges.
raster_edge make_edge(const raster_vertex& from, const raster_vertex& to) {
    const int64_t dx = int64_t(to.x) - from.x;
    const int64_t dy = int64_t(to.y) - from.y;
    raster_edge e{-dy * raster_subpixel_one, dx * raster_subpixel_one, dy * from.x - dx * from.y};
    const bool top = dy == 0 && dx > 0;
    const bool left = dy < 0;
    if (!top && !left) e.c -= 1;
    return e;
}

raster_walker make_walker(int64_t e_first_row, int64_t step, int64_t d) {
    const floor_quotient start = floor_divide(e_first_row, d);
    const floor_quotient per_row = floor_divide(step, d);
    return {start.q, start.r, d, per_row.q, per_row.r};
}

// Rows limited by the edges with a == 0, then one walker per other edge from the first row.
// False when no row is left.
bool make_walkers(raster_setup& s, const raster_edge edges[3]) {
    for (int i = 0; i < 3; ++i) {
        const raster_edge& e = edges[i];
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
        const raster_edge& e = edges[i];
        const int64_t first_row = e.b * s.row_first + e.c;
        if (e.a > 0) s.left[lefts++] = make_walker(first_row, e.b, e.a);
        if (e.a < 0) s.right[rights++] = make_walker(first_row, e.b, -e.a);
    }
    return true;
}

// The edge functions of a small triangle (extent at most 64 pixels) in 32 bits, relative to its
// bounding box's first pixel: every term stays below 2^29 there. Same values and fill-rule bias
// as make_edge.
void small_edges(raster_setup& s, const raster_vertex* v[3]) {
    const int32_t ox = s.column_first * raster_subpixel_one, oy = s.row_first * raster_subpixel_one;
    for (int i = 0; i < 3; ++i) {
        const raster_vertex& from = *v[i];
        const raster_vertex& to = *v[(i + 1) % 3];
        const int32_t dx = to.x - from.x, dy = to.y - from.y;
        // Top (dy == 0, dx > 0) or left (dy < 0) exactly when dy * 2^32 - dx < 0 (|dx| < 2^31).
        const int32_t bias = int32_t(~uint64_t(int64_t(dy) * (int64_t(1) << 32) - dx) >> 63);
        s.edge_start[i] = dy * (from.x - ox) - dx * (from.y - oy) - bias;
        s.edge_dx[i] = -dy * raster_subpixel_one;
        s.edge_dy[i] = dx * raster_subpixel_one;
    }
}

// Planes for the first `Values` values (a multiple of four), four at a time: f(px, py) = origin +
// dx*(px - x0) + dy*(py - y0), scaled to the units the kernels use (depth to 16-bit steps plus the
// rounding half, colours to 0..255). `t` holds the triangle's edge vectors and inverse area.
template <int Values>
void make_planes(raster_setup& s, const raster_vertex& a, const raster_vertex& b, const raster_vertex& c,
                 const raster_plane_terms& t) {
    static_assert(Values % 4 == 0 && Values <= raster_value_storage);
    using f4 = float __attribute__((vector_size(16)));
    constexpr float to_pixels = 1.0f / raster_subpixel_one;
    for (int i = 0; i < Values; i += 4) {
        f4 va, vb, vc, k;
        std::memcpy(&va, a.value + i, sizeof va);
        std::memcpy(&vb, b.value + i, sizeof vb);
        std::memcpy(&vc, c.value + i, sizeof vc);
        std::memcpy(&k, raster_plane_scale + i, sizeof k);
        const f4 d1 = (vb - va) * k, d2 = (vc - va) * k;
        const f4 origin = va * k, dx = (d1 * t.e2y - d2 * t.e1y) * t.inv_area,
                 dy = (d2 * t.e1x - d1 * t.e2x) * t.inv_area;
        std::memcpy(s.origin + i, &origin, sizeof origin);
        std::memcpy(s.dx + i, &dx, sizeof dx);
        std::memcpy(s.dy + i, &dy, sizeof dy);
    }
    s.origin[plane_depth] += 0.5f;
    s.x0 = float(a.x) * to_pixels;
    s.y0 = float(a.y) * to_pixels;
}

raster_plane_terms plane_terms(const raster_vertex& a, const raster_vertex& b, const raster_vertex& c, int64_t area) {
    constexpr float to_pixels = 1.0f / raster_subpixel_one;
    return {float(b.x - a.x) * to_pixels, float(b.y - a.y) * to_pixels, float(c.x - a.x) * to_pixels,
            float(c.y - a.y) * to_pixels, float(raster_subpixel_one * raster_subpixel_one) / float(area)};
}

void make_planes(const raster_program& program, raster_setup& s, const raster_vertex& a, const raster_vertex& b,
                 const raster_vertex& c, const raster_plane_terms& t) {
    if (program.all_values) {
        make_planes<raster_value_storage>(s, a, b, c, t);
    } else {
        make_planes<8>(s, a, b, c, t);
    }
}

// Pixel rows and columns of the triangle's bounding box, limited to the target (an arithmetic
// right shift is a floor division). *small: the triangle spans at most `extent` (<= 64) pixels
// both ways.
bool make_bounds(raster_setup& s, const raster_state& st, const raster_vertex& a, const raster_vertex& b,
                 const raster_vertex& c, bool* small) {
    const int32_t xmin = std::min(a.x, std::min(b.x, c.x)), xmax = std::max(a.x, std::max(b.x, c.x));
    const int32_t ymin = std::min(a.y, std::min(b.y, c.y)), ymax = std::max(a.y, std::max(b.y, c.y));
    const int32_t limit = std::min(st.small_extent, 64) * raster_subpixel_one;
    *small = xmax - xmin <= limit && ymax - ymin <= limit;
    s.column_first = std::max(0, -((-xmin) >> raster_subpixel_bits));
    s.column_last = std::min(st.target->width - 1, xmax >> raster_subpixel_bits);
    s.row_first = std::max(0, -((-ymin) >> raster_subpixel_bits));
    s.row_last = std::min(st.target->height - 1, ymax >> raster_subpixel_bits);
    return s.column_first <= s.column_last && s.row_first <= s.row_last;
}

// The end of a small triangle's set-up: planes, then the small-triangle kernel on a record of one
// lane (made by the kernels' own set-up, which bases the planes at the box as the batches do).
void finish_small(const raster_program& program, raster_setup& s, const raster_vertex& a, const raster_vertex& b,
                  const raster_vertex& c, const raster_plane_terms& terms) {
    make_planes(program, s, a, b, c, terms);
    fb_mark_drawn(*program.state.target, s.column_first, s.row_first, s.column_last, s.row_last,
                  program.state.writes_depth());
    program.small_one(program, s);
}

}  // namespace

raster_program raster_compile(const raster_state& state) { return raster_compile(state, raster_kernels()); }

raster_program raster_compile(const raster_state& state, const raster_kernel_table& kernels) {
    raster_program program{state, nullptr};
    d3d9_framebuffer& fb = *state.target;
    program.state.colour = fb.colour_pixels;
    program.state.depth = fb.depth.empty() ? nullptr : fb.depth.data();
    program.state.pitch = fb.width;
    int mode = raster_depth_off;
    if (state.depth_test && program.state.depth != nullptr) {
        // [LESSEQUAL][write]: that function has kernels of its own, with and without writes.
        static constexpr int8_t modes[2][2] = {{raster_depth_generic, raster_depth_generic},
                                               {raster_depth_less_equal_read, raster_depth_less_equal_write}};
        mode = modes[state.depth_func == 4][state.depth_write];
    }
    // Stage 0's plan, with the sampler routines of the kernels' lane width.
    program.state.plan = program.state.plan1 = nullptr;
    int texture = raster_texture_none;
    if (state.sampler != nullptr && state.sampler->level_count > 0 && state.sampler_storage != nullptr) {
        const sampler_plan* plan = sampler_compile_with(*state.sampler, state.sampler_storage, kernels.sampler_choose);
        if (plan->level_count > 0) {
            program.state.plan = plan;
            const sampler_choice& c = plan->choice;
            const bool single_wrap =
                !plan->needs_lod && c.address_u == sampler_address_wrap && c.address_v == sampler_address_wrap;
            texture = !single_wrap   ? raster_texture_plan
                      : c.mag_linear ? raster_texture_linear_wrap
                                     : raster_texture_point_wrap;
        }
    }
    if (texture != raster_texture_none && state.sampler1 != nullptr && state.sampler1->level_count > 0 &&
        state.sampler1_storage != nullptr) {
        const sampler_plan* plan =
            sampler_compile_with(*state.sampler1, state.sampler1_storage, kernels.sampler_choose);
        if (plan->level_count > 0) {
            program.state.plan1 = plan;
            texture = raster_texture_two_stages;
        }
    }
    const bool textured = texture != raster_texture_none;
    const bool specular = textured && state.specular;  // untextured: summed into diffuse already
    const int blend = int(state.blend);
    program.rows = kernels.rows[texture][specular][mode][state.fog][blend];
    program.small_rows = kernels.small[texture][specular][mode][state.fog][blend];
    program.triangles = kernels.triangles;
    program.small_one = kernels.small_one;
    static_assert(plane_c2 < 8, "untextured kernels read only the first eight planes");
    program.all_values = textured || state.fog || state.blend != raster_blend::none;
    program.planes = raster_planes_read(textured, texture == raster_texture_two_stages, state.fog,
                                        state.blend == raster_blend::source_alpha);
    return program;
}

void raster_triangle(const raster_program& program, const raster_vertex& a, const raster_vertex& b,
                     const raster_vertex& c) {
    const int64_t area = (int64_t(b.x) - a.x) * (int64_t(c.y) - a.y) - (int64_t(c.x) - a.x) * (int64_t(b.y) - a.y);
    if (area == 0) return;
    const raster_cull cull = program.state.cull;
    if ((area > 0 && cull == raster_cull::clockwise) || (area < 0 && cull == raster_cull::counter_clockwise)) return;

    raster_setup s;
    bool small = false;
    if (!make_bounds(s, program.state, a, b, c, &small)) return;
    const raster_vertex& b_cw = area > 0 ? b : c;
    const raster_vertex& c_cw = area > 0 ? c : b;
    const raster_plane_terms terms = plane_terms(a, b_cw, c_cw, area > 0 ? area : -area);
    if (small) {
        const raster_vertex* clockwise[3] = {&a, &b_cw, &c_cw};
        small_edges(s, clockwise);
        finish_small(program, s, a, b_cw, c_cw, terms);
        return;
    }
    const raster_edge edges[3] = {make_edge(a, b_cw), make_edge(b_cw, c_cw), make_edge(c_cw, a)};
    if (!make_walkers(s, edges)) return;
    make_planes(program, s, a, b_cw, c_cw, terms);
    fb_mark_drawn(*program.state.target, s.column_first, s.row_first, s.column_last, s.row_last,
                  program.state.writes_depth());
    program.rows(s, program.state);
}

void raster_triangles(const raster_program& program, const raster_triangle_ref* triangles, size_t count) {
    program.triangles(program, triangles, count);
}

bool raster_is_clockwise_clip(const float a[4], const float b[4], const float c[4]) {
    const double det = double(a[0]) * (double(b[1]) * c[3] - double(c[1]) * b[3]) -
                       double(b[0]) * (double(a[1]) * c[3] - double(c[1]) * a[3]) +
                       double(c[0]) * (double(a[1]) * b[3] - double(b[1]) * a[3]);
    return det < 0.0;
}
