// capture_probe.cpp - a small windowed Direct3D 9 program on today's A-suffixed names, for the
// capture and golden-frame tests: each frame clears to the next colour of a table and draws two
// rectangles through Clear, so the frames differ by their number. It closes its window after
// `last_frame` frames, so it ends even when no capture closes it. Like the model demos, it changes
// its current directory (to the parent folder) before its first frame.
#include <d3d9.h>
#include <windows.h>

namespace {

const int last_frame = 10;
const D3DCOLOR backgrounds[] = {D3DCOLOR_XRGB(32, 64, 160), D3DCOLOR_XRGB(160, 32, 64), D3DCOLOR_XRGB(32, 160, 64)};

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void draw_frame(IDirect3DDevice9* device, int frame) {
    const D3DRECT square = {40 + 10 * frame, 40, 140 + 10 * frame, 140};
    const D3DRECT bar = {0, 400, 624, 441};
    device->Clear(0, nullptr, D3DCLEAR_TARGET, backgrounds[frame % 3], 1.0f, 0);
    device->Clear(1, &square, D3DCLEAR_TARGET, D3DCOLOR_XRGB(255, 255, 255), 1.0f, 0);
    device->Clear(1, &bar, D3DCLEAR_TARGET, D3DCOLOR_XRGB(250, 200, 0), 1.0f, 0);
    device->BeginScene();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.lpszClassName = "capture_probe";
    if (RegisterClassExA(&window_class) == 0) return 1;
    HWND window = CreateWindowExA(0, "capture_probe", "capture probe", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, showCommand);
    if (!SetCurrentDirectoryA("..")) return 1;

    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (direct3d == nullptr) return 1;
    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    IDirect3DDevice9* device = nullptr;
    if (FAILED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &parameters, &device))) {
        direct3d->Release();
        return 1;
    }

    MSG msg{};
    for (int frame = 1; msg.message != WM_QUIT; ++frame) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (msg.message == WM_QUIT) break;
        draw_frame(device, frame);
        if (frame == last_frame) PostMessageA(window, WM_CLOSE, 0, 0);
    }
    device->Release();
    direct3d->Release();
    return static_cast<int>(msg.wParam);
}
