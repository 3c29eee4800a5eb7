// polygon.cpp - the regular polygon generator: a centre and the corners on the circumscribed
// circle, in the xy-plane, joined as a fan that faces +z.
//
// Angles and trigonometry are evaluated in double precision and rounded once to float.
#include "platform/d3dx9/mesh_data.h"
#include "platform/d3dx9/shape_geometry.h"

#include <cfloat>
#include <cmath>
#include <numbers>

namespace {

// The circumradius of `sides` sides of `length` each, or 0 when the parameters cannot describe a
// polygon (the circumradius, which grows with the number of sides, must be a finite float too).
double polygon_circumradius(float length, UINT sides) {
    if (!std::isfinite(length) || length <= 0.0f || sides < 3 || sides >= d3dx_shape_max_vertices) return 0.0;
    const double radius = length / (2.0 * std::sin(std::numbers::pi / sides));
    return radius <= FLT_MAX ? radius : 0.0;
}

}  // namespace

d3dx_mesh_data d3dx_polygon_geometry(float length, UINT sides) {
    d3dx_mesh_data polygon;
    const double radius = polygon_circumradius(length, sides);
    if (radius == 0.0) return polygon;
    polygon.positions.reserve(size_t(sides) + 1);
    polygon.normals.assign(size_t(sides) + 1, D3DVECTOR{0.0f, 0.0f, 1.0f});
    polygon.indices.reserve(3 * size_t(sides));
    polygon.attributes.assign(sides, 0u);
    polygon.positions.push_back({0.0f, 0.0f, 0.0f});
    for (UINT k = 0; k < sides; ++k) {
        const double angle = 2.0 * std::numbers::pi * k / sides;
        polygon.positions.push_back({float(radius * std::cos(angle)), float(radius * std::sin(angle)), 0.0f});
    }
    for (uint32_t k = 1; k <= sides; ++k) {
        polygon.indices.insert(polygon.indices.end(), {0u, k, k % sides + 1});
    }
    return polygon;
}
