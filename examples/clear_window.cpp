// clear_window.cpp - the smallest Direct3D 9 program: a window whose client area is cleared to one
// colour every frame.
//
// It has the shape every Direct3D 9 program shares: register a window class, create and show the
// window, create the Direct3D object and a device that draws into the window, then run a message
// loop that handles every waiting message and draws a frame whenever none is waiting. When the
// window is closed, the loop ends and the device and the Direct3D object are released.
//
// Build it on Linux with
//   g++ clear_window.cpp $(pkg-config --cflags --libs ninefold) -o clear_window
#include <windows.h>
#include <d3d9.h>

// The Direct3D object, and the device that draws into the window.
IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;

const D3DCOLOR background = D3DCOLOR_XRGB(0, 96, 160);

// Messages for the window. Closing the window destroys it (DefWindowProc does that for
// WM_CLOSE); when it is destroyed, the program asks its message loop to end.
LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

// A windowed device: the back buffer takes the client area's size and the desktop's format.
bool create_device(HWND window) {
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (direct3d == nullptr) return false;

    D3DPRESENT_PARAMETERS parameters = {};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.BackBufferFormat = D3DFMT_UNKNOWN;
    HRESULT result = direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device);
    return SUCCEEDED(result);
}

// One frame: clear the back buffer, draw the scene (nothing yet), show the back buffer.
void render() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
    if (SUCCEEDED(device->BeginScene())) {
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

void release_device() {
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    device = nullptr;
    direct3d = nullptr;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    WNDCLASSEX window_class = {};
    window_class.cbSize = sizeof(WNDCLASSEX);
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.lpszClassName = "clear_window";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("clear_window", "Clear window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                               480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, show_command);

    if (!create_device(window)) {
        release_device();
        return 1;
    }

    MSG msg = {};
    while (msg.message != WM_QUIT) {
        if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        } else {
            render();
        }
    }

    release_device();
    return static_cast<int>(msg.wParam);
}
