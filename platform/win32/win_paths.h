// win_paths.h - Win32 path names on a Linux file system.
#pragma once

#include <string>

// What a path must name to count as found.
enum class win_path_kind {
    file,    // a regular file (or a link to one)
    folder,  // a folder
};

// Turns a Win32 path into the Linux path of an existing entry of `kind`. '/' always separates; a
// '\' separates or, since Linux allows it in names, belongs to a name: the reading that names an
// existing entry wins, '\' as separator first. Where an exact name is absent, a name that differs
// in ASCII case only is taken. When nothing fits, the result is the path with every '\' turned
// into '/', which names a missing (or unreachable) entry, so that opening it reports why.
std::string win_native_path(const char* path, win_path_kind kind = win_path_kind::file);
