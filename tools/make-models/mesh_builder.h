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

struct Material {
    std::string name;
    float diffuse[4] = {1, 1, 1, 1};
    float power = 0.0f;
    float specular[3] = {0, 0, 0};
    float emissive[3] = {0, 0, 0};
    std::string texture;  // empty: untextured
};

struct Triangle {
    uint32_t a, b, c;
    uint32_t material;  // index into the model's material list
};

struct Mesh {
    std::string name;
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> uvs;
    std::vector<Triangle> triangles;

    uint32_t add_vertex(Vec3 position, Vec3 normal, Vec2 uv);
    // Adds (a, b, c), swapped into front-facing order; a triangle without area is dropped.
    void add_triangle(uint32_t a, uint32_t b, uint32_t c, uint32_t material);
    // Adds another mesh moved by `placement`, its triangles keeping their materials.
    void append(const Mesh& part, const Transform& placement);
    // Gives every triangle of this mesh the material `material`.
    void set_material(uint32_t material);
    // Removes the vertices that no triangle uses (left behind by dropped degenerate triangles).
    void drop_unused_vertices();
    // The materials the triangles use, in ascending order.
    std::vector<uint32_t> used_materials() const;
};

// A node of the frame hierarchy: its transform relative to the parent, its meshes, its children.
struct Frame {
    std::string name;
    Transform transform;
    std::vector<Mesh> meshes;
    std::vector<Frame> children;
};

// A frame holding one mesh.
Frame mesh_frame(std::string name, const Transform& transform, Mesh mesh);

struct Model {
    std::vector<Material> materials;
    Frame root;

    bool textured() const;
};

}  // namespace models
