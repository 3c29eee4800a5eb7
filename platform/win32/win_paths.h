// win_paths.h - Win32 path names on a Linux file system.
#pragma once

#include <string>

// Turns a Win32 path (separators '\' or '/') into a Linux path. When the exact name does not
// exist, each component is matched case-insensitively (ASCII) against its folder's entries; a
// component without a match is kept as given, so the result names a missing file.
std::string win_native_path(const char* path);
