// scratch_directory.h - a fresh folder under /tmp for one test, removed afterwards, with the
// process's working directory put back as it was.
#pragma once

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

class scratch_directory {
public:
    // Makes /tmp/<prefix>-XXXXXX; path() is empty when that fails.
    explicit scratch_directory(const std::string& prefix) {
        char cwd[PATH_MAX] = {};
        if (::getcwd(cwd, sizeof cwd) != nullptr) start_ = cwd;
        std::string pattern = "/tmp/" + prefix + "-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~scratch_directory() {
        if (!start_.empty() && ::chdir(start_.c_str()) != 0) std::abort();
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    scratch_directory(const scratch_directory&) = delete;
    scratch_directory& operator=(const scratch_directory&) = delete;

    const std::string& path() const { return path_; }
    // The working directory when the folder was made.
    const std::string& start() const { return start_; }

private:
    std::string start_;
    std::string path_;
};
