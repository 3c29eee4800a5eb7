// win_keys.cpp - GetAsyncKeyState: the global key state as the active back end reports it.
//
// Only bit 15 (0x8000, down now) is reported; bit 0 (pressed since the last call), which the
// platform itself calls unreliable, is always 0.
#include <windows.h>

#include "platform/win32/win_backend.h"

SHORT WINAPI GetAsyncKeyState(int virtualKey) {
    if (virtualKey <= 0 || virtualKey > 0xFF) return 0;
    return win_active_backend().key_down(virtualKey) ? static_cast<SHORT>(0x8000) : 0;
}
