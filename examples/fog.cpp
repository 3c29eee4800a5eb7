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
ID3DXMesh* pillar = nullptr;

struct lit_vertex {
    D3DXVECTOR3 position, normal;
};
const DWORD lit_vertex_fvf = D3DFVF_XYZ | D3DFVF_NORMAL;

// The road, from x = -8 to 8 and z = -10 to 110, as one triangle strip: a right and a left vertex
// every 2 units. Vertex fog is worked out at the vertices, so the road needs vertices all along it.
const int road_rows = 60;
lit_vertex road[2 * (road_rows + 1)];

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

// A pillar is a D3DX box mesh (positions and normals), 1 x 4 x 1 units around its centre. The
// road's strip starts on the right so that its first triangle is clockwise seen from above.
bool create_shapes() {
    for (int row = 0; row <= road_rows; ++row) {
        const float z = -10.0f + 2.0f * row;
        road[2 * row] = {{8.0f, 0.0f, z}, {0.0f, 1.0f, 0.0f}};
        road[2 * row + 1] = {{-8.0f, 0.0f, z}, {0.0f, 1.0f, 0.0f}};
    }
    return SUCCEEDED(D3DXCreateBox(device, 1.0f, 4.0f, 1.0f, &pillar, nullptr));
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
    device->SetFVF(lit_vertex_fvf);
    set_material(road_colour);
    bool drawn = SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2 * road_rows, road, sizeof(lit_vertex)));
    for (int row = 0; row < pillar_rows; ++row) {
        for (int side = 0; side < 2; ++side) {
            D3DXMatrixTranslation(&world, side == 0 ? -5.0f : 5.0f, 2.0f, 4.0f + pillar_spacing * row);
            device->SetTransform(D3DTS_WORLD, &world);
            set_material(pillar_colours[(row + side) % 2]);
            drawn = SUCCEEDED(pillar->DrawSubset(0)) && drawn;
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
    if (pillar != nullptr) pillar->Release();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    pillar = nullptr;
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
