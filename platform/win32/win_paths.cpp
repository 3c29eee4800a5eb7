// win_paths.cpp - Win32 path names on a Linux file system: separators and case-insensitive match.
#include "platform/win32/win_paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <cstring>
#include <memory>

namespace {

bool exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

bool same_ignoring_case(const char* a, const std::string& b) {
    if (std::strlen(a) != b.size()) return false;
    for (size_t i = 0; i < b.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The entry of `folder` whose name equals `name` ignoring case, or `name` itself when none does.
std::string match_entry(const std::string& folder, const std::string& name) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
    if (!dir) return name;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (same_ignoring_case(entry->d_name, name)) return entry->d_name;
    }
    return name;
}

}  // namespace

std::string win_native_path(const char* path) {
    if (path == nullptr) return {};
    std::string native(path);
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    if (native.empty() || exists(native)) return native;

    std::string resolved = native[0] == '/' ? "/" : "";
    size_t start = native[0] == '/' ? 1 : 0;
    while (start <= native.size()) {
        size_t end = native.find('/', start);
        if (end == std::string::npos) end = native.size();
        const std::string component = native.substr(start, end - start);
        if (!component.empty()) {
            const std::string candidate = resolved + component;
            const bool plain = component == "." || component == ".." || exists(candidate);
            resolved += plain ? component : match_entry(resolved, component);
            if (end < native.size()) resolved += '/';
        }
        start = end + 1;
    }
    return resolved;
}
