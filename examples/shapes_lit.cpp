// shapes_lit.cpp - the D3DX shapes made of rings and caps, lit: a coarse and a smooth sphere, a
// cylinder, a cone and a hexagon, each in its own colour, turning in front of a white directional
// light and a dim blue one from behind.
//
// D3DXCreateSphere, D3DXCreateCylinder and D3DXCreatePolygon make meshes with positions and normals
// (D3DFVF_XYZ | D3DFVF_NORMAL), their axis along z, so each round shape is first stood upright (a
// turn about x) and then placed by its world matrix. The coarse sphere shows its facets: the device
// lights each vertex from its normal and blends the colours across each triangle, so only the outline
// stays polygonal. The cone's normals lean along its slope. The hexagon is flat and its front faces
// +z, away from the camera, so it is first turned round; it has no back, and the device culls it
// while its back is towards the camera.
//
// The shapes turn with the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ shapes_lit.cpp $(pkg-config --cflags --libs ninefold) -o shapes_lit
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;

struct shape {
    ID3DXMesh* mesh;
    D3DXVECTOR3 position;
    D3DCOLORVALUE colour;
    bool flat;
};
const int shape_count = 5;
shape shapes[shape_count] = {
    {nullptr, {-3.0f, 1.2f, 0.0f}, {0.9f, 0.35f, 0.3f, 1.0f}, false},     // coarse sphere
    {nullptr, {0.0f, 1.2f, 0.0f}, {0.95f, 0.8f, 0.3f, 1.0f}, false},      // smooth sphere
    {nullptr, {3.0f, 1.2f, 0.0f}, {0.35f, 0.8f, 0.45f, 1.0f}, false},     // cylinder
    {nullptr, {-1.5f, -1.4f, 0.0f}, {0.35f, 0.55f, 0.95f, 1.0f}, false},  // cone
    {nullptr, {1.5f, -1.4f, 0.0f}, {0.8f, 0.45f, 0.9f, 1.0f}, true},      // hexagon
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

bool create_shapes() {
    return SUCCEEDED(D3DXCreateSphere(device, 1.0f, 8, 5, &shapes[0].mesh, nullptr)) &&
           SUCCEEDED(D3DXCreateSphere(device, 1.0f, 32, 16, &shapes[1].mesh, nullptr)) &&
           SUCCEEDED(D3DXCreateCylinder(device, 0.8f, 0.8f, 2.0f, 24, 2, &shapes[2].mesh, nullptr)) &&
           SUCCEEDED(D3DXCreateCylinder(device, 1.0f, 0.0f, 2.0f, 24, 1, &shapes[3].mesh, nullptr)) &&
           SUCCEEDED(D3DXCreatePolygon(device, 1.0f, 6, &shapes[4].mesh, nullptr));
}

void set_scene() {
    D3DVIEWPORT9 viewport = {};
    device->GetViewport(&viewport);
    const D3DXVECTOR3 eye(0.0f, 1.5f, -9.0f), target(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, static_cast<float>(viewport.Width) / viewport.Height, 1.0f,
                               50.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(30, 30, 30));

    D3DLIGHT9 key = {};
    key.Type = D3DLIGHT_DIRECTIONAL;
    key.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    key.Direction = D3DXVECTOR3(-0.5f, -0.6f, 1.0f);
    device->SetLight(0, &key);
    device->LightEnable(0, TRUE);
    D3DLIGHT9 rim = {};
    rim.Type = D3DLIGHT_DIRECTIONAL;
    rim.Diffuse = {0.15f, 0.2f, 0.45f, 1.0f};
    rim.Direction = D3DXVECTOR3(0.3f, 0.2f, -1.0f);
    device->SetLight(1, &rim);
    device->LightEnable(1, TRUE);
}

bool render() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(12, 12, 24), 1.0f, 0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        drawn = true;
        D3DXMATRIX upright, round, turn, tilt, move;
        D3DXMatrixRotationX(&upright, -D3DX_PI / 2.0f);  // the round shapes' z axis becomes y
        D3DXMatrixRotationY(&round, D3DX_PI);            // the hexagon's front towards the camera
        D3DXMatrixRotationY(&turn, 0.012f * static_cast<float>(frame));
        D3DXMatrixRotationX(&tilt, 0.35f);
        for (const shape& s : shapes) {
            D3DMATERIAL9 material = {};
            material.Diffuse = s.colour;
            material.Ambient = s.colour;
            device->SetMaterial(&material);
            D3DXMatrixTranslation(&move, s.position.x, s.position.y, s.position.z);
            const D3DXMATRIX world = (s.flat ? round : upright) * turn * tilt * move;
            device->SetTransform(D3DTS_WORLD, &world);
            drawn = SUCCEEDED(s.mesh->DrawSubset(0)) && drawn;
        }
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
}

void release_all() {
    for (shape& s : shapes) {
        if (s.mesh != nullptr) s.mesh->Release();
        s.mesh = nullptr;
    }
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
    window_class.lpszClassName = "shapes_lit";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("shapes_lit", "Lit shapes: spheres, cylinder, cone and hexagon", WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window) || !create_shapes()) {
        release_all();
        DestroyWindow(window);
        return 1;
    }
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
