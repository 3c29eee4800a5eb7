// win_runtime.cpp - the C runtime and process services the programs call: the executable's path
// in Win32 form, the current directory, and the bounds-checked string copy.
//
// _get_pgmptr gives the full path of /proc/self/exe with '/' turned into '\', however long it is.
// strcpy_s reports its errors by return value (and errno) and carries on: the platform's default
// invalid-parameter handler would end the process instead.
#include <windows.h>

#include "win_headless.h"
#include "win_paths.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

struct program_path {
    std::string own;
    std::string override_path;
    bool overridden = false;
};

program_path& paths() {
    // Never destroyed: exit handlers (e.g. a test harness reporting what a program did) may still
    // use the window layer after static destructors have begun to run.
    static program_path& instance = *new program_path;
    return instance;
}

// The target of /proc/self/exe, read with a growing buffer so that no length is too long.
std::string read_executable_path() {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<size_t>(n));
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string to_win32_separators(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace

void win_headless_set_program_path(const char* win32_path) {
    paths().overridden = win32_path != nullptr;
    paths().override_path = win32_path != nullptr ? win32_path : "";
}

errno_t _get_pgmptr(char** path) {
    if (path == nullptr) return EINVAL;
    program_path& p = paths();
    if (p.overridden) {
        *path = p.override_path.data();
        return 0;
    }
    if (p.own.empty()) p.own = to_win32_separators(read_executable_path());
    *path = p.own.data();
    return 0;
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR path) {
    if (path == nullptr || path[0] == '\0') return FALSE;
    return ::chdir(win_native_path(path).c_str()) == 0 ? TRUE : FALSE;
}

errno_t strcpy_s(char* destination, size_t size, const char* source) {
    if (destination == nullptr || size == 0) return errno = EINVAL;
    if (source == nullptr) {
        destination[0] = '\0';
        return errno = EINVAL;
    }
    const size_t length = strnlen(source, size);
    if (length >= size) {
        destination[0] = '\0';
        return errno = ERANGE;
    }
    std::memcpy(destination, source, length + 1);
    return 0;
}
