// app_shell.cpp - program entry, working directory, main window, message loop and shutdown.
#include "framework.h"

#include <cstdio>
#include <cstring>
#include <string>

IDirect3D9* direct3d = nullptr;
IDirect3DDevice9* device = nullptr;
float spin_angle = 0.0f;

namespace {

const char* const window_class_name = "WindowClass1";
const char* const window_title = "DirectX simple shapes";
const int window_x = 100;
const int window_y = 100;
const int window_width = 640;
const int window_height = 480;

// Cuts `path` at its last backslash, leaving the folder without a trailing separator; a path
// without a backslash is kept whole.
void cut_at_last_backslash(char* path) {
    char* last = std::strrchr(path, '\\');
    if (last != nullptr) *last = '\0';
}

const char* folder_error_reason(DWORD error) {
    switch (error) {
    case ERROR_PATH_NOT_FOUND: return "it does not exist";
    case ERROR_ACCESS_DENIED: return "access is denied";
    case ERROR_DIRECTORY: return "it is not a folder";
    case ERROR_FILENAME_EXCED_RANGE: return "its name is too long";
    default: return "the system refused";
    }
}

// Makes `folder` current; says on stderr when it cannot, and leaves the current directory as it was.
void enter_folder(const char* folder) {
    if (SetCurrentDirectoryA(folder)) return;
    const DWORD error = GetLastError();
    std::fprintf(stderr,
                 "cannot enter the program's folder %s: %s (error %lu); files are read from the current folder\n",
                 folder, folder_error_reason(error), static_cast<unsigned long>(error));
}

}  // namespace

// Makes the executable's folder the current directory. Paths that do not fit the 260-character
// buffer are handled in a heap copy instead of being refused or truncated.
void enter_program_directory() {
    char* program_path = nullptr;
    if (_get_pgmptr(&program_path) != 0 || program_path == nullptr) return;

    char buffer[MAX_PATH];
    if (std::strlen(program_path) < sizeof buffer) {
        strcpy_s(buffer, sizeof buffer, program_path);
        cut_at_last_backslash(buffer);
        enter_folder(buffer);
        return;
    }
    std::string long_path(program_path);
    cut_at_last_backslash(long_path.data());
    enter_folder(long_path.c_str());
}

LRESULT CALLBACK handle_window_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Releases the scene's objects, then the device, then the Direct3D object, each once.
void release_all() {
    release_scene();
    if (device != nullptr) device->Release();
    if (direct3d != nullptr) direct3d->Release();
    device = nullptr;
    direct3d = nullptr;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    if (demo.enters_program_directory) enter_program_directory();

    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof(WNDCLASSEXA);
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = handle_window_message;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_WINDOW));
    window_class.lpszClassName = window_class_name;
    RegisterClassExA(&window_class);

    HWND main_window = CreateWindowExA(0, window_class_name, window_title, WS_OVERLAPPEDWINDOW, window_x, window_y,
                                       window_width, window_height, nullptr, nullptr, instance, nullptr);
    ShowWindow(main_window, show_command);

    setup_device(main_window);
    setup_light();
    build_scene(main_window);

    MSG msg{};
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (msg.message == WM_QUIT) break;
        draw_frame();
        if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) PostMessageA(main_window, WM_DESTROY, 0, 0);
    }

    release_all();
    return static_cast<int>(msg.wParam);
}
