// box.cpp - the box generator: six flat faces of four unshared corners each.
//
// DOES NOT: share corners between faces (each corner carries its face's normal).
#include "platform/d3dx9/mesh_data.h"
#include "platform/d3dx9/shape_geometry.h"

#include <cmath>

namespace {

constexpr int box_faces = 6;

// Per face: the outward normal and the signs of the corners c0..c3, clockwise seen from outside.
struct box_face {
    float normal[3];
    float corners[4][3];
};

// clang-format off
constexpr box_face box_face_table[box_faces] = {
    {{0, 0, -1}, {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}}},
    {{0, 0, 1},  {{1, -1, 1}, {1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}}},
    {{-1, 0, 0}, {{-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}}},
    {{1, 0, 0},  {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}}},
    {{0, 1, 0},  {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}},
    {{0, -1, 0}, {{-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}}},
};
// clang-format on

bool box_size_valid(float size) { return std::isfinite(size) && size > 0.0f; }

}  // namespace

d3dx_mesh_data d3dx_box_geometry(float width, float height, float depth) {
    d3dx_mesh_data box;
    if (!box_size_valid(width) || !box_size_valid(height) || !box_size_valid(depth)) return box;
    const float half[3] = {width / 2.0f, height / 2.0f, depth / 2.0f};
    box.positions.reserve(4 * box_faces);
    box.normals.reserve(4 * box_faces);
    box.indices.reserve(6 * box_faces);
    box.attributes.assign(2 * box_faces, 0u);
    for (const box_face& face : box_face_table) {
        const uint32_t c0 = static_cast<uint32_t>(box.positions.size());
        for (const auto& corner : face.corners) {
            box.positions.push_back({corner[0] * half[0], corner[1] * half[1], corner[2] * half[2]});
            box.normals.push_back({face.normal[0], face.normal[1], face.normal[2]});
        }
        box.indices.insert(box.indices.end(), {c0, c0 + 1, c0 + 2, c0, c0 + 2, c0 + 3});
    }
    return box;
}
