// view_report.cpp - one-line messages on standard error; see view_report.h.
#include "view_report.h"

#include "xmesh_escape.h"

#include <cstdio>

void view_report(std::string_view subject, std::string_view text) {
    std::fflush(stdout);
    std::fprintf(stderr, "xmesh-view: %s: %.*s\n", xmesh_escaped(subject).c_str(), int(text.size()), text.data());
}

void view_report(std::string_view text) {
    std::fflush(stdout);
    std::fprintf(stderr, "xmesh-view: %.*s\n", int(text.size()), text.data());
}

std::string view_quoted(std::string_view name) { return '"' + xmesh_escaped(name) + '"'; }

std::string view_escaped(std::string_view name) { return xmesh_escaped(name); }
