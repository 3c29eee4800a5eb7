// xfile_scene.h - what the .x parser hands to the mesh builder: the frames, and each Mesh as the
// file states it (indices already checked against what they index, materials already resolved).
//
// Conventions: frames are stored parents first, so a frame's parent index is always smaller than
// its own; matrices are in D3DMATRIX memory order (_11, _12, ..., _44), row vectors.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/xfile/xfile.h"

inline constexpr uint32_t xfile_no_frame = UINT32_MAX;

struct xfile_frame {
    uint32_t parent = xfile_no_frame;
    std::array<double, 16> matrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

struct xfile_raw_mesh {
    uint32_t frame = xfile_no_frame;
    std::vector<D3DVECTOR> positions;
    std::vector<uint32_t> face_sizes;    // corners per face
    std::vector<uint32_t> face_indices;  // position index per corner, faces one after another

    bool has_normals = false;
    std::vector<D3DVECTOR> normals;
    std::vector<uint32_t> normal_indices;  // normal index per corner, parallel to face_indices

    std::vector<float> texcoords;   // (u, v) per position, or empty
    std::vector<D3DCOLOR> colours;  // per position, or empty

    bool has_material_list = false;
    std::vector<uint32_t> face_materials;  // one per face, < materials.size()
    std::vector<xfile_material> materials;
};

struct xfile_scene {
    std::vector<xfile_frame> frames;
    std::vector<xfile_raw_mesh> meshes;
};

// The material used for faces that have none: white diffuse, black specular and emissive.
xfile_material xfile_default_material();
