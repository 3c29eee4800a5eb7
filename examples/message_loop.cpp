// message_loop.cpp - a window that reacts to the keyboard, the mouse, a timer and resizing: a
// coloured square that the arrow keys move, that jumps to where the left button is clicked, that
// changes colour every half second and that returns to the middle when the window's size changes.
// Everything is drawn with Direct3D 9's Clear: once for the background, once with the square's
// rectangle. Escape or the close button ends it.
//
// The text is written with the TCHAR types and _T() and the entry point is _tWinMain, so the same
// source builds with ANSI strings, or with wide ones when UNICODE and _UNICODE are defined:
//   g++ message_loop.cpp $(pkg-config --cflags --libs ninefold) -o message_loop
//   g++ -DUNICODE -D_UNICODE message_loop.cpp $(pkg-config --cflags --libs ninefold) -o message_loop_unicode
//
// The back buffer keeps the size it was created with, and Present stretches it over the client
// area, so the square lives in back-buffer pixels and mouse positions are scaled to them.
#include <windows.h>
#include <tchar.h>
#include <d3d9.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;

const D3DCOLOR background = D3DCOLOR_XRGB(24, 24, 32);
const D3DCOLOR square_colours[] = {D3DCOLOR_XRGB(230, 60, 40), D3DCOLOR_XRGB(250, 200, 30), D3DCOLOR_XRGB(40, 190, 90),
                                   D3DCOLOR_XRGB(40, 120, 230)};
const int colour_count = sizeof(square_colours) / sizeof(square_colours[0]);
const UINT_PTR colour_timer = 1;
const UINT colour_period_ms = 500;
const int square_size = 64;
const int step = 16;  // pixels per arrow key press

// The scene: the back buffer's size, the client area's size, and the square's centre and colour.
int buffer_width = 0, buffer_height = 0;
int client_width = 1, client_height = 1;
int square_x = 0, square_y = 0;
int colour_index = 0;

void centre_square() {
    square_x = buffer_width / 2;
    square_y = buffer_height / 2;
}

// Keeps the square's centre inside the back buffer.
void move_square_to(int x, int y) {
    square_x = x < 0 ? 0 : (x >= buffer_width ? buffer_width - 1 : x);
    square_y = y < 0 ? 0 : (y >= buffer_height ? buffer_height - 1 : y);
}

void on_key(WPARAM key, HWND window) {
    switch (key) {
    case VK_LEFT: move_square_to(square_x - step, square_y); break;
    case VK_RIGHT: move_square_to(square_x + step, square_y); break;
    case VK_UP: move_square_to(square_x, square_y - step); break;
    case VK_DOWN: move_square_to(square_x, square_y + step); break;
    case VK_ESCAPE: DestroyWindow(window); break;
    }
}

// Mouse positions are in client pixels, signed (LOWORD and HIWORD of lParam).
void on_click(LPARAM position) {
    const int x = static_cast<short>(LOWORD(position));
    const int y = static_cast<short>(HIWORD(position));
    move_square_to(x * buffer_width / client_width, y * buffer_height / client_height);
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN: on_key(wParam, window); return 0;
    case WM_LBUTTONDOWN: on_click(lParam); return 0;
    case WM_TIMER:
        if (wParam == colour_timer) colour_index = (colour_index + 1) % colour_count;
        return 0;
    case WM_SIZE:
        if (LOWORD(lParam) > 0 && HIWORD(lParam) > 0) {
            client_width = LOWORD(lParam);
            client_height = HIWORD(lParam);
            centre_square();
        }
        return 0;
    case WM_DESTROY:
        KillTimer(window, colour_timer);
        PostQuitMessage(0);
        return 0;
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
    parameters.BackBufferWidth = static_cast<UINT>(client_width);
    parameters.BackBufferHeight = static_cast<UINT>(client_height);
    if (FAILED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &parameters, &device))) {
        return false;
    }
    buffer_width = client_width;
    buffer_height = client_height;
    return true;
}

void render() {
    const D3DRECT square = {square_x - square_size / 2, square_y - square_size / 2, square_x + square_size / 2,
                            square_y + square_size / 2};
    device->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
    device->Clear(1, &square, D3DCLEAR_TARGET, square_colours[colour_index], 1.0f, 0);
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

int WINAPI _tWinMain(HINSTANCE instance, HINSTANCE, LPTSTR, int show_command) {
    const TCHAR class_name[] = _T("message_loop");

    WNDCLASSEX window_class = {};
    window_class.cbSize = sizeof(WNDCLASSEX);
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.lpszClassName = class_name;
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow(class_name, _T("Message loop: arrows, click, resize"), WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;

    RECT client = {};
    GetClientRect(window, &client);
    client_width = client.right > 0 ? client.right : 1;
    client_height = client.bottom > 0 ? client.bottom : 1;
    if (!create_device(window)) {
        release_device();
        DestroyWindow(window);
        return 1;
    }
    centre_square();
    SetTimer(window, colour_timer, colour_period_ms, nullptr);
    ShowWindow(window, show_command);

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
