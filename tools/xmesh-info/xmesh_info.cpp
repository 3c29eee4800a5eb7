// xmesh_info.cpp - xmesh-info: prints what the .x loader reads from each file named on the command
// line (usage and exit status in help_text). Uses the pure loader: no device, no window.
//
// Every failure is one line on standard error, "xmesh-info: FILE: REASON", with FILE and REASON
// escaped like names; a file that fails does not stop the others. Standard output is flushed and
// checked after each file, so a write error is reported once and ends the run. No exception
// leaves main.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "xmesh_escape.h"
#include "xmesh_tool_main.h"
#include "xmesh_info_print.h"

namespace {

constexpr int exit_load_failed = 1;
constexpr int exit_usage = 2;
constexpr int exit_output_failed = 3;

constexpr const char* help_text = R"(usage: xmesh-info [--tsv | --json] [--] FILE...
       xmesh-info --help | --version

Loads each DirectX .x FILE with the demos' loader and prints its header (format, float size,
version), vertex and triangle counts, subsets with their materials, and the bounding box of the
vertices that triangles use.

  --tsv      a header line, then one tab-separated line per file
  --json     one JSON object per file, one per line (JSON Lines), with the fields of --tsv;
             textures and materials are arrays, numbers are JSON numbers (null for an
             infinity or NaN, and for the bounds of a file without triangles)
  --help     print this help;  --version  print the version
  --         end of options (for file names that start with '-')

Only regular files of at most 256 MiB are read. A file that cannot be loaded is reported on
standard error as "xmesh-info: FILE: REASON"; the other files are still processed.

Names (of files and textures) are printed C-like: \\ and \" for backslash and quote, \t \n \r,
and \xHH for other control bytes (and for both bytes of a C1 control in UTF-8); other bytes,
UTF-8 included, as they are. With --json they are JSON strings: UTF-8 as it is, control
characters as escapes, and any byte that is not valid UTF-8 as \ufffd.

Exit status: 0 every file loaded, 1 some file could not be loaded, 2 usage error,
3 standard output could not be written (processing stops there).
)";

struct command_options {
    xmesh_format format = xmesh_format::text;
    bool help = false;
    bool version = false;
    std::vector<const char*> files;
};

void report(std::string_view subject, std::string_view reason) {
    std::fflush(stdout);
    std::fprintf(stderr, "xmesh-info: %s: %s\n", xmesh_escaped(subject).c_str(), xmesh_escaped(reason).c_str());
}

// False with *problem set on a usage error.
bool parse_options(int argc, char** argv, command_options* options, std::string* problem) {
    bool tsv = false;
    bool json = false;
    bool options_end = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (options_end || argument.empty() || argument[0] != '-') {
            options->files.push_back(argv[i]);
        } else if (argument == "--") {
            options_end = true;
        } else if (argument == "--tsv") {
            tsv = true;
        } else if (argument == "--json") {
            json = true;
        } else if (argument == "--help" || argument == "-h") {
            options->help = true;
        } else if (argument == "--version") {
            options->version = true;
        } else {
            *problem = "unknown option '";
            *problem += xmesh_escaped(argument);
            *problem += '\'';
            return false;
        }
    }
    if (tsv && json) *problem = "--tsv and --json exclude each other";
    if (problem->empty() && options->files.empty() && !options->help && !options->version) *problem = "no file given";
    options->format = json ? xmesh_format::json : tsv ? xmesh_format::tsv : xmesh_format::text;
    return problem->empty();
}

// Flushes standard output; false (reported) when it could not be written.
bool output_written() {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
    report("standard output", errno != 0 ? std::strerror(errno) : "write error");
    return false;
}

// Loads and prints one file; false (reported) when it cannot be loaded.
bool describe(const char* path, xmesh_format format) {
    std::string error;
    try {
        xfile_model model;
        if (xfile_load_file(path, &model, &error) == xfile_status::ok) {
            xmesh_print(format, path, model);
            return true;
        }
    } catch (const std::bad_alloc&) {
        error = "out of memory";
    } catch (const std::exception& e) {
        error = e.what();
    }
    report(path, error);
    return false;
}

int run(const command_options& options) {
    if (options.help || options.version) {
        if (options.help) std::fputs(help_text, stdout);
        if (options.version) std::printf("xmesh-info %s\n", XMESH_INFO_VERSION);
        return output_written() ? 0 : exit_output_failed;
    }
    if (options.format == xmesh_format::tsv) xmesh_print_tsv_header();
    int status = 0;
    for (const char* path : options.files) {
        if (!describe(path, options.format)) status = exit_load_failed;
        if (!output_written()) return exit_output_failed;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    return xmesh_tool_main<command_options>("xmesh-info", argc, argv, parse_options, run, exit_usage, exit_load_failed);
}
