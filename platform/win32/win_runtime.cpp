// win_runtime.cpp - the process services the programs call: the executable's path in Win32 form,
// the current directory, and the last error.
//
// _get_pgmptr gives the full path of /proc/self/exe with '/' turned into '\', however long it is.
// SetCurrentDirectoryA maps a Win32 path to a Linux folder (win_paths.h); the executable's own
// folders, given in the form _get_pgmptr made of them, map back to exactly those folders, even
// where another reading of their '\' names a folder too. Its failures set GetLastError's code.
#include <windows.h>

#include "platform/win32/win_headless.h"
#include "platform/win32/win_paths.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

struct program_path {
    std::string own;     // Win32 form
    std::string native;  // what `own` was made from
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

// When `path` names one of the executable's folders in the Win32 form _get_pgmptr gave (a prefix
// of it that ends where the Linux path has a '/', a '\' after it allowed), sets `native` to it.
bool own_folder(const char* path, std::string* native) {
    const program_path& p = paths();
    if (p.overridden || p.own.empty()) return false;
    const size_t length = std::strlen(path);
    if (length == 0 || length >= p.own.size() || p.own.compare(0, length, path) != 0) return false;
    // The folder ends where the path does, or before a final '\' that is not part of its name.
    for (const size_t end : {length, length - 1}) {
        if (end > 0 && p.native[end] == '/' && (end == length || path[end] == '\\')) {
            *native = p.native.substr(0, end);
            return true;
        }
    }
    return false;
}

DWORD error_from_errno(int error) {
    switch (error) {
    case ENOENT: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case ENOTDIR: return ERROR_DIRECTORY;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_GEN_FAILURE;
    }
}

thread_local DWORD last_error = 0;

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
    if (p.own.empty()) {
        p.native = read_executable_path();
        p.own = to_win32_separators(p.native);
    }
    *path = p.own.data();
    return 0;
}

DWORD WINAPI GetLastError() { return last_error; }

void WINAPI SetLastError(DWORD code) { last_error = code; }

BOOL WINAPI SetCurrentDirectoryA(LPCSTR path) {
    if (path == nullptr || path[0] == '\0') {
        last_error = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    std::string native;
    if (!own_folder(path, &native)) native = win_native_path(path, win_path_kind::folder);
    if (::chdir(native.c_str()) == 0) return TRUE;
    last_error = error_from_errno(errno);
    return FALSE;
}
