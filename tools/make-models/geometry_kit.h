// geometry_kit.h - shape makers of the model generator: lofted grids of rings (fuselages, hulls,
// bodies of revolution, airfoil surfaces, tori), flat caps, boxes and cylinders.
//
// Contract: every maker returns a Mesh in its own local coordinates with outward unit normals,
// smooth across the grid and split where a ring is open (an airfoil's trailing edge) or a cap
// meets the side. Uvs come from a UvMap over the grid's two parameters. All triangles carry the
// material passed in; Mesh::add_triangle makes them front-facing and drops degenerate ones, so a
// ring shrunk to a point (a pointed nose) closes the surface cleanly; every vertex is used.
//
// DOES NOT: weld separate parts, test for self-intersection, or know which model it builds.
#pragma once

#include "mesh_builder.h"

#include <functional>
#include <vector>

namespace models {

// A grid of points: rings[i][j], i along the path, j around or across each ring. All rings have
// the same number of points; a wrapping direction must not repeat its first point at the end.
struct surface_grid {
    std::vector<std::vector<vec3>> rings;
    bool ring_wraps = true;   // j wraps around (a tube); false: an open strip (airfoil TE to TE)
    bool path_wraps = false;  // i wraps around (a torus)
};

// Texture coordinates from the path parameter s and the ring parameter t, both in [0, 1].
using uv_map = std::function<vec2(float s, float t)>;

vec2 no_uv(float s, float t);

struct loft_options {
    uint32_t material = 0;
    uv_map uv = no_uv;
    bool cap_start = false;  // close the first ring with a flat cap
    bool cap_end = false;    // close the last ring with a flat cap
    vec2 cap_uv{};           // uv of the cap vertices
};

// The surface through the grid, with smooth normals from central differences, turned outwards.
model_mesh loft(const surface_grid& grid, const loft_options& options);

// One cross-section of a body along the x axis: a super-ellipse in the plane x = const, centred at
// (x, y, 0) with half-height ry and half-width rz. Exponent 2 is an ellipse, larger is squarer.
struct body_section {
    float x, y, ry, rz;
    float exponent = 2.0f;
};

// Rings through the sections, `segments` points each, the first at the top (+y), the quarter
// point on the +z side.
surface_grid body_grid(const std::vector<body_section>& sections, int segments);

// An ellipsoid with the given centre and semi-axes, its poles on the x axis: `rings` sections
// from the +x pole to the -x pole.
surface_grid ellipsoid_grid(vec3 centre, vec3 radii, int rings, int segments);

// One section of a wing-like surface: the leading edge point, the chord direction (towards the
// trailing edge), the thickness direction (towards the upper surface), the chord length, the
// thickness and camber as fractions of the chord (NACA 4-digit shape, camber peak at 40 %).
struct airfoil_section {
    vec3 leading_edge;
    vec3 chord_direction{-1, 0, 0};
    vec3 up{0, 1, 0};
    float chord = 1.0f;
    float thickness = 0.12f;
    float camber = 0.0f;
};

// Open rings running from the trailing edge over the upper surface to the leading edge and back
// along the lower surface; ring parameter t = 0.5 is the leading edge.
surface_grid airfoil_grid(const std::vector<airfoil_section>& sections, int points_per_side);

// The sections of a wing symmetric about z = 0: 2 * per_side + 1 stations evenly spaced from
// -half_span to half_span, each shaped by `shape(section, z, eta)`, eta = |z| / half_span running
// from 0 at the root to 1 at the tips.
std::vector<airfoil_section> span_sections(int per_side, float half_span,
                                           const std::function<void(airfoil_section&, float z, float eta)>& shape);

// A torus about the z axis through the origin.
surface_grid torus_grid(float ring_radius, float tube_radius, int rings, int segments);

// A closed cylinder from a to b.
model_mesh cylinder(vec3 a, vec3 b, float radius, int segments, uint32_t material, vec2 uv);

// An axis-aligned box with flat faces.
model_mesh box(vec3 low, vec3 high, uint32_t material, vec2 uv);

}  // namespace models
