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
    const std::vector<uint32_t> first(sphere.indices.begin(), sphere.indices.begin() + 3);
    EXPECT_EQ(first, (std::vector<uint32_t>{0, 1, 2}));
    const std::vector<uint32_t> cell(sphere.indices.begin() + 12, sphere.indices.begin() + 18);
    EXPECT_EQ(cell, (std::vector<uint32_t>{1, 5, 6, 1, 6, 2}));
    const std::vector<uint32_t> last(sphere.indices.end() - 3, sphere.indices.end());
    EXPECT_EQ(last, (std::vector<uint32_t>{9, 5, 8}));
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
    expect_vector(cone.positions[13], 1, 0, 2);  // side ring 2
    expect_vector(cone.positions[17], 1, 0, 2);  // +z rim
    expect_vector(cone.normals[17], 0, 0, 1);
    expect_vector(cone.positions.back(), 0, 0, 2);
    expect_vector(cone.normals.back(), 0, 0, 1);
    const std::vector<uint32_t> first(cone.indices.begin(), cone.indices.begin() + 3);
    EXPECT_EQ(first, (std::vector<uint32_t>{0, 2, 1}));
    const std::vector<uint32_t> cell(cone.indices.begin() + 12, cone.indices.begin() + 18);
    EXPECT_EQ(cell, (std::vector<uint32_t>{5, 6, 10, 5, 10, 9}));
    const std::vector<uint32_t> last(cone.indices.end() - 3, cone.indices.end());
    EXPECT_EQ(last, (std::vector<uint32_t>{21, 20, 17}));
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
        const std::vector<uint32_t> last(polygon.indices.end() - 3, polygon.indices.end());
        EXPECT_EQ(last, (std::vector<uint32_t>{0, sides, 1}));
    }
}

using ShapeCallTest = HeadlessDeviceTest;
using create_call = std::function<HRESULT(IDirect3DDevice9*, ID3DXMesh**, ID3DXBuffer**)>;

TEST_F(ShapeCallTest, WorkedCountsThroughThePublicCalls) {
    const struct {
        const char* name;
        create_call call;
        DWORD vertices, faces;
    } cases[] = {
        {"sphere 16 x 16", [](auto d, auto m, auto a) { return D3DXCreateSphere(d, 1, 16, 16, m, a); }, 242, 480},
        {"cylinder 20 x 10", [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, 1, 1, 1, 20, 10, m, a); }, 262,
         440},
        {"polygon 6", [](auto d, auto m, auto a) { return D3DXCreatePolygon(d, 1, 6, m, a); }, 7, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ID3DXMesh* mesh = nullptr;
        ID3DXBuffer* adjacency = reinterpret_cast<ID3DXBuffer*>(0x1);  // a stale value the call must clear
        ASSERT_EQ(c.call(device_, &mesh, &adjacency), D3D_OK);
        ASSERT_NE(mesh, nullptr);
        EXPECT_EQ(adjacency, nullptr);
        EXPECT_EQ(mesh->GetNumVertices(), c.vertices);
        EXPECT_EQ(mesh->GetNumFaces(), c.faces);
        EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));
        mesh->Release();
    }
}

TEST_F(ShapeCallTest, RejectedArgumentsFailWithNullOutputs) {
    const struct {
        const char* name;
        create_call call;
    } cases[] = {
        {"sphere without device", [](auto, auto m, auto a) { return D3DXCreateSphere(nullptr, 1, 8, 8, m, a); }},
        {"sphere radius 0", [](auto d, auto m, auto a) { return D3DXCreateSphere(d, 0, 8, 8, m, a); }},
        {"sphere radius -1", [](auto d, auto m, auto a) { return D3DXCreateSphere(d, -1, 8, 8, m, a); }},
        {"sphere radius NaN", [](auto d, auto m, auto a) { return D3DXCreateSphere(d, nan_value, 8, 8, m, a); }},
        {"sphere radius inf", [](auto d, auto m, auto a) { return D3DXCreateSphere(d, infinity, 8, 8, m, a); }},
        {"sphere 2 slices", [](auto d, auto m, auto a) { return D3DXCreateSphere(d, 1, 2, 8, m, a); }},
        {"sphere 1 stack", [](auto d, auto m, auto a) { return D3DXCreateSphere(d, 1, 8, 1, m, a); }},
        {"sphere 65,548 vertices", [](auto d, auto m, auto a) { return D3DXCreateSphere(d, 1, 13, 5043, m, a); }},
        {"sphere 2^32 - 1 squared",
         [](auto d, auto m, auto a) { return D3DXCreateSphere(d, 1, UINT32_MAX, UINT32_MAX, m, a); }},
        {"sphere 65,536 x 2", [](auto d, auto m, auto a) { return D3DXCreateSphere(d, 1, 65536, 2, m, a); }},
        {"cylinder without device",
         [](auto, auto m, auto a) { return D3DXCreateCylinder(nullptr, 1, 1, 1, 8, 1, m, a); }},
        {"cylinder radii 0 and 0", [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, 0, 0, 1, 8, 1, m, a); }},
        {"cylinder radius1 -1", [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, -1, 1, 1, 8, 1, m, a); }},
        {"cylinder radius2 NaN",
         [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, 1, nan_value, 1, 8, 1, m, a); }},
        {"cylinder radius1 inf",
         [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, infinity, 1, 1, 8, 1, m, a); }},
        {"cylinder length 0", [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, 1, 1, 0, 8, 1, m, a); }},
        {"cylinder length -1", [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, 1, 1, -1, 8, 1, m, a); }},
        {"cylinder length inf",
         [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, 1, 1, infinity, 8, 1, m, a); }},
        {"cylinder 2 slices", [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, 1, 1, 1, 2, 1, m, a); }},
        {"cylinder 0 stacks", [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, 1, 1, 1, 8, 0, m, a); }},
        {"cylinder 65,548 vertices",
         [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, 1, 1, 1, 13, 5039, m, a); }},
        {"cylinder 2^32 - 1 squared",
         [](auto d, auto m, auto a) { return D3DXCreateCylinder(d, 1, 1, 1, UINT32_MAX, UINT32_MAX, m, a); }},
        {"polygon without device", [](auto, auto m, auto a) { return D3DXCreatePolygon(nullptr, 1, 6, m, a); }},
        {"polygon length 0", [](auto d, auto m, auto a) { return D3DXCreatePolygon(d, 0, 6, m, a); }},
        {"polygon length -1", [](auto d, auto m, auto a) { return D3DXCreatePolygon(d, -1, 6, m, a); }},
        {"polygon length NaN", [](auto d, auto m, auto a) { return D3DXCreatePolygon(d, nan_value, 6, m, a); }},
        {"polygon length inf", [](auto d, auto m, auto a) { return D3DXCreatePolygon(d, infinity, 6, m, a); }},
        {"polygon 2 sides", [](auto d, auto m, auto a) { return D3DXCreatePolygon(d, 1, 2, m, a); }},
        {"polygon 65,535 sides", [](auto d, auto m, auto a) { return D3DXCreatePolygon(d, 1, 65535, m, a); }},
        {"polygon 2^32 - 1 sides", [](auto d, auto m, auto a) { return D3DXCreatePolygon(d, 1, UINT32_MAX, m, a); }},
        {"polygon beyond the float range",
         [](auto d, auto m, auto a) { return D3DXCreatePolygon(d, FLT_MAX / 2, 1000, m, a); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(0x1);  // stale values the call must clear
        ID3DXBuffer* adjacency = reinterpret_cast<ID3DXBuffer*>(0x1);
        EXPECT_EQ(c.call(device_, &mesh, &adjacency), D3DERR_INVALIDCALL);
        EXPECT_EQ(mesh, nullptr);
        EXPECT_EQ(adjacency, nullptr);
    }
    EXPECT_EQ(D3DXCreateSphere(device_, 1, 8, 8, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateCylinder(device_, 1, 1, 1, 8, 1, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreatePolygon(device_, 1, 6, nullptr, nullptr), D3DERR_INVALIDCALL);
}

}  // namespace
