// picking.cpp - picking with the mouse: a turning torus, and the triangle under the cursor drawn in
// yellow.
//
// Each frame the cursor's point is unprojected twice, on the near plane (z = 0) and on the far plane
// (z = 1), through the viewport, the projection, the view and the torus's world matrix: that gives
// the ray through the cursor in the torus's own space, where its vertices are. D3DXIntersect follows
// the ray through the mesh's triangles and reports the nearest one it meets (its face number, the
// barycentric coordinates of the hit and the distance) and how many triangles the ray crosses in all.
// The picked triangle's three corners are read from the mesh's index and vertex buffers and drawn
// again, unlit in yellow, over the torus (same positions, same depth: the default depth test,
// LESSEQUAL, lets them through).
//
// When the program's frame is captured (WIN32_STANDIN_CAPTURE set), the cursor stays at a fixed
// point, so the captured picture does not depend on where the mouse happens to be. The torus turns
// with the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ picking.cpp $(pkg-config --cflags --libs ninefold) -o picking
#include <windows.h>
#include <windowsx.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <stdlib.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
ID3DXMesh* torus = nullptr;

// The cursor in client coordinates; it starts (and, when captured, stays) on the torus's near side.
int cursor_x = 250, cursor_y = 190;
bool follow_mouse = true;
unsigned frame = 0;

struct marker_vertex {
    D3DXVECTOR3 position;
    D3DCOLOR colour;
};
const DWORD marker_fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        if (follow_mouse) {
            cursor_x = GET_X_LPARAM(lParam);
            cursor_y = GET_Y_LPARAM(lParam);
        }
        return 0;
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

void set_scene() {
    D3DVIEWPORT9 viewport = {};
    device->GetViewport(&viewport);
    const D3DXVECTOR3 eye(0.0f, 3.0f, -6.0f), target(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, static_cast<float>(viewport.Width) / viewport.Height, 1.0f,
                               50.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(40, 40, 40));

    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Direction = D3DXVECTOR3(-0.3f, -1.0f, 0.5f);
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);

    D3DMATERIAL9 material = {};
    material.Diffuse = {0.3f, 0.55f, 0.85f, 1.0f};
    material.Ambient = material.Diffuse;
    device->SetMaterial(&material);
}

// The ray through the cursor in the space of `world`'s object: from the near plane towards the far one.
void cursor_ray(const D3DXMATRIX& world, D3DXVECTOR3* origin, D3DXVECTOR3* direction) {
    D3DVIEWPORT9 viewport;
    D3DXMATRIX view, projection;
    device->GetViewport(&viewport);
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    const D3DXVECTOR3 near_point(static_cast<float>(cursor_x), static_cast<float>(cursor_y), 0.0f);
    const D3DXVECTOR3 far_point(static_cast<float>(cursor_x), static_cast<float>(cursor_y), 1.0f);
    D3DXVECTOR3 far_object;
    D3DXVec3Unproject(origin, &near_point, &viewport, &projection, &view, &world);
    D3DXVec3Unproject(&far_object, &far_point, &viewport, &projection, &view, &world);
    *direction = far_object - *origin;
}

// The corners of `face`, read from the mesh's buffers (16-bit indices; position first in each vertex).
bool face_corners(DWORD face, marker_vertex corners[3]) {
    const DWORD stride = torus->GetNumBytesPerVertex();
    WORD* indices = nullptr;
    BYTE* vertices = nullptr;
    if (FAILED(torus->LockIndexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&indices)))) return false;
    if (FAILED(torus->LockVertexBuffer(D3DLOCK_READONLY, reinterpret_cast<void**>(&vertices)))) {
        torus->UnlockIndexBuffer();
        return false;
    }
    for (int corner = 0; corner < 3; ++corner) {
        corners[corner].position = *reinterpret_cast<D3DXVECTOR3*>(vertices + indices[3 * face + corner] * stride);
        corners[corner].colour = D3DCOLOR_XRGB(255, 230, 40);
    }
    torus->UnlockVertexBuffer();
    torus->UnlockIndexBuffer();
    return true;
}

bool render() {
    D3DXMATRIX tilt, turn;
    D3DXMatrixRotationX(&tilt, D3DX_PI / 2.0f);  // the torus's axis (z) upright
    D3DXMatrixRotationY(&turn, 0.01f * static_cast<float>(frame));
    const D3DXMATRIX world = tilt * turn;

    D3DXVECTOR3 origin, direction;
    cursor_ray(world, &origin, &direction);
    BOOL hit = FALSE;
    DWORD face = 0, hits = 0;
    FLOAT u = 0.0f, v = 0.0f, distance = 0.0f;
    if (FAILED(D3DXIntersect(torus, &origin, &direction, &hit, &face, &u, &v, &distance, nullptr, &hits))) return false;
    marker_vertex corners[3];
    if (hit && !face_corners(face, corners)) return false;

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(16, 16, 24), 1.0f, 0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        device->SetTransform(D3DTS_WORLD, &world);
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        drawn = SUCCEEDED(torus->DrawSubset(0));
        if (hit) {
            device->SetRenderState(D3DRS_LIGHTING, FALSE);
            device->SetFVF(marker_fvf);
            drawn = SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, corners, sizeof(marker_vertex))) && drawn;
        }
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
}

void release_all() {
    if (torus != nullptr) torus->Release();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    torus = nullptr;
    device = nullptr;
    direct3d = nullptr;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    const char* capture = getenv("WIN32_STANDIN_CAPTURE");
    follow_mouse = capture == nullptr || capture[0] == '\0';

    WNDCLASSEX window_class = {};
    window_class.cbSize = sizeof(WNDCLASSEX);
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.lpszClassName = "picking";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("picking", "Picking: the triangle under the cursor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window) || FAILED(D3DXCreateTorus(device, 0.5f, 1.5f, 16, 32, &torus, nullptr))) {
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
