// device_reset.cpp - the device's cooperative level and Reset.
//
// The device is never lost. Reset needs every object the program must release first to be gone
// (DEFAULT-pool resources, explicit render targets and depth-stencil surfaces, state blocks: see
// device_resource.h); objects only the device still binds do not count, since Reset unbinds them.
// A Reset that fails (such objects alive, parameters the device cannot honour, no memory) returns
// D3DERR_INVALIDCALL (D3DERR_OUTOFVIDEOMEMORY for memory), keeps the old back buffer and states, and
// leaves the device "not reset": TestCooperativeLevel answers D3DERR_DEVICENOTRESET until a Reset
// succeeds. A Reset that succeeds makes a new back buffer and auto depth-stencil buffer (a size of 0
// in windowed mode: the window's client size now, so that a program follows a resized window),
// ends a scene or a recording state block in progress, and puts every state back as at creation.
#include "platform/d3d9/device.h"

#include "platform/d3d9/state_block.h"
#include "platform/d3d9/surface.h"
#include "platform/win32/win_surface.h"

#include <memory>
#include <new>

void d3d9_device_count_reset_blocker(IDirect3DDevice9* device, int change) {
    auto* ours = dynamic_cast<d3d9_device*>(device);
    if (ours != nullptr) ours->count_reset_blocker(change);
}

HRESULT d3d9_device::TestCooperativeLevel() { return needs_reset_ ? D3DERR_DEVICENOTRESET : D3D_OK; }

HRESULT d3d9_device::Reset(D3DPRESENT_PARAMETERS* parameters) {
    needs_reset_ = true;
    if (parameters == nullptr || reset_blockers_ != 0) return D3DERR_INVALIDCALL;
    d3d9_device_setup setup{};
    if (d3d9_presentation_setup(*parameters, creation_.hFocusWindow, &setup) != D3D_OK) return D3DERR_INVALIDCALL;

    d3d9_framebuffer next;
    uint32_t* lent = win_frame_memory(setup.window, size_t(setup.width) * size_t(setup.height) + fb_padding);
    IDirect3DSurface9* depth = nullptr;
    try {
        fb_create(next, setup.width, setup.height, setup.depth_format, lent);
        if (setup.with_depth) {
            const HRESULT made =
                d3d9_create_surface(this, UINT(setup.width), UINT(setup.height), parameters->AutoDepthStencilFormat,
                                    D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL, &depth);
            if (made != D3D_OK) throw std::bad_alloc();
            auto store = std::make_shared<fb_depth_store>();
            store->width = setup.width;
            store->height = setup.height;
            store->format = setup.depth_format;
            store->lent = true;  // its buffers are the new framebuffer's
            *d3d9_surface_attachment(depth) = std::move(store);
        }
    } catch (const std::bad_alloc&) {
        if (depth != nullptr) depth->Release();
        win_frame_memory_free(lent);
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    flush_target();
    bind_surface(&render_target_, nullptr);
    bind_surface(&depth_stencil_, nullptr);
    bind_surface(&auto_depth_, depth);
    if (depth != nullptr) depth->Release();
    if (lent_colour_ != nullptr) {
        win_frame_memory_free(lent_colour_);
    } else {
        win_present_retire(fb_.colour.data());
    }
    fb_ = std::move(next);
    lent_colour_ = lent;
    window_ = setup.window;
    back_buffer_format_ = setup.format;
    back_width_ = setup.width;
    back_height_ = setup.height;
    back_buffer_count_ = setup.back_buffer_count;
    d3d9_surface_lend(back_buffer_, UINT(setup.width), UINT(setup.height),
                      reinterpret_cast<uint8_t*>(fb_.colour_pixels), UINT(setup.width) * 4);
    bind_surface(&render_target_, back_buffer_);
    bind_surface(&depth_stencil_, auto_depth_);
    target_level_ = target_alpha_ = target_changed_ = false;
    target_container_ = nullptr;
    in_scene_ = false;
    recording_.reset();
    restore_defaults(setup.width, setup.height, setup.with_depth);
    d3d9_presentation_apply(setup, parameters);
    needs_reset_ = false;
    return D3D_OK;
}
