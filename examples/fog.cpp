// fog.cpp - a road lined with pillars that fade into a grey-blue haze, seen twice side by side while
// the camera drives slowly along it. The left half uses linear vertex fog, the right half
// exponential-squared pixel (table) fog.
//
// Fog blends each pixel towards D3DRS_FOGCOLOR by a factor f that falls with the distance from the
// camera (f = 1: no fog, f = 0: only fog colour):
//   linear  f = (end - d) / (end - start)     vertex fog: worked out at each vertex, then blended
//   exp2    f = 1 / e^((d * density)^2)       table fog: worked out at each pixel
// The window is cleared to the fog colour, so far objects melt into the background.
//
// The two halves are two viewports over the same back buffer; the scene is drawn once into each with
// its own fog states and a projection of the half's shape.
//
// The camera moves with the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ fog.cpp $(pkg-config --cflags --libs ninefold) -o fog
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <math.h>
#include <string.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
IDirect3DVertexBuffer9* vertex_buffer = nullptr;
IDirect3DIndexBuffer9* index_buffer = nullptr;

struct lit_vertex {
    D3DXVECTOR3 position, normal;
};
const DWORD lit_vertex_fvf = D3DFVF_XYZ | D3DFVF_NORMAL;

// The road: 2 x road_rows squares from x = -8 to 8 and z = -10 to -10 + 2 * road_rows; then a box
// from -1 to +1 on each axis, drawn again and again as the pillars.
const int road_rows = 60;
const UINT road_vertices = 3 * (road_rows + 1), road_triangles = 4 * road_rows;
const UINT box_vertices = 24, box_triangles = 12;
const int pillar_rows = 25;
const float pillar_spacing = 4.0f;

const D3DCOLOR fog_colour = D3DCOLOR_XRGB(150, 160, 180);
const D3DCOLORVALUE road_colour = {0.45f, 0.45f, 0.4f, 1.0f};
const D3DCOLORVALUE pillar_colours[2] = {{0.9f, 0.3f, 0.2f, 1.0f}, {0.2f, 0.6f, 0.8f, 1.0f}};

unsigned frame = 0;

// Float render states (fog start, end, density) take the float's bits in their DWORD.
DWORD float_bits(float value) {
    DWORD bits;
    memcpy(&bits, &value, sizeof(bits));
    return bits;
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
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    return SUCCEEDED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device));
}

// The road: rows of three vertices across, two squares per row, clockwise seen from above.
void write_road(lit_vertex* vertices, WORD* indices) {
    for (int row = 0; row <= road_rows; ++row) {
        for (int column = 0; column < 3; ++column) {
            *vertices++ = {{-8.0f + 8.0f * column, 0.0f, -10.0f + 2.0f * row}, {0.0f, 1.0f, 0.0f}};
        }
    }
    for (int row = 0; row < road_rows; ++row) {
        for (int column = 0; column < 2; ++column) {
            const WORD near_left = static_cast<WORD>(3 * row + column), far_left = static_cast<WORD>(near_left + 3);
            const WORD square[6] = {far_left, static_cast<WORD>(far_left + 1),  static_cast<WORD>(near_left + 1),
                                    far_left, static_cast<WORD>(near_left + 1), near_left};
            for (WORD index : square) *indices++ = index;
        }
    }
}

// Each face: its outward normal n and the directions r and u that point right and up for someone
// looking at it from outside; corners n - r + u, n + r + u, n + r - u, n - r - u are clockwise.
void write_box(lit_vertex* vertices, WORD* indices) {
    const D3DXVECTOR3 faces[6][3] = {
        {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}}, {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
        {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},  {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},  {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},
    };
    for (int face = 0; face < 6; ++face) {
        const D3DXVECTOR3 &n = faces[face][0], &r = faces[face][1], &u = faces[face][2];
        *vertices++ = {n - r + u, n};
        *vertices++ = {n + r + u, n};
        *vertices++ = {n + r - u, n};
        *vertices++ = {n - r - u, n};
        const WORD first = static_cast<WORD>(4 * face);
        const WORD corners[6] = {first, static_cast<WORD>(first + 1), static_cast<WORD>(first + 2),
                                 first, static_cast<WORD>(first + 2), static_cast<WORD>(first + 3)};
        for (WORD index : corners) *indices++ = index;
    }
}

bool create_shapes() {
    const UINT vertex_count = road_vertices + box_vertices, index_count = 3 * (road_triangles + box_triangles);
    if (FAILED(device->CreateVertexBuffer(vertex_count * sizeof(lit_vertex), D3DUSAGE_WRITEONLY, lit_vertex_fvf,
                                          D3DPOOL_MANAGED, &vertex_buffer, nullptr)) ||
        FAILED(device->CreateIndexBuffer(index_count * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                         D3DPOOL_MANAGED, &index_buffer, nullptr))) {
        return false;
    }
    void* vertices = nullptr;
    void* indices = nullptr;
    if (FAILED(vertex_buffer->Lock(0, 0, &vertices, 0))) return false;
    if (FAILED(index_buffer->Lock(0, 0, &indices, 0))) {
        vertex_buffer->Unlock();
        return false;
    }
    write_road(static_cast<lit_vertex*>(vertices), static_cast<WORD*>(indices));
    write_box(static_cast<lit_vertex*>(vertices) + road_vertices, static_cast<WORD*>(indices) + 3 * road_triangles);
    index_buffer->Unlock();
    vertex_buffer->Unlock();
    return true;
}

// One light from above and behind the camera; fog on, towards the background colour.
void set_states() {
    D3DLIGHT9 sun = {};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    sun.Direction = D3DXVECTOR3(0.4f, -1.0f, 0.6f);
    device->SetLight(0, &sun);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(60, 60, 60));
    device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, fog_colour);
}

void set_material(D3DCOLORVALUE colour) {
    D3DMATERIAL9 material = {};
    material.Diffuse = colour;
    material.Ambient = colour;
    device->SetMaterial(&material);
}

// The scene as seen from the camera, into the current viewport: the road, then two rows of pillars.
bool draw_scene(const D3DVIEWPORT9& viewport) {
    const float camera_z = fmodf(0.05f * frame, 2 * pillar_spacing);
    const D3DXVECTOR3 eye(0.0f, 2.5f, camera_z), target(0.0f, 1.5f, camera_z + 10.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection, world;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 3.0f, static_cast<float>(viewport.Width) / viewport.Height, 0.5f,
                               150.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);

    D3DXMatrixIdentity(&world);
    device->SetTransform(D3DTS_WORLD, &world);
    set_material(road_colour);
    bool drawn = SUCCEEDED(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, road_vertices, 0, road_triangles));
    for (int row = 0; row < pillar_rows; ++row) {
        for (int side = 0; side < 2; ++side) {
            D3DXMATRIX scale, move;
            D3DXMatrixScaling(&scale, 0.5f, 2.0f, 0.5f);
            D3DXMatrixTranslation(&move, side == 0 ? -5.0f : 5.0f, 2.0f, 4.0f + pillar_spacing * row);
            world = scale * move;
            device->SetTransform(D3DTS_WORLD, &world);
            set_material(pillar_colours[(row + side) % 2]);
            drawn = SUCCEEDED(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, road_vertices, 0, box_vertices,
                                                           3 * road_triangles, box_triangles)) &&
                    drawn;
        }
    }
    return drawn;
}

bool render() {
    D3DVIEWPORT9 whole = {};
    device->GetViewport(&whole);
    D3DVIEWPORT9 left = whole, right = whole;
    left.Width = whole.Width / 2;
    right.X = left.Width;
    right.Width = whole.Width - left.Width;

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, fog_colour, 1.0f, 0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        device->SetStreamSource(0, vertex_buffer, 0, sizeof(lit_vertex));
        device->SetIndices(index_buffer);
        device->SetFVF(lit_vertex_fvf);

        // Left: linear fog at the vertices, from 6 units (no fog) to 50 units (all fog).
        device->SetViewport(&left);
        device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
        device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
        device->SetRenderState(D3DRS_FOGSTART, float_bits(6.0f));
        device->SetRenderState(D3DRS_FOGEND, float_bits(50.0f));
        drawn = draw_scene(left);

        // Right: exponential-squared fog at each pixel; a table fog mode overrides the vertex mode.
        device->SetViewport(&right);
        device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_EXP2);
        device->SetRenderState(D3DRS_FOGDENSITY, float_bits(0.045f));
        drawn = draw_scene(right) && drawn;

        device->SetViewport(&whole);
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
}

void release_all() {
    if (index_buffer != nullptr) index_buffer->Release();
    if (vertex_buffer != nullptr) vertex_buffer->Release();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    index_buffer = nullptr;
    vertex_buffer = nullptr;
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
    window_class.lpszClassName = "fog";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("fog", "Fog: linear vertex fog (left), exp2 table fog (right)", WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window) || !create_shapes()) {
        release_all();
        DestroyWindow(window);
        return 1;
    }
    set_states();
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

    release_all();
    return status != 0 ? status : static_cast<int>(msg.wParam);
}
