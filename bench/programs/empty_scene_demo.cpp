// empty_scene_demo.cpp - empty-scene-demo: the demos' window, device and frame loop with nothing
// drawn, so that what the window path costs (clears, present, pacing, events, key polls) can be
// measured on its own, beside the real programs (bench/cpu-in-window).
#include "framework.h"

// Nothing is lit or drawn: only the clear colour and the camera matter.
const demo_settings demo = {.enters_program_directory = false,
                            .background_colour = 0xFF505050,
                            .eye_z = 7.0f,
                            .light_diffuse = 0.0f,
                            .light_ambient = 0.0f,
                            .material_power = 0.0f};

void build_scene(HWND) {}
void draw_scene(const D3DXMATRIX&) {}
void release_scene() {}
