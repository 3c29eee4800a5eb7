// win_crt_files.cpp - the Microsoft runtime's file opening by Win32 path: '\' or '/', names of
// another case (win_paths.h); wide paths and modes as UTF-8.
#include <windows.h>

#include "platform/win32/win_crt.h"
#include "platform/win32/win_paths.h"
#include "platform/win32/win_text.h"

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

errno_t open(const char* function, FILE** file, const char* path, const char* mode) {
    if (file == nullptr || path == nullptr || mode == nullptr || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) {
        if (file != nullptr) *file = nullptr;
        win_crt_invalid_parameter(function, "no file, path or valid mode");
        return errno = EINVAL;
    }
    const std::string native = win_native_path(path, win_path_kind::file);
    *file = std::fopen(native.c_str(), mode);
    return *file != nullptr ? 0 : errno;
}

}  // namespace

errno_t fopen_s(FILE** file, const char* path, const char* mode) { return open("fopen_s", file, path, mode); }

errno_t _wfopen_s(FILE** file, const wchar_t* path, const wchar_t* mode) {
    if (path == nullptr || mode == nullptr) return open("_wfopen_s", file, nullptr, nullptr);
    return open("_wfopen_s", file, win_utf8_from_wide(path).c_str(), win_utf8_from_wide(mode).c_str());
}

FILE* _wfopen(const wchar_t* path, const wchar_t* mode) {
    FILE* file = nullptr;
    const errno_t error = _wfopen_s(&file, path, mode);
    if (error != 0) errno = error;
    return file;
}
