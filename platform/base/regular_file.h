// regular_file.h - reading the files the loaders are given (models, images), which must be regular
// files: a directory, FIFO, device or socket is refused with its kind before anything is read, and
// a FIFO without a writer cannot make the open wait.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>

class regular_file {
public:
    regular_file() = default;
    ~regular_file();
    regular_file(const regular_file&) = delete;
    regular_file& operator=(const regular_file&) = delete;

    // Opens `path` for reading. False with *reason set otherwise: "not a regular file (a FIFO)" and
    // the like, or the system's words (missing() tells "no such file" apart).
    bool open(const char* path, std::string* reason);
    // Whether the last failed open found no file by that name.
    bool missing() const { return missing_; }
    // What fstat said of the open file.
    const struct stat& info() const { return info_; }

    // Reads until `size` bytes are in or the file ends (*got tells how many). False with *reason
    // on a read error.
    bool read(void* into, size_t size, size_t* got, std::string* reason);

private:
    int fd_ = -1;
    bool missing_ = false;
    struct stat info_ {};
};
