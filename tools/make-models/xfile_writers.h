// xfile_writers.h - the two DirectX .x writers of the model generator: text and binary.
//
// Contract: both write the whole model into memory, byte for byte the same on every run: the
// 16-byte header ("xof 0303txt 0032" or "xof 0303bin 0032"), then the frame hierarchy with a
// FrameTransformMatrix in every frame, each Mesh with MeshNormals (one normal per vertex, indexed
// like the faces), MeshTextureCoords when any material names a texture, and a MeshMaterialList
// holding the materials the mesh uses in ascending model order (its subsets). The text writer
// declares the standard templates it uses and the materials once at the top, referring to them
// from each mesh; the binary writer writes the token stream with the materials inline.
//
// DOES NOT: compress, write doubles, or write templates in the binary encoding.
#pragma once

#include "mesh_builder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace models {

std::string write_x_text(const model_tree& model, const std::string& comment);
std::vector<uint8_t> write_x_binary(const model_tree& model);

// The 16 numbers of a FrameTransformMatrix: row vectors, translation in elements 12 to 14.
void transform_matrix(const affine_transform& transform, float out[16]);

}  // namespace models
