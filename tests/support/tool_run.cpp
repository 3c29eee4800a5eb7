// tool_run.cpp - fork, redirect, exec, wait; see tool_run.h.
#include "tool_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

tool_result run_tool(const std::string& program, std::vector<std::string> arguments, const std::string& folder,
                     const std::string& out, bool without_display) {
    const std::filesystem::path base(folder);
    const std::filesystem::path out_path = base / out;  // an absolute `out` stays as it is
    const std::filesystem::path err_path = base / ".tool-err.txt";
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int out_fd = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err_fd = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out_fd < 0 || err_fd < 0 || ::chdir(folder.c_str()) != 0) ::_exit(127);
        ::dup2(out_fd, 1);
        ::dup2(err_fd, 2);
        if (without_display) {
            ::unsetenv("DISPLAY");
            ::unsetenv("WAYLAND_DISPLAY");
            ::unsetenv("WIN32_STANDIN_BACKEND");
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    tool_result result;
    int raw = 0;
    if (child > 0 && ::waitpid(child, &raw, 0) == child && WIFEXITED(raw)) result.status = WEXITSTATUS(raw);
    if (out_path.parent_path() == base) result.out = read_whole_file(out_path.string());
    result.err = read_whole_file(err_path.string());
    std::filesystem::remove(err_path);
    return result;
}

std::string read_whole_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
