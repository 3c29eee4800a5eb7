// mesh_topology.h - geometric and topological checks on plain mesh data, shared by the shape tests.
//
// Positions are welded by exact equality, independently of any welding the generator did, so a
// crack between patches (two copies of a point, however close) shows up as open edges.
#pragma once

#include <d3dx9.h>

#include "platform/d3dx9/mesh_data.h"

#include <utility>
#include <vector>

D3DVECTOR operator-(const D3DVECTOR& a, const D3DVECTOR& b);
D3DVECTOR cross(const D3DVECTOR& a, const D3DVECTOR& b);
float dot(const D3DVECTOR& a, const D3DVECTOR& b);
float length(const D3DVECTOR& a);

const D3DVECTOR& corner(const d3dx_mesh_data& mesh, size_t triangle, int k);
// cross(v1 - v0, v2 - v0) normalised: outward for triangles wound clockwise seen from outside.
D3DVECTOR triangle_normal(const d3dx_mesh_data& mesh, size_t triangle);

// Per vertex, the id of its position among the distinct positions (numbered by first appearance).
std::vector<uint32_t> weld_positions(const d3dx_mesh_data& mesh);

using welded_edge = std::pair<uint32_t, uint32_t>;  // welded ids, smaller first

struct edge_counts {
    std::vector<welded_edge> open;  // used by one triangle
    size_t overused = 0;            // used by more than two triangles
    size_t same_direction = 0;      // shared by two triangles that traverse it the same way
    size_t distinct_positions = 0;
};

edge_counts edge_census(const d3dx_mesh_data& mesh);

// Per triangle, the id of its component (0, 1, ... by first appearance), triangles that share an
// edge being in one component. Touching at a single point does not join two components.
std::vector<uint32_t> triangle_components(const d3dx_mesh_data& mesh);
