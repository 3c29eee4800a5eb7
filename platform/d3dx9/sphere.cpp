// sphere.cpp - the sphere generator: a pole at each end of the z axis and rings of equal polar
// angle between them (no seam duplication: there are no texture coordinates to split).
//
// Angles and trigonometry are evaluated in double precision and rounded once to float.
#include "platform/d3dx9/mesh_data.h"
#include "platform/d3dx9/shape_geometry.h"

#include <cmath>
#include <numbers>

namespace {

struct sphere_counts {
    size_t vertices;
    size_t triangles;
};

// Zero counts when the parameters cannot describe a sphere. Each count is bounded before the
// product, so nothing overflows.
sphere_counts count_sphere(float radius, UINT slices, UINT stacks) {
    const bool radius_valid = std::isfinite(radius) && radius > 0.0f;
    if (!radius_valid || slices < 3 || stacks < 2) return {0, 0};
    if (slices > d3dx_shape_max_vertices || stacks > d3dx_shape_max_vertices) return {0, 0};
    const uint64_t vertices = uint64_t(stacks - 1) * slices + 2;
    if (vertices > d3dx_shape_max_vertices) return {0, 0};
    return {size_t(vertices), size_t(2 * uint64_t(slices) * (stacks - 1))};
}

void sphere_fill_vertices(d3dx_mesh_data& sphere, double r, UINT slices, UINT stacks) {
    sphere.positions.push_back({0.0f, 0.0f, float(r)});
    sphere.normals.push_back({0.0f, 0.0f, 1.0f});
    for (UINT i = 1; i < stacks; ++i) {
        const double theta = std::numbers::pi * i / stacks;
        const double sin_theta = std::sin(theta), cos_theta = std::cos(theta);
        for (UINT j = 0; j < slices; ++j) {
            const double phi = 2.0 * std::numbers::pi * j / slices;
            const double n[3] = {sin_theta * std::cos(phi), sin_theta * std::sin(phi), cos_theta};
            sphere.positions.push_back({float(r * n[0]), float(r * n[1]), float(r * n[2])});
            sphere.normals.push_back({float(n[0]), float(n[1]), float(n[2])});
        }
    }
    sphere.positions.push_back({0.0f, 0.0f, float(-r)});
    sphere.normals.push_back({0.0f, 0.0f, -1.0f});
}

void sphere_fill_indices(d3dx_mesh_data& sphere, UINT slices, UINT stacks) {
    // Ring i (1 .. stacks - 1), slice j: vertex 1 + (i - 1) * slices + j.
    const auto ring_vertex = [slices](UINT i, UINT j) { return uint32_t(1 + (i - 1) * slices + j % slices); };
    const uint32_t north = 0, south = uint32_t(sphere.positions.size() - 1);
    for (UINT j = 0; j < slices; ++j) {
        sphere.indices.insert(sphere.indices.end(), {north, ring_vertex(1, j), ring_vertex(1, j + 1)});
    }
    for (UINT i = 1; i + 1 < stacks; ++i) {
        for (UINT j = 0; j < slices; ++j) {
            const uint32_t a = ring_vertex(i, j), b = ring_vertex(i, j + 1);
            const uint32_t c = ring_vertex(i + 1, j + 1), d = ring_vertex(i + 1, j);
            sphere.indices.insert(sphere.indices.end(), {a, d, c, a, c, b});
        }
    }
    for (UINT j = 0; j < slices; ++j) {
        sphere.indices.insert(sphere.indices.end(),
                              {south, ring_vertex(stacks - 1, j + 1), ring_vertex(stacks - 1, j)});
    }
}

}  // namespace

d3dx_mesh_data d3dx_sphere_geometry(float radius, UINT slices, UINT stacks) {
    d3dx_mesh_data sphere;
    const sphere_counts counts = count_sphere(radius, slices, stacks);
    if (counts.vertices == 0) return sphere;
    sphere.positions.reserve(counts.vertices);
    sphere.normals.reserve(counts.vertices);
    sphere.indices.reserve(3 * counts.triangles);
    sphere.attributes.assign(counts.triangles, 0u);
    sphere_fill_vertices(sphere, radius, slices, stacks);
    sphere_fill_indices(sphere, slices, stacks);
    return sphere;
}
