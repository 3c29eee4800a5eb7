// raster_batch.cpp - triangle set-up four triangles at a time: area, culling, bounds and the small
// triangles' edge functions in the lanes of integer vectors; then, triangle by triangle in order,
// the planes and the kernel (raster.cpp). All of it is integer arithmetic, exact in any lane, so
// every triangle is drawn exactly as raster_triangle draws it. Large triangles go to
// raster_triangle itself.
#include "platform/d3d9/raster.h"

#include "platform/d3d9/raster_setup.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int lanes = 4;
using I = int32_t __attribute__((vector_size(16)));
using U = uint32_t __attribute__((vector_size(16)));
using F = float __attribute__((vector_size(16)));

I splat(int32_t v) { return I{v, v, v, v}; }
I minimum(I a, I b) { return a < b ? a : b; }
I maximum(I a, I b) { return a < b ? b : a; }
I wrapping_multiply(I a, I b) { return I(U(a) * U(b)); }
I wrapping_negate(I a) { return I(-U(a)); }

// Twice the signed area of (a, b, c) in sub-pixel units squared; positive when clockwise.
int64_t doubled_area(const raster_triangle_ref& t) {
    const raster_vertex &a = *t.v[0], &b = *t.v[1], &c = *t.v[2];
    return (int64_t(b.x) - a.x) * (int64_t(c.y) - a.y) - (int64_t(c.x) - a.x) * (int64_t(b.y) - a.y);
}

bool culled(int64_t area, raster_cull cull) {
    return area == 0 || (area > 0 && cull == raster_cull::clockwise) ||
           (area < 0 && cull == raster_cull::counter_clockwise);
}

// What set-up knows about four triangles, one per lane: the vertices in clockwise order, bounds
// (raster_setup's meaning), and the small triangles' edge functions.
struct FourTriangles {
    I x[3], y[3];
    I column_first, column_last, row_first, row_last, small;
    I edge_start[3], edge_dx[3], edge_dy[3];
    F e1x, e1y, e2x, e2y, inv_area;  // raster_plane_terms
};

void bounds(FourTriangles& f, const raster_state& st) {
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
void small_edges(FourTriangles& f) {
    const I ox = f.column_first << raster_subpixel_bits, oy = f.row_first << raster_subpixel_bits;
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const I dx = f.x[j] - f.x[i], dy = f.y[j] - f.y[i];
        const I top_or_left = (dy < 0) | ((dy == 0) & (dx > 0));
        const I bias = top_or_left + 1;  // 0 on top and left edges, else 1
        f.edge_start[i] = wrapping_multiply(dy, f.x[i] - ox) - wrapping_multiply(dx, f.y[i] - oy) - bias;
        f.edge_dx[i] = wrapping_multiply(dy, splat(-raster_subpixel_one));
        f.edge_dy[i] = wrapping_multiply(dx, splat(raster_subpixel_one));
    }
}

// raster.cpp's plane_terms in every lane: the same conversions and one division for four.
void plane_terms(FourTriangles& f, const int64_t area[lanes]) {
    constexpr float to_pixels = 1.0f / raster_subpixel_one;
    F magnitude;
    for (int k = 0; k < lanes; ++k) magnitude[k] = float(area[k] > 0 ? area[k] : -area[k]);
    f.e1x = __builtin_convertvector(f.x[1] - f.x[0], F) * to_pixels;
    f.e1y = __builtin_convertvector(f.y[1] - f.y[0], F) * to_pixels;
    f.e2x = __builtin_convertvector(f.x[2] - f.x[0], F) * to_pixels;
    f.e2y = __builtin_convertvector(f.y[2] - f.y[0], F) * to_pixels;
    f.inv_area = float(raster_subpixel_one * raster_subpixel_one) / magnitude;
}

// Lane k's bit for each lane whose mask (all ones or all zeros) is set.
unsigned lane_bits(I mask) {
#if defined(__SSE2__)
    return unsigned(_mm_movemask_ps(__m128(mask)));
#else
    unsigned bits = 0;
    for (int k = 0; k < lanes; ++k) bits |= unsigned(mask[k] != 0) << k;
    return bits;
#endif
}

void draw_four(const raster_program& program, const raster_triangle_ref* t, int count) {
    FourTriangles f;
    int64_t area[lanes];
    unsigned visible = 0;
    alignas(16) int32_t x[3][lanes], y[3][lanes];
    for (int k = 0; k < lanes; ++k) {
        const raster_triangle_ref& r = t[k < count ? k : count - 1];
        area[k] = doubled_area(r);
        const bool clockwise = area[k] > 0;
        visible |= unsigned(k < count && !culled(area[k], program.state.cull)) << k;
        const raster_vertex* v[3] = {r.v[0], clockwise ? r.v[1] : r.v[2], clockwise ? r.v[2] : r.v[1]};
        for (int i = 0; i < 3; ++i) x[i][k] = v[i]->x, y[i][k] = v[i]->y;
    }
    if (visible == 0) return;
    std::memcpy(f.x, x, sizeof f.x);
    std::memcpy(f.y, y, sizeof f.y);
    bounds(f, program.state);
    const unsigned small = lane_bits(f.small);
    unsigned drawn = visible & lane_bits((f.column_first <= f.column_last) & (f.row_first <= f.row_last));
    if ((drawn & small) != 0) {
        small_edges(f);
        plane_terms(f, area);
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
        const bool clockwise = area[k] > 0;
        const raster_plane_terms terms{f.e1x[k], f.e1y[k], f.e2x[k], f.e2y[k], f.inv_area[k]};
        raster_finish_small(program, s, *r.v[0], clockwise ? *r.v[1] : *r.v[2], clockwise ? *r.v[2] : *r.v[1], terms);
    }
}

}  // namespace

void raster_triangles(const raster_program& program, const raster_triangle_ref* triangles, size_t count) {
    for (size_t i = 0; i < count; i += lanes)
        draw_four(program, triangles + i, int(std::min<size_t>(lanes, count - i)));
}
