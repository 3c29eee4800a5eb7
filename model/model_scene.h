// model_scene.h - one .x model with its subset materials (and, in airplane-demo, textures),
// turning with the group rotation. Shared by airplane-demo and spaceship-demo.
#pragma once

#include "framework.h"

// The constants in which the two model demos differ.
struct model_settings {
    const char* file_name;  // relative to the executable's folder
    bool uses_textures;
};
extern const model_settings model;

extern ID3DXMesh* model_mesh;
extern ID3DXBuffer* material_buffer;
extern DWORD subset_count;
extern D3DMATERIAL9* subset_materials;
extern IDirect3DTexture9** subset_textures;  // used only when model.uses_textures

// Loads the model, its materials and textures. When the model cannot be loaded it shows the
// load-failure message over `main_window` and ends the process with exit code 1.
void load_model(HWND main_window);
void draw_model(const D3DXMATRIX& group_rotation);
// Releases the mesh, the material buffer, the textures and the two arrays.
void release_model();
