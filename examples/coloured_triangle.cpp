// coloured_triangle.cpp - one triangle with a red, a green and a blue corner, turning slowly about
// the middle of the window. The device blends the three corner colours across the triangle.
//
// The vertices are pre-transformed (D3DFVF_XYZRHW): x and y are already back-buffer pixels, z is the
// depth and rhw is 1/w, so the device skips the world, view and projection transforms and lighting
// and draws them where they say. The program works out the corners itself each frame and hands
// them to DrawPrimitiveUP straight from an array, without a vertex buffer.
//
// The turn follows the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ coloured_triangle.cpp $(pkg-config --cflags --libs ninefold) -o coloured_triangle
#include <windows.h>
#include <d3d9.h>
#include <math.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;

// A pre-transformed, coloured vertex: the layout D3DFVF_XYZRHW | D3DFVF_DIFFUSE describes.
struct screen_vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
};
const DWORD screen_vertex_fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

const D3DCOLOR background = D3DCOLOR_XRGB(20, 20, 40);
const D3DCOLOR corner_colours[3] = {D3DCOLOR_XRGB(255, 0, 0), D3DCOLOR_XRGB(0, 255, 0), D3DCOLOR_XRGB(0, 0, 255)};
const float turn_per_frame = 0.01f;  // radians

int buffer_width = 0, buffer_height = 0;
unsigned frame = 0;

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) DestroyWindow(window);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

bool create_device(HWND window) {
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (direct3d == nullptr) return false;

    D3DPRESENT_PARAMETERS parameters = {};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.BackBufferFormat = D3DFMT_UNKNOWN;
    if (FAILED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &parameters, &device))) {
        return false;
    }
    // The back buffer took the client area's size; read it back to place the triangle.
    D3DVIEWPORT9 viewport = {};
    device->GetViewport(&viewport);
    buffer_width = static_cast<int>(viewport.Width);
    buffer_height = static_cast<int>(viewport.Height);
    return true;
}

// The corners lie on a circle around the middle, a third of a turn apart. Going round with growing
// angles is clockwise on the screen (y grows downwards), the winding the default culling keeps.
void place_corners(screen_vertex corners[3]) {
    const float centre_x = buffer_width * 0.5f, centre_y = buffer_height * 0.5f;
    const float radius = (buffer_width < buffer_height ? buffer_width : buffer_height) * 0.42f;
    const float start = -1.5707963f + turn_per_frame * static_cast<float>(frame);
    for (int i = 0; i < 3; ++i) {
        const float angle = start + i * 2.0943951f;
        corners[i] = {centre_x + radius * cosf(angle), centre_y + radius * sinf(angle), 0.5f, 1.0f, corner_colours[i]};
    }
}

bool render() {
    screen_vertex corners[3];
    place_corners(corners);

    device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
    HRESULT drawn = E_FAIL;
    if (SUCCEEDED(device->BeginScene())) {
        device->SetFVF(screen_vertex_fvf);
        drawn = device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, corners, sizeof(screen_vertex));
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return SUCCEEDED(drawn);
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
    window_class.lpszClassName = "coloured_triangle";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("coloured_triangle", "Coloured triangle", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window)) {
        release_device();
        DestroyWindow(window);
        return 1;
    }
    ShowWindow(window, show_command);

    // A draw that fails ends the program with status 1, so that a device that cannot draw is noticed.
    MSG msg = {};
    int status = 0;
    while (msg.message != WM_QUIT) {
        if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        } else if (!render()) {
            status = 1;
            DestroyWindow(window);
        }
    }

    release_device();
    return status != 0 ? status : static_cast<int>(msg.wParam);
}
