// entry.cpp - the process entry of a program: main() calls the program's wWinMain when it has one,
// else its WinMain, with the module's instance (GetModuleHandle(NULL)), no previous instance, the
// command line (the arguments after the program name, joined by spaces; for wWinMain read from
// UTF-8, or Windows-1250 where not valid UTF-8) and the default show command, and the process exits
// with its result. A console program written with tchar.h's _tmain for _UNICODE has wmain instead:
// it gets the arguments as wide text. A program with none of them is told so on stderr and exits
// with 1.
//
// This file is linked from an archive: a program that has its own main() does not get it.
#include <windows.h>

#include "platform/win32/win_module.h"
#include "platform/win32/win_text.h"

#include <cstdio>
#include <string>
#include <vector>

// Weak: the program defines one of them (or both); the one it lacks stays null.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand)
    __attribute__((weak));
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand)
    __attribute__((weak));
int wmain(int argc, wchar_t** argv) __attribute__((weak));

int main(int argc, char** argv) {
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command_line += ' ';
        command_line += argv[i];
    }
    const HINSTANCE instance = win_module_handle();
    if (wWinMain != nullptr) {
        std::wstring wide = win_wide_from_utf8(win_utf8_from_ansi(command_line));
        return wWinMain(instance, nullptr, wide.data(), SW_SHOWDEFAULT);
    }
    if (WinMain != nullptr) return WinMain(instance, nullptr, command_line.data(), SW_SHOWDEFAULT);
    if (wmain != nullptr) {
        std::vector<std::wstring> arguments;
        for (int i = 0; i < argc; ++i) arguments.push_back(win_wide_from_utf8(win_utf8_from_ansi(argv[i])));
        std::vector<wchar_t*> pointers;
        for (std::wstring& argument : arguments) pointers.push_back(argument.data());
        pointers.push_back(nullptr);
        return wmain(argc, pointers.data());
    }
    std::fprintf(stderr, "%s: the program defines no WinMain, wWinMain or wmain\n", argc > 0 ? argv[0] : "program");
    return 1;
}
