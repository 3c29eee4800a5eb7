// device_debug.h - read access to a device's buffers, for tests and tools.
#pragma once

#include <d3d9.h>

#include "platform/d3d9/framebuffer.h"

// The back buffer and depth buffer of a device made by our IDirect3D9::CreateDevice; null for
// anything else.
const d3d9_framebuffer* d3d9_device_framebuffer(IDirect3DDevice9* device);
