// shapes_scene.cpp - builds, draws and releases the three shapes.
#include "shapes_scene.h"

ID3DXMesh* box_mesh = nullptr;
ID3DXMesh* torus_mesh = nullptr;
ID3DXMesh* teapot_mesh = nullptr;

namespace {

const float third_of_a_turn = 2.0943952f;  // 2 pi / 3
const float circle_radius = 2.0f;

// Sets the world transform, then the material, then draws subset 0 (a mesh that was not created
// is skipped).
void draw_shape(ID3DXMesh* mesh, const D3DXMATRIX& world, float r, float g, float b) {
    device->SetTransform(D3DTS_WORLD, &world);
    apply_material(r, g, b);
    if (mesh != nullptr) mesh->DrawSubset(0);
}

void release_mesh(ID3DXMesh*& mesh) {
    if (mesh != nullptr) mesh->Release();
    mesh = nullptr;
}

}  // namespace

void build_shapes() {
    D3DXCreateBox(device, 1.5f, 1.5f, 1.5f, &box_mesh, nullptr);
    D3DXCreateTorus(device, 0.45f, 0.85f, 24, 24, &torus_mesh, nullptr);
    D3DXCreateTeapot(device, &teapot_mesh, nullptr);
}

// Each shape is moved out to (2, 0, 0), turned by 0, 120 or 240 degrees about the vertical axis,
// then tilted and turned with the group.
void draw_shapes(const D3DXMATRIX& group_rotation) {
    D3DXMATRIX y120;
    D3DXMATRIX t;
    D3DXMatrixRotationY(&y120, third_of_a_turn);
    D3DXMatrixTranslation(&t, circle_radius, 0.0f, 0.0f);

    D3DXMATRIX world;
    D3DXMatrixMultiply(&world, &t, &group_rotation);
    draw_shape(box_mesh, world, 0.2f, 1.0f, 0.2f);

    D3DXMATRIX t_y120;
    D3DXMatrixMultiply(&t_y120, &t, &y120);
    D3DXMatrixMultiply(&world, &t_y120, &group_rotation);
    draw_shape(torus_mesh, world, 0.2f, 0.2f, 1.0f);

    D3DXMATRIX t_y240;
    D3DXMatrixMultiply(&t_y240, &t_y120, &y120);
    D3DXMatrixMultiply(&world, &t_y240, &group_rotation);
    draw_shape(teapot_mesh, world, 1.0f, 0.2f, 0.2f);
}

void release_shapes() {
    release_mesh(box_mesh);
    release_mesh(torus_mesh);
    release_mesh(teapot_mesh);
}
