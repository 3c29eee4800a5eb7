// foliage.cpp - plants made of crossed flat cards, each card showing leaves cut out of a texture by
// the alpha test, on a patch of ground; the camera circles slowly round them.
//
// The leaf texture is made in code as A8R8G8B8: texels inside a leaf are opaque (alpha 255), all
// others transparent (alpha 0). The default texture stage 0 takes the pixel's alpha from the texture
// (ALPHAOP SELECTARG1, ALPHAARG1 TEXTURE) and its colour from the texture times the vertex colour, and
// the alpha test (ALPHATESTENABLE, ALPHAFUNC GREATEREQUAL, ALPHAREF 128) throws away every pixel
// whose alpha is below one half - before the depth test, so the gaps between the leaves neither
// show nor hide what lies behind them, and the cards need no sorting. With bilinear filtering the
// alpha is interpolated between texels, so the cut follows a smooth outline rather than the texel
// grid.
//
// Lighting is off: the vertex colours shade the cards (darker at the foot) and the ground.
// The camera moves with the frame count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ foliage.cpp $(pkg-config --cflags --libs ninefold) -o foliage
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <math.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
IDirect3DTexture9* leaves = nullptr;

struct card_vertex {
    D3DXVECTOR3 position;
    D3DCOLOR colour;
    float u, v;
};
const DWORD card_vertex_fvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

const int leaf_texture_size = 64;

// Where the plants stand, and how tall each is.
struct plant {
    float x, z, height;
};
const plant plants[] = {{0.0f, 0.0f, 1.6f},   {-1.6f, 0.8f, 1.2f}, {1.5f, 0.6f, 1.3f},
                        {-0.8f, -1.4f, 1.0f}, {1.0f, -1.3f, 1.1f}, {0.3f, 1.8f, 1.4f}};
const int plant_count = sizeof(plants) / sizeof(plants[0]);

// Two crossed cards of two triangles each per plant, then the ground's two triangles.
card_vertex vertices[plant_count * 12 + 6];

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

// Leaves: ellipses along a stem up the middle of the texture, pointing up and outwards in turn.
D3DCOLOR leaf_texel(int x, int y) {
    const float px = (x + 0.5f) / leaf_texture_size, py = (y + 0.5f) / leaf_texture_size;
    if (fabsf(px - 0.5f) < 0.02f && py > 0.15f) return D3DCOLOR_ARGB(255, 70, 90, 30);  // the stem
    for (int i = 0; i < 7; ++i) {
        const float side = (i % 2 == 0) ? 1.0f : -1.0f;
        const float cy = 0.85f - 0.11f * i, cx = 0.5f + side * (i == 6 ? 0.0f : 0.17f);
        const float angle = i == 6 ? 0.0f : side * 0.9f;  // the top leaf points straight up
        const float dx = px - cx, dy = py - cy;
        const float along = dx * sinf(angle) - dy * cosf(angle), across = dx * cosf(angle) + dy * sinf(angle);
        const float e = (along * along) / (0.16f * 0.16f) + (across * across) / (0.06f * 0.06f);
        if (e < 1.0f) {
            const int shade = static_cast<int>(60.0f * fabsf(across) / 0.06f);  // lighter at the midrib
            return D3DCOLOR_ARGB(255, 60 - shade / 2, 170 - shade, 50);
        }
    }
    return D3DCOLOR_ARGB(0, 40, 90, 30);  // transparent, in a leafy colour for the filtered edges
}

bool make_leaf_texture() {
    if (FAILED(device->CreateTexture(leaf_texture_size, leaf_texture_size, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                     &leaves, nullptr))) {
        return false;
    }
    D3DLOCKED_RECT locked = {};
    if (FAILED(leaves->LockRect(0, &locked, nullptr, 0))) return false;
    for (int y = 0; y < leaf_texture_size; ++y) {
        DWORD* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < leaf_texture_size; ++x) row[x] = leaf_texel(x, y);
    }
    leaves->UnlockRect(0);
    return true;
}

// A vertical card from `a` to `b` on the ground, `height` tall: two triangles.
card_vertex* write_card(card_vertex* out, D3DXVECTOR3 a, D3DXVECTOR3 b, float height) {
    const D3DCOLOR foot = D3DCOLOR_XRGB(120, 140, 120), top = D3DCOLOR_XRGB(255, 255, 255);
    const D3DXVECTOR3 up(0.0f, height, 0.0f);
    const card_vertex corners[4] = {{a + up, top, 0, 0}, {b + up, top, 1, 0}, {b, foot, 1, 1}, {a, foot, 0, 1}};
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int k : order) *out++ = corners[k];
    return out;
}

void build_scene() {
    card_vertex* out = vertices;
    for (const plant& p : plants) {
        const float half = p.height * 0.5f;
        const D3DXVECTOR3 centre(p.x, 0.0f, p.z);
        out = write_card(out, centre + D3DXVECTOR3(-half, 0, -half * 0.3f), centre + D3DXVECTOR3(half, 0, half * 0.3f),
                         p.height);
        out = write_card(out, centre + D3DXVECTOR3(half * 0.3f, 0, -half), centre + D3DXVECTOR3(-half * 0.3f, 0, half),
                         p.height);
    }
    // The ground: a square of 6 x 6 units, darker towards the back.
    const D3DCOLOR near_colour = D3DCOLOR_XRGB(110, 85, 55), far_colour = D3DCOLOR_XRGB(70, 60, 45);
    const card_vertex ground[4] = {{{-3, 0, 3}, far_colour, 0, 0},
                                   {{3, 0, 3}, far_colour, 0, 0},
                                   {{3, 0, -3}, near_colour, 0, 0},
                                   {{-3, 0, -3}, near_colour, 0, 0}};
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int k : order) *out++ = ground[k];
}

void set_states() {
    D3DVIEWPORT9 viewport = {};
    device->GetViewport(&viewport);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4.0f, static_cast<float>(viewport.Width) / viewport.Height, 0.5f,
                               50.0f);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);  // cards are seen from both sides
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_ALPHAREF, 128);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
}

bool render() {
    const float angle = 0.01f * static_cast<float>(frame);
    const D3DXVECTOR3 eye(6.0f * sinf(angle), 2.5f, -6.0f * cosf(angle)), target(0.0f, 0.6f, 0.0f),
        up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &target, &up);

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(150, 190, 230), 1.0f, 0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        device->SetTransform(D3DTS_VIEW, &view);
        device->SetFVF(card_vertex_fvf);
        // The ground without a texture: stage 0 then passes the vertex colour on.
        device->SetTexture(0, nullptr);
        drawn =
            SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, vertices + plant_count * 12, sizeof(card_vertex)));
        device->SetTexture(0, leaves);
        drawn =
            SUCCEEDED(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, plant_count * 4, vertices, sizeof(card_vertex))) &&
            drawn;
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
}

void release_all() {
    if (leaves != nullptr) leaves->Release();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    leaves = nullptr;
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
    window_class.lpszClassName = "foliage";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("foliage", "Foliage: leaves cut out by the alpha test", WS_OVERLAPPEDWINDOW,
                               CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window) || !make_leaf_texture()) {
        release_all();
        DestroyWindow(window);
        return 1;
    }
    build_scene();
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
