// textured_cube.cpp - a turning cube with one texture, drawn with the filter and address modes of
// your choice: press F to step through the filters (point; bilinear; bilinear with mipmaps blended
// between levels, "trilinear") and A through the address modes (wrap, mirror, clamp, border,
// mirror once). The window's title says what is in force.
//
// The texture is made in code: CreateTexture with D3DUSAGE_AUTOGENMIPMAP, then LockRect to write
// level 0 (a checkerboard with a red mark in its top-left corner, so that mirroring shows). The
// device builds the smaller levels itself when the lock ends. Each face's texture coordinates run
// from -0.5 to 1.5, so the address mode decides what the half texture beyond each edge shows.
//
// The cube turns with the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ textured_cube.cpp $(pkg-config --cflags --libs ninefold) -o textured_cube
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <stdio.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
IDirect3DTexture9* texture = nullptr;
HWND main_window = nullptr;

struct cube_vertex {
    D3DXVECTOR3 position;
    float u, v;
};
const DWORD cube_vertex_fvf = D3DFVF_XYZ | D3DFVF_TEX1;

const int texture_size = 64;
cube_vertex cube_vertices[24];
WORD cube_indices[36];
unsigned frame = 0;

const char* const filter_names[] = {"point", "bilinear", "trilinear"};
const char* const address_names[] = {"wrap", "mirror", "clamp", "border", "mirror once"};
const D3DTEXTUREADDRESS address_modes[] = {D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP, D3DTADDRESS_BORDER,
                                           D3DTADDRESS_MIRRORONCE};
int filter = 2;
int address = 0;

void apply_sampler_states() {
    const D3DTEXTUREFILTERTYPE texel_filter = filter == 0 ? D3DTEXF_POINT : D3DTEXF_LINEAR;
    device->SetSamplerState(0, D3DSAMP_MINFILTER, texel_filter);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, texel_filter);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, filter == 2 ? D3DTEXF_LINEAR : D3DTEXF_NONE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, address_modes[address]);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, address_modes[address]);
    device->SetSamplerState(0, D3DSAMP_BORDERCOLOR, D3DCOLOR_XRGB(40, 90, 200));
    char title[128];
    snprintf(title, sizeof title, "Textured cube: %s filtering, %s addressing (F, A to change)", filter_names[filter],
             address_names[address]);
    SetWindowText(main_window, title);
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) DestroyWindow(window);
        if (wParam == 'F') filter = (filter + 1) % 3;
        if (wParam == 'A') address = (address + 1) % 5;
        if (wParam == 'F' || wParam == 'A') apply_sampler_states();
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

// Squares of 8 x 8 texels, cream and dark green, and a red square in the top-left corner.
D3DCOLOR texel(int x, int y) {
    if (x < 12 && y < 12) return D3DCOLOR_XRGB(210, 40, 30);
    return ((x / 8 + y / 8) % 2 == 0) ? D3DCOLOR_XRGB(240, 230, 200) : D3DCOLOR_XRGB(30, 90, 50);
}

bool make_texture() {
    if (FAILED(device->CreateTexture(texture_size, texture_size, 0, D3DUSAGE_AUTOGENMIPMAP, D3DFMT_X8R8G8B8,
                                     D3DPOOL_MANAGED, &texture, nullptr))) {
        return false;
    }
    D3DLOCKED_RECT locked = {};
    if (FAILED(texture->LockRect(0, &locked, nullptr, 0))) return false;
    for (int y = 0; y < texture_size; ++y) {
        DWORD* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < texture_size; ++x) row[x] = texel(x, y);
    }
    return SUCCEEDED(texture->UnlockRect(0));
}

// Six faces of four vertices, wound clockwise as seen from outside; coordinates -0.5 to 1.5.
void build_cube() {
    const D3DXVECTOR3 normals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    const D3DXVECTOR3 rights[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 0, -1}, {0, 0, 1}, {1, 0, 0}, {1, 0, 0}};
    const D3DXVECTOR3 ups[6] = {{0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, -1}};
    const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
    for (int face = 0; face < 6; ++face) {
        for (int k = 0; k < 4; ++k) {
            const float a = corners[k][0], b = corners[k][1];
            cube_vertices[face * 4 + k] = {normals[face] + a * rights[face] + b * ups[face], a + 0.5f, 0.5f - b};
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
    const D3DXVECTOR3 eye(0.0f, 2.0f, -4.0f), target(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, static_cast<float>(viewport.Width) / viewport.Height, 1.0f,
                               100.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    apply_sampler_states();
}

bool render() {
    D3DXMATRIX spin, tilt, world;
    D3DXMatrixRotationY(&spin, 0.6f + 0.015f * static_cast<float>(frame));
    D3DXMatrixRotationX(&tilt, 0.3f);
    world = spin * tilt;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(16, 16, 24), 1.0f, 0);
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
    if (texture != nullptr) texture->Release();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    texture = nullptr;
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
    window_class.lpszClassName = "textured_cube";
    if (!RegisterClassEx(&window_class)) return 1;

    main_window = CreateWindow("textured_cube", "Textured cube", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                               480, nullptr, nullptr, instance, nullptr);
    if (main_window == nullptr) return 1;
    if (!create_device(main_window) || !make_texture()) {
        release_all();
        DestroyWindow(main_window);
        return 1;
    }
    build_cube();
    set_scene();
    ShowWindow(main_window, show_command);

    // A draw that fails ends the program with status 1, so that a device that cannot draw is noticed.
    MSG msg = {};
    int status = 0;
    while (msg.message != WM_QUIT) {
        if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        } else if (!render()) {
            status = 1;
            DestroyWindow(main_window);
        }
    }
    release_all();
    return status != 0 ? status : static_cast<int>(msg.wParam);
}
