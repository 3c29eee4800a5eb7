// frame_cycle.cpp - one frame: clear, camera, spin, the scene's drawing step, present.
#include "framework.h"

namespace {

const float spin_step = 0.015f;
const double tilt_divisor = 11.0;
// Eleven turns: the spin and the tilt (spin / 11) both complete whole turns here.
const double spin_period = 22.0 * 3.14159265358979323846;

}  // namespace

float advance_spin(float angle) {
    float next = static_cast<float>(static_cast<double>(angle) + static_cast<double>(spin_step));
    if (static_cast<double>(next) >= spin_period) {
        next = static_cast<float>(static_cast<double>(next) - spin_period);
    }
    return next;
}

void draw_frame() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, demo.background_colour, 1.0f, 0);
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();

    const D3DXVECTOR3 eye(0.0f, 2.0f, demo.eye_z);
    const D3DXVECTOR3 look_at(0.0f, -0.2f, 0.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &look_at, &up);
    device->SetTransform(D3DTS_VIEW, &view);

    spin_angle = advance_spin(spin_angle);
    const float tilt = static_cast<float>(static_cast<double>(spin_angle) / tilt_divisor);

    D3DXMATRIX rx;
    D3DXMATRIX ry;
    D3DXMATRIX group_rotation;
    D3DXMatrixRotationX(&rx, tilt);
    D3DXMatrixRotationY(&ry, spin_angle);
    D3DXMatrixMultiply(&group_rotation, &rx, &ry);

    draw_scene(group_rotation);

    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}
