// win_metrics.cpp - system metrics, the desktop window, and the predefined icons and cursors.
//
// The screen is the back end's desktop mode (1920 x 1080 without a display); frame metrics are
// those of win_window_geometry.h at 96 DPI. Icons and cursors: the predefined sets (IDI_, IDC_)
// give shared handles; application resources do not exist here (NULL with
// ERROR_RESOURCE_NAME_NOT_FOUND).
#include <windows.h>

#include "platform/win32/win_backend.h"
#include "platform/win32/win_surface.h"

namespace {

struct system_icon {
    int id;
    char marker;
};

// One marker object per predefined icon or cursor: their addresses are the handles.
system_icon icons[] = {{32512, 0}, {32513, 0}, {32514, 0}, {32515, 0}, {32516, 0}, {32517, 0}, {32518, 0}};
system_icon cursors[] = {{32512, 0}, {32513, 0}, {32514, 0}, {32515, 0}, {32516, 0}, {32642, 0}, {32643, 0},
                         {32644, 0}, {32645, 0}, {32646, 0}, {32648, 0}, {32649, 0}, {32650, 0}, {32651, 0}};

// The desktop window's handle: never a window of the table (its values step by 16 from 0x10010).
char desktop_marker alignas(16);

template <size_t N>
void* predefined(system_icon (&set)[N], HINSTANCE instance, const void* name) {
    if (instance != nullptr || name == nullptr || !IS_INTRESOURCE(name)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const int id = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    for (system_icon& icon : set) {
        if (icon.id == id) return &icon.marker;
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

}  // namespace

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    return static_cast<HICON>(predefined(icons, instance, name));
}
HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HICON>(predefined(icons, instance, name));
}
HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    return static_cast<HCURSOR>(predefined(cursors, instance, name));
}
HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HCURSOR>(predefined(cursors, instance, name));
}

HWND WINAPI GetDesktopWindow() { return reinterpret_cast<HWND>(&desktop_marker); }

int WINAPI GetSystemMetrics(int index) {
    const win_display_mode mode = win_desktop_mode();
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXVIRTUALSCREEN: return mode.width;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return mode.height;
    case SM_CYFULLSCREEN: return mode.height - 23;
    case SM_CXMAXIMIZED: return mode.width + 16;
    case SM_CYMAXIMIZED: return mode.height + 16;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN: return 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL: return 17;
    case SM_CYCAPTION: return 23;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXPADDEDBORDER: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 20;
    case SM_CXMIN: return 136;
    case SM_CYMIN: return 39;
    case SM_CXMINTRACK: return 136;
    case SM_CYMINTRACK: return 39;
    case SM_MOUSEPRESENT: return 1;
    case SM_CMOUSEBUTTONS: return 5;
    case SM_CMONITORS: return 1;
    default: return 0;
    }
}
