// xfile_file.cpp - reading a .x file from disk: regular files only, header first, size limited
// (contract in xfile.h).
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/xfile/xfile.h"

namespace {

constexpr size_t header_size = 16;

xfile_status fail(std::string* error, xfile_status status, std::string reason) {
    if (error != nullptr) *error = std::move(reason);
    return status;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

const char* kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a plain file";
}

// Reads until `size` bytes are in or the file ends; false with errno set on a read error.
bool read_some(int fd, uint8_t* into, size_t size, size_t* got) {
    *got = 0;
    while (*got < size) {
        const ssize_t n = ::read(fd, into + *got, size - *got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        *got += size_t(n);
    }
    return true;
}

// Reads the rest of the file after the header into *bytes. The file's stated size only sizes the
// buffer: a file that grows while it is read still stops at the limit.
xfile_status read_body(int fd, size_t stated, std::vector<uint8_t>* bytes, std::string* error) {
    const size_t limit = xfile_max_file_size;
    size_t used = bytes->size();
    bytes->resize(std::min(std::max(stated, used), limit) + 1);  // one spare byte shows growth
    for (;;) {
        if (used == bytes->size()) {
            if (used > limit) break;
            bytes->resize(std::min(2 * used, limit + 1));
        }
        size_t got = 0;
        if (!read_some(fd, bytes->data() + used, bytes->size() - used, &got))
            return fail(error, xfile_status::unreadable, std::string("read error: ") + std::strerror(errno));
        used += got;
        if (used < bytes->size()) break;
    }
    if (used > limit) return fail(error, xfile_status::too_large, "larger than the 256 MiB limit for .x files");
    bytes->resize(used);
    return xfile_status::ok;
}

xfile_status read_file(const char* path, std::vector<uint8_t>* bytes, std::string* error) {
    // Non-blocking, so that opening a FIFO without a writer returns at once; the descriptor
    // itself is checked, so nothing can be swapped in between the check and the read.
    const Descriptor file(::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) return fail(error, xfile_status::unreadable, std::strerror(errno));
    struct stat info;
    if (::fstat(file.get(), &info) != 0) return fail(error, xfile_status::unreadable, std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return fail(error, xfile_status::unreadable, std::string("not a regular file (") + kind_of(info.st_mode) + ")");
    // Reads block as usual from here on (a file system may honour the flag on regular files too).
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags != -1) ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
    uint8_t header[header_size];
    size_t got = 0;
    if (!read_some(file.get(), header, header_size, &got))
        return fail(error, xfile_status::unreadable, std::string("read error: ") + std::strerror(errno));
    xfile_header parsed;
    if (!xfile_read_header(header, got, &parsed, error)) return xfile_status::invalid;
    if (uint64_t(info.st_size) > xfile_max_file_size)
        return fail(error, xfile_status::too_large, "larger than the 256 MiB limit for .x files");
    bytes->assign(header, header + got);
    return read_body(file.get(), size_t(info.st_size), bytes, error);
}

}  // namespace

xfile_status xfile_read_file(const char* path, std::vector<uint8_t>* bytes, std::string* error) {
    try {
        return read_file(path, bytes, error);
    } catch (const std::bad_alloc&) {
        return fail(error, xfile_status::out_of_memory, "out of memory");
    }
}

xfile_status xfile_load_file(const char* path, xfile_model* out, std::string* error) {
    std::vector<uint8_t> bytes;
    const xfile_status read = xfile_read_file(path, &bytes, error);
    if (read != xfile_status::ok) return read;
    return xfile_load_bytes(bytes.data(), bytes.size(), out, error);
}
