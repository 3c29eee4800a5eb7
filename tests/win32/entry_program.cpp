// entry_program.cpp - a program with both entry points (or, built with ENTRY_NEITHER, none; with
// ENTRY_WMAIN, a console wmain): the process entry must call wWinMain, with the instance, no
// previous instance, the arguments as wide text and the default show command. It prints what it
// received when all of that holds.
#include <windows.h>

#include <cstdio>

#if defined(ENTRY_WMAIN)

int wmain(int argc, wchar_t** argv) {
    char text[256];
    if (argc != 2 || argv[2] != nullptr) return 2;
    if (WideCharToMultiByte(CP_UTF8, 0, argv[1], -1, text, sizeof text, nullptr, nullptr) == 0) return 4;
    std::printf("wmain[%s]\n", text);
    return 0;
}

#elif !defined(ENTRY_NEITHER)

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::puts("WinMain called although wWinMain exists");
    return 3;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand) {
    if (instance == nullptr || instance != GetModuleHandleW(nullptr) || previous != nullptr ||
        showCommand != SW_SHOWDEFAULT) {
        std::puts("wrong instance or show command");
        return 2;
    }
    char text[256];
    if (WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, text, sizeof text, nullptr, nullptr) == 0) return 4;
    std::printf("wWinMain[%s]\n", text);
    return 0;
}

#endif
