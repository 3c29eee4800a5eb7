// shapes_scene.h - the box, torus and teapot of shapes-demo, 120 degrees apart on a circle of
// radius 2, turning as a group.
#pragma once

#include "framework.h"

extern ID3DXMesh* box_mesh;
extern ID3DXMesh* torus_mesh;
extern ID3DXMesh* teapot_mesh;

void build_shapes();
void draw_shapes(const D3DXMATRIX& group_rotation);
void release_shapes();
