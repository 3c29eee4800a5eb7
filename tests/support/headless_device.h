// headless_device.h - windows of the headless back end and software devices on them, for the tests
// and benchmarks that need a real device.
#pragma once

#include <windows.h>
#include <d3d9.h>

// Selects the headless back end and opens a window of the standard 640 x 480 outer size (a 624 x 441
// client area) whose messages go to `procedure` (DefWindowProcA when null). Null when that fails.
HWND open_headless_window(WNDPROC procedure = nullptr);

// The presentation parameters the programs use: windowed, discard, a 16-bit depth buffer.
D3DPRESENT_PARAMETERS windowed_parameters(HWND window);

struct headless_device {
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

// Creates a device for `window` (a new headless window when null); the fields stay null when
// something fails.
headless_device create_headless_device(HWND window = nullptr);
// Releases the device and the Direct3D object and forgets the headless windows, so the next test
// in the same process starts afresh.
void release_headless_device(headless_device& device);
