// lit_floor.cpp - a floor with three boxes on it, lit by two lights: a warm point light that circles
// above the floor (the small glowing box shows where it is) and a cool spot light that sweeps its
// cone from side to side.
//
// The device lights each vertex (D3DRS_LIGHTING is TRUE by default) from its normal, the material
// set for the draw and the enabled lights, then blends the vertex colours across each triangle. So
// that the pools of light show on a flat floor, the floor is cut into a grid of many small squares:
// a single large square would only be lit at its four corners.
//
// The floor's vertices (positions and normals) are in a vertex buffer and its triangles in a 16-bit
// index buffer. The boxes are one D3DX box mesh drawn again and again, each time under its own world
// matrix (scaled to the box's size, then moved to its place).
//
// The lights move with the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ lit_floor.cpp $(pkg-config --cflags --libs ninefold) -o lit_floor
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <math.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
IDirect3DVertexBuffer9* vertex_buffer = nullptr;
IDirect3DIndexBuffer9* index_buffer = nullptr;
ID3DXMesh* box = nullptr;

struct lit_vertex {
    D3DXVECTOR3 position, normal;
};
const DWORD lit_vertex_fvf = D3DFVF_XYZ | D3DFVF_NORMAL;

// The floor: a grid of floor_cells x floor_cells squares, floor_size units wide, centred on the origin.
const int floor_cells = 40;
const float floor_size = 20.0f;
const UINT floor_vertices = (floor_cells + 1) * (floor_cells + 1);
const UINT floor_triangles = floor_cells * floor_cells * 2;

struct box_placement {
    D3DXVECTOR3 centre, half_size;
    D3DCOLORVALUE colour;
};
const box_placement boxes[3] = {
    {{3.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}, {0.9f, 0.3f, 0.3f, 1.0f}},
    {{-3.5f, 0.6f, -1.5f}, {0.6f, 0.6f, 1.5f}, {0.3f, 0.8f, 0.4f, 1.0f}},
    {{0.0f, 1.5f, 4.0f}, {2.0f, 1.5f, 0.5f}, {0.8f, 0.8f, 0.3f, 1.0f}},
};
const D3DCOLORVALUE floor_colour = {0.8f, 0.8f, 0.8f, 1.0f};
const D3DCOLORVALUE point_light_colour = {1.0f, 0.6f, 0.25f, 1.0f};
const D3DCOLORVALUE spot_light_colour = {0.45f, 0.65f, 1.0f, 1.0f};

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

// The floor's vertices row by row, then its squares as two triangles each, clockwise seen from above.
void write_floor(lit_vertex* vertices, WORD* indices) {
    const float step = floor_size / floor_cells, start = -floor_size / 2;
    for (int row = 0; row <= floor_cells; ++row) {
        for (int column = 0; column <= floor_cells; ++column) {
            *vertices++ = {{start + column * step, 0.0f, start + row * step}, {0.0f, 1.0f, 0.0f}};
        }
    }
    for (int row = 0; row < floor_cells; ++row) {
        for (int column = 0; column < floor_cells; ++column) {
            const WORD near_left = static_cast<WORD>(row * (floor_cells + 1) + column);
            const WORD far_left = static_cast<WORD>(near_left + floor_cells + 1);
            const WORD square[6] = {far_left, static_cast<WORD>(far_left + 1),  static_cast<WORD>(near_left + 1),
                                    far_left, static_cast<WORD>(near_left + 1), near_left};
            for (WORD index : square) *indices++ = index;
        }
    }
}

// The floor's buffers, and the box mesh: from -1 to +1 on each axis.
bool create_shapes() {
    if (FAILED(D3DXCreateBox(device, 2.0f, 2.0f, 2.0f, &box, nullptr)) ||
        FAILED(device->CreateVertexBuffer(floor_vertices * sizeof(lit_vertex), D3DUSAGE_WRITEONLY, lit_vertex_fvf,
                                          D3DPOOL_MANAGED, &vertex_buffer, nullptr)) ||
        FAILED(device->CreateIndexBuffer(3 * floor_triangles * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
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
    write_floor(static_cast<lit_vertex*>(vertices), static_cast<WORD*>(indices));
    index_buffer->Unlock();
    vertex_buffer->Unlock();
    return true;
}

void set_camera() {
    D3DVIEWPORT9 viewport = {};
    device->GetViewport(&viewport);
    const D3DXVECTOR3 eye(0.0f, 10.0f, -15.0f), target(0.0f, 0.0f, 1.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, static_cast<float>(viewport.Width) / viewport.Height, 1.0f,
                               100.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    // A dim grey everywhere, so that the unlit parts are not black; the boxes are scaled by their
    // world matrices, so the device renormalises their normals.
    device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(40, 40, 40));
    device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
}

// Light 0 circles above the floor; light 1 hangs above the middle and sweeps its cone left and right.
void place_lights(D3DXVECTOR3* point_light_position) {
    const float time = static_cast<float>(frame);
    *point_light_position = D3DXVECTOR3(6.0f * cosf(0.015f * time), 2.5f, 6.0f * sinf(0.015f * time));

    D3DLIGHT9 point = {};
    point.Type = D3DLIGHT_POINT;
    point.Diffuse = point_light_colour;
    point.Position = *point_light_position;
    point.Range = 15.0f;
    point.Attenuation0 = 0.3f;
    point.Attenuation2 = 0.08f;
    device->SetLight(0, &point);
    device->LightEnable(0, TRUE);

    D3DLIGHT9 spot = {};
    spot.Type = D3DLIGHT_SPOT;
    spot.Diffuse = spot_light_colour;
    spot.Position = D3DXVECTOR3(0.0f, 9.0f, 0.0f);
    spot.Direction = D3DXVECTOR3(0.6f * sinf(0.02f * time), -1.0f, 0.0f);
    spot.Range = 30.0f;
    spot.Attenuation0 = 1.0f;
    spot.Theta = 0.35f;  // full angles, in radians, of the bright inner cone and of the outer cone
    spot.Phi = 0.6f;
    spot.Falloff = 1.0f;
    device->SetLight(1, &spot);
    device->LightEnable(1, TRUE);
}

void set_material(D3DCOLORVALUE diffuse, D3DCOLORVALUE emissive) {
    D3DMATERIAL9 material = {};
    material.Diffuse = diffuse;
    material.Ambient = diffuse;
    material.Emissive = emissive;
    device->SetMaterial(&material);
}

// One box: the shared box scaled to its half sizes and moved to its centre.
HRESULT draw_box(const D3DXVECTOR3& centre, const D3DXVECTOR3& half_size) {
    D3DXMATRIX scale, move;
    D3DXMatrixScaling(&scale, half_size.x, half_size.y, half_size.z);
    D3DXMatrixTranslation(&move, centre.x, centre.y, centre.z);
    const D3DXMATRIX world = scale * move;
    device->SetTransform(D3DTS_WORLD, &world);
    return box->DrawSubset(0);
}

bool render() {
    const D3DCOLORVALUE no_colour = {0.0f, 0.0f, 0.0f, 1.0f};
    D3DXVECTOR3 point_light_position;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(10, 10, 20), 1.0f, 0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        place_lights(&point_light_position);
        device->SetStreamSource(0, vertex_buffer, 0, sizeof(lit_vertex));
        device->SetIndices(index_buffer);
        device->SetFVF(lit_vertex_fvf);

        set_material(floor_colour, no_colour);
        device->SetTransform(D3DTS_WORLD, &identity);
        drawn = SUCCEEDED(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, floor_vertices, 0, floor_triangles));
        for (const box_placement& placement : boxes) {
            set_material(placement.colour, no_colour);
            drawn = SUCCEEDED(draw_box(placement.centre, placement.half_size)) && drawn;
        }
        // The point light's marker glows in the light's colour whatever the lighting.
        set_material(no_colour, point_light_colour);
        drawn = SUCCEEDED(draw_box(point_light_position, D3DXVECTOR3(0.15f, 0.15f, 0.15f))) && drawn;
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
}

void release_all() {
    if (box != nullptr) box->Release();
    if (index_buffer != nullptr) index_buffer->Release();
    if (vertex_buffer != nullptr) vertex_buffer->Release();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    box = nullptr;
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
    window_class.lpszClassName = "lit_floor";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("lit_floor", "Lit floor: a point light and a spot light", WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window) || !create_shapes()) {
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
