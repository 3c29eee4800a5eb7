// headless_device.cpp - a software device on a headless window, for tests.
#include "headless_device.h"

#include "platform/win32/win_headless.h"

namespace {

LRESULT CALLBACK headless_device_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcA(window, message, w, l);
}

}  // namespace

HeadlessDevice create_headless_device() {
    win_headless_enable();
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = headless_device_procedure;
    window_class.lpszClassName = "HeadlessDeviceTest";
    RegisterClassExA(&window_class);
    HWND window = CreateWindowExA(0, "HeadlessDeviceTest", "test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                                  nullptr, nullptr, nullptr);
    HeadlessDevice created;
    created.direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (window == nullptr || created.direct3d == nullptr) return created;
    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    if (created.direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                       &parameters, &created.device) != D3D_OK) {
        created.device = nullptr;
    }
    return created;
}

void release_headless_device(HeadlessDevice& device) {
    if (device.device != nullptr) device.device->Release();
    if (device.direct3d != nullptr) device.direct3d->Release();
    device = {};
    win_headless_reset();
}
