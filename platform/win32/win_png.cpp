// win_png.cpp - PNG files written through a temporary name; see win_png.h.
#include "platform/win32/win_png.h"

#include <stb/stb_image_write.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct png_sink {
    std::FILE* file;
    bool failed;
    int error;  // errno of the failed write
};

void write_to_sink(void* context, void* data, int size) {
    auto* sink = static_cast<png_sink*>(context);
    if (!sink->failed && std::fwrite(data, 1, static_cast<size_t>(size), sink->file) != static_cast<size_t>(size)) {
        sink->failed = true;
        sink->error = errno;
    }
}

std::vector<unsigned char> rgb_of(const uint32_t* pixels, int width, int height, int pitch) {
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    unsigned char* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch);
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = static_cast<unsigned char>(row[x] >> 16);
            out[1] = static_cast<unsigned char>(row[x] >> 8);
            out[2] = static_cast<unsigned char>(row[x]);
        }
    }
    return rgb;
}

std::string error_text(const char* what, int error = errno) {
    return std::string(what) + ": " + (error != 0 ? std::strerror(error) : "write error");
}

}  // namespace

bool win_write_png(const std::string& path, const uint32_t* pixels, int width, int height, int pitch,
                   std::string* reason) {
    const std::vector<unsigned char> rgb = rgb_of(pixels, width, height, pitch);
    std::string temporary = path + ".XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        *reason = error_text("cannot create the file");
        return false;
    }
    ::fchmod(descriptor, 0644);
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) {
        *reason = error_text("cannot write the file");
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return false;
    }
    png_sink sink{file, false, 0};
    const bool encoded = stbi_write_png_to_func(write_to_sink, &sink, width, height, 3, rgb.data(), width * 3) != 0;
    errno = 0;
    const bool closed = std::fclose(file) == 0;
    if (!encoded || sink.failed || !closed) {
        const int error = sink.failed ? sink.error : errno;
        *reason = encoded ? error_text("cannot write the file", error) : "the PNG could not be encoded";
        ::unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        *reason = error_text("cannot rename the finished file");
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
