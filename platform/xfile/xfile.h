// xfile.h - the DirectX .x mesh reader: file bytes in, one flattened mesh and its materials out.
// No device. The parser works on bytes in memory (xfile_load, which the fuzz harness calls);
// xfile_load_file is the one way a file is read from disk, for D3DXLoadMeshFromXA and xmesh-info.
//
// What a load produces:
// - Every Mesh in the file, moved by its chain of FrameTransformMatrix (row vectors: v * M_inner *
//   M_outer ..., the fourth column ignored), collapsed into one mesh in file order. Normals are
//   moved by the inverse-transpose of the 3x3 part and renormalised.
// - Faces fanned as (v0, vk, vk+1); faces with fewer than three corners are dropped.
// - Vertex i of each mesh is the file's position i; a position met with a second normal (or, see
//   below, a second substituted colour) is duplicated after the mesh's own vertices.
// - Streams: normals when any mesh has MeshNormals, texture coordinates when any has
//   MeshTextureCoords, diffuse colours when any has MeshVertexColors. A mesh lacking a stream that
//   another mesh has gets zero normals (lit by ambient and emissive only), (0, 0) coordinates, and
//   as colour the diffuse colour of each face's material, so it looks as it would on its own.
//   Vertices that MeshVertexColors leaves out are white.
// - Materials: each mesh's MeshMaterialList in order, concatenated, attribute ids offset. A list
//   shorter than the faces repeats its last index; a list naming fewer Material objects than
//   nMaterials is padded with the default material (white diffuse). A file without any material
//   list has no materials (every face attribute 0); when only some meshes have one, each mesh
//   without gets one default material of its own.
// - Materials are taken inline or by reference ({ name }, { <uuid> }, { name <uuid> }) to a
//   Material declared earlier (top level, in a frame, or inline in an earlier list); an unknown
//   reference fails.
// - Texture names: TextureFilename (any case); a doubled backslash in the string stands for one.
//
// DOES NOT: read skinning, animation, effects, DeclData/FVFData, vertex duplication indices or face
// wraps (all skipped), instance meshes referenced from frames, or generate missing normals.
//
// Reading a file: only a regular file is read (a FIFO, directory or device fails at once, and
// opening never blocks); its 16-byte header is read and checked before the rest; files larger than
// 256 MiB are refused. That limit is the one on inflated compressed bodies too, so the parser never
// sees more than 256 MiB; real models are far smaller (the largest of our reference corpus of
// real files is 1.3 MB).
//
// Robustness: every count is checked against the bytes left before anything is allocated, every
// index against what it indexes, nesting is limited to 256 levels, compressed bodies are limited to
// 256 MiB, and the materials that lists hold (records and texture names, including references and
// padding) may take no more memory than the body's size plus 64 MiB. Work and memory grow in
// proportion to the input. Malformed input fails with a short reason; nothing is read out of
// bounds.
#pragma once

#include <d3dx9.h>

#include "platform/d3dx9/mesh_data.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class xfile_format { text, binary, text_compressed, binary_compressed };

struct xfile_header {
    xfile_format format = xfile_format::text;
    int float_bits = 32;  // 32 or 64
    int major = 3;        // version, e.g. 3.3 for "0303"
    int minor = 3;
};

struct xfile_material {
    D3DMATERIAL9 material{};
    std::optional<std::string> texture;  // absent when the Material has no TextureFilename
};

struct xfile_model {
    xfile_header header;
    d3dx_mesh_data mesh;
    std::vector<xfile_material> materials;  // material i = attribute id i
};

enum class xfile_status {
    ok,
    unreadable,     // cannot be opened or read, or is not a regular file
    invalid,        // not a valid .x file
    too_large,      // larger than xfile_max_file_size
    out_of_memory,  // memory ran out while loading
};

inline constexpr uint64_t xfile_max_file_size = uint64_t(256) << 20;

// Parses a whole .x file held in memory. On failure returns invalid or out_of_memory with a short
// reason in *error (when error is not null) and *out in an unspecified but valid state.
xfile_status xfile_load_bytes(const uint8_t* data, size_t size, xfile_model* out, std::string* error);

// xfile_load_bytes(...) == xfile_status::ok.
bool xfile_load(const uint8_t* data, size_t size, xfile_model* out, std::string* error);

// Reads the file at `path` (a native path) after checking that it is a regular file with a .x
// header and within the size limit. The reason in *error does not repeat the path.
xfile_status xfile_read_file(const char* path, std::vector<uint8_t>* bytes, std::string* error);

// xfile_read_file, then xfile_load_bytes.
xfile_status xfile_load_file(const char* path, xfile_model* out, std::string* error);

// Reads only the 16-byte header.
bool xfile_read_header(const uint8_t* data, size_t size, xfile_header* out, std::string* error);

// "txt", "bin", "tzip" or "bzip".
const char* xfile_format_name(xfile_format format);

// The axis-aligned box of the vertices that the triangles use; false when there is no triangle.
bool xfile_bounds(const d3dx_mesh_data& mesh, D3DVECTOR* minimum, D3DVECTOR* maximum);
