// spaceship_demo.cpp - spaceship-demo: the spaceship model with its materials (no textures), turning.
#include "model_scene.h"

const demo_settings demo = {
    .enters_program_directory = true,
    .background_colour = 0xFF00001E,
    .eye_z = 9.0f,
    .light_diffuse = 0.8f,
    .light_ambient = 0.2f,
    .material_power = 64.0f,
};

const model_settings model = {
    .file_name = "spaceship 2.x",
    .uses_textures = false,
};

void build_scene(HWND main_window) { load_model(main_window); }
void draw_scene(const D3DXMATRIX& group_rotation) { draw_model(group_rotation); }
void release_scene() { release_model(); }
