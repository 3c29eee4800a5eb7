// sampler_kernels.h - the general sampler's routines, written once over the vector width and
// texel fetch of an instruction-set variant (Ops: simd_lanes<N> plus `gather`). Each variant's file
// instantiates sampler_kernels<its Ops>::choose. Internal linkage, like simd_lanes.h.
//
// Conventions: texel (i, j) of a W x H level has its centre at ((i + 0.5) / W, (j + 0.5) / H).
// Point sampling reads texel (floor(u W), floor(v H)); bilinear filtering reads the four texels
// around (u W - 0.5, v H - 0.5). The address mode applies to each texel index the filter chose
// (index space), on u and v independently:
//   WRAP        k mod n, non-negative
//   MIRROR      m = k mod 2n; m < n ? m : 2n - 1 - m
//   CLAMP       clamp(k, 0, n - 1)
//   BORDER      outside [0, n - 1]: the border colour instead of a texel
//   MIRRORONCE  k < 0 ? -k - 1 : k, then at most n - 1
//
// Level of detail: lambda = lod + bias. lambda <= 0 magnifies (the magnification filter on the
// base level b); otherwise the minification filter on the level the mip filter chooses: NONE the
// base level, POINT clamp(floor(lambda + 0.5), b, levels - 1), LINEAR d0 = clamp(floor(lambda), b,
// levels - 1) and d0 + 1 blended by frac(lambda) (no weight on the second level when lambda is
// clamped). A lod that is not a number magnifies.
//
// Safety: coordinates are brought into a bounded range before they become indices (wrapping and
// mirroring reduce them to one or two periods first, the other modes clamp them to where the result
// no longer changes), so no coordinate, NaN, infinities and 1e30 included, reads outside the
// level; NaN samples some texel of it.
#pragma once

#include "platform/d3d9/sampler_plan.h"
#include "platform/d3d9/simd_lanes.h"

#include <cstring>

namespace {

template <typename Ops>
struct sampler_kernels {
    using F = typename Ops::F;
    using I = typename Ops::I;
    using U = typename Ops::U;
    static constexpr int width = Ops::lanes;

    struct rgba {
        F r, g, b, a;  // 0..255
    };

    using sample_fn = void (*)(const sampler_plan& plan, const sampler_level& level, const F& u, const F& v, rgba& out);

    // floor(x) for |x| < 2^31, lanes that are numbers (the sign of a zero result may differ
    // between variants).
    static F floor_bounded(F x) { return Ops::floor_bounded(x); }

    // max(lo, min(x, hi)); NaN gives hi.
    static F clamp_or_high(F x, float lo, float hi) {
        x = x < hi ? x : hi;
        return x > lo ? x : lo;
    }

    static I min_i(I a, I b) { return a < b ? a : b; }
    static I max_i(I a, I b) { return a > b ? a : b; }

    // x - floor(x), in [0, 1]: the position within one period. Not finite or without a fraction
    // (|x| >= 2^23): 0.
    static F fraction(F x) {
        const F magnitude = x < 0.0f ? -x : x;
        const F bounded = magnitude < 8388608.0f ? x : 0.0f;  // NaN -> 0
        return bounded - floor_bounded(bounded);
    }

    // One axis of point sampling: texel index in [0, n - 1], and for BORDER whether it lies inside.
    // (The per-axis helpers are inlined by force: out of line, their vectors travel through memory.)
    template <int Mode>
    [[gnu::always_inline]] static I point_index(F t, int n, I* inside) {
        const float fn = float(n);
        if constexpr (Mode == sampler_address_wrap) {
            const F x = fraction(t) * fn;  // [0, n]; n only for a tiny negative t
            return __builtin_convertvector(x < fn - 0.5f ? x : fn - 0.5f, I);
        } else if constexpr (Mode == sampler_address_mirror) {
            const F x = fraction(t * 0.5f) * (2.0f * fn);  // [0, 2n]
            const I k = __builtin_convertvector(x < 2.0f * fn - 0.5f ? x : 2.0f * fn - 0.5f, I);
            return k < n ? k : 2 * n - 1 - k;
        } else if constexpr (Mode == sampler_address_clamp) {
            return __builtin_convertvector(clamp_or_high(t * fn, 0.0f, fn - 0.5f), I);
        } else if constexpr (Mode == sampler_address_border) {
            const I k = __builtin_convertvector(floor_bounded(clamp_or_high(t * fn, -1.0f, fn)), I);  // [-1, n]
            *inside = k >= 0 && k < n;
            return min_i(max_i(k, Ops::splat(0)), Ops::splat(n - 1));
        } else {
            const I k = __builtin_convertvector(floor_bounded(clamp_or_high(t * fn, -fn, fn - 0.5f)), I);  // [-n, n)
            return k < 0 ? -k - 1 : k;
        }
    }

    // One axis of bilinear filtering: the two texel indices, the weight of the second, and for
    // BORDER whether each lies inside.
    template <int Mode>
    [[gnu::always_inline]] static void linear_index(F t, int n, I& k0, I& k1, F& weight, I* inside0, I* inside1) {
        const float fn = float(n);
        F x;
        if constexpr (Mode == sampler_address_wrap) {
            x = fraction(t) * fn - 0.5f;  // [-0.5, n - 0.5]
        } else if constexpr (Mode == sampler_address_mirror) {
            x = fraction(t * 0.5f) * (2.0f * fn) - 0.5f;  // [-0.5, 2n - 0.5]
        } else if constexpr (Mode == sampler_address_mirror_once) {
            x = clamp_or_high(t * fn - 0.5f, -fn - 1.0f, fn);  // beyond: both indices give n - 1
        } else {
            x = clamp_or_high(t * fn - 0.5f, -1.0f, fn);  // beyond: both indices clamp, or both lie outside
        }
        const F low = floor_bounded(x);
        weight = x - low;
        k0 = __builtin_convertvector(low, I);
        k1 = k0 + 1;
        if constexpr (Mode == sampler_address_wrap) {
            k0 = k0 < 0 ? k0 + n : k0;
            k1 = k1 >= n ? k1 - n : k1;
        } else if constexpr (Mode == sampler_address_mirror) {
            k0 = k0 < 0 ? k0 + 2 * n : k0;
            k1 = k1 >= 2 * n ? k1 - 2 * n : k1;
            k0 = k0 < n ? k0 : 2 * n - 1 - k0;
            k1 = k1 < n ? k1 : 2 * n - 1 - k1;
        } else if constexpr (Mode == sampler_address_clamp) {
            const I zero = Ops::splat(0), last = Ops::splat(n - 1);
            k0 = min_i(max_i(k0, zero), last);
            k1 = min_i(max_i(k1, zero), last);
        } else if constexpr (Mode == sampler_address_border) {
            const I zero = Ops::splat(0), last = Ops::splat(n - 1);
            *inside0 = k0 >= 0 && k0 < n;
            *inside1 = k1 >= 0 && k1 < n;
            k0 = min_i(max_i(k0, zero), last);
            k1 = min_i(max_i(k1, zero), last);
        } else {
            const I last = Ops::splat(n - 1);
            k0 = min_i(k0 < 0 ? -k0 - 1 : k0, last);
            k1 = min_i(k1 < 0 ? -k1 - 1 : k1, last);
        }
    }

    // The channels of texels `t`, `alpha_or` ORed into them. Only the alpha channel depends on
    // alpha_or (0xFF000000 or 0), so where nobody reads alpha the OR drops out as well.
    [[gnu::always_inline]] static rgba unpack(U t, U alpha_or) {
        const I v = I(t);
        return {Ops::template channel<16>(v), Ops::template channel<8>(v), Ops::template channel<0>(v),
                Ops::template channel<24>(I(t | alpha_or))};
    }

    static F lerp(F a, F b, F t) { return a + t * (b - a); }

    template <int AU, int AV>
    [[gnu::always_inline]] static void sample_point(const sampler_plan& plan, const sampler_level& level, const F& u,
                                                    const F& v, rgba& out) {
        I inside_u, inside_v;
        const I i = point_index<AU>(u, level.width, &inside_u);
        const I j = point_index<AV>(v, level.height, &inside_v);
        U t = Ops::gather(level.texels, level.width, j, i), alpha_or = U{} + level.alpha_or;
        if constexpr (AU == sampler_address_border || AV == sampler_address_border) {
            I inside = Ops::splat(-1);
            if constexpr (AU == sampler_address_border) inside &= inside_u;
            if constexpr (AV == sampler_address_border) inside &= inside_v;
            t = inside != 0 ? t : U{} + plan.border;
            alpha_or &= U(inside);  // not into the border colour
        }
        out = unpack(t, alpha_or);
    }

    template <int AU, int AV>
    [[gnu::always_inline]] static void sample_linear(const sampler_plan& plan, const sampler_level& level, const F& u,
                                                     const F& v, rgba& out) {
        I i0, i1, j0, j1, inside_i0, inside_i1, inside_j0, inside_j1;
        F fx, fy;
        linear_index<AU>(u, level.width, i0, i1, fx, &inside_i0, &inside_i1);
        linear_index<AV>(v, level.height, j0, j1, fy, &inside_j0, &inside_j1);
        U t00, t10, t01, t11;
        Ops::gather_quad(level.texels, level.width, j0, j1, i0, i1, t00, t10, t01, t11);
        U or00 = U{} + level.alpha_or, or10 = or00, or01 = or00, or11 = or00;
        if constexpr (AU == sampler_address_border || AV == sampler_address_border) {
            const U border = U{} + plan.border;
            I in_i0 = Ops::splat(-1), in_i1 = in_i0, in_j0 = in_i0, in_j1 = in_i0;
            if constexpr (AU == sampler_address_border) {
                in_i0 = inside_i0;
                in_i1 = inside_i1;
            }
            if constexpr (AV == sampler_address_border) {
                in_j0 = inside_j0;
                in_j1 = inside_j1;
            }
            t00 = (in_i0 & in_j0) != 0 ? t00 : border;
            t10 = (in_i1 & in_j0) != 0 ? t10 : border;
            t01 = (in_i0 & in_j1) != 0 ? t01 : border;
            t11 = (in_i1 & in_j1) != 0 ? t11 : border;
            or00 &= U(in_i0 & in_j0), or10 &= U(in_i1 & in_j0), or01 &= U(in_i0 & in_j1), or11 &= U(in_i1 & in_j1);
        }
        filter(unpack(t00, or00), unpack(t10, or10), unpack(t01, or01), unpack(t11, or11), fx, fy, out);
    }

    // The bilinear mix of four texels' channels by the second column's and second row's weights.
    [[gnu::always_inline]] static void filter(const rgba& c00, const rgba& c10, const rgba& c01, const rgba& c11, F fx,
                                              F fy, rgba& out) {
        out.r = lerp(lerp(c00.r, c10.r, fx), lerp(c01.r, c11.r, fx), fy);
        out.g = lerp(lerp(c00.g, c10.g, fx), lerp(c01.g, c11.g, fx), fy);
        out.b = lerp(lerp(c00.b, c10.b, fx), lerp(c01.b, c11.b, fx), fy);
        out.a = lerp(lerp(c00.a, c10.a, fx), lerp(c01.a, c11.a, fx), fy);
    }

    // Wrapping on both axes where v is the same in every lane, as along a row of pixels of a
    // screen-aligned quad: the row (point) or the two rows and their weight (bilinear) are found
    // once for the row of pixels, and each group then finds only its columns. The same values as
    // sample_point and sample_linear.
    struct wrap_rows {
        const uint32_t* first;   // point: the row; bilinear: the upper row
        const uint32_t* second;  // bilinear: the lower row
        F weight;                // bilinear: the lower row's
    };

    static wrap_rows point_rows_wrap(const sampler_level& level, F v) {
        const int j = point_index<sampler_address_wrap>(v, level.height, nullptr)[0];
        return {level.texels + size_t(j) * size_t(level.width), nullptr, F{}};
    }

    static wrap_rows linear_rows_wrap(const sampler_level& level, F v) {
        I j0, j1;
        F fy;
        linear_index<sampler_address_wrap>(v, level.height, j0, j1, fy, nullptr, nullptr);
        const size_t width = size_t(level.width);
        return {level.texels + size_t(j0[0]) * width, level.texels + size_t(j1[0]) * width, fy};
    }

    [[gnu::always_inline]] static void sample_point_wrap_in_rows(const sampler_level& level, const wrap_rows& rows,
                                                                 const F& u, rgba& out) {
        const I i = point_index<sampler_address_wrap>(u, level.width, nullptr);
        out = unpack(Ops::gather_in_row(rows.first, level.width, i), U{} + level.alpha_or);
    }

    [[gnu::always_inline]] static void sample_linear_wrap_in_rows(const sampler_level& level, const wrap_rows& rows,
                                                                  const F& u, rgba& out) {
        I i0, i1;
        F fx;
        linear_index<sampler_address_wrap>(u, level.width, i0, i1, fx, nullptr, nullptr);
        U t00, t10, t01, t11;
        Ops::gather_in_rows(rows.first, rows.second, level.width, i0, i1, t00, t10, t01, t11);
        const U alpha_or = U{} + level.alpha_or;
        filter(unpack(t00, alpha_or), unpack(t10, alpha_or), unpack(t01, alpha_or), unpack(t11, alpha_or), fx,
               rows.weight, out);
    }

    static void store(const rgba& c, float* r, float* g, float* b, float* a) {
        constexpr float scale = 1.0f / 255.0f;  // 255 * scale rounds to 1 exactly
        const F cr = c.r * scale, cg = c.g * scale, cb = c.b * scale, ca = c.a * scale;
        std::memcpy(r, &cr, sizeof cr);
        std::memcpy(g, &cg, sizeof cg);
        std::memcpy(b, &cb, sizeof cb);
        std::memcpy(a, &ca, sizeof ca);
    }

    static rgba select(I mask, const rgba& yes, const rgba& no) {
        return {mask != 0 ? yes.r : no.r, mask != 0 ? yes.g : no.g, mask != 0 ? yes.b : no.b, mask != 0 ? yes.a : no.a};
    }

    // Runs `step(u, v, lod, r, g, b, a)` over the span, `width` pixels at a time (lod may be null).
    // The arrays hold `count` rounded up to a multiple of 4: a last group narrower than `width` goes
    // through local copies.
    template <typename Step>
    static void for_each_group(int count, const float* u, const float* v, const float* lod, float* r, float* g,
                               float* b, float* a, Step step) {
        const int padded = (count + 3) & ~3;
        int at = 0;
        for (; at + width <= padded; at += width) {
            step(u + at, v + at, lod != nullptr ? lod + at : nullptr, r + at, g + at, b + at, a + at);
        }
        if (at == padded) return;
        const size_t rest = sizeof(float) * size_t(padded - at);
        float su[width] = {}, sv[width] = {}, slod[width] = {}, sr[width], sg[width], sb[width], sa[width];
        std::memcpy(su, u + at, rest);
        std::memcpy(sv, v + at, rest);
        if (lod != nullptr) std::memcpy(slod, lod + at, rest);
        step(su, sv, slod, sr, sg, sb, sa);
        std::memcpy(r + at, sr, rest);
        std::memcpy(g + at, sg, rest);
        std::memcpy(b + at, sb, rest);
        std::memcpy(a + at, sa, rest);
    }

    static sample_fn routine(sampler_any_fn f) { return reinterpret_cast<sample_fn>(f); }

    // Samples the lanes of `active` with the level and filter of their key (level * 2 + 1 for the
    // magnification filter, level * 2 for the minification filter), once per distinct key.
    static void sample_keyed(const sampler_plan& plan, const F& u, const F& v, I key, I active, rgba& out) {
        for (;;) {
            int first = -1;
            for (int l = 0; l < width; ++l) {
                if (active[l] != 0) {
                    first = l;
                    break;
                }
            }
            if (first < 0) return;
            const int k = key[first];
            const I same = (key == k) & active;
            rgba c;
            routine((k & 1) != 0 ? plan.mag : plan.min)(plan, plan.levels[k >> 1], u, v, c);
            out = select(same, c, out);
            active &= ~same;
        }
    }

    // The routines for one group of `width` lanes at (u, v) with level of detail `lod` (not read
    // when the plan does not need it), on the 0..255 scale. The span kernels of the rasteriser
    // call them lane group by lane group; the span routines below run them over arrays.
    using group_fn = void (*)(const sampler_plan& plan, const F& u, const F& v, const F& lod, rgba& out);

    // One level and one filter for every pixel: the level of detail is not read.
    template <sample_fn Sample>
    static void group_single(const sampler_plan& plan, const F& u, const F& v, const F&, rgba& out) {
        Sample(plan, plan.levels[plan.base], u, v, out);
    }

    // Mip filter NONE, the two filters differing: the base level, filtered by the sign of lambda.
    static void group_switch(const sampler_plan& plan, const F& u, const F& v, const F& lod, rgba& out) {
        const F lambda = lod + plan.lod_bias;
        const I magnify = (lambda > 0.0f) == 0;
        out = rgba{};
        sample_keyed(plan, u, v, Ops::splat(plan.base * 2) + (magnify & 1), Ops::splat(-1), out);
    }

    static void group_mip_point(const sampler_plan& plan, const F& u, const F& v, const F& lod, rgba& out) {
        const float first = float(plan.base), last = float(plan.level_count - 1);
        const F lambda = lod + plan.lod_bias;
        const I magnify = (lambda > 0.0f) == 0;
        const I level = __builtin_convertvector(floor_bounded(clamp_or_high(lambda + 0.5f, first, last)), I);
        out = rgba{};
        sample_keyed(plan, u, v, magnify != 0 ? Ops::splat(plan.base * 2 + plan.mag_differs) : level * 2,
                     Ops::splat(-1), out);
    }

    static void group_mip_linear(const sampler_plan& plan, const F& u, const F& v, const F& lod, rgba& out) {
        const float first = float(plan.base), last = float(plan.level_count - 1);
        const F lambda = lod + plan.lod_bias;
        const I magnify = (lambda > 0.0f) == 0;
        const F clamped = clamp_or_high(lambda, first, last);
        const F low = floor_bounded(clamped);
        const F weight = clamped - low;  // 0 where lambda was clamped
        const I d0 = __builtin_convertvector(low, I);
        rgba c{};
        sample_keyed(plan, u, v, magnify != 0 ? Ops::splat(plan.base * 2 + plan.mag_differs) : d0 * 2, Ops::splat(-1),
                     c);
        const I blend = (magnify == 0) & (weight > 0.0f);
        rgba c1 = c;
        sample_keyed(plan, u, v, min_i(d0 + 1, Ops::splat(plan.level_count - 1)) * 2, blend, c1);
        const F w = blend != 0 ? weight : 0.0f;
        out.r = lerp(c.r, c1.r, w);
        out.g = lerp(c.g, c1.g, w);
        out.b = lerp(c.b, c1.b, w);
        out.a = lerp(c.a, c1.a, w);
    }

    // The same for one filter, `Sample`, on both sides of lambda = 0: where every lane minifies
    // between the same two levels (the common case in a small triangle), the filter runs inline on
    // both levels instead of through the routines once per distinct level. The same values as
    // group_mip_linear.
    template <sample_fn Sample>
    static void group_mip_linear_inline(const sampler_plan& plan, const F& u, const F& v, const F& lod, rgba& out) {
        const float first = float(plan.base), last = float(plan.level_count - 1);
        const F lambda = lod + plan.lod_bias;
        const F clamped = clamp_or_high(lambda, first, last);
        const F low = floor_bounded(clamped);
        const I d0 = __builtin_convertvector(low, I);
        const int level = d0[0];
        if (!Ops::all((lambda > 0.0f) & (d0 == level))) {
            group_mip_linear(plan, u, v, lod, out);
            return;
        }
        const F weight = clamped - low;  // 0 where lambda was clamped
        Sample(plan, plan.levels[level], u, v, out);
        if (!Ops::any(weight > 0.0f)) return;
        rgba c1;
        Sample(plan, plan.levels[level + 1 < plan.level_count ? level + 1 : level], u, v, c1);
        out.r = lerp(out.r, c1.r, weight);
        out.g = lerp(out.g, c1.g, weight);
        out.b = lerp(out.b, c1.b, weight);
        out.a = lerp(out.a, c1.a, weight);
    }

    // A group routine over a span (sampler_run).
    template <group_fn Group>
    static void run_groups(const sampler_plan& plan, int count, const float* u, const float* v, const float* lod,
                           float* r, float* g, float* b, float* a) {
        for_each_group(
            count, u, v, lod, r, g, b, a,
            [&](const float* gu, const float* gv, const float* glod, float* gr, float* gg, float* gb, float* ga) {
                rgba c;
                Group(plan, Ops::load(gu), Ops::load(gv), glod != nullptr ? Ops::load(glod) : F{}, c);
                store(c, gr, gg, gb, ga);
            });
    }

    struct routine_set {
        sample_fn point, linear;
        group_fn single_point, single_linear;
        sampler_run_fn run_single_point, run_single_linear;
    };

    template <int AU, int AV>
    static constexpr routine_set routines() {
        return {sample_point<AU, AV>,
                sample_linear<AU, AV>,
                group_single<sample_point<AU, AV>>,
                group_single<sample_linear<AU, AV>>,
                run_groups<group_single<sample_point<AU, AV>>>,
                run_groups<group_single<sample_linear<AU, AV>>>};
    }

    template <int AU>
    static constexpr void fill_row(routine_set (&row)[sampler_address_modes]) {
        row[0] = routines<AU, 0>();
        row[1] = routines<AU, 1>();
        row[2] = routines<AU, 2>();
        row[3] = routines<AU, 3>();
        row[4] = routines<AU, 4>();
    }

    struct routine_table {
        routine_set at[sampler_address_modes][sampler_address_modes];
        constexpr routine_table() : at{} {
            fill_row<0>(at[0]);
            fill_row<1>(at[1]);
            fill_row<2>(at[2]);
            fill_row<3>(at[3]);
            fill_row<4>(at[4]);
        }
    };
    static_assert(sampler_address_modes == 5);

    static void choose(sampler_plan& plan, const sampler_choice& choice) {
        static constexpr routine_table table{};
        const routine_set& set = table.at[choice.address_u][choice.address_v];
        plan.mag = reinterpret_cast<sampler_any_fn>(choice.mag_linear ? set.linear : set.point);
        plan.min = reinterpret_cast<sampler_any_fn>(choice.min_linear ? set.linear : set.point);
        plan.mag_differs = choice.mag_linear != choice.min_linear ? 1 : 0;
        plan.needs_lod = true;
        group_fn group;
        if (choice.mip == sampler_mip_none && choice.mag_linear == choice.min_linear) {
            group = choice.mag_linear ? set.single_linear : set.single_point;
            plan.run = choice.mag_linear ? set.run_single_linear : set.run_single_point;
            plan.needs_lod = false;
        } else if (choice.mip == sampler_mip_none) {
            group = group_switch;
            plan.run = run_groups<group_switch>;
        } else if (choice.mip == sampler_mip_point) {
            group = group_mip_point;
            plan.run = run_groups<group_mip_point>;
        } else if (choice.mag_linear && choice.min_linear && choice.address_u == sampler_address_wrap &&
                   choice.address_v == sampler_address_wrap) {
            // Trilinear filtering with wrapping, by far the most common.
            constexpr group_fn trilinear_wrap =
                group_mip_linear_inline<sample_linear<sampler_address_wrap, sampler_address_wrap>>;
            group = trilinear_wrap;
            plan.run = run_groups<trilinear_wrap>;
        } else {
            group = group_mip_linear;
            plan.run = run_groups<group_mip_linear>;
        }
        plan.group = reinterpret_cast<sampler_any_fn>(group);
    }
};

}  // namespace
