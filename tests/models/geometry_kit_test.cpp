// Tests of the model generator's geometry kit: every shape maker gives a sealed surface with
// front faces outside and outward unit normals, and the mesh builder keeps triangles front-facing.
#include "geometry_kit.h"
#include "surface_checks.h"
#include "airplane_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace {

using namespace models;

surface_view view_of(const model_mesh& mesh) {
    surface_view view;
    for (const vec3& p : mesh.positions) view.positions.push_back({p.x, p.y, p.z});
    for (const vec3& n : mesh.normals) view.normals.push_back({n.x, n.y, n.z});
    for (const mesh_triangle& t : mesh.triangles) view.indices.insert(view.indices.end(), {t.a, t.b, t.c});
    return view;
}

void expect_sealed(const model_mesh& mesh, const std::string& shape) {
    const surface_report report = check_surface(view_of(mesh));
    EXPECT_GT(report.triangles, 0u) << shape;
    EXPECT_EQ(report.degenerate, 0u) << shape;
    EXPECT_EQ(report.facing_away, 0u) << shape;
    EXPECT_EQ(report.non_unit_normals, 0u) << shape;
    EXPECT_EQ(report.open_edges, 0u) << shape;
    EXPECT_EQ(report.unused_vertices, 0u) << shape;
}

// Counts vertices whose normal does not point away from `inside(p)`, the nearest interior point.
size_t inward_normals(const model_mesh& mesh, const std::function<vec3(vec3)>& inside) {
    size_t count = 0;
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        count += dot(mesh.normals[i], mesh.positions[i] - inside(mesh.positions[i])) <= 0.0f;
    }
    return count;
}

loft_options capped() {
    loft_options options;
    options.cap_start = options.cap_end = true;
    return options;
}

std::vector<airfoil_section> wing_sections() {
    std::vector<airfoil_section> sections;
    for (int i = -4; i <= 4; ++i) {
        airfoil_section a;
        a.chord = 1.5f - 0.2f * std::abs(i);
        a.leading_edge = {0.5f, 0.1f * std::abs(i), 0.6f * i};
        a.thickness = 0.12f;
        a.camber = 0.03f;
        sections.push_back(a);
    }
    return sections;
}

TEST(GeometryKit, EveryShapeIsSealedAndFrontFacingOutside) {
    expect_sealed(loft(ellipsoid_grid({1, 2, 3}, {2.0f, 0.5f, 1.0f}, 12, 16), {}), "ellipsoid");
    expect_sealed(loft(body_grid({{0, 0, 0.3f, 0.4f, 3.0f}, {1, 0.1f, 0.5f, 0.5f, 3.0f}, {2, 0, 0.2f, 0.3f, 3.0f}}, 20),
                       capped()),
                  "super-elliptic body with caps");
    expect_sealed(loft(body_grid({{2, 0, 0, 0}, {1.5f, 0, 0.3f, 0.3f}, {0, 0, 0.5f, 0.4f}}, 16),
                       [] {
                           loft_options o = capped();
                           o.cap_start = false;
                           return o;
                       }()),
                  "body with a pointed nose");
    expect_sealed(loft(torus_grid(1.0f, 0.25f, 16, 8), {}), "torus");
    expect_sealed(loft(airfoil_grid(wing_sections(), 8), capped()), "wing with dihedral");
    expect_sealed(cylinder({0, 0, 0}, {1, 2, -1}, 0.2f, 10, 0, {}), "cylinder");
    expect_sealed(box({-1, -2, -3}, {1, 2, 3}, 0, {}), "box");
}

TEST(GeometryKit, NormalsPointAwayFromTheInside) {
    const vec3 centre{1, 2, 3};
    const model_mesh ellipsoid = loft(ellipsoid_grid(centre, {2.0f, 0.5f, 1.0f}, 12, 16), {});
    EXPECT_EQ(inward_normals(ellipsoid, [&](vec3) { return centre; }), 0u);
    const vec3 a{0, 0, 0}, b{1, 2, -1};
    EXPECT_EQ(inward_normals(cylinder(a, b, 0.2f, 10, 0, {}), [&](vec3) { return lerp(a, b, 0.5f); }), 0u);
    EXPECT_EQ(inward_normals(box({-1, -2, -3}, {1, 2, 3}, 0, {}), [](vec3) { return vec3{}; }), 0u);
    const auto tube_centre = [](vec3 p) { return normalize_or({p.x, p.y, 0.0f}, {1, 0, 0}) * 1.0f; };
    EXPECT_EQ(inward_normals(loft(torus_grid(1.0f, 0.25f, 16, 8), {}), tube_centre), 0u);
}

// The skin painter finds chord positions from the ring parameter alone; the ring must run from
// the trailing edge over the upper surface to the leading edge (t = 0.5) and back underneath.
TEST(GeometryKit, AirfoilRingsMatchTheChordFractionOfTheirRingParameter) {
    airfoil_section section;
    section.leading_edge = {0, 0, 0};
    section.chord_direction = {1, 0, 0};
    section.chord = 1.0f;
    section.camber = 0.02f;
    const int per_side = 10;
    const surface_grid grid = airfoil_grid({section, section}, per_side);
    const auto& ring = grid.rings[0];
    ASSERT_EQ(ring.size(), size_t(2 * per_side + 1));
    for (size_t j = 0; j < ring.size(); ++j) {
        const float t = static_cast<float>(j) / static_cast<float>(ring.size() - 1);
        EXPECT_NEAR(ring[j].x, airplane_layout::chord_fraction(t), 1e-5f) << "point " << j;
        if (j > 0 && j < static_cast<size_t>(per_side)) {
            EXPECT_GT(ring[j].y, ring[ring.size() - 1 - j].y) << "point " << j << " lies on the upper surface";
        }
    }
    EXPECT_NEAR(ring.front().x, 1.0f, 1e-6f);
    EXPECT_NEAR(ring[per_side].x, 0.0f, 1e-6f);
}

TEST(MeshBuilder, TrianglesAreTurnedToFaceTheirNormalsAndDegenerateOnesDropped) {
    model_mesh mesh;
    const vec3 towards_viewer{0, 0, -1};
    const uint32_t a = mesh.add_vertex({0, 0, 0}, towards_viewer, {});
    const uint32_t b = mesh.add_vertex({1, 0, 0}, towards_viewer, {});
    const uint32_t c = mesh.add_vertex({0, 1, 0}, towards_viewer, {});
    const uint32_t on_line = mesh.add_vertex({2, 0, 0}, towards_viewer, {});
    mesh.add_triangle(a, b, c, 3);  // counter-clockwise seen from -z: must be swapped
    mesh.add_triangle(a, b, on_line, 3);
    mesh.add_triangle(a, a, c, 3);
    ASSERT_EQ(mesh.triangles.size(), 1u);
    const mesh_triangle& t = mesh.triangles[0];
    EXPECT_EQ(t.material, 3u);
    // Seen from -z (x right, y up) the order a, c, b runs clockwise.
    EXPECT_EQ(t.a, a);
    EXPECT_EQ(t.b, c);
    EXPECT_EQ(t.c, b);
}

TEST(MeshBuilder, AppendKeepsFrontFacesAndUnitNormalsUnderMirrorAndScale) {
    const model_mesh part = loft(ellipsoid_grid({0, 0, 0}, {1.0f, 0.5f, 0.5f}, 10, 12), {});
    affine_transform mirror_and_stretch;
    mirror_and_stretch.ax = {-3.0f, 0.0f, 0.0f};
    mirror_and_stretch.ay = {0.0f, 0.5f, 0.5f};
    mirror_and_stretch.offset = {1, 1, 1};
    model_mesh mesh;
    mesh.append(part, mirror_and_stretch);
    expect_sealed(mesh, "mirrored and sheared ellipsoid");
    EXPECT_EQ(inward_normals(mesh, [](vec3) { return vec3{1, 1, 1}; }), 0u);
}

}  // namespace
