// view_report.h - xmesh-view's one-line messages on standard error: "xmesh-view: SUBJECT: TEXT".
// Names from files and the command line are escaped C-like (xmesh-info's way), so that no name
// can act on the terminal or break the line: the subject always, names inside TEXT through
// view_quoted.
#pragma once

#include <string>
#include <string_view>

void view_report(std::string_view subject, std::string_view text);
// "xmesh-view: TEXT", for messages about no file in particular.
void view_report(std::string_view text);
// The name in double quotes, escaped.
std::string view_quoted(std::string_view name);
// The name escaped, without quotes.
std::string view_escaped(std::string_view name);
