// indexed_cube.cpp - a cube with a different colour at each corner, tumbling in front of the camera.
//
// The cube's eight corners live in a vertex buffer and its twelve triangles in a 16-bit index
// buffer: each corner is stored once and the triangles name corners by number, the way most meshes
// are kept. The device moves the corners through three matrices: world (where the cube is and how
// it is turned), view (where the camera is) and projection (the camera's lens). A depth buffer keeps
// the near faces in front of the far ones.
//
// The turn follows the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ indexed_cube.cpp $(pkg-config --cflags --libs ninefold) -o indexed_cube
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <string.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
IDirect3DVertexBuffer9* corner_buffer = nullptr;
IDirect3DIndexBuffer9* triangle_buffer = nullptr;

struct coloured_vertex {
    float x, y, z;
    D3DCOLOR colour;
};
const DWORD coloured_vertex_fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

// Corner i has x = +1 when bit 0 of i is set, y = +1 for bit 1 and z = +1 for bit 2.
const coloured_vertex corners[8] = {
    {-1, -1, -1, D3DCOLOR_XRGB(0, 0, 0)},   {1, -1, -1, D3DCOLOR_XRGB(255, 0, 0)},
    {-1, 1, -1, D3DCOLOR_XRGB(0, 255, 0)},  {1, 1, -1, D3DCOLOR_XRGB(255, 255, 0)},
    {-1, -1, 1, D3DCOLOR_XRGB(0, 0, 255)},  {1, -1, 1, D3DCOLOR_XRGB(255, 0, 255)},
    {-1, 1, 1, D3DCOLOR_XRGB(0, 255, 255)}, {1, 1, 1, D3DCOLOR_XRGB(255, 255, 255)},
};

// Two triangles per face, each listed clockwise as seen from outside the cube: the default culling
// (D3DCULL_CCW) then drops the faces that look away from the camera.
const WORD triangles[36] = {
    2, 3, 1, 2, 1, 0,  // front (z = -1)
    7, 6, 4, 7, 4, 5,  // back (z = +1)
    6, 2, 0, 6, 0, 4,  // left (x = -1)
    3, 7, 5, 3, 5, 1,  // right (x = +1)
    6, 7, 3, 6, 3, 2,  // top (y = +1)
    0, 1, 5, 0, 5, 4,  // bottom (y = -1)
};

const D3DCOLOR background = D3DCOLOR_XRGB(40, 40, 48);
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

// Fills both buffers once. A buffer is filled by locking it, copying into the memory Lock hands
// out, and unlocking it.
bool create_cube() {
    void* memory = nullptr;
    if (FAILED(device->CreateVertexBuffer(sizeof(corners), D3DUSAGE_WRITEONLY, coloured_vertex_fvf, D3DPOOL_MANAGED,
                                          &corner_buffer, nullptr)) ||
        FAILED(corner_buffer->Lock(0, 0, &memory, 0))) {
        return false;
    }
    memcpy(memory, corners, sizeof(corners));
    corner_buffer->Unlock();

    if (FAILED(device->CreateIndexBuffer(sizeof(triangles), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                         &triangle_buffer, nullptr)) ||
        FAILED(triangle_buffer->Lock(0, 0, &memory, 0))) {
        return false;
    }
    memcpy(memory, triangles, sizeof(triangles));
    triangle_buffer->Unlock();
    return true;
}

// The camera and its lens do not change: set them once. The vertex colours are the final colours,
// so lighting is off.
void set_camera() {
    D3DVIEWPORT9 viewport = {};
    device->GetViewport(&viewport);
    const D3DXVECTOR3 eye(0.0f, 1.5f, -5.0f), target(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, static_cast<float>(viewport.Width) / viewport.Height, 1.0f,
                               100.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
}

bool render() {
    D3DXMATRIX turn_y, turn_x, world;
    D3DXMatrixRotationY(&turn_y, 0.020f * frame);
    D3DXMatrixRotationX(&turn_x, 0.013f * frame);
    world = turn_y * turn_x;

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
    HRESULT drawn = E_FAIL;
    if (SUCCEEDED(device->BeginScene())) {
        device->SetTransform(D3DTS_WORLD, &world);
        device->SetStreamSource(0, corner_buffer, 0, sizeof(coloured_vertex));
        device->SetIndices(triangle_buffer);
        device->SetFVF(coloured_vertex_fvf);
        drawn = device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 12);
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return SUCCEEDED(drawn);
}

void release_all() {
    if (triangle_buffer != nullptr) triangle_buffer->Release();
    if (corner_buffer != nullptr) corner_buffer->Release();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    triangle_buffer = nullptr;
    corner_buffer = nullptr;
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
    window_class.lpszClassName = "indexed_cube";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("indexed_cube", "Indexed cube", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                               480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window) || !create_cube()) {
        release_all();
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

    release_all();
    return status != 0 ? status : static_cast<int>(msg.wParam);
}
