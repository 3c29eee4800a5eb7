// headless_device.h - a software device on a window of the headless back end, for tests that
// need a real device (the D3DX shapes and loaders).
#pragma once

#include <d3d9.h>

struct HeadlessDevice {
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

// Selects the headless back end, opens a 640 x 480 window and creates a device for it; the fields
// stay null when something fails.
HeadlessDevice create_headless_device();
// Releases the device and the Direct3D object and forgets the headless windows, so the next test
// in the same process starts afresh.
void release_headless_device(HeadlessDevice& device);
