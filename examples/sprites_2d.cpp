// sprites_2d.cpp - a small 2D scene drawn with ID3DXSprite from one sprite sheet.
//
// sprites_2d.png holds four 30 x 30 pictures, each with a transparent border of one texel: grass,
// a grey ball, bricks and a gem. The ground is tiled from the grass and the bricks, six balls bounce
// along it, three gems turn in the sky, and a large tinted ghost of a gem floats over everything,
// half transparent.
//
// What it shows:
//   - D3DXCreateTextureFromFile loads the sheet; Draw's source rectangle picks a picture from it.
//   - Begin(D3DXSPRITE_ALPHABLEND) makes the transparent texels vanish and lets the colour passed
//     to Draw fade a sprite (its alpha) or tint it (its red, green and blue multiply the texels).
//   - D3DXSPRITE_SORT_DEPTH_BACKTOFRONT draws the sprites far to near by the z of their position,
//     whatever order the program draws them in: the ghost (z 0.1) is drawn first but lies on top.
//   - SetTransform turns and scales sprites: the position passed to Draw goes through the
//     transform too, so a turning gem is drawn at the origin, about its centre, and the transform
//     moves it.
//   - Pixel art stays crisp: whole-pixel positions map texels to pixels one to one, and point
//     sampling (set after Begin; End puts the sprite's own states back) keeps a scaled sprite's
//     texels square.
//
// The sheet is read from the current directory, as most tutorials do: run the program from the
// folder that holds sprites_2d.png. The scene moves with the frame count rather than the clock,
// so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ sprites_2d.cpp $(pkg-config --cflags --libs ninefold) -o sprites_2d
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <math.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
ID3DXSprite* sprite = nullptr;
IDirect3DTexture9* sheet = nullptr;

// The pictures on the sheet.
const RECT grass = {1, 1, 31, 31};
const RECT ball = {33, 1, 63, 31};
const RECT bricks = {1, 33, 31, 63};
const RECT gem = {33, 33, 63, 63};
const float tile = 30.0f;

int buffer_width = 0, buffer_height = 0;
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
    if (FAILED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &parameters, &device))) {
        return false;
    }
    D3DVIEWPORT9 viewport = {};
    device->GetViewport(&viewport);
    buffer_width = static_cast<int>(viewport.Width);
    buffer_height = static_cast<int>(viewport.Height);

    if (FAILED(D3DXCreateTextureFromFile(device, "sprites_2d.png", &sheet))) {
        MessageBox(window, "Could not load sprites_2d.png.", "Sprites", MB_OK | MB_ICONERROR);
        return false;
    }
    return SUCCEEDED(D3DXCreateSprite(device, &sprite));
}

// Draws a picture with its top-left corner at (x, y), rounded to whole pixels.
bool draw_at(const RECT& picture, float x, float y, float z, D3DCOLOR colour) {
    const D3DXVECTOR3 position(floorf(x), floorf(y), z);
    return SUCCEEDED(sprite->Draw(sheet, &picture, nullptr, &position, colour));
}

// Draws a picture turned by `angle` and scaled by `scale` about its centre, the centre at (x, y).
bool draw_turned(const RECT& picture, float x, float y, float z, float angle, float scale, D3DCOLOR colour) {
    const D3DXVECTOR2 scaling(scale, scale);
    const D3DXVECTOR2 place(floorf(x), floorf(y));
    D3DXMATRIX transform;
    D3DXMatrixTransformation2D(&transform, nullptr, 0.0f, &scaling, nullptr, angle, &place);
    sprite->SetTransform(&transform);
    const D3DXVECTOR3 centre(tile / 2, tile / 2, 0.0f);
    const D3DXVECTOR3 depth(0.0f, 0.0f, z);
    const bool drawn = SUCCEEDED(sprite->Draw(sheet, &picture, &centre, &depth, colour));
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    sprite->SetTransform(&identity);
    return drawn;
}

bool draw_scene() {
    bool drawn = true;
    // The ghost first: the depth sort still puts it in front of everything.
    const float drift = 0.01f * frame;
    drawn = draw_turned(gem, buffer_width * 0.5f + 120.0f * cosf(drift), 150.0f, 0.1f, -drift, 4.0f,
                        D3DCOLOR_ARGB(110, 255, 160, 255)) &&
            drawn;

    // The ground: a row of grass over two rows of bricks.
    const float ground = buffer_height - 3 * tile;
    for (float x = 0.0f; x < buffer_width; x += tile) {
        drawn = draw_at(grass, x, ground, 0.9f, 0xFFFFFFFF) && drawn;
        drawn = draw_at(bricks, x, ground + tile, 0.9f, 0xFFFFFFFF) && drawn;
        drawn = draw_at(bricks, x, ground + 2 * tile, 0.9f, 0xFFFFFFFF) && drawn;
    }

    // Six balls bounce on the grass, each tinted by the colour it is drawn with.
    const D3DCOLOR tints[6] = {0xFFFFFFFF, 0xFFFF4040, 0xFFFFE040, 0xFF60E060, 0xFF60A0FF, 0xFFE070FF};
    for (int i = 0; i < 6; ++i) {
        const float bounce = fabsf(sinf(0.06f * frame + 0.9f * i));
        drawn = draw_at(ball, 40.0f + 95.0f * i, ground - tile - 160.0f * bounce, 0.5f, tints[i]) && drawn;
    }

    // Three gems turn in the sky, the last one twice as large.
    for (int i = 0; i < 3; ++i) {
        const float angle = 0.04f * frame * (i % 2 == 0 ? 1.0f : -1.0f);
        drawn = draw_turned(gem, 110.0f + 200.0f * i, 60.0f, 0.7f, angle, i == 2 ? 2.0f : 1.0f, 0xFFFFFFFF) && drawn;
    }
    return drawn;
}

bool render() {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(110, 170, 235), 1.0f, 0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        if (SUCCEEDED(sprite->Begin(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_DEPTH_BACKTOFRONT))) {
            device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
            device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
            drawn = draw_scene();
            drawn = SUCCEEDED(sprite->End()) && drawn;
        }
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
}

void release_device() {
    if (sprite != nullptr) sprite->Release();
    if (sheet != nullptr) sheet->Release();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    sprite = nullptr;
    sheet = nullptr;
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
    window_class.lpszClassName = "sprites_2d";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("sprites_2d", "Sprites", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                               nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    if (!create_device(window)) {
        release_device();
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

    release_device();
    return status != 0 ? status : static_cast<int>(msg.wParam);
}
