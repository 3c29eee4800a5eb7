// stencil_mirror.cpp - a tumbling cube above a floor with a square mirror set into it. The cube's
// reflection shows in the mirror and only there, cut off at the mirror's edges.
//
// The stencil buffer (the 8 bits of D3DFMT_D24S8 beside the 24 bits of depth) holds a number per
// pixel that draws can set and test. A frame is drawn in five steps:
//   1. the floor around the mirror, normally;
//   2. the mirror, into the stencil buffer only: every pixel it covers gets stencil 1, while colour
//      and depth writes are off;
//   3. the cube mirrored in the floor's plane, with the stencil test passing only where the stencil
//      is 1. The mirroring turns the triangles' winding round, so culling is turned round too;
//   4. the mirror's glass, a see-through tint blended over the reflection;
//   5. the cube itself.
//
// The cube's geometry is passed straight from arrays with DrawIndexedPrimitiveUP, and it turns with
// the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ stencil_mirror.cpp $(pkg-config --cflags --libs ninefold) -o stencil_mirror
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;

struct coloured_vertex {
    float x, y, z;
    D3DCOLOR colour;
};
const DWORD coloured_vertex_fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;
const UINT stride = sizeof(coloured_vertex);

// The cube from -1 to +1: corner i has x = +1 for bit 0 of i, y = +1 for bit 1, z = +1 for bit 2;
// two triangles per face, clockwise seen from outside.
const coloured_vertex cube_corners[8] = {
    {-1, -1, -1, D3DCOLOR_XRGB(40, 40, 40)}, {1, -1, -1, D3DCOLOR_XRGB(255, 40, 40)},
    {-1, 1, -1, D3DCOLOR_XRGB(40, 255, 40)}, {1, 1, -1, D3DCOLOR_XRGB(255, 255, 40)},
    {-1, -1, 1, D3DCOLOR_XRGB(40, 40, 255)}, {1, -1, 1, D3DCOLOR_XRGB(255, 40, 255)},
    {-1, 1, 1, D3DCOLOR_XRGB(40, 255, 255)}, {1, 1, 1, D3DCOLOR_XRGB(255, 255, 255)},
};
const WORD cube_triangles[36] = {2, 3, 1, 2, 1, 0, 7, 6, 4, 7, 4, 5, 6, 2, 0, 6, 0, 4,
                                 3, 7, 5, 3, 5, 1, 6, 7, 3, 6, 3, 2, 0, 1, 5, 0, 5, 4};

// The floor (y = 0): a square ring from 4.5 out to the mirror's edge at 2, as one triangle strip
// going round, inner and outer corners taking turns.
const D3DCOLOR floor_colour = D3DCOLOR_XRGB(110, 90, 70);
const coloured_vertex floor_ring[10] = {
    {-2, 0, 2, floor_colour},       {-4.5f, 0, 4.5f, floor_colour},  {2, 0, 2, floor_colour},
    {4.5f, 0, 4.5f, floor_colour},  {2, 0, -2, floor_colour},        {4.5f, 0, -4.5f, floor_colour},
    {-2, 0, -2, floor_colour},      {-4.5f, 0, -4.5f, floor_colour}, {-2, 0, 2, floor_colour},
    {-4.5f, 0, 4.5f, floor_colour},
};

// The mirror in the middle of the floor, as a strip: far left, far right, near left, near right.
// Its colour is the glass's tint, mostly transparent.
const D3DCOLOR glass_colour = D3DCOLOR_ARGB(70, 150, 200, 255);
const coloured_vertex mirror[4] = {
    {-2, 0, 2, glass_colour}, {2, 0, 2, glass_colour}, {-2, 0, -2, glass_colour}, {2, 0, -2, glass_colour}};

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

// A depth buffer with a stencil buffer: D3DFMT_D24S8.
bool create_device(HWND window) {
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (direct3d == nullptr) return false;

    D3DPRESENT_PARAMETERS parameters = {};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.BackBufferFormat = D3DFMT_UNKNOWN;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
    return SUCCEEDED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device));
}

void set_camera() {
    D3DVIEWPORT9 viewport = {};
    device->GetViewport(&viewport);
    const D3DXVECTOR3 eye(0.0f, 4.0f, -7.0f), target(0.0f, 0.2f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, static_cast<float>(viewport.Width) / viewport.Height, 1.0f,
                               50.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
}

bool draw_cube(const D3DXMATRIX& world) {
    device->SetTransform(D3DTS_WORLD, &world);
    return SUCCEEDED(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 8, 12, cube_triangles, D3DFMT_INDEX16,
                                                    cube_corners, stride));
}

bool draw_scene() {
    D3DXMATRIX identity, size, turn_y, turn_x, move, cube_world, mirroring, mirrored_world;
    D3DXMatrixIdentity(&identity);
    D3DXMatrixScaling(&size, 0.7f, 0.7f, 0.7f);
    D3DXMatrixRotationY(&turn_y, 0.021f * frame);
    D3DXMatrixRotationX(&turn_x, 0.6f + 0.013f * frame);
    D3DXMatrixTranslation(&move, 0.6f, 1.3f, 0.8f);
    cube_world = size * turn_y * turn_x * move;
    const D3DXPLANE floor_plane(0.0f, 1.0f, 0.0f, 0.0f);
    D3DXMatrixReflect(&mirroring, &floor_plane);
    mirrored_world = cube_world * mirroring;

    device->SetFVF(coloured_vertex_fvf);
    device->SetTransform(D3DTS_WORLD, &identity);
    // 1. The floor.
    bool drawn = SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 8, floor_ring, stride));

    // 2. The mirror marks its pixels with stencil 1 and changes nothing else.
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    device->SetRenderState(D3DRS_STENCILREF, 1);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    drawn = SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, mirror, stride)) && drawn;
    device->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN |
                                                       D3DCOLORWRITEENABLE_BLUE | D3DCOLORWRITEENABLE_ALPHA);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);

    // 3. The reflection, only where the stencil is 1; mirrored triangles are counter-clockwise.
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    drawn = draw_cube(mirrored_world) && drawn;
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_STENCILENABLE, FALSE);

    // 4. The glass over the reflection.
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    drawn = SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, mirror, stride)) && drawn;
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);

    // 5. The cube.
    return draw_cube(cube_world) && drawn;
}

bool render() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, D3DCOLOR_XRGB(24, 28, 40), 1.0f,
                  0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        drawn = draw_scene();
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
    window_class.lpszClassName = "stencil_mirror";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("stencil_mirror", "Stencil mirror", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                               640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window)) {
        release_device();
        DestroyWindow(window);
        return 1;
    }
    set_camera();
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
