// blending.cpp - see-through colours over a checkerboard, and a shape cut out by the alpha test.
//
// Top: a red, a green and a blue square, each half transparent, circle round each other over the
// checkerboard, and a white bar fades from opaque on the left to clear on the right. They are drawn
// with alpha blending,
//   colour = source * source alpha + destination * (1 - source alpha)
// (D3DBLEND_SRCALPHA and D3DBLEND_INVSRCALPHA), the alpha coming from the vertices' colours.
//
// Bottom: the same fan of triangles twice. Its centre and every second rim vertex are opaque, the
// rim vertices between them fully transparent. On the left it is blended, a soft glow; on the right
// blending is off and the alpha test keeps only the pixels whose alpha is at least 128, which cuts a
// sharp-edged star out of the same triangles.
//
// All vertices are pre-transformed (x and y in back-buffer pixels). The squares move with the frame
// count rather than the clock, so frame N always shows the same picture.
//
// Build it on Linux with
//   g++ blending.cpp $(pkg-config --cflags --libs ninefold) -o blending
#include <windows.h>
#include <d3d9.h>
#include <math.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;

struct screen_vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
};
const DWORD screen_vertex_fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

// The checkerboard's light squares, cleared over a dark background; worked out once.
const int checker_size = 40;
const int max_checkers = 128;
D3DRECT light_checkers[max_checkers];
DWORD light_checker_count = 0;

// The fan: a centre and star_points * 2 rim vertices, the first one repeated at the end to close it.
const int star_points = 6;
const int fan_vertices = 2 * star_points + 2;

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

    for (int y = 0; y < buffer_height; y += checker_size) {
        for (int x = (y / checker_size % 2) * checker_size; x < buffer_width; x += 2 * checker_size) {
            if (light_checker_count == max_checkers) break;
            light_checkers[light_checker_count++] = {x, y, x + checker_size, y + checker_size};
        }
    }
    return true;
}

// A rectangle as a triangle strip: top left, top right, bottom left, bottom right. The strip's first
// triangle is clockwise on the screen, and the device keeps that winding for the whole strip.
void make_rectangle(screen_vertex quad[4], float left, float top, float right, float bottom, D3DCOLOR left_colour,
                    D3DCOLOR right_colour) {
    quad[0] = {left, top, 0.5f, 1.0f, left_colour};
    quad[1] = {right, top, 0.5f, 1.0f, right_colour};
    quad[2] = {left, bottom, 0.5f, 1.0f, left_colour};
    quad[3] = {right, bottom, 0.5f, 1.0f, right_colour};
}

// The fan around (x, y): rim angles grow clockwise on the screen; the points of the star are the
// opaque rim vertices.
void make_star_fan(screen_vertex fan[fan_vertices], float x, float y, float radius, D3DCOLOR colour) {
    const DWORD rgb = colour & 0x00FFFFFF;
    fan[0] = {x, y, 0.5f, 1.0f, rgb | 0xFF000000};
    for (int i = 0; i <= 2 * star_points; ++i) {
        const float angle = -1.5707963f + 3.1415927f * i / star_points;
        const DWORD alpha = i % 2 == 0 ? 0xFF000000 : 0;
        fan[i + 1] = {x + radius * cosf(angle), y + radius * sinf(angle), 0.5f, 1.0f, rgb | alpha};
    }
}

bool draw(D3DPRIMITIVETYPE type, UINT primitives, const screen_vertex* vertices) {
    return SUCCEEDED(device->DrawPrimitiveUP(type, primitives, vertices, sizeof(screen_vertex)));
}

bool render() {
    const D3DCOLOR square_colours[3] = {D3DCOLOR_ARGB(128, 255, 0, 0), D3DCOLOR_ARGB(128, 0, 255, 0),
                                        D3DCOLOR_ARGB(128, 0, 0, 255)};
    const float centre_x = buffer_width * 0.5f, centre_y = buffer_height * 0.3f, size = buffer_height * 0.16f;
    const float bar_top = buffer_height * 0.03f, bar_bottom = buffer_height * 0.09f;
    const float fan_y = buffer_height * 0.75f, fan_radius = buffer_height * 0.2f;
    screen_vertex quad[4];
    screen_vertex fan[fan_vertices];

    device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(60, 60, 70), 1.0f, 0);
    device->Clear(light_checker_count, light_checkers, D3DCLEAR_TARGET, D3DCOLOR_XRGB(200, 200, 190), 1.0f, 0);
    bool drawn = false;
    if (SUCCEEDED(device->BeginScene())) {
        device->SetFVF(screen_vertex_fvf);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

        drawn = true;
        for (int i = 0; i < 3; ++i) {
            const float angle = 0.02f * frame + 2.0943951f * i;
            const float x = centre_x + 0.5f * size * cosf(angle), y = centre_y + 0.5f * size * sinf(angle);
            make_rectangle(quad, x - size, y - size, x + size, y + size, square_colours[i], square_colours[i]);
            drawn = draw(D3DPT_TRIANGLESTRIP, 2, quad) && drawn;
        }
        make_rectangle(quad, buffer_width * 0.1f, bar_top, buffer_width * 0.9f, bar_bottom,
                       D3DCOLOR_ARGB(255, 255, 255, 255), D3DCOLOR_ARGB(0, 255, 255, 255));
        drawn = draw(D3DPT_TRIANGLESTRIP, 2, quad) && drawn;

        make_star_fan(fan, buffer_width * 0.25f, fan_y, fan_radius, D3DCOLOR_XRGB(255, 200, 40));
        drawn = draw(D3DPT_TRIANGLEFAN, 2 * star_points, fan) && drawn;

        // The same fan without blending, cut by the alpha test.
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHAREF, 128);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        make_star_fan(fan, buffer_width * 0.75f, fan_y, fan_radius, D3DCOLOR_XRGB(255, 200, 40));
        drawn = draw(D3DPT_TRIANGLEFAN, 2 * star_points, fan) && drawn;
        device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
    ++frame;
    return drawn;
}

void release_device() {
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
    window_class.lpszClassName = "blending";
    if (!RegisterClassEx(&window_class)) return 1;

    HWND window = CreateWindow("blending", "Blending and the alpha test", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
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
