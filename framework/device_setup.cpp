// device_setup.cpp - the Direct3D object, the device for the main window, and the fixed state:
// no culling, depth test on, the perspective projection.
#include "framework.h"

#include <cstdio>
#include <cstdlib>

namespace {

const float field_of_view = 0.7853982f;  // pi / 4
const float aspect_ratio = 1.3333334f;   // 4 / 3, whatever the window's shape
const float near_plane = 1.0f;
const float far_plane = 100.0f;

[[noreturn]] void fail(HWND main_window, const char* what) {
    std::fprintf(stderr, "%s\n", what);
    MessageBoxA(main_window, what, "Error", MB_OK | MB_ICONEXCLAMATION);
    if (direct3d != nullptr) direct3d->Release();
    direct3d = nullptr;
    std::exit(1);
}

}  // namespace

void setup_device(HWND main_window) {
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (direct3d == nullptr) fail(main_window, "Direct3D could not be initialised.");

    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = main_window;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;

    const HRESULT created = direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, main_window,
                                                   D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device);
    if (FAILED(created) || device == nullptr) {
        device = nullptr;
        fail(main_window, "The Direct3D device could not be created.");
    }

    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);

    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, field_of_view, aspect_ratio, near_plane, far_plane);
    device->SetTransform(D3DTS_PROJECTION, &projection);
}
