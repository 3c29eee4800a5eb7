// xfile_flatten.h - turns the parsed frames and meshes into the one mesh that a .x load produces.
//
// For each mesh in file order: its frame chain's matrix (v * M_frame * M_parent * ... ), vertex i
// = position i plus one duplicate for every further (position, normal) combination the faces use,
// fan triangulation, material list appended with attribute ids offset. The stream and material
// rules for meshes that differ are listed in xfile.h.
//
// DOES NOT: read the file or check indices (the parser has checked them).
#pragma once

#include <string>

#include "platform/xfile/xfile_scene.h"

// Fills model->mesh and model->materials from the scene. False (with a reason) only when the
// result would not fit 32-bit indices.
bool xfile_flatten(const xfile_scene& scene, xfile_model* model, std::string* error);
