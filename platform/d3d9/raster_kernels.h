// raster_kernels.h - the row and span loops of the rasteriser, written once over a set of lane
// operations.
//
// Included by one source file per instruction-set level (raster_kernels_*.cpp). Each supplies an
// `Ops` struct - the lane count, the vector types (GCC/Clang vector extensions) and the few
// primitives that differ between instruction sets (broadcast, minimum and maximum, rounding,
// 16-bit depth loads and stores, colour loads from two rows, "any lane set", the texel gather of
// sampler_gather.h) - instantiates
// Kernel<Ops> and exports the loops as a raster_kernel_table. Everything here has internal
// linkage, so the variants never mix at link time.
//
// Per row: the span [lo, hi] comes from the edge walkers, exact (large triangles), or the steps
// cover the bounding box and the edge functions give each lane's coverage (small triangles). Per
// step of Ops::lanes pixels: depth round(z * 65535) first (LESSEQUAL fast paths with and without
// write, or any comparison function with optional write); then, only if a lane passed, 1/w, the
// perspective-correct colours and texture coordinates, the texel (stage 0 MODULATE: point and
// wrap inline, any other sampler state through the plan's group routine, sampler_kernels.h, with
// the level of detail per lane when the plan reads it), the specular add, vertex fog and blending
// where the variant has them, clamping, round(c * 255), and a masked store. Colours are carried on
// the 0..255 scale. Pixels past the span are read and written back unchanged (the buffers carry
// padding for the last row). Rows along which only depth and u change (screen-aligned quads,
// sprites, text) take 1/w, the colours and stage 0's texel rows once per row instead of per step.
#pragma once

#include "platform/d3d9/raster_setup.h"
#include "platform/d3d9/sampler_kernels.h"

#include <cstring>

namespace {

constexpr float kernel_depth_max = 65535.0f;

inline int64_t kernel_max(int64_t a, int64_t b) { return a > b ? a : b; }
inline int64_t kernel_min(int64_t a, int64_t b) { return a < b ? a : b; }

inline void kernel_advance(raster_walker& w) {
    w.q += w.step_q;
    w.r += w.step_r;
    const int64_t carry = w.r >= w.d;
    w.q += carry;
    w.r -= w.d & -carry;
}

template <typename Ops>
struct span_kernel {
    static constexpr int lanes = Ops::lanes;
    using F = typename Ops::F;
    using I = typename Ops::I;

    static F splat(float v) { return Ops::splat(v); }
    static I splat(int32_t v) { return Ops::splat(v); }
    static bool any(I mask) { return Ops::any(mask); }
    static F lane_offsets() {
        F f;
        for (int i = 0; i < lanes; ++i) f[i] = float(i);
        return f;
    }

    // Clamped to [0, hi]; NaN becomes 0.
    static F clamp(F v, float hi) { return Ops::min(Ops::max_nan_low(v, splat(0.0f)), splat(hi)); }

    // Depth comparison outcomes that pass (all-ones lanes) for the generic path.
    struct depth_test_lanes {
        I less, equal, greater, write;
    };

    static depth_test_lanes depth_test_for(uint32_t func, bool write) {
        static constexpr uint8_t outcomes[9] = {7, 0, 1, 2, 3, 4, 5, 6, 7};  // bit 0 less, 1 equal, 2 greater
        const uint8_t o = func <= 8 ? outcomes[func] : 7;
        return {splat((o & 1) ? -1 : 0), splat((o & 2) ? -1 : 0), splat((o & 4) ? -1 : 0), splat(write ? -1 : 0)};
    }

    // Where `lanes` consecutive pixels lie relative to a plane's base pixel.
    struct lane_position {
        F x, y;
    };

    // Plane values at `lanes` consecutive pixels: base plus steps times the position.
    struct lane_plane {
        F base, step, step_y;
        F at(const lane_position& offset) const { return base + step * offset.x + step_y * offset.y; }
    };

    // The planes at one step's pixels, plane by plane.
    struct planes_at {
        static constexpr bool flat = false;
        const lane_plane* p;
        lane_position offset;
        F operator()(int i) const { return p[i].at(offset); }
        const lane_plane& plane(int i) const { return p[i]; }
    };

    // The same where each plane's base + step * x is known for the step's columns: the rest of
    // lane_plane::at, rounded exactly as it rounds.
    struct planes_at_column {
        static constexpr bool flat = false;
        const F* column;  // per plane: base + step * x
        const lane_plane* p;
        F y;
        F operator()(int i) const { return column[i] + p[i].step_y * y; }
        const lane_plane& plane(int i) const { return p[i]; }
    };

    // Planes based at the step's row: base + step * x, which is what lane_plane::at gives with no
    // step down (but for the sign of a zero, which no output depends on).
    struct planes_along_row {
        static constexpr bool flat = false;
        const lane_plane* p;
        F x;
        F operator()(int i) const { return p[i].base + p[i].step * x; }
        const lane_plane& plane(int i) const { return p[i]; }
    };

    static constexpr int blend_none = int(raster_blend::none);
    static constexpr int blend_source_alpha = int(raster_blend::source_alpha);
    static constexpr int blend_add = int(raster_blend::add);

    using sampler = sampler_kernels<Ops>;
    using texel_rgba = typename sampler::rgba;

    // 1/w and the interpolated colours at a step's pixels (alpha only when blending by it).
    struct pixel_colours {
        F w, r, g, b, alpha;
    };

    template <int Blend, typename Planes>
    [[gnu::always_inline]] static pixel_colours colours_at(const Planes& plane) {
        pixel_colours c{};
        c.w = 1.0f / plane(plane_q);
        c.r = plane(plane_c0) * c.w, c.g = plane(plane_c1) * c.w, c.b = plane(plane_c2) * c.w;
        if constexpr (Blend == blend_source_alpha) c.alpha = clamp(plane(plane_alpha) * c.w, 1.0f);
        return c;
    }

    // What a row of pixels shares where every plane but depth and the texture coordinates' u is
    // flat along it (dx == 0: a screen-aligned quad, a sprite, text): 1/w, the colours, and stage
    // 0's row or rows and their weight, computed once for the row from the values every pixel of
    // it would compute.
    struct flat_row {
        pixel_colours colours;
        typename sampler::wrap_rows rows;
    };

    // The planes along such a row: those that are flat read their base, which is what base + 0 * x
    // gives.
    struct planes_flat_along_row {
        static constexpr bool flat = true;
        const lane_plane* p;
        F x;
        const flat_row* row;
        F operator()(int i) const { return i == plane_depth || i == plane_u ? p[i].base + p[i].step * x : p[i].base; }
        const lane_plane& plane(int i) const { return p[i]; }
    };

    // log2(x) for x in [2^-126, 2^128) (normal numbers): the exponent plus log2 of the mantissa
    // m in [sqrt(1/2), sqrt(2)) from the series of atanh, t = (m - 1) / (m + 1), |t| < 0.172; within
    // 2e-7 of the truth.
    static F log2(F x) {
        I bits;
        std::memcpy(&bits, &x, sizeof bits);
        I exponent = ((bits >> 23) & 0xFF) - 127;
        I mantissa_bits = (bits & 0x007FFFFF) | 0x3F800000;  // m in [1, 2)
        F m;
        std::memcpy(&m, &mantissa_bits, sizeof m);
        const I high = m > 1.41421356f;
        m = high ? m * 0.5f : m;
        exponent -= high;  // high lanes are -1
        const F t = (m - 1.0f) / (m + 1.0f), t2 = t * t;
        const F series = t * (2.0f + t2 * (2.0f / 3.0f + t2 * (2.0f / 5.0f + t2 * (2.0f / 7.0f + t2 * (2.0f / 9.0f)))));
        return __builtin_convertvector(exponent, F) + series * 1.44269504f;
    }

    // The level of detail at the step's pixels as the general route computes it: the coordinates
    // at the pixel and at its right and lower neighbours (from the planes over 1/w), their
    // texel-space differences, 0.5 * log2(rho^2) of the larger, -100 for rho^2 <= 1e-30 or NaN,
    // at most 100.
    template <int PlaneU, int PlaneV, typename Planes>
    static F level_of_detail(const sampler_plan& plan, const Planes& plane, F u, F v) {
        const float width = float(plan.levels[0].width), height = float(plan.levels[0].height);
        const lane_plane &pu = plane.plane(PlaneU), &pv = plane.plane(PlaneV), &pq = plane.plane(plane_q);
        const F uc = plane(PlaneU), vc = plane(PlaneV), dc = plane(plane_q);
        const F right = 1.0f / (dc + pq.step), below = 1.0f / (dc + pq.step_y);
        const F ux = ((uc + pu.step) * right - u) * width, vx = ((vc + pv.step) * right - v) * height;
        const F uy = ((uc + pu.step_y) * below - u) * width, vy = ((vc + pv.step_y) * below - v) * height;
        const F a = ux * ux + vx * vx, b = uy * uy + vy * vy;
        const F rho2 = a > b ? a : b;
        const I tiny = (rho2 > 1e-30f) == 0, huge = rho2 >= 1e30f;
        const F lod = 0.5f * log2(tiny != 0 || huge != 0 ? splat(1.0f) : rho2);
        return tiny != 0 ? splat(-100.0f) : huge != 0 ? splat(100.0f) : lod;
    }

    // A stage's texel at the step's pixels (coordinates in planes PlaneU, PlaneV), channels on the
    // 0..255 scale.
    template <int Texture, int PlaneU, int PlaneV, typename Planes>
    [[gnu::always_inline]] static texel_rgba texel(const sampler_plan& plan, const Planes& plane, F w) {
        const F u = plane(PlaneU) * w, v = plane(PlaneV) * w;
        texel_rgba t;
        if constexpr (Planes::flat && Texture == raster_texture_point_wrap) {
            sampler::sample_point_wrap_in_rows(plan.levels[plan.base], plane.row->rows, u, t);
        } else if constexpr (Planes::flat && Texture == raster_texture_linear_wrap) {
            sampler::sample_linear_wrap_in_rows(plan.levels[plan.base], plane.row->rows, u, t);
        } else if constexpr (Texture == raster_texture_point_wrap) {
            sampler::template sample_point<sampler_address_wrap, sampler_address_wrap>(plan, plan.levels[plan.base], u,
                                                                                       v, t);
        } else if constexpr (Texture == raster_texture_linear_wrap) {
            sampler::template sample_linear<sampler_address_wrap, sampler_address_wrap>(plan, plan.levels[plan.base], u,
                                                                                        v, t);
        } else {
            const F lod = plan.needs_lod ? level_of_detail<PlaneU, PlaneV>(plan, plane, u, v) : F{};
            reinterpret_cast<typename sampler::group_fn>(plan.group)(plan, u, v, lod, t);
        }
        return t;
    }

    // The colour of the pixels over `old`, the target's pixels.
    template <int Texture, bool Specular, bool Fog, int Blend, typename Planes>
    [[gnu::always_inline]] static I shade(const raster_state& st, const Planes& plane, I old) {
        constexpr float inv = 1.0f / 255.0f;
        pixel_colours c;
        if constexpr (Planes::flat) {
            c = plane.row->colours;
        } else {
            c = colours_at<Blend>(plane);
        }
        const F w = c.w;
        F r = c.r, g = c.g, b = c.b, alpha = c.alpha;
        if constexpr (Texture != raster_texture_none) {
            const texel_rgba t = texel<Texture, plane_u, plane_v>(*st.plan, plane, w);
            r *= t.r * inv;
            g *= t.g * inv;
            b *= t.b * inv;
            if constexpr (Texture == raster_texture_two_stages) {
                // Stage 0's result is clamped before stage 1 reads it as CURRENT.
                const texel_rgba t1 = texel<Texture, plane_u1, plane_v1>(*st.plan1, plane, w);
                r = clamp(r, 255.0f) * (t1.r * inv);
                g = clamp(g, 255.0f) * (t1.g * inv);
                b = clamp(b, 255.0f) * (t1.b * inv);
            }
            if constexpr (Blend == blend_source_alpha) alpha = t.a * inv * alpha;
            if constexpr (Specular) {
                r += plane(plane_s0) * w;
                g += plane(plane_s1) * w;
                b += plane(plane_s2) * w;
            }
        }
        if constexpr (Fog) {
            const F f = clamp(plane(plane_fog) * w, 1.0f), rest = 1.0f - f;
            r = f * clamp(r, 255.0f) + rest * st.fog_rgb[0];
            g = f * clamp(g, 255.0f) + rest * st.fog_rgb[1];
            b = f * clamp(b, 255.0f) + rest * st.fog_rgb[2];
        }
        if constexpr (Blend != blend_none) {
            if constexpr (!Fog) r = clamp(r, 255.0f), g = clamp(g, 255.0f), b = clamp(b, 255.0f);
            const F dr = Ops::template channel<16>(old), dg = Ops::template channel<8>(old);
            const F db = Ops::template channel<0>(old);
            if constexpr (Blend == blend_source_alpha) {
                // A mix of two colours in [0, 255] by weights in [0, 1] that sum to 1 within
                // rounding: no channel reaches 255.5, none is below 0 or NaN.
                const F rest = 1.0f - alpha;
                r = r * alpha + dr * rest, g = g * alpha + dg * rest, b = b * alpha + db * rest;
                return Ops::pixel_in_range(r, g, b);
            } else {
                r += dr, g += dg, b += db;
            }
        }
        return Ops::pixel(r, g, b);
    }

    // Where a step's pixels are: `lanes` consecutive pixels of a row.
    struct span_pixels {
        uint32_t* colour;
        uint16_t* depth;
        I load_depth() const { return Ops::load_depth(depth); }
        void store_depth(I v) const { Ops::store_depth(depth, v); }
        I load_colour() const {
            I v;
            std::memcpy(&v, colour, sizeof v);
            return v;
        }
        void store_colour(I v) const { std::memcpy(colour, &v, sizeof v); }
    };

    // Or a block of two rows of lanes / 2 pixels, the second `below` pixels after the first. With
    // below == 0 (a last odd row) both halves are the first row and the second half's lanes never
    // pass: it is written first, so the first half's stores win.
    struct block_pixels {
        uint32_t* colour;
        uint16_t* depth;
        size_t below;
        static constexpr size_t half = sizeof(I) / 2;
        I load_depth() const { return Ops::load_depth_rows(depth, below); }
        void store_depth(I v) const { Ops::store_depth_rows(depth, below, v); }
        I load_colour() const { return Ops::load_colour_rows(colour, below); }
        void store_colour(I v) const {
            std::memcpy(colour + below, reinterpret_cast<const char*>(&v) + half, half);
            std::memcpy(colour, &v, half);
        }
    };

    // One step of `lanes` pixels at `at`, for the lanes set in `pass`.
    template <int Texture, bool Specular, int Depth, bool Fog, int Blend, typename Planes, typename Pixels>
    static void pixels(const raster_state& st, const depth_test_lanes& dt, const Planes& plane, I pass,
                       const Pixels& at) {
        if constexpr (Depth != raster_depth_off) {
            const F depth = plane(plane_depth);
            const I stored = at.load_depth();
            I z;
            if constexpr (Depth == raster_depth_less_equal_write || Depth == raster_depth_less_equal_read) {
                // Below 0 or NaN, where a clamp would give 0, the depth passes just as 0 would, and
                // the store saturates it to 0.
                z = Ops::depth_at_most(depth, kernel_depth_max);
                pass &= z <= stored;
            } else {
                z = __builtin_convertvector(clamp(depth, kernel_depth_max), I);
                pass &= ((z < stored) & dt.less) | ((z == stored) & dt.equal) | ((z > stored) & dt.greater);
            }
            if (!any(pass)) return;
            if constexpr (Depth != raster_depth_less_equal_read) {
                const I write = Depth == raster_depth_generic ? pass & dt.write : pass;
                at.store_depth(write ? z : stored);
            }
        }
        const I old = at.load_colour();
        at.store_colour(pass ? shade<Texture, Specular, Fog, Blend>(st, plane, old) : old);
    }

    // The planes a variant reads (raster_planes_read), one bit per plane.
    static constexpr uint32_t used_planes(int texture, bool fog, int blend) {
        return raster_planes_read(texture != raster_texture_none, texture == raster_texture_two_stages, fog,
                                  blend == blend_source_alpha);
    }
    static constexpr bool reads(uint32_t used, int plane) { return (used >> plane & 1u) != 0; }

    // What the pixels of a flat row share, from its planes as shade and texel compute it per pixel.
    template <int Texture, int Blend>
    static flat_row flat_row_at(const sampler_plan& plan, const planes_flat_along_row& plane) {
        flat_row row{};
        row.colours = colours_at<Blend>(plane);
        const F v = plane(plane_v) * row.colours.w;
        if constexpr (Texture == raster_texture_point_wrap) {
            row.rows = sampler::point_rows_wrap(plan.levels[plan.base], v);
        } else if constexpr (Texture == raster_texture_linear_wrap) {
            row.rows = sampler::linear_rows_wrap(plan.levels[plan.base], v);
        }
        return row;
    }

    // The combinations that take planes_flat_along_row where a triangle allows: one stage sampled,
    // no specular or fog, opaque or blended by source alpha, depth off or LESSEQUAL (what 2-D
    // programs draw their quads, sprites and text with).
    static constexpr bool flat_rows_variant(int texture, bool specular, int depth, bool fog, int blend) {
        return (texture == raster_texture_point_wrap || texture == raster_texture_linear_wrap ||
                texture == raster_texture_plan) &&
               !specular && !fog && (blend == blend_none || blend == blend_source_alpha) &&
               (depth == raster_depth_off || depth == raster_depth_less_equal_write);
    }

    // Whether every plane `used` but depth and u is flat along the rows.
    static bool flat_along_rows(const raster_setup& s, uint32_t used) {
        for (int i = 0; i < plane_count; ++i) {
            if (reads(used, i) && i != plane_depth && i != plane_u && s.dx[i] != 0.0f) return false;
        }
        return true;
    }

    // Large triangles: exact spans from the edge walkers, row by row.
    template <int Texture, bool Specular, int Depth, bool Fog, int Blend, bool Flat = false>
    static void rows(const raster_setup& s, const raster_state& st) {
        if constexpr (!Flat && flat_rows_variant(Texture, Specular, Depth, Fog, Blend)) {
            if (flat_along_rows(s, used_planes(Texture, Fog, Blend))) {
                rows<Texture, Specular, Depth, Fog, Blend, true>(s, st);
                return;
            }
        }
        const depth_test_lanes dt =
            Depth == raster_depth_generic ? depth_test_for(st.depth_func, st.depth_write) : depth_test_lanes{};
        raster_walker left[2] = {s.left[0], s.left[1]}, right[2] = {s.right[0], s.right[1]};
        constexpr uint32_t used = used_planes(Texture, Fog, Blend);
        const F offsets = lane_offsets();
        const I lane_index = __builtin_convertvector(offsets, I);
        lane_plane planes[plane_count];
        for (int i = 0; i < plane_count; ++i) {
            if (reads(used, i)) planes[i].step = splat(s.dx[i]), planes[i].step_y = splat(s.dy[i]);
        }
        for (int py = s.row_first; py <= s.row_last; ++py) {
            const int64_t lo = kernel_max(kernel_max(s.column_first, -left[0].q), -left[1].q);
            const int64_t hi = kernel_min(kernel_min(s.column_last, right[0].q), right[1].q);
            kernel_advance(left[0]), kernel_advance(left[1]), kernel_advance(right[0]), kernel_advance(right[1]);
            if (lo > hi) continue;
            const float ry = float(py) - s.y0, rx = float(lo) - s.x0;
            for (int i = 0; i < plane_count; ++i) {
                if (reads(used, i)) planes[i].base = splat(s.origin[i] + s.dy[i] * ry + s.dx[i] * rx);
            }
            [[maybe_unused]] flat_row shared;
            if constexpr (Flat) {
                shared = flat_row_at<Texture, Blend>(*st.plan, planes_flat_along_row{planes, F{}, nullptr});
            }
            const size_t row = size_t(py) * size_t(st.pitch);
            lane_position offset{offsets, splat(0.0f)};
            for (int x = int(lo); x <= int(hi); x += lanes, offset.x += float(lanes)) {
                const I pass = lane_index < splat(int32_t(hi - x + 1));
                const span_pixels at{st.colour + row + x, Depth == raster_depth_off ? nullptr : st.depth + row + x};
                if constexpr (Flat) {
                    pixels<Texture, Specular, Depth, Fog, Blend>(
                        st, dt, planes_flat_along_row{planes, offset.x, &shared}, pass, at);
                } else {
                    pixels<Texture, Specular, Depth, Fog, Blend>(st, dt, planes_along_row{planes, offset.x}, pass, at);
                }
            }
        }
    }

    // Small triangles: the bounding box in steps of `lanes` pixels of a row, coverage from the three
    // edge functions per lane. Most are one to three steps wide, so those widths get their own loops
    // with the step count known at compile time; boxes at most lanes / 2 pixels wide take steps of
    // two rows instead, half as many.
    static constexpr int block_columns = lanes / 2;

    // Draws with any depth function or with additive blending are rarer: they keep the pair and
    // one-step loops and take the general one for wider boxes, which saves compile time.
    template <int Texture, bool Specular, int Depth, bool Fog, int Blend>
    static void small(const raster_small_batch& b, int lane, const raster_state& st) {
        const int width = b.column_last[lane] - b.column_first[lane] + 1;
        constexpr bool common = Depth != raster_depth_generic && Blend != blend_add;
        if (width <= block_columns) {
            small_box<Texture, Specular, Depth, Fog, Blend, 1, 2>(b, lane, st);
        } else if (width <= lanes) {
            small_box<Texture, Specular, Depth, Fog, Blend, 1, 1>(b, lane, st);
        } else if (!common) {
            small_box<Texture, Specular, Depth, Fog, Blend, 0, 1>(b, lane, st);
        } else if (width <= 2 * lanes) {
            small_box<Texture, Specular, Depth, Fog, Blend, 2, 1>(b, lane, st);
        } else if (width <= 3 * lanes) {
            small_box<Texture, Specular, Depth, Fog, Blend, 3, 1>(b, lane, st);
        } else {
            small_box<Texture, Specular, Depth, Fog, Blend, 0, 1>(b, lane, st);
        }
    }

    // The bounding-box walk in steps of `Rows` rows (1, or 2 for one step per row pair); `Steps` is
    // the number of steps per row, or 0 to take it from the width.
    template <int Texture, bool Specular, int Depth, bool Fog, int Blend, int Steps, int Rows>
    static void small_box(const raster_small_batch& b, int lane, const raster_state& st) {
        static_assert(Rows == 1 || (Rows == 2 && Steps == 1));
        constexpr int step_columns = lanes / Rows;
        const depth_test_lanes dt =
            Depth == raster_depth_generic ? depth_test_for(st.depth_func, st.depth_write) : depth_test_lanes{};
        constexpr uint32_t used = used_planes(Texture, Fog, Blend);
        F step_x, step_y;  // each lane's column and row in the step
        for (int i = 0; i < lanes; ++i) step_x[i] = float(i % step_columns), step_y[i] = float(i / step_columns);
        const I lane_column = __builtin_convertvector(step_x, I), lane_row = __builtin_convertvector(step_y, I);
        const int column_first = b.column_first[lane], row_first = b.row_first[lane];
        const int width = b.column_last[lane] - column_first + 1;
        const int steps = Steps != 0 ? Steps : (width + step_columns - 1) / step_columns;
        const I columns = splat(int32_t(width));
        I edge_row[3], edge_step[3], edge_down[3];
        for (int i = 0; i < 3; ++i) {
            const int32_t edge_dx = b.edge_dx[i][lane], edge_dy = b.edge_dy[i][lane];
            edge_row[i] = splat(b.edge_start[i][lane]) + splat(edge_dx) * lane_column;
            if constexpr (Rows == 2) edge_row[i] += splat(edge_dy) * lane_row;
            edge_step[i] = splat(edge_dx * step_columns);
            edge_down[i] = splat(edge_dy * Rows);
        }
        // Planes are based at the bounding box's top-left pixel and evaluated at each step from the
        // lane's column and row offsets, so nothing accumulates from row to row.
        lane_plane planes[plane_count];
        for (int i = 0; i < plane_count; ++i) {
            if (!reads(used, i)) continue;
            planes[i].base = splat(b.base[i][lane]);
            planes[i].step = splat(b.dx[i][lane]);
            planes[i].step_y = splat(b.dy[i][lane]);
        }
        // Held in locals: the pixel stores could otherwise alias the set-up and state records.
        const size_t pitch = size_t(st.pitch);
        const size_t first = size_t(row_first) * pitch + size_t(column_first);
        uint32_t* colour = st.colour + first;
        uint16_t* depth = Depth == raster_depth_off ? nullptr : st.depth + first;
        // lanes inside the box's columns, and the planes' base + step * x, per step when the step
        // count is known.
        constexpr int known_steps = Steps != 0 ? Steps : 1;
        I in_columns[known_steps];
        F column_planes[known_steps][plane_count];
        for (int k = 0; k < (Steps != 0 ? Steps : 0); ++k) {
            in_columns[k] = lane_column + k * step_columns < columns;
            const F x = step_x + float(k * step_columns);
            for (int i = 0; i < plane_count; ++i) {
                if (reads(used, i)) column_planes[k][i] = planes[i].base + planes[i].step * x;
            }
        }
        const I first_row = lane_row == 0;
        lane_position offset{step_x, step_y};
        for (int rows_left = b.row_last[lane] - row_first + 1; rows_left > 0;
             rows_left -= Rows, offset.y += float(Rows)) {
            I e0 = edge_row[0], e1 = edge_row[1], e2 = edge_row[2];
            I column = lane_column;
            offset.x = step_x;
            // A last odd row of a pair step: only the first row's lanes (block_pixels).
            const bool pair = Rows == 2 && rows_left >= 2;
            const I in_rows = Rows == 1 || pair ? splat(-1) : first_row;
            for (int k = 0; k < steps; ++k, offset.x += float(step_columns)) {
                const I covered = ~((e0 | e1 | e2) >> 31);  // all three edge functions >= 0
                I inside = covered & (Steps != 0 ? in_columns[k] : column < columns);
                if constexpr (Rows == 2) inside &= in_rows;
                e0 += edge_step[0], e1 += edge_step[1], e2 += edge_step[2];
                column += step_columns;
                // With a depth test, a step with no lane inside is left to the test's own mask
                // check: one data-dependent branch per step instead of two, which mispredicts
                // less on small triangles than it costs in wasted lanes.
                if (Depth == raster_depth_off && !any(inside)) continue;
                const size_t at = size_t(k) * step_columns;
                uint16_t* const depth_at = Depth == raster_depth_off ? nullptr : depth + at;
                const auto draw = [&](const auto& plane) {
                    if constexpr (Rows == 1) {
                        pixels<Texture, Specular, Depth, Fog, Blend>(st, dt, plane, inside,
                                                                     span_pixels{colour + at, depth_at});
                    } else {
                        pixels<Texture, Specular, Depth, Fog, Blend>(
                            st, dt, plane, inside, block_pixels{colour + at, depth_at, pair ? pitch : 0});
                    }
                };
                if constexpr (Steps != 0) {
                    draw(planes_at_column{column_planes[k], planes, offset.y});
                } else {
                    draw(planes_at{planes, offset});
                }
            }
            for (int i = 0; i < 3; ++i) edge_row[i] += edge_down[i];
            colour += Rows * pitch;
            if constexpr (Depth != raster_depth_off) depth += Rows * pitch;
        }
    }

    template <int Texture, bool Specular, int Depth, bool Fog, int Blend>
    static void fill_one(raster_kernel_table& t) {
        t.rows[Texture][Specular][Depth][Fog][Blend] = rows<Texture, Specular, Depth, Fog, Blend>;
        t.small[Texture][Specular][Depth][Fog][Blend] = small<Texture, Specular, Depth, Fog, Blend>;
    }

    template <int Texture, bool Specular, int Depth, bool Fog>
    static void fill_blends(raster_kernel_table& t) {
        fill_one<Texture, Specular, Depth, Fog, blend_none>(t);
        fill_one<Texture, Specular, Depth, Fog, blend_source_alpha>(t);
        fill_one<Texture, Specular, Depth, Fog, blend_add>(t);
    }

    template <int Texture, bool Specular, int Depth>
    static void fill_depth(raster_kernel_table& t) {
        fill_blends<Texture, Specular, Depth, false>(t);
        fill_blends<Texture, Specular, Depth, true>(t);
    }

    // LESSEQUAL without writes is what blended layers use; an opaque draw that keeps the depth
    // buffer takes the kernels for any comparison.
    template <int Texture, bool Specular, bool Fog>
    static void fill_read_only(raster_kernel_table& t) {
        constexpr int read = raster_depth_less_equal_read, any = raster_depth_generic;
        fill_one<Texture, Specular, read, Fog, blend_source_alpha>(t);
        fill_one<Texture, Specular, read, Fog, blend_add>(t);
        t.rows[Texture][Specular][read][Fog][blend_none] = t.rows[Texture][Specular][any][Fog][blend_none];
        t.small[Texture][Specular][read][Fog][blend_none] = t.small[Texture][Specular][any][Fog][blend_none];
    }

    template <int Texture, bool Specular>
    static void fill(raster_kernel_table& t) {
        fill_depth<Texture, Specular, raster_depth_off>(t);
        fill_depth<Texture, Specular, raster_depth_less_equal_write>(t);
        fill_depth<Texture, Specular, raster_depth_generic>(t);
        fill_read_only<Texture, Specular, false>(t);
        fill_read_only<Texture, Specular, true>(t);
    }

    static raster_kernel_table table() {
        raster_kernel_table t{};
        fill<raster_texture_none, false>(t);
        fill<raster_texture_point_wrap, false>(t);
        fill<raster_texture_point_wrap, true>(t);
        fill<raster_texture_linear_wrap, false>(t);
        fill<raster_texture_linear_wrap, true>(t);
        fill<raster_texture_plan, false>(t);
        fill<raster_texture_plan, true>(t);
        fill<raster_texture_two_stages, false>(t);
        fill<raster_texture_two_stages, true>(t);
        // Untextured draws carry specular summed into diffuse: their kernels are the same.
        std::memcpy(t.rows[raster_texture_none][true], t.rows[raster_texture_none][false],
                    sizeof t.rows[raster_texture_none][false]);
        std::memcpy(t.small[raster_texture_none][true], t.small[raster_texture_none][false],
                    sizeof t.small[raster_texture_none][false]);
        t.sampler_choose = sampler::choose;
        return t;
    }
};

}  // namespace
