// xfile_parser.h - the .x object parser: tokens of either encoding in, frames and meshes out.
//
// It reads Frame (with FrameTransformMatrix, nested Frames, Meshes and Materials), Mesh (with
// MeshNormals, MeshTextureCoords, MeshVertexColors, MeshMaterialList), Material (with
// TextureFilename) and data references to Materials; members are read by count. Identifiers match
// ignoring case. Templates, unknown objects and references elsewhere are skipped by brace matching;
// a stray '}' between top-level objects (an exporter slip seen in real files) is ignored. Named
// Materials are remembered wherever they are declared (top level, frames, material lists) and a
// reference takes the latest one of that name (or UUID) declared before it, found through a map.
// What material lists hold (records and texture names, with every reference and padded default)
// may take at most the body's size plus 64 MiB; repeated stream objects of a mesh cost what they
// hold (the last one counts), so parsing work grows in proportion to the input.
//
// DOES NOT: check objects against the file's template declarations, flatten frames or build
// vertices (xfile_mesh does), or recurse deeper than 256 objects.
#pragma once

#include <string>

#include "platform/xfile/xfile_scene.h"
#include "platform/xfile/xfile_token_stream.h"

// Reads every object of the stream into *scene. On failure returns false with a reason.
bool xfile_parse(xfile_token_stream& tokens, xfile_scene* scene, std::string* error);
