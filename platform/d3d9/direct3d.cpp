// direct3d.cpp - IDirect3D9: one adapter (a generic software adapter, no vendor identity), its
// display modes, the format checks, and the creation of devices.
//
// The adapter offers the display modes of the window layer (the desktop's among them), in
// X8R8G8B8 only. The checks accept X8R8G8B8 or A8R8G8B8 back buffers and render targets on an
// X8R8G8B8 desktop, D16, D24X8, D24S8 and D32 depth-stencil surfaces, textures of the texture
// formats, no multisampling. Only the HAL device type exists; REF and SW are not available.
//
// CreateDevice: exactly one of the three vertex-processing flags (all behave alike; PUREDEVICE,
// FPU_PRESERVE and MULTITHREADED are accepted, and a pure device still answers every Get*); the
// presentation parameters as presentation.cpp checks them.
#include "platform/d3d9/device.h"

#include "platform/win32/win_backend.h"
#include "platform/win32/win_surface.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The adapter's identity: fixed, the same on every machine.
constexpr GUID adapter_identifier = {0x6D3D9A00, 0x5EED, 0x4F1E, {0x8A, 0x11, 0x53, 0x4F, 0x46, 0x54, 0x57, 0x31}};

bool is_format(D3DFORMAT f, D3DFORMAT expected) { return d3d9_stored_value(f) == d3d9_stored_value(expected); }

bool is_dxt(D3DFORMAT f) {
    switch (d3d9_stored_value(f)) {
    case D3DFMT_DXT1:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: return true;
    default: return false;
    }
}

// The formats a texture or a plain surface may have.
bool texture_format(D3DFORMAT f) {
    switch (d3d9_stored_value(f)) {
    case D3DFMT_R8G8B8:
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8:
    case D3DFMT_L8:
    case D3DFMT_A8L8: return true;
    default: return is_dxt(f);
    }
}

constexpr DWORD vertex_processing_flags =
    D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING;

bool one_vertex_processing_flag(DWORD flags) {
    const DWORD chosen = flags & vertex_processing_flags;
    return chosen != 0 && (chosen & (chosen - 1)) == 0;
}

// The display modes of a format: the window layer's modes for X8R8G8B8, none for any other.
std::vector<D3DDISPLAYMODE> adapter_modes(D3DFORMAT format) {
    std::vector<D3DDISPLAYMODE> modes;
    if (!is_format(format, D3DFMT_X8R8G8B8)) return modes;
    for (const win_display_mode& m : win_display_modes()) {
        modes.push_back({UINT(m.width), UINT(m.height), UINT(m.refresh_hz > 0 ? m.refresh_hz : 60), D3DFMT_X8R8G8B8});
    }
    return modes;
}

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
    if (adapter != D3DADAPTER_DEFAULT) return 0;
    try {
        return UINT(adapter_modes(format).size());
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

HRESULT d3d9_direct3d::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode, D3DDISPLAYMODE* display_mode) {
    if (display_mode == nullptr || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (!is_format(format, D3DFMT_X8R8G8B8)) return D3DERR_NOTAVAILABLE;
    try {
        const std::vector<D3DDISPLAYMODE> modes = adapter_modes(format);
        if (mode >= modes.size()) return D3DERR_INVALIDCALL;
        *display_mode = modes[mode];
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
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
    if (d3d9_back_buffer_format(back_buffer) || (windowed && is_format(back_buffer, D3DFMT_UNKNOWN))) return D3D_OK;
    return D3DERR_NOTAVAILABLE;
}

// Textures and plain surfaces of every texture format (usage 0, DYNAMIC, AUTOGENMIPMAP and the
// filter and wrap queries; AUTOGENMIPMAP on a DXT format answers D3DOK_NOAUTOGEN: such a texture
// is made, but its lower levels are not generated), render-target textures and surfaces of the
// back buffer formats, depth-stencil surfaces of the depth formats.
HRESULT d3d9_direct3d::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapter_format, DWORD usage,
                                         D3DRESOURCETYPE resource, D3DFORMAT format) {
    if (const HRESULT r = adapter_and_type(adapter, type); r != D3D_OK) return r;
    if (!is_format(adapter_format, D3DFMT_X8R8G8B8)) return D3DERR_NOTAVAILABLE;
    const int32_t kind = d3d9_stored_value(resource);
    const bool texture = kind == D3DRTYPE_TEXTURE, surface = kind == D3DRTYPE_SURFACE;
    constexpr DWORD queries = D3DUSAGE_QUERY_FILTER | D3DUSAGE_QUERY_WRAPANDMIP;
    const DWORD main = usage & ~queries;
    if (main == D3DUSAGE_DEPTHSTENCIL) {
        const bool offered =
            surface && (usage & queries) == 0 && d3d9_depth_stencil_format(format) != fb_depth_format::none;
        return offered ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    if ((main & D3DUSAGE_RENDERTARGET) != 0) {
        const DWORD rest = main & ~DWORD(D3DUSAGE_RENDERTARGET);
        const bool offered = d3d9_back_buffer_format(format) &&
                             ((surface && rest == 0) || (texture && (rest & ~DWORD(D3DUSAGE_AUTOGENMIPMAP)) == 0));
        return offered ? D3D_OK : D3DERR_NOTAVAILABLE;
    }
    if ((main & ~DWORD(D3DUSAGE_DYNAMIC | D3DUSAGE_AUTOGENMIPMAP)) != 0 || !texture_format(format)) {
        return D3DERR_NOTAVAILABLE;
    }
    if (surface) return main == 0 ? D3D_OK : D3DERR_NOTAVAILABLE;
    if (!texture) return D3DERR_NOTAVAILABLE;
    return (main & D3DUSAGE_AUTOGENMIPMAP) != 0 && is_dxt(format) ? D3DOK_NOAUTOGEN : D3D_OK;
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
    const bool offered = is_format(adapter_format, D3DFMT_X8R8G8B8) && d3d9_back_buffer_format(target) &&
                         d3d9_depth_stencil_format(depth) != fb_depth_format::none;
    return offered ? D3D_OK : D3DERR_NOTAVAILABLE;
}

// StretchRect converts between the two render-target formats.
HRESULT d3d9_direct3d::CheckDeviceFormatConversion(UINT adapter, D3DDEVTYPE type, D3DFORMAT source, D3DFORMAT target) {
    if (const HRESULT r = adapter_and_type(adapter, type); r != D3D_OK) return r;
    return d3d9_back_buffer_format(source) && d3d9_back_buffer_format(target) ? D3D_OK : D3DERR_NOTAVAILABLE;
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
    d3d9_device_setup setup{};
    if (const HRESULT checked = d3d9_presentation_setup(*p, focus_window, &setup); checked != D3D_OK) return checked;
    setup.creation = {adapter, D3DDEVTYPE_HAL, focus_window, behaviour_flags};
    d3d9_device* created = new (std::nothrow) d3d9_device(this, setup);
    if (created == nullptr) return D3DERR_OUTOFVIDEOMEMORY;
    if (!created->valid()) {
        created->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    d3d9_presentation_apply(setup, p);
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
