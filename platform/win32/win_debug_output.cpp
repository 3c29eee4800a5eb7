// win_debug_output.cpp - OutputDebugString: to standard error as UTF-8 when
// WIN32_STANDIN_DEBUG_OUTPUT=1, nowhere otherwise.
#include <windows.h>

#include "platform/win32/win_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool wanted() {
    static const bool on = [] {
        const char* value = std::getenv("WIN32_STANDIN_DEBUG_OUTPUT");
        return value != nullptr && std::strcmp(value, "1") == 0;
    }();
    return on;
}

void write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); }

}  // namespace

void WINAPI OutputDebugStringA(LPCSTR text) {
    if (text != nullptr && wanted()) write(win_utf8_from_ansi(text));
}

void WINAPI OutputDebugStringW(LPCWSTR text) {
    if (text != nullptr && wanted()) write(win_utf8_from_wide(text));
}
