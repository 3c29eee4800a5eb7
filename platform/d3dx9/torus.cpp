// torus.cpp - the torus generator: a sides x rings grid around the z axis, wrapping in both
// directions (no seam duplication: there are no texture coordinates to split).
//
// Angles and trigonometry are evaluated in double precision and rounded once to float.
#include "platform/d3dx9/mesh_data.h"
#include "platform/d3dx9/shape_geometry.h"

#include <cmath>
#include <numbers>

namespace {

struct torus_counts {
    size_t vertices;
    size_t triangles;
};

// Zero counts when the parameters cannot describe a torus (the outer extent, inner + outer, must
// be finite too).
torus_counts count_torus(float inner_radius, float outer_radius, UINT sides, UINT rings) {
    const bool radii_valid = std::isfinite(inner_radius + outer_radius) && inner_radius > 0.0f && outer_radius > 0.0f;
    const uint64_t vertices = uint64_t(sides) * rings;
    if (!radii_valid || sides < 3 || rings < 3 || vertices > d3dx_shape_max_vertices) return {0, 0};
    return {size_t(vertices), size_t(2 * vertices)};
}

void torus_fill_vertices(d3dx_mesh_data& torus, double r, double big_r, UINT sides, UINT rings) {
    for (UINT j = 0; j < rings; ++j) {
        const double theta = 2.0 * std::numbers::pi * j / rings;
        const double cos_theta = std::cos(theta), sin_theta = std::sin(theta);
        for (UINT i = 0; i < sides; ++i) {
            const double phi = 2.0 * std::numbers::pi * i / sides;
            const double cos_phi = std::cos(phi), sin_phi = std::sin(phi);
            const double distance = big_r + r * cos_phi;
            torus.positions.push_back({float(distance * cos_theta), float(distance * sin_theta), float(r * sin_phi)});
            torus.normals.push_back({float(cos_phi * cos_theta), float(cos_phi * sin_theta), float(sin_phi)});
        }
    }
}

void torus_fill_indices(d3dx_mesh_data& torus, UINT sides, UINT rings) {
    for (UINT j = 0; j < rings; ++j) {
        const UINT next_j = (j + 1) % rings;
        for (UINT i = 0; i < sides; ++i) {
            const UINT next_i = (i + 1) % sides;
            const uint32_t a = j * sides + i, b = next_j * sides + i;
            const uint32_t c = next_j * sides + next_i, d = j * sides + next_i;
            torus.indices.insert(torus.indices.end(), {a, b, c, a, c, d});
        }
    }
}

}  // namespace

d3dx_mesh_data d3dx_torus_geometry(float inner_radius, float outer_radius, UINT sides, UINT rings) {
    d3dx_mesh_data torus;
    const torus_counts counts = count_torus(inner_radius, outer_radius, sides, rings);
    if (counts.vertices == 0) return torus;
    torus.positions.reserve(counts.vertices);
    torus.normals.reserve(counts.vertices);
    torus.indices.reserve(3 * counts.triangles);
    torus.attributes.assign(counts.triangles, 0u);
    torus_fill_vertices(torus, inner_radius, outer_radius, sides, rings);
    torus_fill_indices(torus, sides, rings);
    return torus;
}
