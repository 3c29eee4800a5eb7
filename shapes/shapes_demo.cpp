// shapes_demo.cpp - shapes-demo: a green box, a blue torus and a red teapot turning as a group.
#include "shapes_scene.h"

const demo_settings demo = {
    .enters_program_directory = false,
    .background_colour = 0xFF505050,
    .eye_z = 7.0f,
    .light_diffuse = 0.8f,
    .light_ambient = 0.2f,
    .material_power = 64.0f,
};

void build_scene(HWND) { build_shapes(); }
void draw_scene(const D3DXMATRIX& group_rotation) { draw_shapes(group_rotation); }
void release_scene() { release_shapes(); }
