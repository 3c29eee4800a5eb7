// presentation.cpp - the presentation parameters shared by CreateDevice and Reset: what they may
// ask for, the back buffer and depth buffer they give, and what they do to the device window.
//
// Windowed: a size of 0 takes the client size of the device window (hDeviceWindow, else the focus
// window) now; format X8R8G8B8, A8R8G8B8 or UNKNOWN (the desktop's). Full screen: a size, format
// and refresh rate (0 = any) of an offered display mode; the window gets a client area of that
// size (a desktop-sized full-screen window only when the user asks for one, see
// win_prepare_fullscreen) and the display mode never changes. Both: at most three back buffers
// (all behave as one), no multisampling, swap effect DISCARD, FLIP or COPY (all behave as DISCARD),
// interval DEFAULT, ONE or IMMEDIATE, an offered auto depth-stencil format.
#include "platform/d3d9/device.h"

#include "platform/win32/win_backend.h"
#include "platform/win32/win_surface.h"

#include <algorithm>

namespace {

constexpr int max_back_buffer_side = 8192;

bool is_format(D3DFORMAT f, D3DFORMAT expected) { return d3d9_stored_value(f) == d3d9_stored_value(expected); }

bool known_interval(UINT interval) {
    return interval == D3DPRESENT_INTERVAL_DEFAULT || interval == D3DPRESENT_INTERVAL_ONE ||
           interval == UINT(D3DPRESENT_INTERVAL_IMMEDIATE);
}

bool known_swap_effect(D3DSWAPEFFECT effect) {
    const int32_t e = d3d9_stored_value(effect);
    return e == D3DSWAPEFFECT_DISCARD || e == D3DSWAPEFFECT_FLIP || e == D3DSWAPEFFECT_COPY;
}

// Whether a full-screen back buffer matches an offered mode (refresh 0: any rate).
bool offered_mode(UINT width, UINT height, UINT refresh) {
    for (const win_display_mode& m : win_display_modes()) {
        if (UINT(m.width) == width && UINT(m.height) == height && (refresh == 0 || UINT(m.refresh_hz) == refresh)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool d3d9_back_buffer_format(D3DFORMAT f) { return is_format(f, D3DFMT_X8R8G8B8) || is_format(f, D3DFMT_A8R8G8B8); }

fb_depth_format d3d9_depth_stencil_format(D3DFORMAT f) {
    switch (d3d9_stored_value(f)) {
    case D3DFMT_D16: return fb_depth_format::d16;
    case D3DFMT_D24X8: return fb_depth_format::d24x8;
    case D3DFMT_D24S8: return fb_depth_format::d24s8;
    case D3DFMT_D32: return fb_depth_format::d32;
    default: return fb_depth_format::none;
    }
}

HRESULT d3d9_presentation_setup(const D3DPRESENT_PARAMETERS& p, HWND focus_window, d3d9_device_setup* setup) {
    const bool windowed = p.Windowed != FALSE;
    const D3DFORMAT format = p.BackBufferFormat;
    const bool format_ok = d3d9_back_buffer_format(format) || (windowed && is_format(format, D3DFMT_UNKNOWN));
    if (!format_ok || d3d9_stored_value(p.MultiSampleType) != D3DMULTISAMPLE_NONE ||
        p.BackBufferCount > D3DPRESENT_BACK_BUFFERS_MAX || !known_interval(p.PresentationInterval) ||
        !known_swap_effect(p.SwapEffect)) {
        return D3DERR_INVALIDCALL;
    }
    const fb_depth_format depth =
        p.EnableAutoDepthStencil ? d3d9_depth_stencil_format(p.AutoDepthStencilFormat) : fb_depth_format::none;
    if (p.EnableAutoDepthStencil && depth == fb_depth_format::none) return D3DERR_INVALIDCALL;
    if (!windowed && !offered_mode(p.BackBufferWidth, p.BackBufferHeight, p.FullScreen_RefreshRateInHz)) {
        return D3DERR_INVALIDCALL;
    }
    const HWND window = p.hDeviceWindow != nullptr ? p.hDeviceWindow : focus_window;
    int client_width = 0, client_height = 0;
    if (window == nullptr || !win_client_size(window, &client_width, &client_height)) return D3DERR_INVALIDCALL;
    const UINT width = p.BackBufferWidth != 0 ? p.BackBufferWidth : UINT(std::max(client_width, 0));
    const UINT height = p.BackBufferHeight != 0 ? p.BackBufferHeight : UINT(std::max(client_height, 0));
    if (width == 0 || height == 0 || width > max_back_buffer_side || height > max_back_buffer_side) {
        return D3DERR_INVALIDCALL;
    }
    setup->window = window;
    setup->width = int(width);
    setup->height = int(height);
    setup->with_depth = p.EnableAutoDepthStencil != FALSE;
    setup->depth_format = depth;
    setup->format = is_format(format, D3DFMT_UNKNOWN) ? D3DFMT_X8R8G8B8 : format;
    setup->windowed = windowed;
    setup->interval = p.PresentationInterval;
    setup->back_buffer_count = p.BackBufferCount != 0 ? p.BackBufferCount : 1;
    return D3D_OK;
}

void d3d9_presentation_apply(const d3d9_device_setup& setup, D3DPRESENT_PARAMETERS* p) {
    if (!setup.windowed) win_prepare_fullscreen(setup.window, setup.width, setup.height);
    // D3DPRESENT_INTERVAL_IMMEDIATE: Present shows the frame at once, without waiting for the refresh.
    win_set_present_paced(setup.window, setup.interval != UINT(D3DPRESENT_INTERVAL_IMMEDIATE));
    p->BackBufferWidth = UINT(setup.width);
    p->BackBufferHeight = UINT(setup.height);
    p->BackBufferFormat = setup.format;
    if (p->BackBufferCount == 0) p->BackBufferCount = 1;
    if (p->hDeviceWindow == nullptr) p->hDeviceWindow = setup.window;
}
