// message_log_window.cpp - a small Win32 program for the end-to-end check of the window layer: a
// wide window (class with CS_DBLCLKS) whose procedure writes the messages it receives, with their
// parameters, one per line to the file named on its command line. Escape ends it.
//
// Line format: NAME WPARAM LPARAM, both in hex with 8 digits (the low 32 bits).
#include <windows.h>

#include <cstdio>

namespace {

FILE* log_file = nullptr;

const char* name_of(UINT message) {
    switch (message) {
    case WM_CREATE: return "WM_CREATE";
    case WM_SIZE: return "WM_SIZE";
    case WM_MOVE: return "WM_MOVE";
    case WM_SHOWWINDOW: return "WM_SHOWWINDOW";
    case WM_ACTIVATEAPP: return "WM_ACTIVATEAPP";
    case WM_ACTIVATE: return "WM_ACTIVATE";
    case WM_SETFOCUS: return "WM_SETFOCUS";
    case WM_KILLFOCUS: return "WM_KILLFOCUS";
    case WM_PAINT: return "WM_PAINT";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_MOUSEWHEEL: return "WM_MOUSEWHEEL";
    case WM_MOUSEHWHEEL: return "WM_MOUSEHWHEEL";
    case WM_DESTROY: return "WM_DESTROY";
    default: return nullptr;
    }
}

LRESULT CALLBACK logging_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const char* name = name_of(message)) {
        std::fprintf(log_file, "%s %08lx %08lx\n", name, static_cast<unsigned long>(wParam & 0xFFFFFFFFu),
                     static_cast<unsigned long>(static_cast<uint64_t>(lParam) & 0xFFFFFFFFu));
        std::fflush(log_file);
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show_command) {
    log_file = std::fopen(command_line, "w");
    if (log_file == nullptr) return 2;
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = logging_procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    window_class.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    window_class.lpszClassName = L"MessageLog";
    if (RegisterClassExW(&window_class) == 0) return 3;
    RECT outer{0, 0, 400, 300};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    const HWND window =
        CreateWindowExW(0, L"MessageLog", L"message log", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 4;
    ShowWindow(window, show_command);
    UpdateWindow(window);
    MSG msg{};
    BOOL got = 0;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    std::fclose(log_file);
    return got == 0 ? static_cast<int>(msg.wParam) : 5;
}
