// The sphere, cylinder and polygon: counts, layout anchors, unit normals and winding of every
// face, closure, and the arguments D3DXCreateSphere, D3DXCreateCylinder and D3DXCreatePolygon
// reject.
#include <d3dx9.h>

#include "headless_device_test.h"
#include "mesh_topology.h"
#include "platform/d3dx9/mesh_data.h"
#include "platform/d3dx9/shape_geometry.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <numbers>

namespace {

constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

struct generated_shape {
    const char* name;
    std::function<d3dx_mesh_data()> generate;
    size_t vertices;
    size_t triangles;
    size_t degenerate;        // zero-area triangles (a cone's apex)
    size_t closed_positions;  // distinct positions of a closed surface; 0 when not checked
};

std::vector<generated_shape> generated_shapes() {
    return {
        {"sphere 1, 16 x 16", [] { return d3dx_sphere_geometry(1, 16, 16); }, 242, 480, 0, 242},
        {"sphere 1, 20 x 20", [] { return d3dx_sphere_geometry(1, 20, 20); }, 382, 760, 0, 382},
        {"sphere 1, 10 x 10", [] { return d3dx_sphere_geometry(1, 10, 10); }, 92, 180, 0, 92},
        {"sphere 2, 3 x 2", [] { return d3dx_sphere_geometry(2, 3, 2); }, 5, 6, 0, 5},
        {"sphere at 65,535 vertices", [] { return d3dx_sphere_geometry(1, 13, 5042); }, 65535, 131066, 0, 0},
        {"cylinder 16 x 1", [] { return d3dx_cylinder_geometry(1, 1, 2, 16, 1); }, 66, 64, 0, 34},
        {"cylinder 20 x 10", [] { return d3dx_cylinder_geometry(0.5f, 1, 3, 20, 10); }, 262, 440, 0, 222},
        {"cone, apex at +z", [] { return d3dx_cylinder_geometry(1, 0, 2, 8, 3); }, 50, 64, 16, 0},
        {"cone, apex at -z", [] { return d3dx_cylinder_geometry(0, 1, 1e-20f, 3, 1); }, 14, 12, 6, 0},
        {"cylinder at 65,535 vertices", [] { return d3dx_cylinder_geometry(1, 1, 1, 13, 5038); }, 65535, 131014, 0, 0},
        {"polygon 1, 6 sides", [] { return d3dx_polygon_geometry(1, 6); }, 7, 6, 0, 0},
        {"polygon at 65,535 vertices", [] { return d3dx_polygon_geometry(1, 65534); }, 65535, 65534, 0, 0},
    };
}

// One check for every shape: the streams and counts, unit normals, and every triangle wound
// clockwise seen from outside (its cross product agrees with each corner's normal), apart from
// the zero-area triangles a cone has at its apex.
TEST(SphereCylinderPolygonGeometry, CountsUnitNormalsAndOutwardWinding) {
    for (const generated_shape& shape : generated_shapes()) {
        SCOPED_TRACE(shape.name);
        const d3dx_mesh_data mesh = shape.generate();
        ASSERT_EQ(mesh.positions.size(), shape.vertices);
        ASSERT_EQ(mesh.normals.size(), shape.vertices);
        ASSERT_EQ(mesh.indices.size(), 3 * shape.triangles);
        EXPECT_EQ(mesh.attributes, std::vector<uint32_t>(shape.triangles, 0u));
        EXPECT_TRUE(mesh.diffuse.empty() && mesh.texcoords.empty());
        for (const uint32_t index : mesh.indices) ASSERT_LT(index, shape.vertices);
        for (const D3DVECTOR& n : mesh.normals) ASSERT_NEAR(length(n), 1.0f, 1e-6f);
        size_t degenerate = 0;
        for (size_t t = 0; t < shape.triangles; ++t) {
            const D3DVECTOR& v0 = corner(mesh, t, 0);
            const D3DVECTOR n = cross(corner(mesh, t, 1) - v0, corner(mesh, t, 2) - v0);
            if (n.x == 0 && n.y == 0 && n.z == 0) {
                ++degenerate;
                continue;
            }
            for (int k = 0; k < 3; ++k) ASSERT_GT(dot(n, mesh.normals[mesh.indices[3 * t + k]]), 0.0f) << t;
        }
        EXPECT_EQ(degenerate, shape.degenerate);
        if (shape.closed_positions != 0) {
            const edge_counts census = edge_census(mesh);
            EXPECT_TRUE(census.open.empty());
            EXPECT_EQ(census.overused + census.same_direction, 0u);
            EXPECT_EQ(census.distinct_positions, shape.closed_positions);
        }
    }
}

// `count` indices from `first` (counted from the end when negative).
std::vector<uint32_t> indices_at(const d3dx_mesh_data& mesh, ptrdiff_t first, ptrdiff_t count) {
    const auto begin = first < 0 ? mesh.indices.end() + first : mesh.indices.begin() + first;
    return {begin, begin + count};
}

void expect_vector(const D3DVECTOR& v, double x, double y, double z) {
    EXPECT_NEAR(v.x, x, 1e-6);
    EXPECT_NEAR(v.y, y, 1e-6);
    EXPECT_NEAR(v.z, z, 1e-6);
}

TEST(SphereGeometry, RunsFromTheNorthPoleRingByRingToTheSouthPole) {
    const d3dx_mesh_data sphere = d3dx_sphere_geometry(2, 4, 3);  // rings at 60 and 120 degrees
    const double s = 2 * std::sin(std::numbers::pi / 3);
    expect_vector(sphere.positions.front(), 0, 0, 2);
    expect_vector(sphere.positions[1], s, 0, 1);
    expect_vector(sphere.positions[2], 0, s, 1);
    expect_vector(sphere.positions[8], 0, -s, -1);
    expect_vector(sphere.positions.back(), 0, 0, -2);
    for (size_t v = 0; v < sphere.positions.size(); ++v) {
        const D3DVECTOR& p = sphere.positions[v];
        expect_vector(sphere.normals[v], p.x / 2, p.y / 2, p.z / 2);
    }
    // North fan, first cell of the rings, south fan's last triangle.
    EXPECT_EQ(indices_at(sphere, 0, 3), (std::vector<uint32_t>{0, 1, 2}));
    EXPECT_EQ(indices_at(sphere, 12, 6), (std::vector<uint32_t>{1, 5, 6, 1, 6, 2}));
    EXPECT_EQ(indices_at(sphere, -3, 3), (std::vector<uint32_t>{9, 5, 8}));
}

TEST(CylinderGeometry, RunsFromTheMinusZCapAlongTheSideToThePlusZCap) {
    const d3dx_mesh_data cone = d3dx_cylinder_geometry(2, 1, 4, 4, 2);  // side slope (2 - 1) / 4
    const double k = 1 / std::sqrt(1 + 0.25 * 0.25);
    expect_vector(cone.positions[0], 0, 0, -2);
    expect_vector(cone.normals[0], 0, 0, -1);
    expect_vector(cone.positions[1], 2, 0, -2);
    expect_vector(cone.normals[1], 0, 0, -1);
    expect_vector(cone.positions[5], 2, 0, -2);  // side ring 0
    expect_vector(cone.normals[5], k, 0, 0.25 * k);
    expect_vector(cone.positions[10], 0, 1.5, 0);  // side ring 1 (middle), slice 1
    expect_vector(cone.normals[10], 0, k, 0.25 * k);
    expect_vector(cone.positions[17], 1, 0, 2);  // +z rim
    expect_vector(cone.normals[17], 0, 0, 1);
    expect_vector(cone.positions.back(), 0, 0, 2);
    expect_vector(cone.normals.back(), 0, 0, 1);
    EXPECT_EQ(indices_at(cone, 0, 3), (std::vector<uint32_t>{0, 2, 1}));
    EXPECT_EQ(indices_at(cone, 12, 6), (std::vector<uint32_t>{5, 6, 10, 5, 10, 9}));
    EXPECT_EQ(indices_at(cone, -3, 3), (std::vector<uint32_t>{21, 20, 17}));
}

TEST(PolygonGeometry, CornersLieOnTheCircumcircleOneSideLengthApart) {
    for (const auto& [side, sides, circumradius] :
         {std::tuple{1.0f, 6u, 1.0}, {2.0f, 4u, std::sqrt(2.0)}, {1.0f, 3u, 1 / std::sqrt(3.0)}}) {
        SCOPED_TRACE(testing::Message() << sides << " sides");
        const d3dx_mesh_data polygon = d3dx_polygon_geometry(side, sides);
        expect_vector(polygon.positions[0], 0, 0, 0);
        expect_vector(polygon.positions[1], circumradius, 0, 0);
        for (UINT k = 1; k <= sides; ++k) {
            EXPECT_NEAR(length(polygon.positions[k]), circumradius, 1e-6);
            EXPECT_NEAR(length(polygon.positions[k % sides + 1] - polygon.positions[k]), side, 1e-6);
            expect_vector(polygon.normals[k], 0, 0, 1);
        }
        EXPECT_EQ(indices_at(polygon, -3, 3), (std::vector<uint32_t>{0, sides, 1}));
    }
}

using ShapeCallTest = HeadlessDeviceTest;

// The calls hand their arguments to the generators in order and return what they made.
TEST_F(ShapeCallTest, MakeTheWorkedCounts) {
    ID3DXMesh* meshes[3] = {};
    ASSERT_EQ(D3DXCreateSphere(device_, 1, 16, 16, &meshes[0], nullptr), D3D_OK);
    ASSERT_EQ(D3DXCreateCylinder(device_, 1, 0, 2, 20, 10, &meshes[1], nullptr), D3D_OK);
    ASSERT_EQ(D3DXCreatePolygon(device_, 1, 6, &meshes[2], nullptr), D3D_OK);
    const DWORD expected[3][2] = {{242, 480}, {262, 440}, {7, 6}};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(meshes[k]->GetNumVertices(), expected[k][0]) << k;
        EXPECT_EQ(meshes[k]->GetNumFaces(), expected[k][1]) << k;
        EXPECT_EQ(meshes[k]->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));
        meshes[k]->Release();
    }
}

// Each rejected call returns D3DERR_INVALIDCALL and clears both outputs.
void expect_rejected(const std::function<HRESULT(ID3DXMesh**, ID3DXBuffer**)>& call) {
    ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(0x1);  // stale values the call must clear
    ID3DXBuffer* adjacency = reinterpret_cast<ID3DXBuffer*>(0x1);
    EXPECT_EQ(call(&mesh, &adjacency), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(adjacency, nullptr);
}

TEST_F(ShapeCallTest, RejectArgumentsThatCannotDescribeTheShape) {
    constexpr UINT big = UINT32_MAX;
    const struct {
        float radius;
        UINT slices, stacks;
    } spheres[] = {{0, 8, 8}, {-1, 8, 8},    {nan_value, 8, 8}, {infinity, 8, 8}, {1, 2, 8},
                   {1, 8, 1}, {1, 13, 5043}, {1, 65536, 2},     {1, big, big}};
    for (const auto& c : spheres) {
        SCOPED_TRACE(testing::Message() << "sphere " << c.radius << ", " << c.slices << " x " << c.stacks);
        expect_rejected([&](auto m, auto a) { return D3DXCreateSphere(device_, c.radius, c.slices, c.stacks, m, a); });
    }
    const struct {
        float radius1, radius2, length;
        UINT slices, stacks;
    } cylinders[] = {{0, 0, 1, 8, 1}, {-1, 1, 1, 8, 1}, {1, nan_value, 1, 8, 1}, {infinity, 1, 1, 8, 1},
                     {1, 1, 0, 8, 1}, {1, 1, -1, 8, 1}, {1, 1, infinity, 8, 1},  {1, 1, nan_value, 8, 1},
                     {1, 1, 1, 2, 1}, {1, 1, 1, 8, 0},  {1, 1, 1, 13, 5039},     {1, 1, 1, big, big}};
    for (const auto& c : cylinders) {
        SCOPED_TRACE(testing::Message() << "cylinder " << c.radius1 << ", " << c.radius2 << ", " << c.length << ", "
                                        << c.slices << " x " << c.stacks);
        expect_rejected([&](auto m, auto a) {
            return D3DXCreateCylinder(device_, c.radius1, c.radius2, c.length, c.slices, c.stacks, m, a);
        });
    }
    // The last: a circumradius beyond the float range.
    const struct {
        float length;
        UINT sides;
    } polygons[] = {{0, 6}, {-1, 6}, {nan_value, 6}, {infinity, 6}, {1, 2}, {1, 65535}, {1, big}, {FLT_MAX / 2, 1000}};
    for (const auto& c : polygons) {
        SCOPED_TRACE(testing::Message() << "polygon " << c.length << ", " << c.sides << " sides");
        expect_rejected([&](auto m, auto a) { return D3DXCreatePolygon(device_, c.length, c.sides, m, a); });
    }
    expect_rejected([](auto m, auto a) { return D3DXCreateSphere(nullptr, 1, 8, 8, m, a); });
    expect_rejected([](auto m, auto a) { return D3DXCreateCylinder(nullptr, 1, 1, 1, 8, 1, m, a); });
    expect_rejected([](auto m, auto a) { return D3DXCreatePolygon(nullptr, 1, 6, m, a); });
    EXPECT_EQ(D3DXCreateSphere(device_, 1, 8, 8, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateCylinder(device_, 1, 1, 1, 8, 1, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreatePolygon(device_, 1, 6, nullptr, nullptr), D3DERR_INVALIDCALL);
}

}  // namespace
