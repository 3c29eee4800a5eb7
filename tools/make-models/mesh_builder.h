// mesh_builder.h - the generator's plain mesh: vertices (position, normal, uv), triangles with a
// material each, and the materials and frames that the .x writers put into a file.
//
// Contract: a vertex carries its own normal, so a hard edge is two vertices at one position.
// add_triangle orders each triangle clockwise as seen from the side its vertex normals point to
// (the front face in Direct3D's left-handed convention) and drops triangles without area, so the
// shape makers need only get the normals right.
//
// DOES NOT: weld vertices, compute normals, or know about any file format.
#pragma once

#include "vec.h"

#include <cstdint>
#include <string>
#include <vector>

namespace models {

struct model_material {
    std::string name;
    float diffuse[4] = {1, 1, 1, 1};
    float power = 0.0f;
    float specular[3] = {0, 0, 0};
    float emissive[3] = {0, 0, 0};
    std::string texture;  // empty: untextured
};

struct mesh_triangle {
    uint32_t a, b, c;
    uint32_t material;  // index into the model's material list
};

struct model_mesh {
    std::string name;
    std::vector<vec3> positions;
    std::vector<vec3> normals;
    std::vector<vec2> uvs;
    std::vector<mesh_triangle> triangles;

    uint32_t add_vertex(vec3 position, vec3 normal, vec2 uv);
    // Adds (a, b, c), swapped into front-facing order; a triangle without area is dropped.
    void add_triangle(uint32_t a, uint32_t b, uint32_t c, uint32_t material);
    // Adds another mesh moved by `placement`, its triangles keeping their materials.
    void append(const model_mesh& part, const affine_transform& placement);
    // Gives every triangle of this mesh the material `material`.
    void set_material(uint32_t material);
    // Removes the vertices that no triangle uses (left behind by dropped degenerate triangles).
    void drop_unused_vertices();
    // The materials the triangles use, in ascending order.
    std::vector<uint32_t> used_materials() const;
};

// A node of the frame hierarchy: its transform relative to the parent, its meshes, its children.
struct model_frame {
    std::string name;
    affine_transform transform;
    std::vector<model_mesh> meshes;
    std::vector<model_frame> children;
};

// A frame holding one mesh.
model_frame mesh_frame(std::string name, const affine_transform& transform, model_mesh mesh);

struct model_tree {
    std::vector<model_material> materials;
    model_frame root;

    bool textured() const;
};

}  // namespace models
