// The box and torus generators as plain data: counts, order, surface, normals, winding, closure,
// and rejected parameters.
#include "mesh_topology.h"
#include "platform/d3dx9/mesh_data.h"
#include "platform/d3dx9/shape_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

void expect_position(const D3DVECTOR& p, float x, float y, float z, float tolerance = 1e-6f) {
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
    EXPECT_NEAR(p.z, z, tolerance);
}

void expect_plain_position_normal_mesh(const d3dx_mesh_data& mesh, size_t vertices, size_t triangles) {
    EXPECT_EQ(mesh.positions.size(), vertices);
    EXPECT_EQ(mesh.normals.size(), vertices);
    EXPECT_TRUE(mesh.diffuse.empty());
    EXPECT_TRUE(mesh.texcoords.empty());
    EXPECT_EQ(mesh.indices.size(), 3 * triangles);
    EXPECT_EQ(mesh.attributes, std::vector<uint32_t>(triangles, 0u));
    EXPECT_TRUE(std::all_of(mesh.indices.begin(), mesh.indices.end(), [&](uint32_t i) { return i < vertices; }));
}

// Every triangle is wound clockwise seen from outside: its geometric normal agrees with the
// outward normals of its corners.
void expect_clockwise_from_outside(const d3dx_mesh_data& mesh, float min_agreement) {
    for (size_t t = 0; t < mesh.indices.size() / 3; ++t) {
        const D3DVECTOR n = triangle_normal(mesh, t);
        for (int k = 0; k < 3; ++k) {
            ASSERT_GT(dot(n, mesh.normals[mesh.indices[3 * t + k]]), min_agreement) << "triangle " << t;
        }
    }
}

void expect_closed(const d3dx_mesh_data& mesh, size_t distinct_positions) {
    const edge_counts census = edge_census(mesh);
    EXPECT_TRUE(census.open.empty());
    EXPECT_EQ(census.overused, 0u);
    EXPECT_EQ(census.same_direction, 0u);
    EXPECT_EQ(census.distinct_positions, distinct_positions);
}

TEST(BoxGeometry, HasFourUnsharedCornersPerFace) {
    const d3dx_mesh_data box = d3dx_box_geometry(1.5f, 1.5f, 1.5f);
    expect_plain_position_normal_mesh(box, 24, 12);
    for (const D3DVECTOR& p : box.positions) {
        EXPECT_EQ(std::abs(p.x), 0.75f);
        EXPECT_EQ(std::abs(p.y), 0.75f);
        EXPECT_EQ(std::abs(p.z), 0.75f);
    }
}

TEST(BoxGeometry, FacesComeInOrderWithOutwardAxisNormals) {
    const d3dx_mesh_data box = d3dx_box_geometry(1.0f, 2.0f, 3.0f);
    // Face order -z, +z, -x, +x, +y, -y, and each face's first corner.
    const float normals[6][3] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    const float first_corners[6][3] = {{-1, -1, -1}, {1, -1, 1}, {-1, -1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}};
    for (int face = 0; face < 6; ++face) {
        const D3DVECTOR axis{normals[face][0], normals[face][1], normals[face][2]};
        for (int k = 0; k < 4; ++k) {
            const D3DVECTOR& n = box.normals[4 * face + k];
            EXPECT_TRUE(n.x == axis.x && n.y == axis.y && n.z == axis.z) << "face " << face;
            // On the face's plane: half the size along its axis.
            EXPECT_FLOAT_EQ(dot(box.positions[4 * face + k], axis), std::abs(dot({0.5f, 1.0f, 1.5f}, axis)));
        }
        const float* c0 = first_corners[face];
        expect_position(box.positions[4 * face], 0.5f * c0[0], 1.0f * c0[1], 1.5f * c0[2]);
        const uint32_t base = 4 * face;
        const std::vector<uint32_t> indices(box.indices.begin() + 6 * face, box.indices.begin() + 6 * face + 6);
        EXPECT_EQ(indices, (std::vector<uint32_t>{base, base + 1, base + 2, base, base + 2, base + 3}));
    }
}

TEST(BoxGeometry, IsClosedAndClockwiseFromOutside) {
    const d3dx_mesh_data box = d3dx_box_geometry(1.0f, 2.0f, 3.0f);
    expect_clockwise_from_outside(box, 0.999999f);
    expect_closed(box, 8);
}

TEST(BoxGeometry, RejectsSizesThatCannotDescribeABox) {
    for (const float bad : {0.0f, -1.0f, nan_value, infinity, -infinity}) {
        EXPECT_TRUE(d3dx_box_geometry(bad, 1, 1).positions.empty()) << bad;
        EXPECT_TRUE(d3dx_box_geometry(1, bad, 1).positions.empty()) << bad;
        const d3dx_mesh_data box = d3dx_box_geometry(1, 1, bad);
        EXPECT_TRUE(box.positions.empty() && box.normals.empty() && box.indices.empty() && box.attributes.empty());
    }
    EXPECT_EQ(d3dx_box_geometry(1e-30f, 1e-30f, 1e-30f).positions.size(), 24u);
}

TEST(TorusGeometry, CountsFollowSidesAndRings) {
    expect_plain_position_normal_mesh(d3dx_torus_geometry(0.45f, 0.85f, 24, 24), 576, 1152);
    expect_plain_position_normal_mesh(d3dx_torus_geometry(0.45f, 0.85f, 3, 5), 15, 30);
    expect_plain_position_normal_mesh(d3dx_torus_geometry(0.45f, 0.85f, 255, 257), 65535, 131070);
}

TEST(TorusGeometry, VerticesRunSideByRingFromAngleZero) {
    // 4 sides, 8 rings: vertex j * 4 + i is ring j (theta = 45 j degrees), side i (phi = 90 i).
    const d3dx_mesh_data torus = d3dx_torus_geometry(0.5f, 2.0f, 4, 8);
    expect_position(torus.positions[0], 2.5f, 0, 0);
    expect_position(torus.positions[1], 2.0f, 0, 0.5f);
    expect_position(torus.positions[2], 1.5f, 0, 0);
    expect_position(torus.positions[3], 2.0f, 0, -0.5f);
    expect_position(torus.positions[4], 2.5f * std::sqrt(0.5f), 2.5f * std::sqrt(0.5f), 0);
    expect_position(torus.positions[4 * 6 + 1], 0, -2.0f, 0.5f);
    expect_position(torus.normals[3], 0, 0, -1);
    expect_position(torus.normals[4 * 2 + 2], 0, -1, 0);
}

TEST(TorusGeometry, CellsMakeTwoTrianglesAndWrapAround) {
    const UINT sides = 4, rings = 8;
    const d3dx_mesh_data torus = d3dx_torus_geometry(0.5f, 2.0f, sides, rings);
    const std::vector<uint32_t> first(torus.indices.begin(), torus.indices.begin() + 6);
    EXPECT_EQ(first, (std::vector<uint32_t>{0, sides, sides + 1, 0, sides + 1, 1}));
    const uint32_t a = (rings - 1) * sides + sides - 1, d = (rings - 1) * sides;
    const std::vector<uint32_t> last(torus.indices.end() - 6, torus.indices.end());
    EXPECT_EQ(last, (std::vector<uint32_t>{a, sides - 1, 0, a, 0, d}));
}

TEST(TorusGeometry, LiesOnTheTubeWithExactOutwardNormals) {
    const float tube = 0.45f, ring = 0.85f;
    const d3dx_mesh_data torus = d3dx_torus_geometry(tube, ring, 24, 24);
    float nearest_to_axis = 10, farthest_from_axis = 0;
    for (size_t v = 0; v < torus.positions.size(); ++v) {
        const D3DVECTOR& p = torus.positions[v];
        const float from_axis = std::hypot(p.x, p.y);
        nearest_to_axis = std::min(nearest_to_axis, from_axis);
        farthest_from_axis = std::max(farthest_from_axis, from_axis);
        // The tube's centre circle point nearest p, and p = centre + tube * normal.
        const D3DVECTOR centre{ring * p.x / from_axis, ring * p.y / from_axis, 0};
        const D3DVECTOR& n = torus.normals[v];
        EXPECT_NEAR(length(n), 1.0f, 1e-6f);
        expect_position(p, centre.x + tube * n.x, centre.y + tube * n.y, tube * n.z, 1e-6f);
    }
    EXPECT_NEAR(nearest_to_axis, 0.4f, 1e-6f);
    EXPECT_NEAR(farthest_from_axis, 1.3f, 1e-6f);
}

TEST(TorusGeometry, IsClosedAndClockwiseFromOutside) {
    for (const auto& [sides, rings] : {std::pair{24u, 24u}, {3u, 5u}, {7u, 3u}}) {
        SCOPED_TRACE(testing::Message() << sides << " sides, " << rings << " rings");
        const d3dx_mesh_data torus = d3dx_torus_geometry(0.45f, 0.85f, sides, rings);
        expect_clockwise_from_outside(torus, 0.0f);
        expect_closed(torus, sides * rings);
    }
}

TEST(TorusGeometry, AcceptsASpindleTorus) {
    const d3dx_mesh_data spindle = d3dx_torus_geometry(1.0f, 0.5f, 8, 8);
    EXPECT_EQ(spindle.positions.size(), 64u);
}

TEST(TorusGeometry, RejectsParametersThatCannotDescribeATorus) {
    for (const float bad : {0.0f, -0.5f, nan_value, infinity}) {
        EXPECT_TRUE(d3dx_torus_geometry(bad, 1, 8, 8).positions.empty()) << bad;
        EXPECT_TRUE(d3dx_torus_geometry(0.5f, bad, 8, 8).positions.empty()) << bad;
    }
    EXPECT_TRUE(d3dx_torus_geometry(3e38f, 3e38f, 8, 8).positions.empty());  // extent overflows
    for (const UINT few : {0u, 1u, 2u}) {
        EXPECT_TRUE(d3dx_torus_geometry(0.5f, 1, few, 8).positions.empty()) << few;
        EXPECT_TRUE(d3dx_torus_geometry(0.5f, 1, 8, few).positions.empty()) << few;
    }
    // More vertices than 16-bit indices reach, including products that overflow 32 bits.
    EXPECT_TRUE(d3dx_torus_geometry(0.5f, 1, 256, 256).positions.empty());
    EXPECT_TRUE(d3dx_torus_geometry(0.5f, 1, 65536, 65536).positions.empty());
    const d3dx_mesh_data huge = d3dx_torus_geometry(0.5f, 1, UINT32_MAX, UINT32_MAX);
    EXPECT_TRUE(huge.positions.empty() && huge.indices.empty() && huge.attributes.empty());
}

}  // namespace
