// The teapot generator as plain data: the patch table, counts, extent, vertex numbering, poles,
// closure (exactly which edges are open), winding and outward normals.
#include "mesh_topology.h"
#include "platform/d3dx9/mesh_data.h"
#include "platform/d3dx9/shape_geometry.h"
#include "platform/d3dx9/teapot_patches.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>

namespace {

const d3dx_mesh_data& teapot() {
    static const d3dx_mesh_data mesh = d3dx_teapot_geometry();
    return mesh;
}

TEST(TeapotPatches, MatchTheSharedDataFile) {
    const std::filesystem::path path = std::filesystem::path(DEMOS_SHARED_DIR) / "data" / "teapot.txt";
    std::ifstream file(path);
    if (!file) GTEST_SKIP() << "teapot data file not found at " << path;
    std::string line, word;
    while (std::getline(file, line) && line.rfind("patches", 0) != 0) {
    }
    ASSERT_EQ(line, "patches 32");
    for (int p = 0; p < d3dx_teapot_patch_count; ++p) {
        for (int k = 0; k < 16; ++k) {
            int index = -1;
            ASSERT_TRUE(file >> index);
            EXPECT_EQ(d3dx_teapot_patches[p][k], index) << "patch " << p << " entry " << k;
        }
    }
    int points = 0;
    ASSERT_TRUE(file >> word >> points);
    ASSERT_EQ(word, "points");
    ASSERT_EQ(points, d3dx_teapot_point_count);
    for (int p = 0; p < d3dx_teapot_point_count; ++p) {
        for (int k = 0; k < 3; ++k) {
            float value = 0;
            ASSERT_TRUE(file >> value);
            EXPECT_EQ(d3dx_teapot_points[p][k], value) << "point " << p;
        }
    }
}

TEST(TeapotGeometry, HasTheWeldedCountsAndPlainStreams) {
    const d3dx_mesh_data& mesh = teapot();
    EXPECT_EQ(mesh.positions.size(), 1177u);
    EXPECT_EQ(mesh.normals.size(), 1177u);
    EXPECT_EQ(mesh.indices.size(), 3u * 2256u);
    EXPECT_EQ(mesh.attributes, std::vector<uint32_t>(2256, 0u));
    EXPECT_TRUE(mesh.diffuse.empty() && mesh.texcoords.empty());
    EXPECT_EQ(edge_census(mesh).distinct_positions, 1177u);
    for (size_t t = 0; t < 2256; ++t) {
        const uint32_t* v = &mesh.indices[3 * t];
        ASSERT_TRUE(v[0] != v[1] && v[1] != v[2] && v[2] != v[0]) << "degenerate triangle " << t;
        ASSERT_TRUE(v[0] < 1177 && v[1] < 1177 && v[2] < 1177);
    }
}

TEST(TeapotGeometry, NoTwoVerticesAreWithinTheWeldTolerance) {
    const d3dx_mesh_data& mesh = teapot();
    std::multimap<float, size_t> by_x;
    for (size_t v = 0; v < mesh.positions.size(); ++v) by_x.emplace(mesh.positions[v].x, v);
    const float tolerance = 0.5e-6f;  // 1e-6 in the data's frame, scaled by 0.5
    for (auto it = by_x.begin(); it != by_x.end(); ++it) {
        for (auto next = std::next(it); next != by_x.end() && next->first - it->first < tolerance; ++next) {
            const D3DVECTOR d = mesh.positions[it->second] - mesh.positions[next->second];
            EXPECT_FALSE(std::abs(d.y) < tolerance && std::abs(d.z) < tolerance)
                << "vertices " << it->second << " and " << next->second;
        }
    }
}

TEST(TeapotGeometry, StandsYUpWithTheSpoutAlongPlusX) {
    const d3dx_mesh_data& mesh = teapot();
    D3DVECTOR low{1e9f, 1e9f, 1e9f}, high{-1e9f, -1e9f, -1e9f};
    for (const D3DVECTOR& p : mesh.positions) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    EXPECT_NEAR(low.x, -1.5f, 1e-6f);  // handle
    EXPECT_GT(high.x, 1.70f);          // spout tip (the surface reaches 1.717)
    EXPECT_LT(high.x, 1.72f);
    EXPECT_NEAR(low.y, -0.7875f, 1e-6f);  // bottom
    EXPECT_NEAR(high.y, 0.7875f, 1e-6f);  // lid knob
    EXPECT_NEAR(low.z, -1.0f, 1e-6f);     // widest part of the body
    EXPECT_NEAR(high.z, 1.0f, 1e-6f);
}

TEST(TeapotGeometry, VerticesAreNumberedByFirstAppearanceRowByRow) {
    const d3dx_mesh_data& mesh = teapot();
    // The first patch's grid starts at its first control point (1.4, 0, 2.4) and runs along its
    // first row (v, at constant height) before moving down the rim (u).
    EXPECT_NEAR(mesh.positions[0].x, 0.7f, 1e-6f);
    EXPECT_NEAR(mesh.positions[0].y, 0.4125f, 1e-6f);
    EXPECT_NEAR(mesh.positions[0].z, 0.0f, 1e-6f);
    for (int j = 1; j <= 6; ++j) {
        EXPECT_NEAR(mesh.positions[j].y, 0.4125f, 1e-6f) << j;
        EXPECT_NEAR(std::hypot(mesh.positions[j].x, mesh.positions[j].z), 0.7f, 0.01f) << j;
    }
    EXPECT_GT(mesh.positions[7].y, 0.43f);
    const std::vector<uint32_t> first(mesh.indices.begin(), mesh.indices.begin() + 6);
    EXPECT_EQ(first, (std::vector<uint32_t>{0, 7, 8, 0, 8, 1}));
}

TEST(TeapotGeometry, NormalsAreUnitAndThePolesPointAlongTheAxis) {
    const d3dx_mesh_data& mesh = teapot();
    std::vector<size_t> on_axis;
    for (size_t v = 0; v < mesh.positions.size(); ++v) {
        ASSERT_NEAR(length(mesh.normals[v]), 1.0f, 1e-6f) << v;
        if (mesh.positions[v].x == 0.0f && mesh.positions[v].z == 0.0f) on_axis.push_back(v);
    }
    ASSERT_EQ(on_axis.size(), 2u);
    for (const size_t v : on_axis) {
        const float side = mesh.positions[v].y > 0 ? 1.0f : -1.0f;
        EXPECT_NEAR(std::abs(mesh.positions[v].y), 0.7875f, 1e-6f);
        EXPECT_EQ(mesh.normals[v].x, 0.0f);
        EXPECT_EQ(mesh.normals[v].y, side);
        EXPECT_EQ(mesh.normals[v].z, 0.0f);
    }
}

// The open boundary loops of the teapot, each recognised by where its points lie.
struct open_loop {
    const char* name;
    size_t edges;
    std::function<bool(const D3DVECTOR&)> contains;
};

bool near(float a, float b, float tolerance = 1e-4f) { return std::abs(a - b) < tolerance; }

// The patches' circles are cubic approximations, off by up to 0.2 % of the radius.
bool near_radius(const D3DVECTOR& p, float radius) { return near(std::hypot(p.x, p.z), radius, 0.005f); }

std::vector<open_loop> teapot_open_loops() {
    const float rim_height = 0.4125f;  // the data's z = 2.4
    return {
        {"rim inner edge", 24, [=](const D3DVECTOR& p) { return near(p.y, rim_height) && near_radius(p, 0.7f); }},
        {"lid outer edge", 24, [=](const D3DVECTOR& p) { return near(p.y, rim_height) && near_radius(p, 0.65f); }},
        {"spout tip", 12, [=](const D3DVECTOR& p) { return near(p.y, rim_height) && p.x >= 1.4f - 1e-4f; }},
        {"spout base", 12, [](const D3DVECTOR& p) { return near(p.x, 0.85f); }},
        {"handle upper end", 12, [](const D3DVECTOR& p) { return p.x < -0.74f && p.y > 0.2f && p.y < 0.35f; }},
        {"handle lower end", 12, [](const D3DVECTOR& p) { return p.x < -0.94f && p.y < -0.33f && p.y > -0.49f; }},
    };
}

TEST(TeapotGeometry, PatchesMeetWithoutCracksAndOnlyTheKnownLoopsAreOpen) {
    const d3dx_mesh_data& mesh = teapot();
    const edge_counts census = edge_census(mesh);
    EXPECT_EQ(census.overused, 0u);
    ASSERT_EQ(census.open.size(), 96u);

    // Positions by welded id, to look the open edges up.
    const std::vector<uint32_t> welded = weld_positions(mesh);
    std::vector<D3DVECTOR> position(census.distinct_positions);
    for (size_t v = 0; v < welded.size(); ++v) position[welded[v]] = mesh.positions[v];

    const std::vector<open_loop> loops = teapot_open_loops();
    std::vector<size_t> found(loops.size(), 0);
    std::map<uint32_t, int> open_degree;
    for (const welded_edge& edge : census.open) {
        int matches = 0;
        for (size_t k = 0; k < loops.size(); ++k) {
            if (loops[k].contains(position[edge.first]) && loops[k].contains(position[edge.second])) {
                ++found[k];
                ++matches;
            }
        }
        EXPECT_EQ(matches, 1) << "open edge " << edge.first << "-" << edge.second;
        ++open_degree[edge.first];
        ++open_degree[edge.second];
    }
    for (size_t k = 0; k < loops.size(); ++k) EXPECT_EQ(found[k], loops[k].edges) << loops[k].name;
    // Every open edge continues on both sides: the open edges form closed loops.
    for (const auto& [vertex, degree] : open_degree) EXPECT_EQ(degree, 2) << "vertex " << vertex;
}

// The one vertex the handle's lower end shares with the body keeps the body's normal (its first
// appearance), which faces away from the handle triangles that end there.
bool is_handle_body_junction(const D3DVECTOR& p) { return near(p.x, -1.0f) && near(p.y, -0.3375f) && near(p.z, 0.0f); }

TEST(TeapotGeometry, TrianglesAreClockwiseFromOutsideAndAgreeWithTheirNormals) {
    const d3dx_mesh_data& mesh = teapot();
    EXPECT_EQ(edge_census(mesh).same_direction, 0u);
    int junction_corners = 0;
    for (size_t t = 0; t < mesh.indices.size() / 3; ++t) {
        const D3DVECTOR n = triangle_normal(mesh, t);
        for (int k = 0; k < 3; ++k) {
            const uint32_t v = mesh.indices[3 * t + k];
            if (dot(n, mesh.normals[v]) > 0.0f) continue;
            EXPECT_TRUE(is_handle_body_junction(mesh.positions[v])) << "triangle " << t << " vertex " << v;
            ++junction_corners;
        }
    }
    EXPECT_EQ(junction_corners, 3);
    for (size_t v = 0; v < mesh.positions.size(); ++v) {
        if (is_handle_body_junction(mesh.positions[v])) {
            EXPECT_LT(mesh.normals[v].x, -0.9f);
        }
    }
}

// Outwardness: triangles sharing an edge are consistently wound (checked above), so within one
// edge-connected part either all normals face out or all face in. In each part, a vertex that is
// the part's farthest along an axis direction and not on an open edge must face that direction.
TEST(TeapotGeometry, EveryPartFacesOutwardAtItsExtremes) {
    const d3dx_mesh_data& mesh = teapot();
    const std::vector<uint32_t> component = triangle_components(mesh);
    const uint32_t parts = *std::max_element(component.begin(), component.end()) + 1;
    EXPECT_EQ(parts, 4u);  // rim, body and bottom; handle; spout; lid

    const edge_counts census = edge_census(mesh);
    const std::vector<uint32_t> welded = weld_positions(mesh);
    std::set<uint32_t> on_open_edge;
    for (const welded_edge& e : census.open) on_open_edge.insert({e.first, e.second});

    const D3DVECTOR directions[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (uint32_t part = 0; part < parts; ++part) {
        int anchors = 0;
        for (const D3DVECTOR& d : directions) {
            uint32_t extreme = 0;
            float reach = -1e9f;
            for (size_t t = 0; t < component.size(); ++t) {
                if (component[t] != part) continue;
                for (int k = 0; k < 3; ++k) {
                    const uint32_t v = mesh.indices[3 * t + k];
                    if (dot(mesh.positions[v], d) > reach) reach = dot(mesh.positions[v], d), extreme = v;
                }
            }
            if (on_open_edge.count(welded[extreme]) != 0) continue;
            EXPECT_GT(dot(mesh.normals[extreme], d), 0.5f) << "part " << part << " vertex " << extreme;
            ++anchors;
        }
        EXPECT_GE(anchors, 1) << "part " << part;
    }
}

}  // namespace
