// mesh_topology.cpp - geometric and topological checks on plain mesh data.
#include "platform/d3dx9/mesh_data.h"
#include "mesh_topology.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <tuple>

D3DVECTOR operator-(const D3DVECTOR& a, const D3DVECTOR& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3DVECTOR cross(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(const D3DVECTOR& a, const D3DVECTOR& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float length(const D3DVECTOR& a) { return std::sqrt(dot(a, a)); }

const D3DVECTOR& corner(const d3dx_mesh_data& mesh, size_t triangle, int k) {
    return mesh.positions[mesh.indices[3 * triangle + k]];
}

D3DVECTOR triangle_normal(const d3dx_mesh_data& mesh, size_t triangle) {
    const D3DVECTOR& v0 = corner(mesh, triangle, 0);
    const D3DVECTOR n = cross(corner(mesh, triangle, 1) - v0, corner(mesh, triangle, 2) - v0);
    const float l = length(n);
    return {n.x / l, n.y / l, n.z / l};
}

std::vector<uint32_t> weld_positions(const d3dx_mesh_data& mesh) {
    std::map<std::tuple<float, float, float>, uint32_t> ids;
    std::vector<uint32_t> welded;
    welded.reserve(mesh.positions.size());
    for (const D3DVECTOR& p : mesh.positions) {
        const auto [it, added] = ids.emplace(std::tuple{p.x, p.y, p.z}, static_cast<uint32_t>(ids.size()));
        welded.push_back(it->second);
    }
    return welded;
}

edge_counts edge_census(const d3dx_mesh_data& mesh) {
    const std::vector<uint32_t> welded = weld_positions(mesh);
    std::map<welded_edge, std::pair<int, int>> uses;  // edge -> (uses from smaller to larger, uses the other way)
    for (size_t t = 0; t < mesh.indices.size() / 3; ++t) {
        for (int k = 0; k < 3; ++k) {
            const uint32_t a = welded[mesh.indices[3 * t + k]], b = welded[mesh.indices[3 * t + (k + 1) % 3]];
            auto& count = uses[{std::min(a, b), std::max(a, b)}];
            (a < b ? count.first : count.second) += 1;
        }
    }
    edge_counts census;
    for (const auto& [edge, count] : uses) {
        const int total = count.first + count.second;
        if (total == 1) census.open.push_back(edge);
        if (total > 2) ++census.overused;
        if (total == 2 && count.first != 1) ++census.same_direction;
    }
    census.distinct_positions = welded.empty() ? 0 : *std::max_element(welded.begin(), welded.end()) + 1;
    return census;
}

std::vector<uint32_t> triangle_components(const d3dx_mesh_data& mesh) {
    const std::vector<uint32_t> welded = weld_positions(mesh);
    const size_t triangles = mesh.indices.size() / 3;
    std::vector<uint32_t> parent(triangles);
    std::iota(parent.begin(), parent.end(), 0u);
    auto root = [&parent](uint32_t t) {
        while (parent[t] != t) t = parent[t] = parent[parent[t]];
        return t;
    };
    std::map<welded_edge, uint32_t> first_user;
    for (uint32_t t = 0; t < triangles; ++t) {
        for (int k = 0; k < 3; ++k) {
            const uint32_t a = welded[mesh.indices[3 * t + k]], b = welded[mesh.indices[3 * t + (k + 1) % 3]];
            const auto [it, added] = first_user.emplace(welded_edge{std::min(a, b), std::max(a, b)}, t);
            if (!added) parent[root(t)] = root(it->second);
        }
    }
    std::map<uint32_t, uint32_t> numbering;
    std::vector<uint32_t> component(triangles);
    for (uint32_t t = 0; t < triangles; ++t) {
        component[t] = numbering.emplace(root(t), static_cast<uint32_t>(numbering.size())).first->second;
    }
    return component;
}
