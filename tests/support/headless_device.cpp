// headless_device.cpp - headless windows and software devices for tests and benchmarks.
#include "headless_device.h"

#include "platform/win32/win_headless.h"

#include <string>

HWND open_headless_window(WNDPROC procedure) {
    win_headless_enable();
    // One class per procedure: registering a name twice fails.
    static int classes = 0;
    const std::string class_name = "HeadlessWindow" + std::to_string(++classes);
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure != nullptr ? procedure : DefWindowProcA;
    window_class.lpszClassName = class_name.c_str();
    if (RegisterClassExA(&window_class) == 0) return nullptr;
    return CreateWindowExA(0, class_name.c_str(), "headless", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                           nullptr, nullptr);
}

D3DPRESENT_PARAMETERS windowed_parameters(HWND window) {
    D3DPRESENT_PARAMETERS p{};
    p.Windowed = TRUE;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = window;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    return p;
}

headless_device create_headless_device(HWND window) {
    if (window == nullptr) window = open_headless_window();
    headless_device created;
    created.direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (window == nullptr || created.direct3d == nullptr) return created;
    D3DPRESENT_PARAMETERS parameters = windowed_parameters(window);
    if (created.direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                       &parameters, &created.device) != D3D_OK) {
        created.device = nullptr;
    }
    return created;
}

void release_headless_device(headless_device& device) {
    if (device.device != nullptr) device.device->Release();
    if (device.direct3d != nullptr) device.direct3d->Release();
    device = {};
    win_headless_reset();
}
