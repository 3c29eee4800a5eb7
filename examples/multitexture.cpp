// multitexture.cpp - a lit, turning cube whose faces carry two textures at once: a brick pattern on
// texture stage 0 and a light map (a soft bright spot in the middle of each face) on stage 1.
//
// Both textures are made in code: CreateTexture, then LockRect to write the texels of level 0 row
// by row (Pitch bytes apart), then UnlockRect. Each vertex carries two texture coordinate sets:
// set 0 tiles the bricks twice across a face, set 1 spans the light map once.
//
// The texture stages combine them in order:
//   stage 0: COLOROP MODULATE   (TEXTURE = brick) x (DIFFUSE = the lit vertex colour)
//   stage 1: COLOROP MODULATE2X (TEXTURE = light map) x (CURRENT = stage 0's result)
// MODULATE2X doubles the product, so a light-map texel of 128 leaves the colour as it is, brighter
// texels brighten it and darker ones darken it. The bricks are filtered bilinearly; the light map is
// clamped at its edges so that it does not wrap round.
//
// The cube turns with the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ multitexture.cpp $(pkg-config --cflags --libs ninefold) -o multitexture
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <math.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
IDirect3DTexture9* bricks = nullptr;
IDirect3DTexture9* light_map = nullptr;

struct cube_vertex {
    D3DXVECTOR3 position, normal;
    float u0, v0;  // set 0: the bricks
    float u1, v1;  // set 1: the light map
};
const DWORD cube_vertex_fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2;

const int brick_size = 64;
const int light_map_size = 32;

cube_vertex cube_vertices[24];
WORD cube_indices[36];

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
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    return SUCCEEDED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device));
}

// Red bricks, 16 x 8 texels each, every other row shifted by half a brick, with grey mortar.
D3DCOLOR brick_texel(int x, int y) {
    const int row = y / 8, shifted = (x + (row % 2) * 8) % 16;
    if (y % 8 == 7 || shifted == 15) return D3DCOLOR_XRGB(170, 170, 160);
    const int shade = ((x * 7 + y * 13) % 5) * 6;  // a little variation from texel to texel
    return D3DCOLOR_XRGB(170 + shade, 70 + shade / 2, 50);
}

// A soft spot: 255 in the middle, falling to 60 at the edges.
D3DCOLOR light_map_texel(int x, int y) {
    const float centre = (light_map_size - 1) / 2.0f;
    const float dx = (x - centre) / centre, dy = (y - centre) / centre;
    float level = 255.0f - 195.0f * (dx * dx + dy * dy) / 2.0f;
    if (level < 60.0f) level = 60.0f;
    const int l = static_cast<int>(level);
    return D3DCOLOR_XRGB(l, l, l);
}

// A size x size texture of one level, its texels written through a lock.
bool make_texture(int size, D3DCOLOR (*texel)(int, int), IDirect3DTexture9** texture) {
    if (FAILED(device->CreateTexture(size, size, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, texture, nullptr))) {
        return false;
    }
    D3DLOCKED_RECT locked = {};
    if (FAILED((*texture)->LockRect(0, &locked, nullptr, 0))) return false;
    for (int y = 0; y < size; ++y) {
        DWORD* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < size; ++x) row[x] = texel(x, y);
    }
    (*texture)->UnlockRect(0);
    return true;
}

// Six faces of four vertices each, from -1 to +1 on each axis, every face wound clockwise as seen
// from outside.
void build_cube() {
    const D3DXVECTOR3 normals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    const D3DXVECTOR3 rights[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 0, -1}, {0, 0, 1}, {1, 0, 0}, {1, 0, 0}};
    const D3DXVECTOR3 ups[6] = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int face = 0; face < 6; ++face) {
        const D3DXVECTOR3 n = normals[face], r = rights[face], up = ups[face];
        const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};  // top-left, clockwise
        for (int k = 0; k < 4; ++k) {
            const float a = corners[k][0], b = corners[k][1];
            const float s = (a + 1) / 2, t = (1 - b) / 2;
            cube_vertices[face * 4 + k] = {n + a * r + b * up, n, 2 * s, 2 * t, s, t};
        }
        const WORD first = static_cast<WORD>(face * 4);
        const WORD quad[6] = {first, static_cast<WORD>(first + 1), static_cast<WORD>(first + 2),
                              first, static_cast<WORD>(first + 2), static_cast<WORD>(first + 3)};
        for (int k = 0; k < 6; ++k) cube_indices[face * 6 + k] = quad[k];
    }
}

void set_scene() {
    D3DVIEWPORT9 viewport = {};
    device->GetViewport(&viewport);
    const D3DXVECTOR3 eye(0.0f, 1.5f, -4.5f), target(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, static_cast<float>(viewport.Width) / viewport.Height, 1.0f,
                               100.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);

    D3DMATERIAL9 material = {};
    material.Diffuse = material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetMaterial(&material);
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {0.8f, 0.8f, 0.8f, 1.0f};
    light.Direction = D3DXVECTOR3(0.4f, -0.6f, 1.0f);
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(70, 70, 70));

    // Stage 0: bricks times the lit colour, filtered bilinearly.
    device->SetTexture(0, bricks);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    // Stage 1: the light map, from coordinate set 1, times stage 0's result, doubled.
    device->SetTexture(1, light_map);
    device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE2X);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetSamplerState(1, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(1, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
}

bool render() {
    D3DXMATRIX spin, tilt, world;
    D3DXMatrixRotationY(&spin, 0.02f * static_cast<float>(frame));
    D3DXMatrixRotationX(&tilt, -0.4f);
    world = spin * tilt;

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(20, 24, 40), 1.0f, 0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        device->SetTransform(D3DTS_WORLD, &world);
        device->SetFVF(cube_vertex_fvf);
        drawn = SUCCEEDED(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 24, 12, cube_indices, D3DFMT_INDEX16,
                                                         cube_vertices, sizeof(cube_vertex)));
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
}

void release_all() {
    if (light_map != nullptr) light_map->Release();
    if (bricks != nullptr) bricks->Release();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    light_map = nullptr;
    bricks = nullptr;
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
    window_class.lpszClassName = "multitexture";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("multitexture", "Multitexture: bricks and a light map", WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window) || !make_texture(brick_size, brick_texel, &bricks) ||
        !make_texture(light_map_size, light_map_texel, &light_map)) {
        release_all();
        DestroyWindow(window);
        return 1;
    }
    build_cube();
    set_scene();
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
