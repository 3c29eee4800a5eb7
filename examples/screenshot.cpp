// screenshot.cpp - draws one frame and saves it as a BMP file.
//
// After the frame is presented, the back buffer is asked for as a surface (GetBackBuffer) and
// locked for reading: LockRect hands out the address of its top-left pixel and the pitch, the
// number of bytes from one row to the next (programs must step by the pitch, which may be more than
// the width times four). Each pixel of the X8R8G8B8 back buffer is four bytes: blue, green, red and
// one unused. The BMP file is written by hand: a 14-byte file header, a 40-byte information header
// and rows of 24-bit pixels, bottom row first, each row padded to a multiple of four bytes.
//
// The file is named on the command line (screenshot.bmp when it is not). Status 0 when the file
// was written, 1 otherwise.
//
// Build it on Linux with
//   g++ screenshot.cpp $(pkg-config --cflags --libs ninefold) -o screenshot
#include <windows.h>
#include <d3d9.h>
#include <stdio.h>
#include <string.h>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;

struct screen_vertex {
    float x, y, z, rhw;
    D3DCOLOR colour;
};
const DWORD screen_vertex_fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

bool create_device(HWND window) {
    direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (direct3d == nullptr) return false;
    D3DPRESENT_PARAMETERS parameters = {};
    parameters.Windowed = TRUE;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    return SUCCEEDED(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device));
}

// A triangle with a red, a green and a blue corner on a grey background.
void draw_frame() {
    D3DSURFACE_DESC size = {};
    IDirect3DSurface9* back = nullptr;
    if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back))) {
        back->GetDesc(&size);
        back->Release();
    }
    const float w = static_cast<float>(size.Width), h = static_cast<float>(size.Height);
    const screen_vertex triangle[3] = {
        {w * 0.5f, h * 0.1f, 0.5f, 1.0f, D3DCOLOR_XRGB(255, 0, 0)},
        {w * 0.9f, h * 0.9f, 0.5f, 1.0f, D3DCOLOR_XRGB(0, 255, 0)},
        {w * 0.1f, h * 0.9f, 0.5f, 1.0f, D3DCOLOR_XRGB(0, 0, 255)},
    };
    device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(96, 96, 96), 1.0f, 0);
    if (SUCCEEDED(device->BeginScene())) {
        device->SetFVF(screen_vertex_fvf);
        device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(screen_vertex));
        device->EndScene();
    }
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

// Little-endian fields of the headers.
void put16(unsigned char* at, unsigned value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}
void put32(unsigned char* at, unsigned long value) {
    put16(at, static_cast<unsigned>(value & 0xFFFF));
    put16(at + 2, static_cast<unsigned>(value >> 16));
}

bool save_back_buffer(const char* path) {
    IDirect3DSurface9* back = nullptr;
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back))) return false;
    D3DSURFACE_DESC desc = {};
    D3DLOCKED_RECT locked = {};
    if (FAILED(back->GetDesc(&desc)) || FAILED(back->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        back->Release();
        return false;
    }
    const unsigned long row_bytes = (desc.Width * 3 + 3) & ~3ul;
    const unsigned long pixel_bytes = row_bytes * desc.Height;
    unsigned char header[54] = {'B', 'M'};
    put32(header + 2, 54 + pixel_bytes);  // file size
    put32(header + 10, 54);               // where the pixels start
    put32(header + 14, 40);               // information header size
    put32(header + 18, desc.Width);
    put32(header + 22, desc.Height);  // positive: bottom row first
    put16(header + 26, 1);            // planes
    put16(header + 28, 24);           // bits per pixel
    put32(header + 34, pixel_bytes);
    put32(header + 38, 2835);  // 72 dots per inch
    put32(header + 42, 2835);

    bool written = false;
    FILE* file = fopen(path, "wb");
    unsigned char* row = new unsigned char[row_bytes];
    if (file != nullptr && fwrite(header, 1, sizeof header, file) == sizeof header) {
        written = true;
        for (UINT y = desc.Height; y-- > 0 && written;) {
            const unsigned char* source = static_cast<const unsigned char*>(locked.pBits) + y * locked.Pitch;
            memset(row, 0, row_bytes);
            for (UINT x = 0; x < desc.Width; ++x) memcpy(row + x * 3, source + x * 4, 3);  // blue, green, red
            written = fwrite(row, 1, row_bytes, file) == row_bytes;
        }
    }
    delete[] row;
    if (file != nullptr && fclose(file) != 0) written = false;
    back->UnlockRect();
    back->Release();
    return written;
}

void release_all() {
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    device = nullptr;
    direct3d = nullptr;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show_command) {
    const char* path = command_line != nullptr && command_line[0] != '\0' ? command_line : "screenshot.bmp";
    WNDCLASSEX window_class = {};
    window_class.cbSize = sizeof(WNDCLASSEX);
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.lpszClassName = "screenshot";
    if (!RegisterClassEx(&window_class)) return 1;
    HWND window = CreateWindow("screenshot", "Screenshot", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                               nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    bool saved = false;
    if (create_device(window)) {
        ShowWindow(window, show_command);
        draw_frame();
        saved = save_back_buffer(path);
        if (!saved) fprintf(stderr, "screenshot: %s could not be written\n", path);
    }
    release_all();
    DestroyWindow(window);
    return saved ? 0 : 1;
}
