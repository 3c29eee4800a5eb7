// surface_checks.h - invariants of a triangle mesh that the model tests check on the generator's
// own meshes and on the meshes the .x loader makes of its files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct surface_point {
    float x, y, z;
};

struct surface_view {
    std::vector<surface_point> positions;
    std::vector<surface_point> normals;  // one per position
    std::vector<uint32_t> indices;       // three per triangle
};

struct surface_report {
    size_t triangles = 0;
    size_t degenerate = 0;        // without area
    size_t facing_away = 0;       // clockwise side (Direct3D's front) opposite to the vertex normals
    size_t non_unit_normals = 0;  // length off 1 by more than 1e-3
    size_t unused_vertices = 0;   // in no triangle
    // Edges, with positions welded, that are not matched by an edge running the other way: zero
    // for a surface that is closed and consistently oriented (parts may touch or pass through).
    size_t open_edges = 0;
};

surface_report check_surface(const surface_view& surface);
