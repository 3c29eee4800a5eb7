// raster_batch.h - triangle set-up several triangles at a time: area, culling, bounds, the small
// triangles' edge functions and the planes' per-triangle terms in vector lanes; then, triangle by
// triangle in order, the planes and the kernel (raster.cpp). Integer lanes, areas in double lanes
// (exact for positions inside the guard band) and single IEEE operations give in every lane exactly
// what raster_triangle computes, so every triangle is drawn as it draws it. Large triangles go to
// raster_triangle itself.
//
// Included by the kernel sources (raster_kernels_*.cpp) with their `Ops` (lane count; vector types
// F, I, U unsigned and D double; splat; `bits`: a mask's lanes as bits); internal linkage like
// raster_kernels.h.
#pragma once

#include "platform/d3d9/raster.h"
#include "platform/d3d9/raster_setup.h"

#include <algorithm>
#include <cstring>

namespace {

template <typename Ops>
struct triangle_batch {
    static constexpr int lanes = Ops::lanes;
    using I = typename Ops::I;
    using F = typename Ops::F;
    using U = typename Ops::U;

    static I splat(int32_t v) { return Ops::splat(v); }
    static I minimum(I a, I b) { return a < b ? a : b; }
    static I maximum(I a, I b) { return a < b ? b : a; }
    static I wrapping_multiply(I a, I b) { return I(U(a) * U(b)); }
    static I wrapping_negate(I a) { return I(-U(a)); }
    static I wrapping_subtract(I a, I b) { return I(U(a) - U(b)); }

    // What set-up knows about `lanes` triangles, one per lane: the vertices in clockwise order, bounds
    // (raster_setup's meaning), and the small triangles' edge functions.
    struct lane_triangles {
        I x[3], y[3];
        I column_first, column_last, row_first, row_last, small;
        I edge_start[3], edge_dx[3], edge_dy[3];
        unsigned clockwise;              // lane bits: given in clockwise order
        F magnitude;                     // twice the area, positive
        F e1x, e1y, e2x, e2y, inv_area;  // raster_plane_terms
    };

    static void bounds(lane_triangles& f, const raster_state& st) {
        const I xmin = minimum(f.x[0], minimum(f.x[1], f.x[2])), xmax = maximum(f.x[0], maximum(f.x[1], f.x[2]));
        const I ymin = minimum(f.y[0], minimum(f.y[1], f.y[2])), ymax = maximum(f.y[0], maximum(f.y[1], f.y[2]));
        const int32_t limit = std::min(st.small_extent, 64) * raster_subpixel_one;
        f.small = (xmax - xmin <= limit) & (ymax - ymin <= limit);
        f.column_first = maximum(splat(0), wrapping_negate(wrapping_negate(xmin) >> raster_subpixel_bits));
        f.column_last = minimum(splat(st.target->width - 1), xmax >> raster_subpixel_bits);
        f.row_first = maximum(splat(0), wrapping_negate(wrapping_negate(ymin) >> raster_subpixel_bits));
        f.row_last = minimum(splat(st.target->height - 1), ymax >> raster_subpixel_bits);
    }

    // The small-triangle edge functions of raster.cpp's small_edges, relative to each box's first pixel
    // (lanes of large triangles get values nobody reads).
    static void small_edges(lane_triangles& f) {
        const I ox = f.column_first << raster_subpixel_bits, oy = f.row_first << raster_subpixel_bits;
        for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3;
            const I dx = f.x[j] - f.x[i], dy = f.y[j] - f.y[i];
            const I top_or_left = (dy < 0) | ((dy == 0) & (dx > 0));
            const I bias = top_or_left + 1;  // 0 on top and left edges, else 1
            // Wrapping: large triangles' lanes may overflow, and their values are never read.
            f.edge_start[i] = wrapping_subtract(wrapping_subtract(wrapping_multiply(dy, wrapping_subtract(f.x[i], ox)),
                                                                  wrapping_multiply(dx, wrapping_subtract(f.y[i], oy))),
                                                bias);
            f.edge_dx[i] = wrapping_multiply(dy, splat(-raster_subpixel_one));
            f.edge_dy[i] = wrapping_multiply(dx, splat(raster_subpixel_one));
        }
    }

    // raster.cpp's plane_terms in every lane: the same conversions and one division for all.
    static void plane_terms(lane_triangles& f) {
        constexpr float to_pixels = 1.0f / raster_subpixel_one;
        f.e1x = __builtin_convertvector(f.x[1] - f.x[0], F) * to_pixels;
        f.e1y = __builtin_convertvector(f.y[1] - f.y[0], F) * to_pixels;
        f.e2x = __builtin_convertvector(f.x[2] - f.x[0], F) * to_pixels;
        f.e2y = __builtin_convertvector(f.y[2] - f.y[0], F) * to_pixels;
        f.inv_area = float(raster_subpixel_one * raster_subpixel_one) / f.magnitude;
    }

    // Twice the signed areas (positive when clockwise) in doubles: every product and difference of
    // screen positions in the guard band is exact there, as in raster_triangle's 64-bit integers.
    // Sets the lanes' vertices in clockwise order, which were given so, and the magnitudes; returns
    // the lanes not culled.
    static unsigned orient(lane_triangles& f, const I x[3], const I y[3], raster_cull cull, unsigned live) {
        using D = typename Ops::D;
        const D area = __builtin_convertvector(x[1] - x[0], D) * __builtin_convertvector(y[2] - y[0], D) -
                       __builtin_convertvector(x[2] - x[0], D) * __builtin_convertvector(y[1] - y[0], D);
        const I clockwise = __builtin_convertvector(area > 0.0, I);
        I culled = __builtin_convertvector(area == 0.0, I);
        if (cull == raster_cull::clockwise) culled |= clockwise;
        if (cull == raster_cull::counter_clockwise) culled |= __builtin_convertvector(area < 0.0, I);
        f.x[0] = x[0], f.y[0] = y[0];
        f.x[1] = clockwise ? x[1] : x[2], f.y[1] = clockwise ? y[1] : y[2];
        f.x[2] = clockwise ? x[2] : x[1], f.y[2] = clockwise ? y[2] : y[1];
        f.clockwise = Ops::bits(clockwise);
        f.magnitude = __builtin_convertvector(area > 0.0 ? area : -area, F);
        return live & ~Ops::bits(culled);
    }

    static void draw_group(const raster_program& program, const raster_triangle_ref* t, int count) {
        alignas(32) int32_t xs[3][lanes], ys[3][lanes];
        for (int k = 0; k < lanes; ++k) {
            const raster_triangle_ref& r = t[k < count ? k : count - 1];
            for (int i = 0; i < 3; ++i) xs[i][k] = r.v[i]->x, ys[i][k] = r.v[i]->y;
        }
        I x[3], y[3];
        std::memcpy(x, xs, sizeof x);
        std::memcpy(y, ys, sizeof y);
        lane_triangles f;
        const unsigned visible = orient(f, x, y, program.state.cull, (1u << count) - 1);
        if (visible == 0) return;
        bounds(f, program.state);
        const unsigned small = Ops::bits(f.small);
        unsigned drawn = visible & Ops::bits((f.column_first <= f.column_last) & (f.row_first <= f.row_last));
        if ((drawn & small) != 0) {
            small_edges(f);
            plane_terms(f);
        }
        for (; drawn != 0; drawn &= drawn - 1) {
            const int k = __builtin_ctz(drawn);
            const raster_triangle_ref& r = t[k];
            if ((small >> k & 1) == 0) {
                raster_triangle(program, *r.v[0], *r.v[1], *r.v[2]);
                continue;
            }
            raster_setup s;
            s.column_first = f.column_first[k], s.column_last = f.column_last[k];
            s.row_first = f.row_first[k], s.row_last = f.row_last[k];
            for (int i = 0; i < 3; ++i) {
                s.edge_start[i] = f.edge_start[i][k], s.edge_dx[i] = f.edge_dx[i][k], s.edge_dy[i] = f.edge_dy[i][k];
            }
            const bool clockwise = (f.clockwise >> k & 1) != 0;
            const raster_plane_terms terms{f.e1x[k], f.e1y[k], f.e2x[k], f.e2y[k], f.inv_area[k]};
            raster_finish_small(program, s, *r.v[0], clockwise ? *r.v[1] : *r.v[2], clockwise ? *r.v[2] : *r.v[1],
                                terms);
        }
    }

    // raster_triangles with this instruction set.
    static void triangles(const raster_program& program, const raster_triangle_ref* t, size_t count) {
        for (size_t i = 0; i < count; i += lanes) draw_group(program, t + i, int(std::min<size_t>(lanes, count - i)));
    }
};

}  // namespace
