// mesh_builder.cpp - vertices and front-facing triangles of the generator's meshes.
#include "mesh_builder.h"

#include <algorithm>
#include <utility>

namespace models {

uint32_t model_mesh::add_vertex(vec3 position, vec3 normal, vec2 uv) {
    positions.push_back(position);
    normals.push_back(normalize_or(normal, {0, 1, 0}));
    uvs.push_back(uv);
    return static_cast<uint32_t>(positions.size() - 1);
}

void model_mesh::add_triangle(uint32_t a, uint32_t b, uint32_t c, uint32_t material) {
    if (a == b || b == c || a == c) return;
    const vec3 facing = cross(positions[b] - positions[a], positions[c] - positions[a]);
    // Relative to the edges, so that small parts are not dropped for being small.
    const float scale = dot(positions[b] - positions[a], positions[b] - positions[a]) +
                        dot(positions[c] - positions[a], positions[c] - positions[a]);
    if (dot(facing, facing) <= 1e-10f * scale * scale) return;
    // In a left-handed system, (b - a) x (c - a) points to the side from which a, b, c run clockwise.
    if (dot(facing, normals[a] + normals[b] + normals[c]) < 0.0f) std::swap(b, c);
    triangles.push_back({a, b, c, material});
}

void model_mesh::append(const model_mesh& part, const affine_transform& placement) {
    const auto base = static_cast<uint32_t>(positions.size());
    for (size_t i = 0; i < part.positions.size(); ++i) {
        positions.push_back(placement.point(part.positions[i]));
        normals.push_back(placement.normal(part.normals[i]));
        uvs.push_back(part.uvs[i]);
    }
    const bool mirrored = dot(placement.ax, cross(placement.ay, placement.az)) < 0.0f;
    for (const mesh_triangle& t : part.triangles) {
        // A mirroring placement turns clockwise into counter-clockwise: swap back.
        triangles.push_back(mirrored ? mesh_triangle{base + t.a, base + t.c, base + t.b, t.material}
                                     : mesh_triangle{base + t.a, base + t.b, base + t.c, t.material});
    }
}

void model_mesh::set_material(uint32_t material) {
    for (mesh_triangle& t : triangles) t.material = material;
}

void model_mesh::drop_unused_vertices() {
    constexpr uint32_t unused = UINT32_MAX;
    std::vector<uint32_t> remap(positions.size(), unused);
    for (const mesh_triangle& t : triangles) remap[t.a] = remap[t.b] = remap[t.c] = 0;
    uint32_t kept = 0;
    for (size_t i = 0; i < positions.size(); ++i) {
        if (remap[i] == unused) continue;
        remap[i] = kept;
        positions[kept] = positions[i], normals[kept] = normals[i], uvs[kept] = uvs[i];
        ++kept;
    }
    positions.resize(kept), normals.resize(kept), uvs.resize(kept);
    for (mesh_triangle& t : triangles) t = {remap[t.a], remap[t.b], remap[t.c], t.material};
}

std::vector<uint32_t> model_mesh::used_materials() const {
    std::vector<uint32_t> used;
    for (const mesh_triangle& t : triangles) used.push_back(t.material);
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    return used;
}

bool model_tree::textured() const {
    return std::any_of(materials.begin(), materials.end(), [](const model_material& m) { return !m.texture.empty(); });
}

model_frame mesh_frame(std::string name, const affine_transform& transform, model_mesh mesh) {
    model_frame frame;
    frame.name = std::move(name);
    frame.transform = transform;
    frame.meshes.push_back(std::move(mesh));
    return frame;
}

}  // namespace models
