// regular_file.cpp - see regular_file.h.
#include "platform/base/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const char* kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a plain file";
}

bool fail(std::string* reason, std::string why) {
    if (reason != nullptr) *reason = std::move(why);
    return false;
}

}  // namespace

regular_file::~regular_file() {
    if (fd_ >= 0) ::close(fd_);
}

bool regular_file::open(const char* path, std::string* reason) {
    missing_ = false;
    // Anything but a regular file is refused before it is opened (opening a device may have
    // effects); the open itself does not wait, and the descriptor is checked again, so nothing
    // swapped in between can be read or hang the caller.
    struct stat named;
    if (::stat(path, &named) != 0) {
        missing_ = errno == ENOENT || errno == ENOTDIR;
        return fail(reason, std::strerror(errno));
    }
    if (!S_ISREG(named.st_mode))
        return fail(reason, std::string("not a regular file (") + kind_of(named.st_mode) + ")");
    if (fd_ >= 0) ::close(fd_);
    fd_ = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        missing_ = errno == ENOENT || errno == ENOTDIR;
        return fail(reason, std::strerror(errno));
    }
    if (::fstat(fd_, &info_) != 0) return fail(reason, std::strerror(errno));
    if (!S_ISREG(info_.st_mode))
        return fail(reason, std::string("not a regular file (") + kind_of(info_.st_mode) + ")");
    // Reads block as usual from here on (a file system may honour the flag on regular files too).
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags != -1) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    return true;
}

bool regular_file::read(void* into, size_t size, size_t* got, std::string* reason) {
    auto* bytes = static_cast<unsigned char*>(into);
    *got = 0;
    while (*got < size) {
        const ssize_t n = ::read(fd_, bytes + *got, size - *got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(reason, std::string("read error: ") + std::strerror(errno));
        if (n == 0) break;
        *got += size_t(n);
    }
    return true;
}
