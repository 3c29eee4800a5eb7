// win_module.cpp - the program's module and command line: GetModuleHandle, GetModuleFileName,
// GetCommandLine.
//
// The module handle is a fixed pseudo-handle; the program's own name finds it (its file name,
// with or without ".exe", in any case), other names find nothing. The file name is _get_pgmptr's
// (the executable's path with '\' for '/'). The command line is read once from /proc/self/cmdline.
#include "platform/win32/win_module.h"

#include "platform/win32/win_text.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

char module_marker;

std::string read_command_line() {
    std::string raw;
    if (FILE* file = std::fopen("/proc/self/cmdline", "rb")) {
        char chunk[4096];
        size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) raw.append(chunk, n);
        std::fclose(file);
    }
    std::string line;
    size_t start = 0;
    for (size_t index = 0; start < raw.size(); ++index) {
        size_t end = raw.find('\0', start);
        if (end == std::string::npos) end = raw.size();
        const std::string argument = raw.substr(start, end - start);
        if (index > 0) line += ' ';
        const bool quote = index == 0 && argument.find(' ') != std::string::npos;
        line += quote ? '"' + argument + '"' : argument;
        start = end + 1;
    }
    return line;
}

struct command_lines {
    std::string narrow = read_command_line();
    std::wstring wide = win_wide_from_utf8(win_utf8_from_ansi(narrow));
};

command_lines& commands() {
    static command_lines& instance = *new command_lines;
    return instance;
}

// The executable's file name, lower case, without ".exe".
bool names_program(const std::string& utf8_name) {
    char* path = nullptr;
    if (_get_pgmptr(&path) != 0 || path == nullptr) return false;
    const char* slash = std::strrchr(path, '\\');
    std::string own = slash != nullptr ? slash + 1 : path;
    std::string name = utf8_name;
    const char* base = std::strrchr(name.c_str(), '\\');
    if (base != nullptr) name = base + 1;
    const auto strip_exe = [](std::string& s) {
        if (s.size() > 4 && _stricmp(s.c_str() + s.size() - 4, ".exe") == 0) s.resize(s.size() - 4);
    };
    strip_exe(own);
    strip_exe(name);
    return _stricmp(own.c_str(), name.c_str()) == 0;
}

template <typename Char>
DWORD copy_file_name(HMODULE module, Char* buffer, DWORD size, const std::basic_string<Char>& path) {
    if (module != nullptr && module != win_module_handle()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (buffer == nullptr && size != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() >= size) {
        std::memcpy(buffer, path.data(), (size - 1) * sizeof(Char));
        buffer[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buffer, path.data(), path.size() * sizeof(Char));
    buffer[path.size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(path.size());
}

std::string program_path() {
    char* path = nullptr;
    return _get_pgmptr(&path) == 0 && path != nullptr ? std::string(path) : std::string();
}

}  // namespace

HINSTANCE win_module_handle() { return reinterpret_cast<HINSTANCE>(&module_marker); }

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName == nullptr || names_program(win_utf8_from_ansi(moduleName))) return win_module_handle();
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName) {
    if (moduleName == nullptr || names_program(win_utf8_from_wide(moduleName))) return win_module_handle();
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    return copy_file_name(module, fileName, size, program_path());
}

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    return copy_file_name(module, fileName, size, win_wide_from_utf8(win_utf8_from_ansi(program_path())));
}

LPSTR WINAPI GetCommandLineA() { return commands().narrow.data(); }

LPWSTR WINAPI GetCommandLineW() { return commands().wide.data(); }
