// window_present_test.cpp - on a real X server the device renders straight into memory the window
// shows, and after each Present the window shows exactly the device's frame: whole clears, filled
// rectangles, and a whole clear that refills only what the rectangles touched. ctest runs it on a
// private Xvfb (with_xvfb.sh); without DISPLAY it skips.
#include <windows.h>
#include <d3d9.h>

#include "headless_device.h"
#include "platform/d3d9/device_debug.h"
#include "platform/d3d9/framebuffer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

// After gtest, whose own names (None) Xlib's macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

const char* const title = "window present test";

// The window titled `title` among the children of `parent` (no window manager: top-level windows
// are the root's children).
Window find_titled(Display* display, Window parent) {
    Window root = 0, up = 0, found = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name != nullptr) {
            if (std::strcmp(name, title) == 0) found = children[i];
            XFree(name);
        }
    }
    if (children != nullptr) XFree(children);
    return found;
}

// Pixels of the window that differ from the device's frame.
int differences(Display* display, Window window, const d3d9_framebuffer& fb) {
    XImage* shown = XGetImage(display, window, 0, 0, unsigned(fb.width), unsigned(fb.height), AllPlanes, ZPixmap);
    if (shown == nullptr) return -1;
    int wrong = 0;
    for (int y = 0; y < fb.height; ++y) {
        for (int x = 0; x < fb.width; ++x) {
            wrong += (XGetPixel(shown, x, y) & 0xFFFFFF) != fb.colour_pixels[size_t(y) * size_t(fb.width) + size_t(x)];
        }
    }
    XDestroyImage(shown);
    return wrong;
}

TEST(WindowPresentTest, WindowShowsTheDeviceFrameAfterEachPresent) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display; ctest runs this test on Xvfb";
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.lpszClassName = "WindowPresentTest";
    ASSERT_NE(RegisterClassExA(&window_class), 0);
    HWND handle = CreateWindowExA(0, window_class.lpszClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(handle, nullptr);
    ShowWindow(handle, SW_SHOW);
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(direct3d, nullptr);
    D3DPRESENT_PARAMETERS parameters = windowed_parameters(handle);
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, handle, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                     &parameters, &device),
              D3D_OK);
    const d3d9_framebuffer& fb = *d3d9_device_framebuffer(device);
    EXPECT_TRUE(fb.colour.empty()) << "the colour buffer lives in memory the window shows";
    XSync(display, False);
    const Window window = find_titled(display, DefaultRootWindow(display));
    ASSERT_NE(window, Window(0));

    struct frame {
        D3DRECT rect;  // all zero: a whole clear
        D3DCOLOR colour;
    };
    const frame frames[] = {{{0, 0, 0, 0}, 0x505050},        {{10, 10, 50, 40}, 0xFF0000},
                            {{100, 60, 150, 100}, 0x00FF00}, {{0, 0, 0, 0}, 0x505050},
                            {{0, 0, 0, 0}, 0x002800},        {{0, 0, 200, 150}, 0x123456},
                            {{190, 100, 300, 300}, 0xABCDEF}};
    int presented = 0;
    for (const frame& f : frames) {
        SCOPED_TRACE(testing::Message() << "frame " << ++presented);
        const bool whole = f.rect.x2 == 0;
        ASSERT_EQ(device->Clear(whole ? 0 : 1, whole ? nullptr : &f.rect, D3DCLEAR_TARGET, f.colour, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        EXPECT_EQ(differences(display, window, fb), 0);
    }
    device->Release();
    direct3d->Release();
    DestroyWindow(handle);
    XCloseDisplay(display);
}

}  // namespace
