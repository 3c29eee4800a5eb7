// tool_run.h - runs a command-line tool as a child process, as a user would from a shell, and
// collects its exit status and what it wrote.
#pragma once

#include <string>
#include <vector>

struct tool_result {
    int status = -1;  // exit status; -1 when the tool did not exit normally
    std::string out;  // standard output, when it went to a file in the folder
    std::string err;  // standard error
};

// Runs `program` with `arguments` in `folder`. Standard output goes to `out` (relative to the
// folder, or absolute such as /dev/full); with `without_display` DISPLAY and the like are unset.
tool_result run_tool(const std::string& program, std::vector<std::string> arguments, const std::string& folder,
                     const std::string& out = ".tool-out.txt", bool without_display = false);

// The whole file, or "" when it cannot be read.
std::string read_whole_file(const std::string& path);
