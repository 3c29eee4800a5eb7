// direct3d.cpp - IDirect3D9: one adapter (a generic software adapter, no vendor identity), its
// display mode, the format checks, and the creation of devices.
//
// The adapter offers one display mode: the desktop's, in X8R8G8B8. What the checks accept is what
// the device does today: X8R8G8B8 or A8R8G8B8 back buffers on an X8R8G8B8 desktop, a D16, D24X8,
// D24S8 or D32 depth buffer, A8R8G8B8 textures (the texture loader's), no multisampling. Only the HAL device type
// exists; REF and SW are not available.
//
// CreateDevice: exactly one of the three vertex-processing flags (all behave alike); a windowed
// back buffer of size 0 takes the window's client size; Windowed = FALSE is accepted for a back
// buffer of the size and format given and runs in the window as it is.
#include "platform/d3d9/device.h"

#include "platform/d3d9/texture.h"
#include "platform/win32/win_backend.h"
#include "platform/win32/win_surface.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr int max_back_buffer_side = 8192;

// The adapter's identity: fixed, the same on every machine.
constexpr GUID adapter_identifier = {0x6D3D9A00, 0x5EED, 0x4F1E, {0x8A, 0x11, 0x53, 0x4F, 0x46, 0x54, 0x57, 0x31}};

bool is_format(D3DFORMAT f, D3DFORMAT expected) { return d3d9_stored_value(f) == d3d9_stored_value(expected); }

bool back_buffer_format(D3DFORMAT f) { return is_format(f, D3DFMT_X8R8G8B8) || is_format(f, D3DFMT_A8R8G8B8); }

// The depth-stencil formats the device keeps; none for any other.
fb_depth_format depth_stencil_format(D3DFORMAT f) {
    switch (d3d9_stored_value(f)) {
    case D3DFMT_D16: return fb_depth_format::d16;
    case D3DFMT_D24X8: return fb_depth_format::d24x8;
    case D3DFMT_D24S8: return fb_depth_format::d24s8;
    case D3DFMT_D32: return fb_depth_format::d32;
    default: return fb_depth_format::none;
    }
}

constexpr DWORD vertex_processing_flags =
    D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING;

bool one_vertex_processing_flag(DWORD flags) {
    const DWORD chosen = flags & vertex_processing_flags;
    return chosen != 0 && (chosen & (chosen - 1)) == 0;
}

bool windowed_interval(UINT interval) {
    return interval == D3DPRESENT_INTERVAL_DEFAULT || interval == D3DPRESENT_INTERVAL_ONE ||
           interval == UINT(D3DPRESENT_INTERVAL_IMMEDIATE);
}

// A device created with Windowed = FALSE gets a window whose client area is the back buffer's size
// (a real full-screen window only when the user asks for one: see win_prepare_fullscreen).
void show_full_screen(HWND window, UINT width, UINT height) { win_prepare_fullscreen(window, int(width), int(height)); }

class d3d9_direct3d final : public com_object<IDirect3D9> {
public:
    HRESULT RegisterSoftwareDevice(void*) override { return D3DERR_INVALIDCALL; }
    UINT GetAdapterCount() override { return 1; }
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) override;
    UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override;
    HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* display_mode) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, D3DFORMAT back_buffer,
                            BOOL windowed) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, DWORD usage,
                              D3DRESOURCETYPE resource, D3DFORMAT format) override;
    HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT format, BOOL windowed,
                                       D3DMULTISAMPLE_TYPE samples, DWORD* quality_levels) override;
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, D3DFORMAT target,
                                   D3DFORMAT depth) override;
    HRESULT CheckDeviceFormatConversion(UINT adapter, D3DDEVTYPE type, D3DFORMAT source, D3DFORMAT target) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HMONITOR GetAdapterMonitor(UINT) override { return nullptr; }
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus_window, DWORD behaviour_flags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;

protected:
    bool answers(REFIID riid) const override { return IsEqualGUID(riid, IID_IDirect3D9); }

private:
    ~d3d9_direct3d() override = default;
};

// The common first checks of the format queries: INVALIDCALL for another adapter, NOTAVAILABLE
// for another device type or desktop format; D3D_OK to go on.
HRESULT adapter_and_type(UINT adapter, D3DDEVTYPE type) {
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    return d3d9_stored_value(type) == D3DDEVTYPE_HAL ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT d3d9_direct3d::GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) {
    if (identifier == nullptr || adapter != D3DADAPTER_DEFAULT ||
        (flags & ~DWORD(D3DENUM_WHQL_LEVEL | D3DENUM_NO_DRIVERVERSION)) != 0) {
        return D3DERR_INVALIDCALL;
    }
    D3DADAPTER_IDENTIFIER9 id{};
    std::snprintf(id.Driver, sizeof id.Driver, "%s", "d3d9 stand-in");
    std::snprintf(id.Description, sizeof id.Description, "%s", "Software fixed-function device");
    std::snprintf(id.DeviceName, sizeof id.DeviceName, "%s", "\\\\.\\DISPLAY1");
    id.DriverVersion.HighPart = (9 << 16) | 0;  // 9.0.0.0
    id.DriverVersion.LowPart = 0;
    id.DeviceIdentifier = adapter_identifier;
    *identifier = id;
    return D3D_OK;
}

UINT d3d9_direct3d::GetAdapterModeCount(UINT adapter, D3DFORMAT format) {
    return adapter == D3DADAPTER_DEFAULT && is_format(format, D3DFMT_X8R8G8B8) ? 1 : 0;
}

HRESULT d3d9_direct3d::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* display_mode) {
    if (display_mode == nullptr || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (!is_format(format, D3DFMT_X8R8G8B8)) return D3DERR_NOTAVAILABLE;
    if (mode != 0) return D3DERR_INVALIDCALL;
    *display_mode = d3d9_desktop_display_mode();
    return D3D_OK;
}

HRESULT d3d9_direct3d::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    if (mode == nullptr || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    *mode = d3d9_desktop_display_mode();
    return D3D_OK;
}

HRESULT d3d9_direct3d::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, D3DFORMAT back_buffer,
                                       BOOL windowed) {
    if (const HRESULT r = adapter_and_type(adapter, type); r != D3D_OK) return r;
    if (!is_format(adapter_format, D3DFMT_X8R8G8B8)) return D3DERR_NOTAVAILABLE;
    if (back_buffer_format(back_buffer) || (windowed && is_format(back_buffer, D3DFMT_UNKNOWN))) return D3D_OK;
    return D3DERR_NOTAVAILABLE;
}

HRESULT d3d9_direct3d::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, DWORD usage,
                                         D3DRESOURCETYPE resource, D3DFORMAT format) {
    if (const HRESULT r = adapter_and_type(adapter, type); r != D3D_OK) return r;
    if (!is_format(adapter_format, D3DFMT_X8R8G8B8)) return D3DERR_NOTAVAILABLE;
    const int32_t kind = d3d9_stored_value(resource);
    if (usage == D3DUSAGE_RENDERTARGET && kind == D3DRTYPE_SURFACE && back_buffer_format(format)) return D3D_OK;
    if (usage == D3DUSAGE_DEPTHSTENCIL && kind == D3DRTYPE_SURFACE &&
        depth_stencil_format(format) != fb_depth_format::none) {
        return D3D_OK;
    }
    if (usage == 0 && kind == D3DRTYPE_TEXTURE && is_format(format, D3DFMT_A8R8G8B8)) return D3D_OK;
    return D3DERR_NOTAVAILABLE;
}

HRESULT d3d9_direct3d::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT, BOOL,
                                                  D3DMULTISAMPLE_TYPE samples, DWORD* quality_levels) {
    if (const HRESULT r = adapter_and_type(adapter, type); r != D3D_OK) return r;
    if (d3d9_stored_value(samples) != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
    if (quality_levels != nullptr) *quality_levels = 1;
    return D3D_OK;
}

HRESULT d3d9_direct3d::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, D3DFORMAT target,
                                              D3DFORMAT depth) {
    if (const HRESULT r = adapter_and_type(adapter, type); r != D3D_OK) return r;
    const bool offered = is_format(adapter_format, D3DFMT_X8R8G8B8) && back_buffer_format(target) &&
                         depth_stencil_format(depth) != fb_depth_format::none;
    return offered ? D3D_OK : D3DERR_NOTAVAILABLE;
}

// The device copies between no surfaces yet.
HRESULT d3d9_direct3d::CheckDeviceFormatConversion(UINT adapter, D3DDEVTYPE type, D3DFORMAT, D3DFORMAT) {
    if (const HRESULT r = adapter_and_type(adapter, type); r != D3D_OK) return r;
    return D3DERR_NOTAVAILABLE;
}

HRESULT d3d9_direct3d::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
    if (caps == nullptr) return D3DERR_INVALIDCALL;
    if (const HRESULT r = adapter_and_type(adapter, type); r != D3D_OK) return r;
    d3d9_device_caps(caps);
    return D3D_OK;
}

HRESULT d3d9_direct3d::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus_window, DWORD behaviour_flags,
                                    D3DPRESENT_PARAMETERS* p, IDirect3DDevice9** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (p == nullptr || adapter != D3DADAPTER_DEFAULT || !one_vertex_processing_flag(behaviour_flags)) {
        return D3DERR_INVALIDCALL;
    }
    if (d3d9_stored_value(type) != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
    const bool windowed = p->Windowed != FALSE;
    const D3DFORMAT format = p->BackBufferFormat;
    const bool format_ok = back_buffer_format(format) || (windowed && is_format(format, D3DFMT_UNKNOWN));
    if (!format_ok || d3d9_stored_value(p->MultiSampleType) != D3DMULTISAMPLE_NONE ||
        p->BackBufferCount > D3DPRESENT_BACK_BUFFERS_MAX || !windowed_interval(p->PresentationInterval)) {
        return D3DERR_INVALIDCALL;
    }
    const fb_depth_format depth =
        p->EnableAutoDepthStencil ? depth_stencil_format(p->AutoDepthStencilFormat) : fb_depth_format::none;
    if (p->EnableAutoDepthStencil && depth == fb_depth_format::none) return D3DERR_INVALIDCALL;
    // A full-screen device needs its size (and a format, checked above).
    if (!windowed && (p->BackBufferWidth == 0 || p->BackBufferHeight == 0)) return D3DERR_INVALIDCALL;
    const HWND window = p->hDeviceWindow != nullptr ? p->hDeviceWindow : focus_window;
    int client_width = 0, client_height = 0;
    if (window == nullptr || !win_client_size(window, &client_width, &client_height)) return D3DERR_INVALIDCALL;
    const UINT width = p->BackBufferWidth != 0 ? p->BackBufferWidth : UINT(std::max(client_width, 0));
    const UINT height = p->BackBufferHeight != 0 ? p->BackBufferHeight : UINT(std::max(client_height, 0));
    if (width == 0 || height == 0 || width > max_back_buffer_side || height > max_back_buffer_side) {
        return D3DERR_INVALIDCALL;
    }
    d3d9_device_setup setup{};
    setup.window = window;
    setup.width = int(width);
    setup.height = int(height);
    setup.with_depth = p->EnableAutoDepthStencil != FALSE;
    setup.depth_format = depth;
    setup.creation = {adapter, D3DDEVTYPE_HAL, focus_window, behaviour_flags};
    d3d9_device* created = new (std::nothrow) d3d9_device(this, setup);
    if (created == nullptr) return D3DERR_OUTOFVIDEOMEMORY;
    if (!created->valid()) {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    if (!windowed) show_full_screen(window, width, height);
    // D3DPRESENT_INTERVAL_IMMEDIATE: Present shows the frame at once, without waiting for the refresh.
    win_set_present_paced(window, p->PresentationInterval != UINT(D3DPRESENT_INTERVAL_IMMEDIATE));
    p->BackBufferWidth = width;
    p->BackBufferHeight = height;
    if (is_format(format, D3DFMT_UNKNOWN)) p->BackBufferFormat = D3DFMT_X8R8G8B8;
    if (p->BackBufferCount == 0) p->BackBufferCount = 1;
    if (p->hDeviceWindow == nullptr) p->hDeviceWindow = window;
    *device = created;
    return D3D_OK;
}

}  // namespace

D3DDISPLAYMODE d3d9_desktop_display_mode() {
    const win_display_mode desktop = win_desktop_mode();
    D3DDISPLAYMODE mode{};
    mode.Width = UINT(std::max(desktop.width, 0));
    mode.Height = UINT(std::max(desktop.height, 0));
    mode.RefreshRate = desktop.refresh_hz > 0 ? UINT(desktop.refresh_hz) : 60;
    mode.Format = D3DFMT_X8R8G8B8;
    return mode;
}

IDirect3D9* WINAPI Direct3DCreate9(UINT sdk_version) {
    if (sdk_version != D3D_SDK_VERSION) return nullptr;
    return new (std::nothrow) d3d9_direct3d();
}
