// lines_points.cpp - the primitives that are not triangles: a turning star of lines (a line list), a
// looping curve (a line strip) and rows of points of growing size (point lists).
//
//   D3DPT_LINELIST   vertices 0-1, 2-3, 4-5 ... are separate lines
//   D3DPT_LINESTRIP  vertices 0-1-2-3 ... are joined, each one to the next
//   D3DPT_POINTLIST  every vertex is a point: a square D3DRS_POINTSIZE pixels wide around it
// Lines are one pixel wide; their colour is blended from one end to the other.
//
// All vertices are pre-transformed (x and y in back-buffer pixels), worked out each frame into
// fixed arrays and drawn with DrawPrimitiveUP. Everything moves with the frame count rather than the
// clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ lines_points.cpp $(pkg-config --cflags --libs ninefold) -o lines_points
#include <windows.h>
#include <d3d9.h>
#include <math.h>
#include <string.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;

struct screen_vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
};
const DWORD screen_vertex_fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

const int spokes = 24;
const int curve_points = 241;
const int point_rows = 5, points_per_row = 24;
const float point_sizes[point_rows] = {1.0f, 2.0f, 4.0f, 7.0f, 11.0f};
const float two_pi = 6.2831853f;

screen_vertex star_lines[2 * spokes];
screen_vertex curve[curve_points];
screen_vertex points[points_per_row];

int buffer_width = 0, buffer_height = 0;
unsigned frame = 0;

// Float render states (such as the point size) take the float's bits in their DWORD.
DWORD float_bits(float value) {
    DWORD bits;
    memcpy(&bits, &value, sizeof(bits));
    return bits;
}

// A colour from a wheel of hues, t from 0 to 1 going once round red, green and blue.
D3DCOLOR hue(float t) {
    const float angle = two_pi * t;
    const auto channel = [](float c) { return static_cast<int>(127.5f + 127.5f * c); };
    return D3DCOLOR_XRGB(channel(cosf(angle)), channel(cosf(angle - two_pi / 3)), channel(cosf(angle + two_pi / 3)));
}

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
    return true;
}

// Top left: spokes from a white centre out to a ring of hues, turning.
void make_star(float time) {
    const float x = buffer_width * 0.25f, y = buffer_height * 0.3f, radius = buffer_height * 0.25f;
    for (int i = 0; i < spokes; ++i) {
        const float angle = 0.01f * time + two_pi * i / spokes;
        const float length = radius * (i % 2 == 0 ? 1.0f : 0.6f);
        star_lines[2 * i] = {x, y, 0.5f, 1.0f, D3DCOLOR_XRGB(255, 255, 255)};
        star_lines[2 * i + 1] = {x + length * cosf(angle), y + length * sinf(angle), 0.5f, 1.0f,
                                 hue(static_cast<float>(i) / spokes)};
    }
}

// Top right: a closed curve that slowly changes shape, its colour going round the wheel.
void make_curve(float time) {
    const float x = buffer_width * 0.73f, y = buffer_height * 0.3f;
    const float width = buffer_width * 0.2f, height = buffer_height * 0.25f;
    for (int i = 0; i < curve_points; ++i) {
        const float t = static_cast<float>(i) / (curve_points - 1);
        curve[i] = {x + width * sinf(3 * two_pi * t + 0.02f * time), y + height * sinf(2 * two_pi * t), 0.5f, 1.0f,
                    hue(t)};
    }
}

// Bottom: one row of points on a wave that runs to the right.
void make_point_row(int row, float time) {
    const float y = buffer_height * (0.58f + 0.085f * row);
    for (int i = 0; i < points_per_row; ++i) {
        const float x = buffer_width * (0.06f + 0.88f * i / (points_per_row - 1));
        points[i] = {x, y + 6.0f * sinf(0.4f * i - 0.05f * time), 0.5f, 1.0f,
                     hue(static_cast<float>(row) / point_rows + 0.3f)};
    }
}

bool render() {
    const float time = static_cast<float>(frame);
    const UINT stride = sizeof(screen_vertex);
    make_star(time);
    make_curve(time);

    device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(16, 16, 24), 1.0f, 0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        device->SetFVF(screen_vertex_fvf);
        drawn = SUCCEEDED(device->DrawPrimitiveUP(D3DPT_LINELIST, spokes, star_lines, stride));
        drawn = SUCCEEDED(device->DrawPrimitiveUP(D3DPT_LINESTRIP, curve_points - 1, curve, stride)) && drawn;
        for (int row = 0; row < point_rows; ++row) {
            make_point_row(row, time);
            device->SetRenderState(D3DRS_POINTSIZE, float_bits(point_sizes[row]));
            drawn = SUCCEEDED(device->DrawPrimitiveUP(D3DPT_POINTLIST, points_per_row, points, stride)) && drawn;
        }
        device->SetRenderState(D3DRS_POINTSIZE, float_bits(1.0f));
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
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
    window_class.lpszClassName = "lines_points";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("lines_points", "Lines and points", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                               640, 480, nullptr, nullptr, instance, nullptr);
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
