// xfile_file.cpp - reading a .x file from disk: regular files only, header first, size limited
// (contract in xfile.h).
#include "platform/xfile/xfile.h"

#include "platform/base/regular_file.h"

#include <algorithm>
#include <new>

namespace {

constexpr size_t header_size = 16;

xfile_status fail(std::string* error, xfile_status status, std::string reason) {
    if (error != nullptr) *error = std::move(reason);
    return status;
}

// Reads the rest of the file after the header into *bytes. The file's stated size only sizes the
// buffer: a file that grows while it is read still stops at the limit.
xfile_status read_body(regular_file& file, size_t stated, std::vector<uint8_t>* bytes, std::string* error) {
    const size_t limit = xfile_max_file_size;
    size_t used = bytes->size();
    bytes->resize(std::min(std::max(stated, used), limit) + 1);  // one spare byte shows growth
    for (;;) {
        if (used == bytes->size()) {
            if (used > limit) break;
            bytes->resize(std::min(2 * used, limit + 1));
        }
        size_t got = 0;
        std::string reason;
        if (!file.read(bytes->data() + used, bytes->size() - used, &got, &reason))
            return fail(error, xfile_status::unreadable, std::move(reason));
        used += got;
        if (used < bytes->size()) break;
    }
    if (used > limit) return fail(error, xfile_status::too_large, "larger than the 256 MiB limit for .x files");
    bytes->resize(used);
    return xfile_status::ok;
}

xfile_status read_file(const char* path, std::vector<uint8_t>* bytes, std::string* error) {
    regular_file file;
    std::string reason;
    if (!file.open(path, &reason)) return fail(error, xfile_status::unreadable, std::move(reason));
    uint8_t header[header_size];
    size_t got = 0;
    if (!file.read(header, header_size, &got, &reason)) return fail(error, xfile_status::unreadable, std::move(reason));
    xfile_header parsed;
    if (!xfile_read_header(header, got, &parsed, error)) return xfile_status::invalid;
    if (uint64_t(file.info().st_size) > xfile_max_file_size)
        return fail(error, xfile_status::too_large, "larger than the 256 MiB limit for .x files");
    bytes->assign(header, header + got);
    return read_body(file, size_t(file.info().st_size), bytes, error);
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
