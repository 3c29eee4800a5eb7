// render_to_texture.cpp - a tumbling cube drawn into a texture, and that texture on a spinning
// square.
//
// Each frame draws twice. First the texture's top level becomes the render target (with a depth
// buffer of its own size) and the cube is drawn into it, exactly as into the back buffer. Then the
// back buffer is the target again, and a square carrying the texture turns in front of the camera.
// A texture made to be drawn into has D3DUSAGE_RENDERTARGET and lives in D3DPOOL_DEFAULT; setting a
// render target also resets the viewport to the whole of it, so each pass sets its own projection.
//
// The turns follow the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ render_to_texture.cpp $(pkg-config --cflags --libs ninefold) -o render_to_texture
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <string.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
IDirect3DTexture9* scene_texture = nullptr;
IDirect3DSurface9* scene_surface = nullptr;  // the texture's top level
IDirect3DSurface9* scene_depth = nullptr;
IDirect3DSurface9* back_buffer = nullptr;
IDirect3DSurface9* back_depth = nullptr;

const UINT texture_size = 256;

struct coloured_vertex {
    float x, y, z;
    D3DCOLOR colour;
};
const DWORD coloured_vertex_fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

struct textured_vertex {
    float x, y, z;
    D3DCOLOR colour;
    float u, v;
};
const DWORD textured_vertex_fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// Corner i has x = +1 when bit 0 of i is set, y = +1 for bit 1 and z = +1 for bit 2.
const coloured_vertex corners[8] = {
    {-1, -1, -1, D3DCOLOR_XRGB(0, 0, 0)},   {1, -1, -1, D3DCOLOR_XRGB(255, 0, 0)},
    {-1, 1, -1, D3DCOLOR_XRGB(0, 255, 0)},  {1, 1, -1, D3DCOLOR_XRGB(255, 255, 0)},
    {-1, -1, 1, D3DCOLOR_XRGB(0, 0, 255)},  {1, -1, 1, D3DCOLOR_XRGB(255, 0, 255)},
    {-1, 1, 1, D3DCOLOR_XRGB(0, 255, 255)}, {1, 1, 1, D3DCOLOR_XRGB(255, 255, 255)},
};
const WORD triangles[36] = {
    2, 3, 1, 2, 1, 0, 7, 6, 4, 7, 4, 5, 6, 2, 0, 6, 0, 4, 3, 7, 5, 3, 5, 1, 6, 7, 3, 6, 3, 2, 0, 1, 5, 0, 5, 4,
};

// The square, as a strip of two triangles; white, so that the texture shows as it is.
const textured_vertex square[4] = {
    {-1.5f, 1.5f, 0.0f, D3DCOLOR_XRGB(255, 255, 255), 0.0f, 0.0f},
    {1.5f, 1.5f, 0.0f, D3DCOLOR_XRGB(255, 255, 255), 1.0f, 0.0f},
    {-1.5f, -1.5f, 0.0f, D3DCOLOR_XRGB(255, 255, 255), 0.0f, 1.0f},
    {1.5f, -1.5f, 0.0f, D3DCOLOR_XRGB(255, 255, 255), 1.0f, 1.0f},
};

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

// The texture to draw into, a depth buffer of its size, and the back buffer's own pair to go back to.
bool create_targets() {
    return SUCCEEDED(device->CreateTexture(texture_size, texture_size, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8,
                                           D3DPOOL_DEFAULT, &scene_texture, nullptr)) &&
           SUCCEEDED(scene_texture->GetSurfaceLevel(0, &scene_surface)) &&
           SUCCEEDED(device->CreateDepthStencilSurface(texture_size, texture_size, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0,
                                                       TRUE, &scene_depth, nullptr)) &&
           SUCCEEDED(device->GetRenderTarget(0, &back_buffer)) &&
           SUCCEEDED(device->GetDepthStencilSurface(&back_depth));
}

void set_camera(float aspect) {
    const D3DXVECTOR3 eye(0.0f, 0.0f, -5.0f), target(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, aspect, 1.0f, 100.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
}

bool draw_cube_into_texture() {
    device->SetRenderTarget(0, scene_surface);
    device->SetDepthStencilSurface(scene_depth);
    set_camera(1.0f);
    D3DXMATRIX turn_y, turn_x, world;
    D3DXMatrixRotationY(&turn_y, 0.030f * frame);
    D3DXMatrixRotationX(&turn_x, 0.021f * frame);
    world = turn_y * turn_x;
    device->SetTransform(D3DTS_WORLD, &world);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(30, 60, 110), 1.0f, 0);
    device->SetTexture(0, nullptr);
    device->SetFVF(coloured_vertex_fvf);
    return SUCCEEDED(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 8, 12, triangles, D3DFMT_INDEX16, corners,
                                                    sizeof(coloured_vertex)));
}

bool draw_square_on_screen() {
    device->SetRenderTarget(0, back_buffer);
    device->SetDepthStencilSurface(back_depth);
    D3DVIEWPORT9 viewport = {};
    device->GetViewport(&viewport);
    set_camera(static_cast<float>(viewport.Width) / viewport.Height);
    D3DXMATRIX world;
    D3DXMatrixRotationY(&world, 0.012f * frame);
    device->SetTransform(D3DTS_WORLD, &world);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(24, 24, 24), 1.0f, 0);
    device->SetTexture(0, scene_texture);
    device->SetFVF(textured_vertex_fvf);
    return SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, square, sizeof(textured_vertex)));
}

bool render() {
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        drawn = draw_cube_into_texture() && draw_square_on_screen();
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
}

void release_all() {
    IUnknown* objects[] = {back_depth, back_buffer, scene_depth, scene_surface, scene_texture, device, direct3d};
    for (IUnknown* object : objects) {
        if (object != nullptr) object->Release();
    }
    back_depth = back_buffer = scene_depth = scene_surface = nullptr;
    scene_texture = nullptr;
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
    window_class.lpszClassName = "render_to_texture";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("render_to_texture", "Render to texture", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window) || !create_targets()) {
        release_all();
        DestroyWindow(window);
        return 1;
    }
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);  // the square shows both faces
    // The square shows the texture turned and scaled: filter it, so its texels blend smoothly
    // rather than snap to whichever texel centre is nearest.
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
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
