// airplane_demo.cpp - airplane-demo: the textured aeroplane model, turning.
#include "model_scene.h"

const demo_settings demo = {
    .enters_program_directory = true,
    .background_colour = 0xFF002800,
    .eye_z = 12.0f,
    .light_diffuse = 0.9f,
    .light_ambient = 0.1f,
    .material_power = 16.0f,
};

const model_settings model = {
    .file_name = "airplane 2.x",
    .uses_textures = true,
};

void build_scene(HWND main_window) { load_model(main_window); }
void draw_scene(const D3DXMATRIX& group_rotation) { draw_model(group_rotation); }
void release_scene() { release_model(); }
