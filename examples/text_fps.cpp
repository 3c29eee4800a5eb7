// text_fps.cpp - text drawn with D3DX fonts over a simple scene: a frames-per-second counter and a
// label in each of the nine places DrawText's alignment flags put text.
//
// The scene is a spinning, colour-shaded triangle of pre-transformed vertices. Over it, one font
// (Arial, 20 pixels high, bold) writes "top left", "centre", "bottom right" and the others into
// the client area inset by 12 pixels, each with the DT_ flags its name says, and a second line
// under the centre in Polish letters, half transparent. The counter in the top left shows the
// frames of the last whole second; when the program runs to write a test picture
// (WIN32_STANDIN_CAPTURE is set) it shows the frame number instead, so that the picture is the
// same on every run. The triangle turns with the frame count, not the clock, for the same reason.
//
// The text of each frame is formatted into a fixed buffer: nothing is allocated per frame, and the
// font rasterises each glyph once, the first time it is drawn.
//
// Build it on Linux with
//   g++ text_fps.cpp $(pkg-config --cflags --libs ninefold) -o text_fps
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
ID3DXFont* font = nullptr;

struct screen_vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
};
const DWORD screen_vertex_fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

int buffer_width = 0, buffer_height = 0;
unsigned frame = 0;
bool fixed_text = false;  // for test pictures: the frame number instead of the rate
DWORD second_start = 0;
unsigned frames_this_second = 0, frames_per_second = 0;

struct label {
    const char* text;
    DWORD format;
};
const label labels[] = {
    {"top centre", DT_TOP | DT_CENTER | DT_SINGLELINE},       {"top right", DT_TOP | DT_RIGHT | DT_SINGLELINE},
    {"centre left", DT_VCENTER | DT_LEFT | DT_SINGLELINE},    {"centre", DT_VCENTER | DT_CENTER | DT_SINGLELINE},
    {"centre right", DT_VCENTER | DT_RIGHT | DT_SINGLELINE},  {"bottom left", DT_BOTTOM | DT_LEFT | DT_SINGLELINE},
    {"bottom centre", DT_BOTTOM | DT_CENTER | DT_SINGLELINE}, {"bottom right", DT_BOTTOM | DT_RIGHT | DT_SINGLELINE},
};

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
    D3DVIEWPORT9 viewport = {};
    device->GetViewport(&viewport);
    buffer_width = static_cast<int>(viewport.Width);
    buffer_height = static_cast<int>(viewport.Height);

    return SUCCEEDED(D3DXCreateFont(device, 20, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial", &font));
}

// Counts the frames of each whole second.
void count_frame() {
    const DWORD now = timeGetTime();
    ++frames_this_second;
    if (now - second_start >= 1000) {
        frames_per_second = frames_this_second;
        frames_this_second = 0;
        second_start = now;
    }
}

bool render() {
    count_frame();
    char counter[64];
    if (fixed_text) {
        sprintf_s(counter, sizeof counter, "frame %u", frame);
    } else {
        sprintf_s(counter, sizeof counter, "%u frames/s", frames_per_second);
    }

    // The triangle: three corners on a circle round the centre, turning a little each frame.
    const float cx = buffer_width * 0.5f, cy = buffer_height * 0.5f, radius = buffer_height * 0.4f;
    const D3DCOLOR corner_colours[3] = {D3DCOLOR_XRGB(200, 60, 60), D3DCOLOR_XRGB(60, 160, 60),
                                        D3DCOLOR_XRGB(60, 80, 200)};
    screen_vertex triangle[3];
    for (int i = 0; i < 3; ++i) {
        const float angle = 0.01f * frame + 2.0943951f * i;
        triangle[i] = {cx + radius * cosf(angle), cy + radius * sinf(angle), 0.5f, 1.0f, corner_colours[i]};
    }

    device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(30, 30, 40), 1.0f, 0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        device->SetFVF(screen_vertex_fvf);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        drawn = SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(screen_vertex)));

        RECT area = {12, 12, buffer_width - 12, buffer_height - 12};
        drawn = font->DrawText(nullptr, counter, -1, &area, DT_TOP | DT_LEFT | DT_SINGLELINE,
                               D3DCOLOR_XRGB(255, 255, 0)) > 0 &&
                drawn;
        for (const label& l : labels) {
            drawn = font->DrawText(nullptr, l.text, -1, &area, l.format, D3DCOLOR_XRGB(255, 255, 255)) > 0 && drawn;
        }
        RECT below = {12, buffer_height / 2 + 16, buffer_width - 12, buffer_height / 2 + 48};
        drawn = font->DrawText(nullptr, "Zażółć gęślą jaźń", -1, &below, DT_CENTER | DT_SINGLELINE,
                               D3DCOLOR_ARGB(160, 255, 255, 255)) > 0 &&
                drawn;
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
}

void release_device() {
    if (font != nullptr) font->Release();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    font = nullptr;
    device = nullptr;
    direct3d = nullptr;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    const char* capture = getenv("WIN32_STANDIN_CAPTURE");
    fixed_text = capture != nullptr && capture[0] != '\0';
    second_start = timeGetTime();

    WNDCLASSEX window_class = {};
    window_class.cbSize = sizeof(WNDCLASSEX);
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.lpszClassName = "text_fps";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("text_fps", "Text and a frame counter", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
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
