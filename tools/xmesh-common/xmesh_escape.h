// xmesh_escape.h - how the xmesh tools print names that come from files and the command line, so
// that no byte of them can act on the terminal or break the output's format.
#pragma once

#include <string>
#include <string_view>

// C-like: \\ and \" for backslash and quote; \t \n \r; \xHH for the other bytes below 0x20, for
// 0x7F and for the two bytes of each C1 control in UTF-8 (U+0080..U+009F). Every other byte,
// UTF-8 text included, is kept as it is.
std::string xmesh_escaped(std::string_view text);

// A JSON string with its quotes: valid UTF-8 is kept (C1 controls as \u escapes), each byte that
// is not part of valid UTF-8 becomes \ufffd.
std::string xmesh_json_string(std::string_view text);
