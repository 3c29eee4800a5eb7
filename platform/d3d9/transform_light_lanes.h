// transform_light_lanes.h - the vertex stage several vertices at a time, in structure-of-arrays
// form, written once over a set of lane operations.
//
// Each lane performs exactly the operations of tnl_process, in the same order, so the results are
// bit for bit those of the one-vertex path; branches become lane masks. That needs sources that
// include this to be built without fused multiply-adds (-ffp-contract=off where the instruction
// set has them). Included by one source file per instruction-set level
// (transform_light_batch_*.cpp), each supplying an `Ops` struct: the lane count, the vector types,
// a correctly rounded square root and rounding to the nearest integer (ties to even, as lrint).
// Everything here has internal linkage, so the variants never mix at link time.
#pragma once

#include "platform/d3d9/clip.h"
#include "platform/d3d9/light_terms.h"
#include "platform/d3d9/transform_light.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

namespace {

template <typename Ops>
struct tnl_lanes {
    static constexpr int lanes = Ops::lanes;
    using F = typename Ops::F;
    using I = typename Ops::I;

    static F splat(float v) { return Ops::splat(v); }
    static F select(I mask, F yes, F no) { return mask ? yes : no; }

    struct V3 {
        F x, y, z;
        friend V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
        friend V3 operator*(V3 a, F s) { return {a.x * s, a.y * s, a.z * s}; }
    };

    static V3 splat3(const float v[3]) { return {splat(v[0]), splat(v[1]), splat(v[2])}; }
    static V3 times(V3 a, V3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
    // times, but a zero component of colour a gives zero even against an infinite sum b
    // (tnl_terms::times; sums of point and spot lights can be infinite).
    static F guarded_times(F a, F b) { return select(a != 0.0f, a * b, splat(0.0f)); }
    static V3 guarded_times(V3 a, V3 b) {
        return {guarded_times(a.x, b.x), guarded_times(a.y, b.y), guarded_times(a.z, b.z)};
    }
    static F dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
    static V3 select3(I mask, V3 yes, V3 no) {
        return {select(mask, yes.x, no.x), select(mask, yes.y, no.y), select(mask, yes.z, no.z)};
    }

    // Unit vector along v; zero for a zero vector.
    static V3 normalised(V3 v) {
        const F length_squared = dot(v, v);
        const V3 scaled = v * (1.0f / Ops::square_root(length_squared));
        return select3(length_squared > 0.0f, scaled, {splat(0.0f), splat(0.0f), splat(0.0f)});
    }

    // min(max(0, v), 1) as std::min and std::max compute it (NaN becomes 0).
    static F clamp01(F v) {
        const F low = select(F{} < v, v, F{});
        return select(splat(1.0f) < low, splat(1.0f), low);
    }

    static V3 clamp01(V3 v) { return {clamp01(v.x), clamp01(v.y), clamp01(v.z)}; }

    // Row-vector transform by the 4x3 part of m (w = 1), or the 3x3 part (directions).
    static V3 transform_point(const float m[4][4], V3 p) {
        return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
    }

    static V3 transform_normal(const float m[3][3], V3 n) {
        return {n.x * m[0][0] + n.y * m[1][0] + n.z * m[2][0], n.x * m[0][1] + n.y * m[1][1] + n.z * m[2][1],
                n.x * m[0][2] + n.y * m[1][2] + n.z * m[2][2]};
    }

    static V3 gather(const tnl_element& v, const uint32_t index[lanes]) {
        V3 r;
        for (int i = 0; i < lanes; ++i) {
            const D3DVECTOR e = tnl_read_vector(v, index[i]);
            r.x[i] = e.x, r.y[i] = e.y, r.z[i] = e.z;
        }
        return r;
    }

    static V3 vertex_colours(const tnl_draw& d, const uint32_t index[lanes]) {
        if (d.streams.diffuse.data == nullptr) return {splat(1.0f), splat(1.0f), splat(1.0f)};
        I c;
        for (int i = 0; i < lanes; ++i) c[i] = int32_t(tnl_read_colour(d.streams.diffuse, index[i]));
        const auto channel = [&c](int shift) {
            return __builtin_convertvector((c >> shift) & 0xFF, F) * (1.0f / 255.0f);
        };
        return {channel(16), channel(8), channel(0)};
    }

    // The diffuse alpha the vertices carry (transform_light.h).
    static F vertex_alphas(const tnl_draw& d, const uint32_t index[lanes]) {
        if (d.streams.diffuse.data == nullptr || (d.lighting && !d.diffuse_from_vertex)) {
            return splat(d.lighting ? d.material_alpha : 1.0f);
        }
        I c;
        for (int i = 0; i < lanes; ++i) c[i] = int32_t(tnl_read_colour(d.streams.diffuse, index[i]));
        return __builtin_convertvector((c >> 24) & 0xFF, F) / 255.0f;
    }

    // The vertex fog factors at positions p, lane by lane with the one-vertex stage's function.
    static F fog_factors(const tnl_draw& d, V3 p) {
        if (d.fog_mode == D3DFOG_NONE) return splat(1.0f);
        const V3 eye = transform_point(d.matrices->world_view, p);
        F f;
        for (int i = 0; i < lanes; ++i) {
            f[i] = tnl_terms::fog_factor(d.fog_mode, d.fog_start, d.fog_end, d.fog_density,
                                         tnl_terms::fog_distance(d.range_fog, {eye.x[i], eye.y[i], eye.z[i]}));
        }
        return f;
    }

    // x^P by repeated squaring, P whole and the same in every lane (tnl_terms::specular_power).
    static F whole_power(F x, const tnl_draw& d) {
        x = select(x < d.power_floor, splat(0.0f), x);
        F result = splat(1.0f);
        for (int e = d.whole_power; e > 0; e >>= 1) {
            if (e & 1) result *= x;
            if (e > 1) x *= x;
        }
        return result;
    }

    struct lit_colours {
        V3 diffuse, specular;
    };

    // Colour c times factors f per component; a zero component gives zero even where f is infinite
    // (tnl_terms::scaled).
    static V3 scaled(const float c[3], F f) {
        const auto component = [f](float k) { return k != 0.0f ? splat(k) * f : splat(0.0f); };
        return {component(c[0]), component(c[1]), component(c[2])};
    }

    // Attenuation times spot factor of point or spot light l, whose range is above 0, at positions v
    // (tnl_terms::local_light_factor); sets *to_light. Lanes the light does not reach get a factor
    // that is not above 0.
    static F local_light_factor(const tnl_light& l, V3 v, V3* to_light) {
        const V3 offset{splat(l.position[0]) - v.x, splat(l.position[1]) - v.y, splat(l.position[2]) - v.z};
        const F distance = Ops::square_root(dot(offset, offset));
        const V3 zero{splat(0.0f), splat(0.0f), splat(0.0f)};
        *to_light = select3(distance > 0.0f, offset * (1.0f / distance), zero);
        const F denominator = l.attenuation[0] + distance * (l.attenuation[1] + distance * l.attenuation[2]);
        F factor = select(denominator >= 0.0f, 1.0f / denominator, splat(0.0f));  // 1 / +0 = +infinity
        I reached = distance <= l.range;
        if (l.type == D3DLIGHT_SPOT) {
            const F rho = -dot(splat3(l.spot_axis), *to_light);
            const I outside = rho <= l.cos_half_phi;
            reached &= ~outside;
            const I penumbra = ~outside & (rho < l.cos_half_theta);
            const F t = (rho - l.cos_half_phi) / (l.cos_half_theta - l.cos_half_phi);
            if (l.falloff == 1.0f) {
                factor = select(penumbra, factor * t, factor);
            } else {
                for (int i = 0; i < lanes; ++i) {
                    if (penumbra[i]) factor[i] *= std::pow(t[i], l.falloff);
                }
            }
        }
        return select(reached, factor, splat(0.0f));
    }

    // The lights' sums for camera-space positions v and normals n, light by light in the order of
    // tnl_terms::sum_lights. `Local`: the draw has point or spot lights; without, directional ones
    // only, whose sums stay finite. With point or spot lights the highlights' powers are raised for
    // all lights together (independent chains of multiplications), then summed in light order.
    template <bool Local>
    static lit_colours light(const tnl_draw& d, V3 v, V3 n, bool has_normal, V3 vertex_colour) {
        const V3 zero{splat(0.0f), splat(0.0f), splat(0.0f)};
        V3 ambient = splat3(d.ambient_light), diffuse = zero, specular = zero;
        const bool local_eye = has_normal && d.specular && d.local_viewer;
        const V3 to_eye = local_eye ? normalised(v * splat(-1.0f)) : V3{splat(0.0f), splat(0.0f), splat(-1.0f)};
        const int light_count = Local || has_normal ? d.light_count : 0;
        F highlight_base[tnl_max_lights], highlight_factor[tnl_max_lights];
        I highlight_lit[tnl_max_lights];
        const tnl_light* highlight_light[tnl_max_lights];
        int highlights = 0;
        for (int i = 0; i < light_count; ++i) {
            const tnl_light& l = d.lights[i];
            V3 to_light = splat3(l.to_light);
            F factor = splat(1.0f);
            I reached = I{} == I{};
            if constexpr (Local) {
                if (l.type != D3DLIGHT_DIRECTIONAL) {
                    if (!(l.range > 0.0f)) continue;
                    factor = local_light_factor(l, v, &to_light);
                    reached = factor > 0.0f;
                    ambient = select3(reached, ambient + scaled(l.ambient, factor), ambient);
                }
                if (!has_normal) continue;
            }
            const F n_dot_l = dot(n, to_light);
            const I lit = Local ? reached & (n_dot_l > 0.0f) : n_dot_l > 0.0f;
            const V3 lit_diffuse = Local ? scaled(l.diffuse, n_dot_l * factor) : splat3(l.diffuse) * n_dot_l;
            diffuse = select3(lit, diffuse + lit_diffuse, diffuse);
            if (!d.specular) continue;
            const F n_dot_h = dot(n, normalised(to_eye + to_light));
            if constexpr (Local) {
                highlight_base[highlights] = select(n_dot_h < d.power_floor, splat(0.0f), n_dot_h);
                highlight_factor[highlights] = factor;
                highlight_lit[highlights] = lit & (n_dot_h > 0.0f);
                highlight_light[highlights++] = &l;
            } else {
                const V3 highlight = specular + splat3(l.specular) * whole_power(n_dot_h, d);
                specular = select3(lit & (n_dot_h > 0.0f), highlight, specular);
            }
        }
        const V3 ca = d.ambient_from_vertex ? vertex_colour : splat3(d.material_ambient);
        const V3 cd = d.diffuse_from_vertex ? vertex_colour : splat3(d.material_diffuse);
        const V3 ce = d.emissive_from_vertex ? vertex_colour : splat3(d.material_emissive);
        if constexpr (Local) {
            F power[tnl_max_lights];
            for (int k = 0; k < highlights; ++k) power[k] = splat(1.0f);
            for (int e = d.whole_power; e > 0; e >>= 1) {  // whole_power, light by light (-1: no highlights)
                for (int k = 0; k < highlights; ++k) {
                    if (e & 1) power[k] *= highlight_base[k];
                    if (e > 1) highlight_base[k] *= highlight_base[k];
                }
            }
            for (int k = 0; k < highlights; ++k) {
                const V3 highlight = specular + scaled(highlight_light[k]->specular, power[k] * highlight_factor[k]);
                specular = select3(highlight_lit[k], highlight, specular);
            }
            return {clamp01(guarded_times(ca, ambient) + guarded_times(cd, diffuse) + ce),
                    clamp01(guarded_times(splat3(d.material_specular), specular))};
        }
        return {clamp01(times(ca, ambient) + times(cd, diffuse) + ce),
                clamp01(times(splat3(d.material_specular), specular))};
    }

    // clip_outcode for `lanes` positions.
    static I outcodes(const F p[4]) {
        constexpr float g = clip_guard_band;
        const F x = p[0], y = p[1], z = p[2], w = p[3];
        I finite = I{} == I{};
        for (int j = 0; j < 4; ++j) finite &= (I(p[j]) & 0x7F800000) != 0x7F800000;
        const auto bit = [](I mask, uint32_t b) { return mask & int32_t(b); };
        const I code = bit(x < -w, clip_out_left) | bit(x > w, clip_out_right) | bit(y < -w, clip_out_bottom) |
                       bit(y > w, clip_out_top) | bit(z < 0.0f, clip_out_near) | bit(z > w, clip_out_far) |
                       bit(x < -g * w, clip_beyond_left) | bit(x > g * w, clip_beyond_right) |
                       bit(y < -g * w, clip_beyond_bottom) | bit(y > g * w, clip_beyond_top) |
                       bit(w < clip_min_w, clip_out_w);
        return finite ? code : ~I{};
    }

    // viewport_project for `lanes` vertices (lanes that need clipping get values nobody reads).
    // The first `Attributes` attributes only (attr_count, or attr_fog without fog and alpha).
    template <int Attributes>
    static void project(const viewport_mapping& vp, const F clip[4], const F attr[attr_count], I* x, I* y,
                        F value[raster_value_storage]) {
        const F q = 1.0f / clip[3];
        *x = Ops::round_to_int((clip[0] * q + 1.0f) * vp.half_width);
        *y = Ops::round_to_int((1.0f - clip[1] * q) * vp.half_height);
        value[raster_value_z] = clip[2] * q;
        value[raster_value_q] = q;
        for (int a = 0; a < Attributes; ++a) value[raster_value_attr + a] = attr[a] * q;
        if (vp.sum_specular) {
            for (int i = 0; i < 3; ++i) {
                value[raster_value_attr + attr_diffuse_r + i] += value[raster_value_attr + attr_specular_r + i];
            }
        }
    }

    // A vertex record as 32-bit words: the clip vertex, then the raster vertex (x, y, the values).
    static constexpr int clip_first = 0;
    static constexpr int screen_first = int(offsetof(tnl_vertex, screen)) / 4;
    static constexpr int record_words = screen_first + 2 + raster_value_storage;
    static_assert(offsetof(tnl_vertex, clip) == 0 && sizeof(clip_vertex) == 4 * (4 + attr_count) &&
                  offsetof(tnl_vertex, screen) == sizeof(clip_vertex) && offsetof(raster_vertex, value) == 8);

    // One step of the transpose: the B x B blocks of rows a and c off the diagonal swapped.
    template <int B, size_t... J>
    static F transpose_low(F a, F c, std::index_sequence<J...>) {
        return __builtin_shufflevector(a, c, ((J & B) != 0 ? int(J) - B + lanes : int(J))...);
    }
    template <int B, size_t... J>
    static F transpose_high(F a, F c, std::index_sequence<J...>) {
        return __builtin_shufflevector(a, c, ((J & B) != 0 ? int(J) + lanes : int(J) + B)...);
    }

    // Words First .. End - 1 of the first `count` lanes' records, from word[] (lane i: vertex
    // index[i]): `lanes` words at a time, transposed so that each vertex takes one block copy.
    template <int First, int End>
    static void store_words(const F word[record_words], const uint32_t index[lanes], int count, tnl_vertex* vertices) {
        if constexpr (First < End) {
            constexpr int n = std::min(lanes, End - First);
            F r[lanes];
            for (int j = 0; j < lanes; ++j) r[j] = j < n ? word[First + j] : F{};
            [&]<int... B>(std::integer_sequence<int, B...>) {
                const auto stage = [&]<int Block>() {
                    for (int k = 0; k < lanes; ++k) {
                        if ((k & Block) != 0) continue;
                        const F a = r[k], c = r[k + Block];
                        r[k] = transpose_low<Block>(a, c, std::make_index_sequence<lanes>());
                        r[k + Block] = transpose_high<Block>(a, c, std::make_index_sequence<lanes>());
                    }
                };
                (stage.template operator()<(1 << B)>(), ...);
            }
            (std::make_integer_sequence<int, std::countr_zero(unsigned(lanes))>());
            for (int i = 0; i < count; ++i) {
                std::memcpy(reinterpret_cast<char*>(vertices + index[i]) + 4 * First, &r[i], 4 * n);
            }
            store_words<First + n, End>(word, index, count, vertices);
        }
    }

    // Transforms and lights the vertices `index` (one per lane) and stores the first `count` of them.
    // `FogAlpha`: also the fog factor and alpha; without, those slots of the records are left as they
    // were (tnl_draw::fog_alpha). `Local`: the draw has point or spot lights.
    template <bool FogAlpha, bool Local>
    static void process_lanes(const tnl_draw& d, const uint32_t index[lanes], int count, tnl_vertex* vertices) {
        constexpr int attributes = FogAlpha ? attr_count : attr_fog;
        static_assert(attr_fog == attr_count - 2 && attr_alpha == attr_count - 1, "fog and alpha come last");
        const tnl_matrices& m = *d.matrices;
        const V3 p = gather(d.streams.positions, index);
        F clip[4];
        for (int j = 0; j < 4; ++j) {
            const float(*t)[4] = m.world_view_projection;
            clip[j] = p.x * t[0][j] + p.y * t[1][j] + p.z * t[2][j] + t[3][j];
        }
        const V3 vertex_colour = vertex_colours(d, index);
        lit_colours lit{vertex_colour, {splat(0.0f), splat(0.0f), splat(0.0f)}};
        if (d.lighting) {
            const bool has_normal = d.streams.normals.data != nullptr;
            V3 n{};
            if (has_normal) {
                n = transform_normal(m.normal, gather(d.streams.normals, index));
                if (d.normalize_normals) n = normalised(n);
            }
            const V3 v =
                d.needs_eye_position ? transform_point(m.world_view, p) : V3{splat(0.0f), splat(0.0f), splat(1.0f)};
            lit = light<Local>(d, v, n, has_normal, vertex_colour);
        }
        F attr[attr_count] = {lit.diffuse.x,  lit.diffuse.y,  lit.diffuse.z,
                              lit.specular.x, lit.specular.y, lit.specular.z};
        if constexpr (FogAlpha) {
            attr[attr_fog] = fog_factors(d, p);
            attr[attr_alpha] = vertex_alphas(d, index);
        }
        if (d.streams.texcoords.data != nullptr) {
            for (int i = 0; i < lanes; ++i) {
                float u, v;
                tnl_read_texcoord(d.streams.texcoords, index[i], &u, &v);
                attr[attr_u][i] = u, attr[attr_v][i] = v;
            }
        }
        if (d.streams.texcoords1.data != nullptr) {
            for (int i = 0; i < lanes; ++i) {
                float u, v;
                tnl_read_texcoord(d.streams.texcoords1, index[i], &u, &v);
                attr[attr_u1][i] = u, attr[attr_v1][i] = v;
            }
        }
        const I outcode = outcodes(clip);
        // The records' words in lanes, clip then screen, stored transposed.
        F word[record_words];
        for (int j = 0; j < 4; ++j) word[clip_first + j] = clip[j];
        for (int a = 0; a < attributes; ++a) word[clip_first + 4 + a] = attr[a];
        I x, y;
        project<attributes>(d.viewport, clip, attr, &x, &y, word + screen_first + 2);
        word[screen_first] = F(x), word[screen_first + 1] = F(y);
        store_words<clip_first, clip_first + 4 + attributes>(word, index, count, vertices);
        store_words<screen_first, screen_first + 2 + raster_value_attr + attributes>(word, index, count, vertices);
        for (int i = 0; i < count; ++i) vertices[index[i]].outcode = uint32_t(outcode[i]);
    }

    template <bool FogAlpha, bool Local>
    static void process_all(const tnl_draw& d, const uint32_t* indices, size_t count, tnl_vertex* vertices) {
        size_t i = 0;
        for (; i + lanes <= count; i += lanes) process_lanes<FogAlpha, Local>(d, indices + i, lanes, vertices);
        if (i == count) return;
        uint32_t tail[lanes];
        for (int k = 0; k < lanes; ++k) tail[k] = indices[i + std::min<size_t>(size_t(k), count - i - 1)];
        process_lanes<FogAlpha, Local>(d, tail, int(count - i), vertices);
    }

    // tnl_process for each of `count` vertex indices, `lanes` at a time.
    static void process(const tnl_draw& d, const uint32_t* indices, size_t count, tnl_vertex* vertices) {
        const bool local = d.lighting && std::any_of(d.lights, d.lights + d.light_count,
                                                     [](const tnl_light& l) { return l.type != D3DLIGHT_DIRECTIONAL; });
        if (d.fog_alpha) {
            (local ? process_all<true, true> : process_all<true, false>)(d, indices, count, vertices);
        } else {
            (local ? process_all<false, true> : process_all<false, false>)(d, indices, count, vertices);
        }
    }
};

}  // namespace
