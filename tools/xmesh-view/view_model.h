// view_model.h - one model as the viewer shows it: the mesh, a material and texture per subset,
// and the sphere around its bounding box that the camera frames.
//
// Loading goes through the platform (D3DXLoadMeshFromXA, textures by view_textures.h). The
// bounds cover the vertices that triangles use and have finite coordinates, so stray unused or
// broken vertices do not shrink the picture.
#pragma once

#include <d3dx9.h>

#include "platform/d3dx9/mesh_data.h"

#include <string>
#include <vector>

#include "view_camera.h"

struct view_subset {
    D3DMATERIAL9 material;
    IDirect3DTexture9* texture;  // null: untextured
};

// The bounding box of the used, finite vertices and the sphere around it: a cube of side 2
// around the origin for a mesh without any, and never a radius below a tiny positive one (a model
// of one point or one line still frames).
struct view_bounds {
    D3DXVECTOR3 low{-1.0f, -1.0f, -1.0f};
    D3DXVECTOR3 high{1.0f, 1.0f, 1.0f};
    D3DXVECTOR3 centre;
    float radius = 1.0f;
};

view_bounds view_bounds_of(const d3dx_mesh_data& geometry);

struct view_model {
    ID3DXMesh* mesh = nullptr;
    std::vector<view_subset> subsets;
    view_bounds bounds;
    DWORD triangles = 0;
};

// Loads the model at `path` for `device`; false with *reason (one line) when it cannot be loaded,
// with nothing left loaded.
bool view_load_model(IDirect3DDevice9* device, const std::string& path, view_model* model, std::string* reason);
void view_release_model(view_model* model);

// Sets the fixed state the viewer draws with: one directional light from the viewer's upper
// left, no culling (exporters disagree on winding), depth test, no specular highlights.
void view_setup_device(IDirect3DDevice9* device);
// Clears and draws one frame of the model as seen by `camera` on a target of the given size
// (for the aspect ratio), between BeginScene and EndScene: the bounding sphere fits the view and
// the bounding box's picture is centred. Allocates nothing.
void view_draw(IDirect3DDevice9* device, const view_model& model, const view_camera& camera, int width, int height);
