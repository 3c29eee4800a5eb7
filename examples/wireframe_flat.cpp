// wireframe_flat.cpp - one lit ring drawn three ways side by side: as a wireframe, with flat shading
// and with smooth (Gouraud) shading.
//
//   D3DRS_FILLMODE  D3DFILL_WIREFRAME draws only the edges of each triangle, D3DFILL_SOLID fills it
//   D3DRS_SHADEMODE D3DSHADE_FLAT gives each triangle the colour lit at its first vertex, so the
//                   facets show; D3DSHADE_GOURAUD blends the colours lit at its three vertices
// Culling still applies in wireframe: only the edges of triangles that face the camera are drawn.
//
// The ring is a D3DX mesh (D3DXCreateTorus): a vertex buffer with positions and normals and an index
// buffer, drawn with DrawSubset. The three columns are three viewports over the same back buffer.
//
// The ring turns with the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ wireframe_flat.cpp $(pkg-config --cflags --libs ninefold) -o wireframe_flat
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
ID3DXMesh* ring = nullptr;

struct drawing_style {
    DWORD fill_mode, shade_mode;
};
const drawing_style styles[3] = {
    {D3DFILL_WIREFRAME, D3DSHADE_GOURAUD},
    {D3DFILL_SOLID, D3DSHADE_FLAT},
    {D3DFILL_SOLID, D3DSHADE_GOURAUD},
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

// A coarse ring, so that the facets are large enough to see; one light from the upper left.
bool create_scene() {
    if (FAILED(D3DXCreateTorus(device, 0.35f, 1.0f, 10, 20, &ring, nullptr))) return false;

    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Direction = D3DXVECTOR3(1.0f, -1.0f, 1.0f);
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);

    D3DMATERIAL9 material = {};
    material.Diffuse = {1.0f, 0.55f, 0.15f, 1.0f};
    material.Ambient = material.Diffuse;
    device->SetMaterial(&material);
    device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(50, 50, 50));
    return true;
}

bool render() {
    D3DVIEWPORT9 whole = {};
    device->GetViewport(&whole);
    const DWORD column_width = whole.Width / 3;

    const D3DXVECTOR3 eye(0.0f, 0.0f, -5.5f), target(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection, turn_x, turn_y, world;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 3.0f, static_cast<float>(column_width) / whole.Height, 0.5f,
                               20.0f);
    D3DXMatrixRotationX(&turn_x, 0.9f + 0.011f * frame);
    D3DXMatrixRotationY(&turn_y, 0.017f * frame);
    world = turn_x * turn_y;

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(30, 34, 44), 1.0f, 0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        device->SetTransform(D3DTS_WORLD, &world);
        device->SetTransform(D3DTS_VIEW, &view);
        device->SetTransform(D3DTS_PROJECTION, &projection);
        drawn = true;
        for (int column = 0; column < 3; ++column) {
            D3DVIEWPORT9 viewport = whole;
            viewport.X = column * column_width;
            viewport.Width = column_width;
            device->SetViewport(&viewport);
            device->SetRenderState(D3DRS_FILLMODE, styles[column].fill_mode);
            device->SetRenderState(D3DRS_SHADEMODE, styles[column].shade_mode);
            drawn = SUCCEEDED(ring->DrawSubset(0)) && drawn;
        }
        device->SetViewport(&whole);
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
}

void release_all() {
    if (ring != nullptr) ring->Release();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    ring = nullptr;
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
    window_class.lpszClassName = "wireframe_flat";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("wireframe_flat", "Wireframe, flat and Gouraud shading", WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window) || !create_scene()) {
        release_all();
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

    release_all();
    return status != 0 ? status : static_cast<int>(msg.wParam);
}
