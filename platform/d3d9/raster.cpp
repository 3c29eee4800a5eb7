// raster.cpp - triangle set-up (edge functions, attribute gradients) and the specialised row loops.
//
// Set-up turns the triangle into three integer edge functions E(px, py) = a*px + b*py + c, biased
// by the fill rule so that "inside" is E >= 0 for all three, and into planes for depth, 1/w and
// the attributes. Each row then solves the edge functions for its covered span [x_first, x_last]
// exactly (a double division of integers below 2^53 is correctly rounded, so the ceil/floor are
// exact), and the span loop does only depth and shading work.
#include "platform/d3d9/raster.h"

#include <algorithm>
#include <cmath>

struct raster_edge {
    int64_t a, b, c;
};

// f(px, py) = origin + dx * (px - x0) + dy * (py - y0)
struct raster_plane {
    float origin, dx, dy;
};

enum : int {
    plane_depth = 0,  // z * 65535 + 0.5
    plane_q,
    plane_c0,         // diffuse r, g, b (untextured: diffuse + specular)
    plane_c1,
    plane_c2,
    plane_s0,         // specular r, g, b
    plane_s1,
    plane_s2,
    plane_u,
    plane_v,
    plane_count,
};

struct raster_setup {
    raster_edge edges[3];
    raster_plane planes[plane_count];
    float x0, y0;  // vertex 0 in pixels
    int row_first, row_last, column_first, column_last;
};

namespace {

constexpr float depth_scale = 65535.0f;

int64_t floor_div(int64_t n, int64_t d) {  // d > 0
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}

raster_edge make_edge(const raster_vertex& from, const raster_vertex& to) {
    const int64_t dx = int64_t(to.x) - from.x;
    const int64_t dy = int64_t(to.y) - from.y;
    raster_edge e{-dy * raster_subpixel_one, dx * raster_subpixel_one, dy * from.x - dx * from.y};
    const bool top = dy == 0 && dx > 0;
    const bool left = dy < 0;
    if (!top && !left) e.c -= 1;  // centres exactly on other edges are outside
    return e;
}

raster_plane make_plane(float f0, float f1, float f2, float e1x, float e1y, float e2x, float e2y, float inv_area) {
    const float d1 = f1 - f0;
    const float d2 = f2 - f0;
    return {f0, (d1 * e2y - d2 * e1y) * inv_area, (d2 * e1x - d1 * e2x) * inv_area};
}

// Planes for the values that the selected row loop reads.
void make_planes(raster_setup& s, const raster_state& st, const raster_vertex& a, const raster_vertex& b,
                 const raster_vertex& c, int64_t area) {
    constexpr float to_pixels = 1.0f / raster_subpixel_one;
    const float e1x = float(b.x - a.x) * to_pixels, e1y = float(b.y - a.y) * to_pixels;
    const float e2x = float(c.x - a.x) * to_pixels, e2y = float(c.y - a.y) * to_pixels;
    const float inv_area = float(double(raster_subpixel_one) * raster_subpixel_one / double(area));
    auto plane = [&](float fa, float fb, float fc) { return make_plane(fa, fb, fc, e1x, e1y, e2x, e2y, inv_area); };

    s.planes[plane_depth] = plane(a.z * depth_scale + 0.5f, b.z * depth_scale + 0.5f, c.z * depth_scale + 0.5f);
    s.planes[plane_q] = plane(a.q, b.q, c.q);
    const bool textured = st.texture.texels != nullptr;
    const bool merge_specular = st.specular && !textured;  // no texture: diffuse + specular is linear
    for (int i = 0; i < 3; ++i) {
        const int d = attr_diffuse_r + i, sp = attr_specular_r + i;
        if (merge_specular) {
            s.planes[plane_c0 + i] = plane(a.attr[d] + a.attr[sp], b.attr[d] + b.attr[sp], c.attr[d] + c.attr[sp]);
        } else {
            s.planes[plane_c0 + i] = plane(a.attr[d], b.attr[d], c.attr[d]);
        }
        if (st.specular && textured) s.planes[plane_s0 + i] = plane(a.attr[sp], b.attr[sp], c.attr[sp]);
    }
    if (textured) {
        s.planes[plane_u] = plane(a.attr[attr_u], b.attr[attr_u], c.attr[attr_u]);
        s.planes[plane_v] = plane(a.attr[attr_v], b.attr[attr_v], c.attr[attr_v]);
    }
    s.x0 = float(a.x) * to_pixels;
    s.y0 = float(a.y) * to_pixels;
}

// Pixel rows and columns that the triangle's bounding box covers, limited to the target.
bool make_bounds(raster_setup& s, const d3d9_framebuffer& fb, const raster_vertex& a, const raster_vertex& b,
                 const raster_vertex& c) {
    const int64_t one = raster_subpixel_one;
    const int64_t xmin = std::min({a.x, b.x, c.x}), xmax = std::max({a.x, b.x, c.x});
    const int64_t ymin = std::min({a.y, b.y, c.y}), ymax = std::max({a.y, b.y, c.y});
    s.column_first = int(std::max<int64_t>(0, -floor_div(-xmin, one)));
    s.column_last = int(std::min<int64_t>(fb.width - 1, floor_div(xmax, one)));
    s.row_first = int(std::max<int64_t>(0, -floor_div(-ymin, one)));
    s.row_last = int(std::min<int64_t>(fb.height - 1, floor_div(ymax, one)));
    return s.column_first <= s.column_last && s.row_first <= s.row_last;
}

// The covered columns of row `py`: [*first, *last], empty when *first > *last.
inline void row_span(const raster_setup& s, int py, int* first, int* last) {
    double lo = s.column_first, hi = s.column_last;
    for (const raster_edge& e : s.edges) {
        const double value = double(e.b * py + e.c);
        if (e.a > 0) {
            lo = std::max(lo, std::ceil(-value / double(e.a)));
        } else if (e.a < 0) {
            hi = std::min(hi, std::floor(value / double(-e.a)));
        } else if (value < 0.0) {
            hi = lo - 1.0;
        }
    }
    *first = int(lo);
    *last = int(std::max(hi, lo - 1.0));
}

inline float clamp01(float v) { return std::min(std::max(0.0f, v), 1.0f); }

inline uint32_t pack(float r, float g, float b) {
    const uint32_t ri = uint32_t(clamp01(r) * 255.0f + 0.5f);
    const uint32_t gi = uint32_t(clamp01(g) * 255.0f + 0.5f);
    const uint32_t bi = uint32_t(clamp01(b) * 255.0f + 0.5f);
    return (ri << 16) | (gi << 8) | bi;
}

inline float channel(uint32_t texel, int shift) { return float((texel >> shift) & 0xFFu) * (1.0f / 255.0f); }

enum class depth_mode { off, less_equal_write, generic };

// Pass test for depth functions other than the common LESSEQUAL: bit (1 + sign(new - old)) of a
// three-bit mask of the outcomes that pass (less, equal, greater).
inline bool depth_passes(uint32_t func_mask, uint16_t fresh, uint16_t stored) {
    const int outcome = (fresh > stored) - (fresh < stored) + 1;
    return (func_mask >> outcome) & 1u;
}

uint32_t depth_func_mask(uint32_t func) {
    switch (func) {
        case 1: return 0b000;  // NEVER
        case 2: return 0b001;  // LESS
        case 3: return 0b010;  // EQUAL
        case 4: return 0b011;  // LESSEQUAL
        case 5: return 0b100;  // GREATER
        case 6: return 0b101;  // NOTEQUAL
        case 7: return 0b110;  // GREATEREQUAL
        default: return 0b111; // ALWAYS
    }
}

template <bool Textured, bool Specular>
inline uint32_t shade(const raster_setup& s, const raster_state& st, float rx, float ry) {
    auto at = [&](int p) { const raster_plane& pl = s.planes[p]; return pl.origin + pl.dx * rx + pl.dy * ry; };
    const float w = 1.0f / at(plane_q);
    float r = at(plane_c0) * w, g = at(plane_c1) * w, b = at(plane_c2) * w;
    if constexpr (Textured) {
        const uint32_t t = sampler_point(st.texture, at(plane_u) * w, at(plane_v) * w);
        r *= channel(t, 16);
        g *= channel(t, 8);
        b *= channel(t, 0);
        if constexpr (Specular) {
            r += at(plane_s0) * w;
            g += at(plane_s1) * w;
            b += at(plane_s2) * w;
        }
    }
    return pack(r, g, b);
}

template <bool Textured, bool Specular, depth_mode Depth>
void draw_rows(const raster_setup& s, const raster_state& st) {
    d3d9_framebuffer& fb = *st.target;
    const uint32_t func_mask = depth_func_mask(st.depth_func);
    const raster_plane& zp = s.planes[plane_depth];
    for (int py = s.row_first; py <= s.row_last; ++py) {
        int first, last;
        row_span(s, py, &first, &last);
        if (first > last) continue;
        const float ry = float(py) - s.y0;
        const size_t row = size_t(py) * size_t(fb.width);
        uint32_t* colour = fb.colour.data() + row;
        uint16_t* depth = Depth == depth_mode::off ? nullptr : fb.depth.data() + row;
        const float z_row = zp.origin + zp.dy * ry - zp.dx * s.x0;
        for (int px = first; px <= last; ++px) {
            if constexpr (Depth != depth_mode::off) {
                const float zf = z_row + zp.dx * float(px);
                const uint16_t z = uint16_t(std::min(std::max(0.0f, zf), depth_scale));
                if constexpr (Depth == depth_mode::less_equal_write) {
                    if (z > depth[px]) continue;
                    depth[px] = z;
                } else {
                    if (!depth_passes(func_mask, z, depth[px])) continue;
                    if (st.depth_write) depth[px] = z;
                }
            }
            colour[px] = shade<Textured, Specular>(s, st, float(px) - s.x0, ry);
        }
    }
}

template <bool Textured, bool Specular>
raster_rows_fn pick_depth(depth_mode mode) {
    switch (mode) {
        case depth_mode::off: return draw_rows<Textured, Specular, depth_mode::off>;
        case depth_mode::less_equal_write: return draw_rows<Textured, Specular, depth_mode::less_equal_write>;
        default: return draw_rows<Textured, Specular, depth_mode::generic>;
    }
}

}  // namespace

raster_program raster_compile(const raster_state& state) {
    raster_program program{state, nullptr};
    depth_mode mode = depth_mode::off;
    if (state.depth_test && !state.target->depth.empty()) {
        mode = state.depth_func == 4 && state.depth_write ? depth_mode::less_equal_write : depth_mode::generic;
    }
    const bool textured = state.texture.texels != nullptr;
    if (textured) {
        program.rows = state.specular ? pick_depth<true, true>(mode) : pick_depth<true, false>(mode);
    } else {
        program.rows = pick_depth<false, false>(mode);  // specular is merged into the diffuse planes
    }
    return program;
}

void raster_triangle(const raster_program& program, const raster_vertex& a, const raster_vertex& b,
                     const raster_vertex& c) {
    const int64_t area = (int64_t(b.x) - a.x) * (int64_t(c.y) - a.y) - (int64_t(c.x) - a.x) * (int64_t(b.y) - a.y);
    if (area == 0) return;
    const raster_cull cull = program.state.cull;
    if ((area > 0 && cull == raster_cull::clockwise) || (area < 0 && cull == raster_cull::counter_clockwise)) return;

    raster_setup s;
    if (!make_bounds(s, *program.state.target, a, b, c)) return;
    const raster_vertex& b2 = area > 0 ? b : c;  // walk clockwise
    const raster_vertex& c2 = area > 0 ? c : b;
    s.edges[0] = make_edge(a, b2);
    s.edges[1] = make_edge(b2, c2);
    s.edges[2] = make_edge(c2, a);
    make_planes(s, program.state, a, b2, c2, area > 0 ? area : -area);
    program.rows(s, program.state);
}

bool raster_is_clockwise_clip(const float a[4], const float b[4], const float c[4]) {
    const double det = double(a[0]) * (double(b[1]) * c[3] - double(c[1]) * b[3]) -
                       double(b[0]) * (double(a[1]) * c[3] - double(c[1]) * a[3]) +
                       double(c[0]) * (double(a[1]) * b[3] - double(b[1]) * a[3]);
    return det < 0.0;
}
