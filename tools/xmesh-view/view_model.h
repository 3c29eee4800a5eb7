// view_model.h - one model as the viewer shows it: the mesh, a material and texture per subset,
// and the sphere around its bounding box that the camera frames.
//
// Loading goes through the platform (D3DXLoadMeshFromXA, textures by view_textures.h). The
// bounds cover the vertices that triangles use and have finite coordinates, so stray unused or
// broken vertices do not shrink the picture.
#pragma once

#include <d3dx9.h>

#include <string>
#include <vector>

#include "view_camera.h"

struct view_subset {
    D3DMATERIAL9 material;
    IDirect3DTexture9* texture;  // null: untextured
};

struct view_model {
    ID3DXMesh* mesh = nullptr;
    std::vector<view_subset> subsets;
    D3DXVECTOR3 centre;
    float radius = 1.0f;
    DWORD triangles = 0;
};

// The centre and radius of the sphere around the bounding box of the used, finite vertices; a
// radius of 1 around the origin for a mesh without any, and never a radius below a tiny positive
// one (a model of one point or one line still frames).
void view_bounds(const D3DXMESHDATA& geometry, D3DXVECTOR3* centre, float* radius);

// Loads the model at `path` for `device`; false with *reason (one line) when it cannot be loaded.
bool view_load_model(IDirect3DDevice9* device, const std::string& path, view_model* model, std::string* reason);
void view_release_model(view_model* model);

// Sets the fixed state the viewer draws with: one directional light from the viewer's upper
// left, no culling (exporters disagree on winding), depth test, no specular highlights.
void view_setup_device(IDirect3DDevice9* device);
// Clears and draws one frame of the model as seen by `camera` on a target of the given size
// (for the aspect ratio), between BeginScene and EndScene. Allocates nothing.
void view_draw(IDirect3DDevice9* device, const view_model& model, const view_camera& camera, int width, int height);
