// sampler.cpp - the general sampler: point and bilinear filtering, mip levels (none, nearest,
// linear between two levels) and the five address modes on each axis, four pixels at a time.
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
// Filters NONE and POINT point-sample; every other filter is bilinear. Unknown address modes act
// as WRAP.
//
// Level of detail: lambda = lod + bias. lambda <= 0 magnifies (the magnification filter on the
// base level b = min(MAXMIPLEVEL, levels - 1)); otherwise the minification filter on the level the
// mip filter chooses: NONE the base level, POINT clamp(floor(lambda + 0.5), b, levels - 1), LINEAR
// d0 = clamp(floor(lambda), b, levels - 1) and d0 + 1 blended by frac(lambda) (no weight on the
// second level when lambda is clamped). A lod that is not a number magnifies.
//
// Safety: coordinates are brought into a bounded range before they become indices (wrapping and
// mirroring reduce them to one or two periods first, the other modes clamp them to where the result
// no longer changes), so no coordinate, NaN, infinities and 1e30 included, reads outside the
// level; NaN samples some texel of it.
#include "platform/d3d9/sampler.h"

#include "platform/d3d9/simd_lanes.h"

#include <cstring>
#include <new>

namespace {

using lanes = simd_lanes<4>;
using F = lanes::F;
using I = lanes::I;
using U = lanes::U;
constexpr int width = lanes::lanes;

enum sampler_address : int { address_wrap, address_mirror, address_clamp, address_border, address_mirror_once };
enum sampler_mip : int { mip_none, mip_point, mip_linear };

struct rgba {
    F r, g, b, a;  // 0..255
};

using sample_fn = void (*)(const sampler_plan& plan, const sampler_level& level, const F& u, const F& v, rgba& out);
using run_fn = void (*)(const sampler_plan& plan, int count, const float* u, const float* v, const float* lod, float* r,
                        float* g, float* b, float* a);

}  // namespace

struct sampler_plan {
    sampler_level levels[sampler_max_levels];
    int level_count = 0;
    int base = 0;  // the most detailed level the sampler uses
    float lod_bias = 0.0f;
    uint32_t border = 0;  // 0xAARRGGBB
    int mag_differs = 0;  // magnification and minification filter differently
    bool needs_lod = false;
    sample_fn mag = nullptr;  // on one level, for the address modes of the setup
    sample_fn min = nullptr;
    run_fn run = nullptr;
};

static_assert(sizeof(sampler_plan) <= sizeof(sampler_plan_storage));
static_assert(alignof(sampler_plan) <= alignof(sampler_plan_storage));

namespace {

// floor(x) for |x| < 2^31, lanes that are numbers.
inline F floor_bounded(F x) {
    const F truncated = __builtin_convertvector(__builtin_convertvector(x, I), F);
    return truncated > x ? truncated - 1.0f : truncated;
}

// max(lo, min(x, hi)); NaN gives hi.
inline F clamp_or_low(F x, float lo, float hi) {
    x = x < hi ? x : hi;  // NaN -> hi
    x = x > lo ? x : lo;  // keeps NaN out: hi > lo
    return x;
}

inline I min_i(I a, I b) { return a < b ? a : b; }
inline I max_i(I a, I b) { return a > b ? a : b; }

// x - floor(x), in [0, 1]: the position within one period. Not finite or without a fraction
// (|x| >= 2^23): 0.
inline F fraction(F x) {
    const F magnitude = x < 0.0f ? -x : x;
    const F bounded = magnitude < 8388608.0f ? x : 0.0f;  // NaN -> 0
    return bounded - floor_bounded(bounded);
}

// One axis of point sampling: texel index in [0, n - 1], and for BORDER whether it lies inside.
template <int Mode>
inline I point_index(F t, int n, I* inside) {
    const float fn = float(n);
    if constexpr (Mode == address_wrap) {
        const F x = fraction(t) * fn;  // [0, n]; n only for a tiny negative t
        return __builtin_convertvector(x < fn - 0.5f ? x : fn - 0.5f, I);
    } else if constexpr (Mode == address_mirror) {
        const F x = fraction(t * 0.5f) * (2.0f * fn);  // [0, 2n]
        const I k = __builtin_convertvector(x < 2.0f * fn - 0.5f ? x : 2.0f * fn - 0.5f, I);
        return k < n ? k : 2 * n - 1 - k;
    } else if constexpr (Mode == address_clamp) {
        return __builtin_convertvector(clamp_or_low(t * fn, 0.0f, fn - 0.5f), I);
    } else if constexpr (Mode == address_border) {
        const I k = __builtin_convertvector(floor_bounded(clamp_or_low(t * fn, -1.0f, fn)), I);  // [-1, n]
        *inside = k >= 0 && k < n;
        return min_i(max_i(k, lanes::splat(0)), lanes::splat(n - 1));
    } else {
        const I k = __builtin_convertvector(floor_bounded(clamp_or_low(t * fn, -fn, fn - 0.5f)), I);  // [-n, n-1]
        return k < 0 ? -k - 1 : k;
    }
}

// One axis of bilinear filtering: the two texel indices, the weight of the second, and for BORDER
// whether each lies inside.
template <int Mode>
inline void linear_index(F t, int n, I& k0, I& k1, F& weight, I* inside0, I* inside1) {
    const float fn = float(n);
    F x;
    if constexpr (Mode == address_wrap) {
        x = fraction(t) * fn - 0.5f;  // [-0.5, n - 0.5]
    } else if constexpr (Mode == address_mirror) {
        x = fraction(t * 0.5f) * (2.0f * fn) - 0.5f;  // [-0.5, 2n - 0.5]
    } else if constexpr (Mode == address_mirror_once) {
        x = clamp_or_low(t * fn - 0.5f, -fn - 1.0f, fn);  // beyond: both indices give n - 1
    } else {
        x = clamp_or_low(t * fn - 0.5f, -1.0f, fn);  // beyond: both indices clamp, or both lie outside
    }
    const F low = floor_bounded(x);
    weight = x - low;
    k0 = __builtin_convertvector(low, I);
    k1 = k0 + 1;
    if constexpr (Mode == address_wrap) {
        k0 = k0 < 0 ? k0 + n : k0;
        k1 = k1 >= n ? k1 - n : k1;
    } else if constexpr (Mode == address_mirror) {
        k0 = k0 < 0 ? k0 + 2 * n : k0;
        k1 = k1 >= 2 * n ? k1 - 2 * n : k1;
        k0 = k0 < n ? k0 : 2 * n - 1 - k0;
        k1 = k1 < n ? k1 : 2 * n - 1 - k1;
    } else if constexpr (Mode == address_clamp) {
        const I zero = lanes::splat(0), last = lanes::splat(n - 1);
        k0 = min_i(max_i(k0, zero), last);
        k1 = min_i(max_i(k1, zero), last);
    } else if constexpr (Mode == address_border) {
        const I zero = lanes::splat(0), last = lanes::splat(n - 1);
        *inside0 = k0 >= 0 && k0 < n;
        *inside1 = k1 >= 0 && k1 < n;
        k0 = min_i(max_i(k0, zero), last);
        k1 = min_i(max_i(k1, zero), last);
    } else {
        const I last = lanes::splat(n - 1);
        k0 = min_i(k0 < 0 ? -k0 - 1 : k0, last);
        k1 = min_i(k1 < 0 ? -k1 - 1 : k1, last);
    }
}

inline rgba unpack(U t) {
    const U mask = U{} + 0xFFu;
    return {__builtin_convertvector(I((t >> 16) & mask), F), __builtin_convertvector(I((t >> 8) & mask), F),
            __builtin_convertvector(I(t & mask), F), __builtin_convertvector(I(t >> 24), F)};
}

inline F lerp(F a, F b, F t) { return a + t * (b - a); }

template <int AU, int AV>
void sample_point(const sampler_plan& plan, const sampler_level& level, const F& u, const F& v, rgba& out) {
    I inside_u, inside_v;
    const I i = point_index<AU>(u, level.width, &inside_u);
    const I j = point_index<AV>(v, level.height, &inside_v);
    U t;
    for (int l = 0; l < width; ++l) t[l] = level.texels[size_t(j[l]) * size_t(level.width) + size_t(i[l])];
    t |= level.alpha_or;
    if constexpr (AU == address_border || AV == address_border) {
        I inside = lanes::splat(-1);
        if constexpr (AU == address_border) inside &= inside_u;
        if constexpr (AV == address_border) inside &= inside_v;
        t = inside != 0 ? t : U{} + plan.border;
    }
    out = unpack(t);
}

template <int AU, int AV>
void sample_linear(const sampler_plan& plan, const sampler_level& level, const F& u, const F& v, rgba& out) {
    I i0, i1, j0, j1, inside_i0, inside_i1, inside_j0, inside_j1;
    F fx, fy;
    linear_index<AU>(u, level.width, i0, i1, fx, &inside_i0, &inside_i1);
    linear_index<AV>(v, level.height, j0, j1, fy, &inside_j0, &inside_j1);
    U t00, t10, t01, t11;
    for (int l = 0; l < width; ++l) {
        const uint32_t* row0 = level.texels + size_t(j0[l]) * size_t(level.width);
        const uint32_t* row1 = level.texels + size_t(j1[l]) * size_t(level.width);
        t00[l] = row0[i0[l]];
        t10[l] = row0[i1[l]];
        t01[l] = row1[i0[l]];
        t11[l] = row1[i1[l]];
    }
    t00 |= level.alpha_or;
    t10 |= level.alpha_or;
    t01 |= level.alpha_or;
    t11 |= level.alpha_or;
    if constexpr (AU == address_border || AV == address_border) {
        const U border = U{} + plan.border;
        I in_i0 = lanes::splat(-1), in_i1 = in_i0, in_j0 = in_i0, in_j1 = in_i0;
        if constexpr (AU == address_border) {
            in_i0 = inside_i0;
            in_i1 = inside_i1;
        }
        if constexpr (AV == address_border) {
            in_j0 = inside_j0;
            in_j1 = inside_j1;
        }
        t00 = (in_i0 & in_j0) != 0 ? t00 : border;
        t10 = (in_i1 & in_j0) != 0 ? t10 : border;
        t01 = (in_i0 & in_j1) != 0 ? t01 : border;
        t11 = (in_i1 & in_j1) != 0 ? t11 : border;
    }
    const rgba c00 = unpack(t00), c10 = unpack(t10), c01 = unpack(t01), c11 = unpack(t11);
    out.r = lerp(lerp(c00.r, c10.r, fx), lerp(c01.r, c11.r, fx), fy);
    out.g = lerp(lerp(c00.g, c10.g, fx), lerp(c01.g, c11.g, fx), fy);
    out.b = lerp(lerp(c00.b, c10.b, fx), lerp(c01.b, c11.b, fx), fy);
    out.a = lerp(lerp(c00.a, c10.a, fx), lerp(c01.a, c11.a, fx), fy);
}

inline void store(const rgba& c, int at, float* r, float* g, float* b, float* a) {
    constexpr float scale = 1.0f / 255.0f;  // 255 * scale rounds to 1 exactly
    const F cr = c.r * scale, cg = c.g * scale, cb = c.b * scale, ca = c.a * scale;
    std::memcpy(r + at, &cr, sizeof cr);
    std::memcpy(g + at, &cg, sizeof cg);
    std::memcpy(b + at, &cb, sizeof cb);
    std::memcpy(a + at, &ca, sizeof ca);
}

inline rgba select(I mask, const rgba& yes, const rgba& no) {
    return {mask != 0 ? yes.r : no.r, mask != 0 ? yes.g : no.g, mask != 0 ? yes.b : no.b, mask != 0 ? yes.a : no.a};
}

// One level and one filter for every pixel: the level of detail is not read.
template <sample_fn Sample>
void run_single(const sampler_plan& plan, int count, const float* u, const float* v, const float*, float* r, float* g,
                float* b, float* a) {
    const sampler_level& level = plan.levels[plan.base];
    for (int at = 0; at < count; at += width) {
        rgba c;
        Sample(plan, level, lanes::load(u + at), lanes::load(v + at), c);
        store(c, at, r, g, b, a);
    }
}

// Samples the lanes of `active` with the level and filter of their key (level * 2 + 1 for the
// magnification filter, level * 2 for the minification filter), once per distinct key.
inline void sample_keyed(const sampler_plan& plan, const F& u, const F& v, I key, I active, rgba& out) {
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
        ((k & 1) != 0 ? plan.mag : plan.min)(plan, plan.levels[k >> 1], u, v, c);
        out = select(same, c, out);
        active &= ~same;
    }
}

// Mip filter NONE, the two filters differing: the base level, filtered by the sign of lambda.
void run_switch(const sampler_plan& plan, int count, const float* u, const float* v, const float* lod, float* r,
                float* g, float* b, float* a) {
    const I base_key = lanes::splat(plan.base * 2);
    for (int at = 0; at < count; at += width) {
        const F lambda = lanes::load(lod + at) + plan.lod_bias;
        const I magnify = (lambda > 0.0f) == 0;
        rgba c{};
        sample_keyed(plan, lanes::load(u + at), lanes::load(v + at), base_key + (magnify & 1), lanes::splat(-1), c);
        store(c, at, r, g, b, a);
    }
}

void run_mip_point(const sampler_plan& plan, int count, const float* u, const float* v, const float* lod, float* r,
                   float* g, float* b, float* a) {
    const float first = float(plan.base), last = float(plan.level_count - 1);
    const I base_key = lanes::splat(plan.base * 2 + plan.mag_differs);
    for (int at = 0; at < count; at += width) {
        const F lambda = lanes::load(lod + at) + plan.lod_bias;
        const I magnify = (lambda > 0.0f) == 0;
        const I level = __builtin_convertvector(floor_bounded(clamp_or_low(lambda + 0.5f, first, last)), I);
        rgba c{};
        sample_keyed(plan, lanes::load(u + at), lanes::load(v + at), magnify != 0 ? base_key : level * 2,
                     lanes::splat(-1), c);
        store(c, at, r, g, b, a);
    }
}

void run_mip_linear(const sampler_plan& plan, int count, const float* u, const float* v, const float* lod, float* r,
                    float* g, float* b, float* a) {
    const float first = float(plan.base), last = float(plan.level_count - 1);
    const I base_key = lanes::splat(plan.base * 2 + plan.mag_differs);
    const I last_level = lanes::splat(plan.level_count - 1);
    for (int at = 0; at < count; at += width) {
        const F lambda = lanes::load(lod + at) + plan.lod_bias;
        const I magnify = (lambda > 0.0f) == 0;
        const F clamped = clamp_or_low(lambda, first, last);
        const F low = floor_bounded(clamped);
        const F weight = clamped - low;  // 0 where lambda was clamped
        const I d0 = __builtin_convertvector(low, I);
        const F su = lanes::load(u + at), sv = lanes::load(v + at);
        rgba c{};
        sample_keyed(plan, su, sv, magnify != 0 ? base_key : d0 * 2, lanes::splat(-1), c);
        const I blend = (magnify == 0) & (weight > 0.0f);
        rgba c1 = c;
        sample_keyed(plan, su, sv, min_i(d0 + 1, last_level) * 2, blend, c1);
        const F w = blend != 0 ? weight : 0.0f;
        c.r = lerp(c.r, c1.r, w);
        c.g = lerp(c.g, c1.g, w);
        c.b = lerp(c.b, c1.b, w);
        c.a = lerp(c.a, c1.a, w);
        store(c, at, r, g, b, a);
    }
}

// Without a texture: opaque black.
void run_empty(const sampler_plan&, int count, const float*, const float*, const float*, float* r, float* g, float* b,
               float* a) {
    for (int at = 0; at < count; at += width) store({F{}, F{}, F{}, F{} + 255.0f}, at, r, g, b, a);
}

bool filter_is_linear(uint32_t filter) {
    switch (filter) {
    case 2:  // LINEAR
    case 3:  // ANISOTROPIC
    case 6:  // PYRAMIDALQUAD
    case 7:  // GAUSSIANQUAD
    case 8:  // CONVOLUTIONMONO
        return true;
    default:  // NONE, POINT, unknown
        return false;
    }
}

sampler_mip mip_mode(uint32_t filter) {
    if (filter == 1) return mip_point;
    return filter_is_linear(filter) ? mip_linear : mip_none;
}

int address_mode(uint32_t mode) {
    switch (mode) {
    case 2: return address_mirror;
    case 3: return address_clamp;
    case 4: return address_border;
    case 5: return address_mirror_once;
    default: return address_wrap;
    }
}

template <int AU, int AV>
struct routines {
    static constexpr sample_fn point = sample_point<AU, AV>;
    static constexpr sample_fn linear = sample_linear<AU, AV>;
    static constexpr run_fn single_point = run_single<sample_point<AU, AV>>;
    static constexpr run_fn single_linear = run_single<sample_linear<AU, AV>>;
};

struct routine_set {
    sample_fn point, linear;
    run_fn single_point, single_linear;
};

template <int AU, int AV>
constexpr routine_set routine_entry() {
    return {routines<AU, AV>::point, routines<AU, AV>::linear, routines<AU, AV>::single_point,
            routines<AU, AV>::single_linear};
}

template <int AU>
constexpr void fill_row(routine_set (&row)[5]) {
    row[0] = routine_entry<AU, 0>();
    row[1] = routine_entry<AU, 1>();
    row[2] = routine_entry<AU, 2>();
    row[3] = routine_entry<AU, 3>();
    row[4] = routine_entry<AU, 4>();
}

struct routine_table {
    routine_set at[5][5];
    constexpr routine_table() : at{} {
        fill_row<0>(at[0]);
        fill_row<1>(at[1]);
        fill_row<2>(at[2]);
        fill_row<3>(at[3]);
        fill_row<4>(at[4]);
    }
};

constexpr routine_table routine_choice{};

}  // namespace

const sampler_plan* sampler_compile(const sampler_setup& setup, sampler_plan_storage* storage) {
    sampler_plan* plan = new (storage->bytes) sampler_plan;
    int count = setup.level_count;
    if (count > sampler_max_levels) count = sampler_max_levels;
    for (int i = 0; i < count; ++i) {
        const sampler_level& level = setup.levels[i];
        if (level.texels == nullptr || level.width <= 0 || level.height <= 0) {
            count = i;  // a level that cannot be read ends the chain
            break;
        }
        plan->levels[i] = level;
    }
    plan->level_count = count;
    if (count == 0) {
        plan->run = run_empty;
        return plan;
    }
    plan->base = setup.max_level < uint32_t(count - 1) ? int(setup.max_level) : count - 1;
    plan->lod_bias = setup.lod_bias;
    plan->border = setup.border_colour;

    const routine_set& set = routine_choice.at[address_mode(setup.address_u)][address_mode(setup.address_v)];
    const bool mag_linear = filter_is_linear(setup.mag_filter);
    const bool min_linear = filter_is_linear(setup.min_filter);
    plan->mag = mag_linear ? set.linear : set.point;
    plan->min = min_linear ? set.linear : set.point;
    plan->mag_differs = mag_linear != min_linear ? 1 : 0;

    const sampler_mip mip = plan->base == count - 1 ? mip_none : mip_mode(setup.mip_filter);
    if (mip == mip_none && mag_linear == min_linear) {
        plan->run = mag_linear ? set.single_linear : set.single_point;
    } else if (mip == mip_none) {
        plan->run = run_switch;
    } else {
        plan->run = mip == mip_point ? run_mip_point : run_mip_linear;
    }
    plan->needs_lod = plan->run != set.single_linear && plan->run != set.single_point;
    return plan;
}

bool sampler_needs_lod(const sampler_plan* plan) { return plan->needs_lod; }

void sampler_run(const sampler_plan* plan, int count, const float* u, const float* v, const float* lod, float* r,
                 float* g, float* b, float* a) {
    if (count <= 0) return;
    plan->run(*plan, count, u, v, lod, r, g, b, a);
}
