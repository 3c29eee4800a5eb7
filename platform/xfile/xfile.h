// xfile.h - the DirectX .x mesh reader as a pure function: file bytes in, one flattened mesh and its
// materials out. No device, no file system; D3DXLoadMeshFromXA, xmesh-info and the fuzz harness
// all go through xfile_load.
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
// Robustness: every count is checked against the bytes left before anything is allocated, every
// index against what it indexes, nesting is limited to 256 levels, compressed bodies are limited to
// 256 MiB. Malformed input fails with a short reason; nothing is read out of bounds.
#pragma once

#include <d3dx9.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class XFileFormat { text, binary, text_compressed, binary_compressed };

struct XFileHeader {
    XFileFormat format = XFileFormat::text;
    int float_bits = 32;  // 32 or 64
    int major = 3;        // version, e.g. 3.3 for "0303"
    int minor = 3;
};

struct XFileMaterial {
    D3DMATERIAL9 material{};
    std::optional<std::string> texture;  // absent when the Material has no TextureFilename
};

struct XFileModel {
    XFileHeader header;
    D3DXMESHDATA mesh;
    std::vector<XFileMaterial> materials;  // material i = attribute id i
};

// Parses a whole .x file held in memory. On failure returns false with a short reason in *error
// (when error is not null) and *out in an unspecified but valid state.
bool xfile_load(const uint8_t* data, size_t size, XFileModel* out, std::string* error);

// Reads only the 16-byte header.
bool xfile_read_header(const uint8_t* data, size_t size, XFileHeader* out, std::string* error);

// "txt", "bin", "tzip" or "bzip".
const char* xfile_format_name(XFileFormat format);

// The axis-aligned box of the vertices that the triangles use; false when there is no triangle.
bool xfile_bounds(const D3DXMESHDATA& mesh, D3DVECTOR* minimum, D3DVECTOR* maximum);
