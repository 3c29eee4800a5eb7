// xmesh_tool_main.h - the frame of the xmesh tools' main(): parse the command line, run, and turn a
// usage problem or an exception that escapes into one line on standard error and the tool's
// documented status.
#pragma once

#include "xmesh_escape.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

// `parse(argc, argv, &options, &problem)` returns false with a printable problem (names in it
// already escaped); `run(options)` returns the exit status.
template <typename Options, typename Parse, typename Run>
int xmesh_tool_main(const char* tool, int argc, char** argv, Parse parse, Run run, int usage_status,
                    int failure_status) {
    try {
        Options options;
        std::string problem;
        if (!parse(argc, argv, &options, &problem)) {
            std::fflush(stdout);
            std::fprintf(stderr, "%s: %s (see %s --help)\n", tool, problem.c_str(), tool);
            return usage_status;
        }
        return run(options);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", tool);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", tool, xmesh_escaped(e.what()).c_str());
    }
    return failure_status;
}
