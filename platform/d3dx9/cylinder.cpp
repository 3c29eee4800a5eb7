// cylinder.cpp - the cylinder (or truncated cone, or cone) generator around the z axis: the -z cap,
// the side in rings from -z to +z, then the +z cap. The caps have rim vertices of their own, since
// their normals differ from the side's; there is no seam duplication around the axis.
//
// Angles, trigonometry and the side's normal are evaluated in double precision and rounded once
// to float, so a steep cone on a very short length still gets unit normals.
#include "platform/d3dx9/mesh_data.h"
#include "platform/d3dx9/shape_geometry.h"

#include <cmath>
#include <numbers>

namespace {

struct cylinder_counts {
    size_t vertices;
    size_t triangles;
};

// Zero counts when the parameters cannot describe a cylinder: radii finite and not negative, not
// both zero (one zero gives a cone), a positive finite length. Each count is bounded before the
// product, so nothing overflows.
cylinder_counts count_cylinder(float radius1, float radius2, float length, UINT slices, UINT stacks) {
    const bool radii_valid = std::isfinite(radius1) && std::isfinite(radius2) && radius1 >= 0.0f && radius2 >= 0.0f &&
                             (radius1 > 0.0f || radius2 > 0.0f);
    const bool length_valid = std::isfinite(length) && length > 0.0f;
    if (!radii_valid || !length_valid || slices < 3 || stacks < 1) return {0, 0};
    if (slices > d3dx_shape_max_vertices || stacks > d3dx_shape_max_vertices) return {0, 0};
    const uint64_t vertices = uint64_t(slices) * (stacks + 3) + 2;
    if (vertices > d3dx_shape_max_vertices) return {0, 0};
    return {size_t(vertices), size_t(2 * uint64_t(slices) * (stacks + 1))};
}

struct cylinder_shape {
    double radius1, radius2, length;
    UINT slices, stacks;
};

void push_vertex(d3dx_mesh_data& mesh, double x, double y, double z, double nx, double ny, double nz) {
    mesh.positions.push_back({float(x), float(y), float(z)});
    mesh.normals.push_back({float(nx), float(ny), float(nz)});
}

void cylinder_fill_rim(d3dx_mesh_data& cylinder, const cylinder_shape& shape, double radius, double z, double nz) {
    for (UINT j = 0; j < shape.slices; ++j) {
        const double phi = 2.0 * std::numbers::pi * j / shape.slices;
        push_vertex(cylinder, radius * std::cos(phi), radius * std::sin(phi), z, 0.0, 0.0, nz);
    }
}

void cylinder_fill_vertices(d3dx_mesh_data& cylinder, const cylinder_shape& shape) {
    const double half = shape.length / 2.0;
    push_vertex(cylinder, 0.0, 0.0, -half, 0.0, 0.0, -1.0);
    cylinder_fill_rim(cylinder, shape, shape.radius1, -half, -1.0);
    // The side's outward normal leans towards -z as the radius shrinks towards +z.
    const double slope = (shape.radius1 - shape.radius2) / shape.length;
    const double scale = 1.0 / std::sqrt(1.0 + slope * slope);
    for (UINT k = 0; k <= shape.stacks; ++k) {
        const double t = double(k) / shape.stacks;
        // The last ring meets the +z rim exactly.
        const double radius = k == shape.stacks ? shape.radius2 : shape.radius1 + (shape.radius2 - shape.radius1) * t;
        const double z = k == shape.stacks ? half : -half + shape.length * t;
        for (UINT j = 0; j < shape.slices; ++j) {
            const double phi = 2.0 * std::numbers::pi * j / shape.slices;
            const double c = std::cos(phi), s = std::sin(phi);
            push_vertex(cylinder, radius * c, radius * s, z, c * scale, s * scale, slope * scale);
        }
    }
    cylinder_fill_rim(cylinder, shape, shape.radius2, half, 1.0);
    push_vertex(cylinder, 0.0, 0.0, half, 0.0, 0.0, 1.0);
}

void cylinder_fill_indices(d3dx_mesh_data& cylinder, UINT slices, UINT stacks) {
    // Vertex j of a run of `slices` vertices starting at `first`, wrapping around the axis.
    const auto around = [slices](uint32_t first, UINT j) { return uint32_t(first + j % slices); };
    const uint32_t bottom_centre = 0, bottom_rim = 1, side = 1 + slices;
    const uint32_t top_rim = side + (stacks + 1) * slices, top_centre = top_rim + slices;
    for (UINT j = 0; j < slices; ++j) {
        cylinder.indices.insert(cylinder.indices.end(),
                                {bottom_centre, around(bottom_rim, j + 1), around(bottom_rim, j)});
    }
    for (UINT k = 0; k < stacks; ++k) {
        const uint32_t ring = side + k * slices, next_ring = ring + slices;
        for (UINT j = 0; j < slices; ++j) {
            const uint32_t a = around(ring, j), b = around(ring, j + 1);
            const uint32_t c = around(next_ring, j + 1), d = around(next_ring, j);
            cylinder.indices.insert(cylinder.indices.end(), {a, b, c, a, c, d});
        }
    }
    for (UINT j = 0; j < slices; ++j) {
        cylinder.indices.insert(cylinder.indices.end(), {top_centre, around(top_rim, j), around(top_rim, j + 1)});
    }
}

}  // namespace

d3dx_mesh_data d3dx_cylinder_geometry(float radius1, float radius2, float length, UINT slices, UINT stacks) {
    d3dx_mesh_data cylinder;
    const cylinder_counts counts = count_cylinder(radius1, radius2, length, slices, stacks);
    if (counts.vertices == 0) return cylinder;
    cylinder.positions.reserve(counts.vertices);
    cylinder.normals.reserve(counts.vertices);
    cylinder.indices.reserve(3 * counts.triangles);
    cylinder.attributes.assign(counts.triangles, 0u);
    cylinder_fill_vertices(cylinder, {radius1, radius2, length, slices, stacks});
    cylinder_fill_indices(cylinder, slices, stacks);
    return cylinder;
}
