// mesh_adjacency.cpp - face adjacency of triangle meshes: for each face and each of its edges
// (v0 v1, v1 v2, v2 v0) the face that shares the edge, or 0xFFFFFFFF; and point representatives,
// from positions or from adjacency.
//
// Vertices closer than epsilon in every coordinate count as one (epsilon 0: equal positions).
// Each vertex takes the first earlier representative within reach, found through a grid of cells
// of side epsilon; representatives are more than epsilon apart, so a cell holds only a few and the
// search stays linear. Positions that are not finite stand for themselves.
#include "platform/d3dx9/mesh.h"

#include <cmath>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace {

struct cell_key {
    int64_t x, y, z;
    bool operator==(const cell_key&) const = default;
};

struct cell_hash {
    size_t operator()(const cell_key& k) const {
        const uint64_t h = uint64_t(k.x) * 73856093u ^ uint64_t(k.y) * 19349663u ^ uint64_t(k.z) * 83492791u;
        return std::hash<uint64_t>()(h);
    }
};

int64_t cell_of(float value, float epsilon) {
    if (epsilon == 0.0f) {
        const float v = value == 0.0f ? 0.0f : value;  // -0 and +0 are one position
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return bits;
    }
    const double c = std::floor(double(value) / double(epsilon));
    return int64_t(std::fmax(-9.0e18, std::fmin(9.0e18, c)));
}

bool within(const D3DVECTOR& a, const D3DVECTOR& b, float epsilon) {
    return std::fabs(a.x - b.x) <= epsilon && std::fabs(a.y - b.y) <= epsilon && std::fabs(a.z - b.z) <= epsilon;
}

}  // namespace

std::vector<uint32_t> d3dx_point_representatives(const std::vector<D3DVECTOR>& positions, float epsilon) {
    std::vector<uint32_t> representative(positions.size());
    std::unordered_map<cell_key, std::vector<uint32_t>, cell_hash> cells;
    const int reach = epsilon == 0.0f ? 0 : 1;
    for (uint32_t v = 0; v < positions.size(); ++v) {
        const D3DVECTOR& p = positions[v];
        representative[v] = v;
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) continue;
        const cell_key home{cell_of(p.x, epsilon), cell_of(p.y, epsilon), cell_of(p.z, epsilon)};
        bool found = false;
        for (int dx = -reach; dx <= reach && !found; ++dx) {
            for (int dy = -reach; dy <= reach && !found; ++dy) {
                for (int dz = -reach; dz <= reach && !found; ++dz) {
                    const auto cell = cells.find({home.x + dx, home.y + dy, home.z + dz});
                    if (cell == cells.end()) continue;
                    for (uint32_t r : cell->second) {
                        if (within(positions[r], p, epsilon)) {
                            representative[v] = r;
                            found = true;
                            break;
                        }
                    }
                }
            }
        }
        if (!found) cells[home].push_back(v);
    }
    return representative;
}

std::vector<DWORD> d3dx_adjacency_from_representatives(const std::vector<uint32_t>& rep,
                                                       const std::vector<uint32_t>& indices) {
    const size_t faces = indices.size() / 3;
    auto edge_key = [&](size_t face, int edge) {
        const uint32_t a = rep[indices[3 * face + edge]];
        const uint32_t b = rep[indices[3 * face + (edge + 1) % 3]];
        return a < b ? (uint64_t(a) << 32 | b) : (uint64_t(b) << 32 | a);
    };
    std::unordered_map<uint64_t, std::vector<DWORD>> faces_of_edge;
    for (size_t f = 0; f < faces; ++f) {
        for (int e = 0; e < 3; ++e) faces_of_edge[edge_key(f, e)].push_back(DWORD(f));
    }
    std::vector<DWORD> adjacency(3 * faces, 0xFFFFFFFF);
    for (size_t f = 0; f < faces; ++f) {
        for (int e = 0; e < 3; ++e) {
            const uint32_t a = rep[indices[3 * f + e]], b = rep[indices[3 * f + (e + 1) % 3]];
            if (a == b) continue;  // a collapsed edge borders nothing
            for (DWORD other : faces_of_edge[edge_key(f, e)]) {
                if (other != f) {
                    adjacency[3 * f + e] = other;
                    break;
                }
            }
        }
    }
    return adjacency;
}

std::vector<DWORD> d3dx_mesh_adjacency(const d3dx_mesh_data& geometry, float epsilon) {
    return d3dx_adjacency_from_representatives(d3dx_point_representatives(geometry.positions, epsilon),
                                               geometry.indices);
}

// Joins the corners of each shared edge: edge e of face f, (a, b), meets the neighbour's edge that
// names f back, run the other way (b, a). Classes are kept by union-find under their lowest vertex.
bool d3dx_point_representatives_from_adjacency(const std::vector<uint32_t>& indices, const DWORD* adjacency,
                                               size_t vertex_count, std::vector<uint32_t>* representative) {
    const size_t faces = indices.size() / 3;
    for (size_t i = 0; i < 3 * faces; ++i) {
        if (adjacency[i] != 0xFFFFFFFF && adjacency[i] >= faces) return false;
    }
    std::vector<uint32_t> parent(vertex_count);
    for (uint32_t v = 0; v < vertex_count; ++v) parent[v] = v;
    const auto find = [&parent](uint32_t v) {
        while (parent[v] != v) v = parent[v] = parent[parent[v]];
        return v;
    };
    const auto join = [&](uint32_t a, uint32_t b) {
        a = find(a);
        b = find(b);
        if (a < b) parent[b] = a;
        if (b < a) parent[a] = b;
    };
    for (size_t f = 0; f < faces; ++f) {
        for (int e = 0; e < 3; ++e) {
            const DWORD g = adjacency[3 * f + e];
            if (g == 0xFFFFFFFF) continue;
            for (int back = 0; back < 3; ++back) {
                if (adjacency[3 * g + back] != f) continue;
                join(indices[3 * f + e], indices[3 * g + (back + 1) % 3]);
                join(indices[3 * f + (e + 1) % 3], indices[3 * g + back]);
                break;
            }
        }
    }
    for (uint32_t v = 0; v < vertex_count; ++v) parent[v] = find(v);
    representative->swap(parent);
    return true;
}
