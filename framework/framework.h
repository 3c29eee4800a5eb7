// framework.h - the demo framework shared by shapes-demo, airplane-demo and spaceship-demo:
// program entry and main loop, device setup, the light and the material helper, the frame cycle.
//
// Each program supplies `demo` (its constants) and the three scene hooks below; everything else
// is the same code in all three programs.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

// The constants in which the three programs differ.
struct demo_settings {
    bool enters_program_directory;  // model demos read their files from the executable's folder
    D3DCOLOR background_colour;
    float eye_z;
    float light_diffuse;
    float light_ambient;
    float material_power;
};
extern const demo_settings demo;

extern IDirect3D9* direct3d;
extern IDirect3DDevice9* device;
extern float spin_angle;

// Scene hooks, supplied by each program.
void build_scene(HWND main_window);                 // after setup_light, before the main loop
void draw_scene(const D3DXMATRIX& group_rotation);  // inside every frame, between view and EndScene
void release_scene();                               // first step of release_all

// Application shell.
void enter_program_directory();
LRESULT CALLBACK handle_window_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void release_all();

// Device, light, material and frame.
void setup_device(HWND main_window);  // on failure: reports on stderr and in a message box, exits 1
void setup_light();
void apply_material(float r, float g, float b);
void draw_frame();

// One step of the spin: spin_angle + 0.015 in double precision, rounded to float, wrapped by
// 22 pi (eleven turns, where the tilt of spin/11 also completes a turn) once it reaches that.
float advance_spin(float angle);
