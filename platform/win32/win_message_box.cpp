// win_message_box.cpp - MessageBoxA: decodes text and caption as Windows-1250 and lets the back end
// show the box, modal to its owner. A null caption reads "Error", as on the platform.
#include <windows.h>

#include "platform/win32/win_backend.h"
#include "platform/win32/win_cp1250.h"
#include "platform/win32/win_window_table.h"

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    win_window* window = win_table_live_window(owner);
    return win_active_backend().message_box(window, win_cp1250_to_utf8(text),
                                            win_cp1250_to_utf8(caption != nullptr ? caption : "Error"), type);
}
