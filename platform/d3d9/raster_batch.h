// raster_batch.h - triangle set-up several triangles at a time: area, culling, bounds, the small
// triangles' edge functions and their planes in vector lanes, the vertex records transposed into
// lanes on the way; then, triangle by triangle in order, the small-triangle kernel on the lanes'
// record. Integer lanes, areas in double lanes (exact for positions inside the guard band) and
// single IEEE operations, never fused, give in every lane exactly what raster_triangle computes, so
// every triangle is drawn as it draws it; the planes' values at each box's first pixel are computed
// here for triangles drawn alone too (small_one). Large triangles go to raster_triangle itself.
//
// Included by the kernel sources (raster_kernels_*.cpp) with their `Ops` (lane count; vector types
// F, I, U unsigned and D double; splat; `bits`: a mask's lanes as bits); internal linkage like
// raster_kernels.h.
#pragma once

#include "platform/d3d9/framebuffer.h"
#include "platform/d3d9/raster.h"
#include "platform/d3d9/raster_setup.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <utility>

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
        I clockwise_lanes;               // all ones: given in clockwise order
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
        f.clockwise_lanes = clockwise;
        f.magnitude = __builtin_convertvector(area > 0.0 ? area : -area, F);
        return live & ~Ops::bits(culled);
    }

    // A raster vertex as 32-bit words: x, y, then the values.
    static constexpr int vertex_words = 2 + raster_value_storage;
    static_assert(offsetof(raster_vertex, y) == 4 && offsetof(raster_vertex, value) == 8 &&
                  sizeof(raster_vertex) == 4 * vertex_words);

    // Lane k of out[i]: word first + i of vertex v[k] (a transpose of `lanes` rows of `lanes` words).
    [[gnu::always_inline]] static void transpose(const raster_vertex* const v[lanes], int first, F out[lanes]) {
        F r[lanes];
        for (int k = 0; k < lanes; ++k) r[k] = Ops::load(reinterpret_cast<const char*>(v[k]) + 4 * first);
        if constexpr (lanes == 4) {
            const F t0 = __builtin_shufflevector(r[0], r[1], 0, 4, 1, 5),
                    t1 = __builtin_shufflevector(r[0], r[1], 2, 6, 3, 7);
            const F t2 = __builtin_shufflevector(r[2], r[3], 0, 4, 1, 5),
                    t3 = __builtin_shufflevector(r[2], r[3], 2, 6, 3, 7);
            out[0] = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
            out[1] = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
            out[2] = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
            out[3] = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
        } else {
            F t[8], u[8];
            for (int k = 0; k < 8; k += 2) {
                t[k] = __builtin_shufflevector(r[k], r[k + 1], 0, 8, 1, 9, 4, 12, 5, 13);
                t[k + 1] = __builtin_shufflevector(r[k], r[k + 1], 2, 10, 3, 11, 6, 14, 7, 15);
            }
            for (int k = 0; k < 8; k += 4) {
                u[k] = __builtin_shufflevector(t[k], t[k + 2], 0, 1, 8, 9, 4, 5, 12, 13);
                u[k + 1] = __builtin_shufflevector(t[k], t[k + 2], 2, 3, 10, 11, 6, 7, 14, 15);
                u[k + 2] = __builtin_shufflevector(t[k + 1], t[k + 3], 0, 1, 8, 9, 4, 5, 12, 13);
                u[k + 3] = __builtin_shufflevector(t[k + 1], t[k + 3], 2, 3, 10, 11, 6, 7, 14, 15);
            }
            for (int k = 0; k < 4; ++k) {
                out[k] = __builtin_shufflevector(u[k], u[k + 4], 0, 1, 2, 3, 8, 9, 10, 11);
                out[k + 4] = __builtin_shufflevector(u[k], u[k + 4], 4, 5, 6, 7, 12, 13, 14, 15);
            }
        }
    }

    // The value as computed, never fused with the operation that uses it: the planes must round
    // exactly as the one-by-one set-up (raster.cpp, built without fused multiply-adds) rounds them.
    template <typename V>
    static V unfused(V v) {
#if defined(__x86_64__) || defined(__i386__)
        asm("" : "+x"(v));
#elif defined(__aarch64__)
        asm("" : "+w"(v));
#endif
        return v;
    }

    template <typename V, typename T>
    static void store(T* to, const V& v) {
        std::memcpy(to, &v, sizeof v);
    }

    // Lane k: value i of vertex v[k], built in registers.
    static F value(const raster_vertex* const v[lanes], int i) {
        return [&]<size_t... K>(std::index_sequence<K...>) { return F{v[K]->value[i]...}; }
        (std::make_index_sequence<lanes>());
    }

    // The lanes' vertices (clockwise order decided later) and their first `lanes` words.
    struct lane_vertices {
        const raster_vertex* v[3][lanes];
        F words[3][lanes];
    };

    // A plane's value at the box's first pixel, rx and ry pixels right of and below vertex 0: one
    // expression over values as computed, so that it rounds alike in lanes and alone (with fused
    // multiply-adds exactly where this instruction set contracts it).
    template <typename V>
    static V box_base(V origin, V dx, V dy, V rx, V ry) {
        return unfused(origin) + unfused(dy) * ry + unfused(dx) * rx;
    }

    // Where each lane's box starts, relative to its vertex 0, in pixels.
    struct box_offsets {
        F rx, ry;
    };

    // raster.cpp's make_planes for one plane in every lane, from vertex word `word` of the lanes'
    // vertices (as given) in w0, w1, w2, based at the boxes' first pixels.
    static void plane(const lane_triangles& f, const box_offsets& at, int i, F w0, F w1, F w2,
                      raster_small_batch& out) {
        const F a = w0;
        const F b = f.clockwise_lanes ? w1 : w2;
        const F c = f.clockwise_lanes ? w2 : w1;
        const float k = raster_plane_scale[i];
        const F d1 = (b - a) * k, d2 = (c - a) * k;
        const F origin = i == plane_depth ? unfused(a * k) + 0.5f : a * k;
        const F dx = (unfused(d1 * f.e2y) - unfused(d2 * f.e1y)) * f.inv_area;
        const F dy = (unfused(d2 * f.e1x) - unfused(d1 * f.e2x)) * f.inv_area;
        store(out.base[i], box_base(origin, dx, dy, at.rx, at.ry));
        store(out.dx[i], dx);
        store(out.dy[i], dy);
    }

    // raster.cpp's make_planes for every lane: the origin, dx and dy of the planes in `used` (one bit
    // per plane): the run of planes from 0, then any others, taken from the vertices' last words.
    static void planes(const lane_triangles& f, const lane_vertices& lv, uint32_t used, raster_small_batch& out) {
        constexpr float to_pixels = 1.0f / raster_subpixel_one;
        const F x0 = unfused(__builtin_convertvector(f.x[0], F) * to_pixels);
        const F y0 = unfused(__builtin_convertvector(f.y[0], F) * to_pixels);
        const box_offsets at{__builtin_convertvector(f.column_first, F) - x0,
                             __builtin_convertvector(f.row_first, F) - y0};
        used &= (uint32_t(1) << plane_count) - 1u;
        const int words = 2 + std::countr_one(used);
        F more[3][lanes];
        for (int done = 2, first = 0; done < words; first = done = first + lanes) {
            const F(*w)[lanes] = lv.words;
            if (first != 0) {
                first = std::min(done, vertex_words - lanes);  // blocks stay inside the vertex
                for (int j = 0; j < 3; ++j) transpose(lv.v[j], first, more[j]);
                w = more;
            }
            for (int word = done; word < std::min(words, first + lanes); ++word) {
                const int k = word - first;
                plane(f, at, word - 2, w[0][k], w[1][k], w[2][k], out);
            }
        }
        uint32_t rest = used & ~((uint32_t(1) << (words - 2)) - 1u);
        if (rest == 0) return;
        if ((rest & (rest - 1u)) == 0) {  // one more plane (fog or alpha): its word alone
            const int i = std::countr_zero(rest);
            plane(f, at, i, value(lv.v[0], i), value(lv.v[1], i), value(lv.v[2], i), out);
            return;
        }
        constexpr int first = vertex_words - lanes;
        static_assert(first <= 2 + plane_fog, "the last block holds the planes past the texture coordinates");
        for (int j = 0; j < 3; ++j) transpose(lv.v[j], first, more[j]);
        for (; rest != 0; rest &= rest - 1) {
            const int i = std::countr_zero(rest), k = 2 + i - first;
            plane(f, at, i, more[0][k], more[1][k], more[2][k], out);
        }
    }

    // Bounds, edges and planes of the lanes' small triangles, for the small-triangle kernel.
    static void small_record(const lane_triangles& f, const lane_vertices& lv, uint32_t used, raster_small_batch& out) {
        store(out.column_first, f.column_first), store(out.column_last, f.column_last);
        store(out.row_first, f.row_first), store(out.row_last, f.row_last);
        for (int i = 0; i < 3; ++i) {
            store(out.edge_start[i], f.edge_start[i]), store(out.edge_dx[i], f.edge_dx[i]);
            store(out.edge_dy[i], f.edge_dy[i]);
        }
        planes(f, lv, used, out);
    }

    // The small-triangle kernel for one triangle set up alone (raster.cpp, planes and all): its
    // record in lane 0, the planes it reads based at the box as in planes().
    static void small_one(const raster_program& program, const raster_setup& s) {
        raster_small_batch one;
        one.column_first[0] = s.column_first, one.column_last[0] = s.column_last;
        one.row_first[0] = s.row_first, one.row_last[0] = s.row_last;
        for (int i = 0; i < 3; ++i) {
            one.edge_start[i][0] = s.edge_start[i], one.edge_dx[i][0] = s.edge_dx[i], one.edge_dy[i][0] = s.edge_dy[i];
        }
        const float rx = float(s.column_first) - unfused(s.x0), ry = float(s.row_first) - unfused(s.y0);
        for (uint32_t used = program.planes & ((uint32_t(1) << plane_count) - 1u); used != 0; used &= used - 1) {
            const int i = std::countr_zero(used);
            one.base[i][0] = box_base(s.origin[i], s.dx[i], s.dy[i], rx, ry);
            one.dx[i][0] = s.dx[i], one.dy[i][0] = s.dy[i];
        }
        program.small_rows(one, 0, program.state);
    }

    // Marks the tiles under the lanes' boxes as drawn, all under one box: triangles drawn together
    // are neighbours, so marking a few more tiles costs less than marking each box.
    static void mark_drawn(const raster_state& st, const raster_small_batch& b, unsigned which) {
        int x1 = b.column_first[__builtin_ctz(which)], y1 = b.row_first[__builtin_ctz(which)], x2 = x1, y2 = y1;
        for (unsigned m = which; m != 0; m &= m - 1) {
            const int k = __builtin_ctz(m);
            x1 = std::min(x1, b.column_first[k]), y1 = std::min(y1, b.row_first[k]);
            x2 = std::max(x2, b.column_last[k]), y2 = std::max(y2, b.row_last[k]);
        }
        fb_mark_drawn(*st.target, x1, y1, x2, y2, st.writes_depth());
    }

    static void draw_group(const raster_program& program, const raster_triangle_ref* t, int count) {
        lane_vertices lv;
        for (int k = 0; k < lanes; ++k) {
            const raster_triangle_ref& r = t[k < count ? k : count - 1];
            for (int j = 0; j < 3; ++j) lv.v[j][k] = r.v[j];
        }
        I x[3], y[3];
        for (int j = 0; j < 3; ++j) {
            transpose(lv.v[j], 0, lv.words[j]);
            x[j] = I(lv.words[j][0]), y[j] = I(lv.words[j][1]);
        }
        lane_triangles f;
        const unsigned visible = orient(f, x, y, program.state.cull, (1u << count) - 1);
        if (visible == 0) return;
        bounds(f, program.state);
        const unsigned small = Ops::bits(f.small);
        unsigned drawn = visible & Ops::bits((f.column_first <= f.column_last) & (f.row_first <= f.row_last));
        raster_small_batch batch;
        if ((drawn & small) != 0) {
            small_edges(f);
            plane_terms(f);
            small_record(f, lv, program.planes, batch);
        }
        const raster_state& st = program.state;
        if ((drawn & small) != 0) mark_drawn(st, batch, drawn & small);
        for (; drawn != 0; drawn &= drawn - 1) {
            const int k = __builtin_ctz(drawn);
            if ((small >> k & 1) == 0) {
                const raster_triangle_ref& r = t[k];
                raster_triangle(program, *r.v[0], *r.v[1], *r.v[2]);
                continue;
            }
            program.small_rows(batch, k, st);
        }
    }

    // raster_triangles with this instruction set.
    static void triangles(const raster_program& program, const raster_triangle_ref* t, size_t count) {
        for (size_t i = 0; i < count; i += lanes) draw_group(program, t + i, int(std::min<size_t>(lanes, count - i)));
    }
};

}  // namespace
