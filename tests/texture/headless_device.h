// headless_device.h - a software device on a window of the headless back end, for tests that
// hand a real device to the D3DX loaders.
#pragma once

#include <d3d9.h>

struct HeadlessDevice {
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
};

// Selects the headless back end, opens a 640 x 480 window and creates a device for it; the fields
// stay null when something fails.
HeadlessDevice create_headless_device();
void release_headless_device(HeadlessDevice& device);
