// win_capture.cpp - the frame capture of WIN32_STANDIN_CAPTURE; see win_capture.h.
#include "platform/win32/win_capture.h"

#include "platform/win32/win_messages.h"
#include "platform/win32/win_window_table.h"

#include <stb/stb_image_write.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>  // program_invocation_short_name
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum class capture_state { unread, off, armed, done };

struct capture_settings {
    capture_state state = capture_state::unread;
    uint64_t at = 1;
    uint64_t presents = 0;
};

capture_settings settings;

// The file as WIN32_STANDIN_CAPTURE names it (for messages) and as a path from the directory the
// process started in, taken before main(): a program may change its current directory before its
// first frame (the model demos do).
struct capture_file {
    std::string given;
    std::string path;
};

capture_file file_from_environment() {
    const char* given = std::getenv("WIN32_STANDIN_CAPTURE");
    if (given == nullptr || *given == '\0') return {};
    capture_file file{given, given};
    if (given[0] != '/') {
        if (char* start = ::getcwd(nullptr, 0)) {
            file.path = std::string(start) + "/" + given;
            std::free(start);
        }
    }
    return file;
}

const capture_file target = file_from_environment();

[[noreturn]] void fail(const std::string& line) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, line.c_str());
    std::exit(1);
}

// Digits only, no sign or spaces, at least 1, no overflow.
bool parse_positive(const char* text, uint64_t* value) {
    uint64_t n = 0;
    if (*text == '\0') return false;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
        const uint64_t digit = static_cast<uint64_t>(*c - '0');
        if (n > (UINT64_MAX - digit) / 10) return false;
        n = n * 10 + digit;
    }
    *value = n;
    return n > 0;
}

void read_environment() {
    if (target.given.empty()) {
        settings.state = capture_state::off;
        return;
    }
    settings.state = capture_state::armed;
    const char* at = std::getenv("WIN32_STANDIN_CAPTURE_AT");
    if (at != nullptr && !parse_positive(at, &settings.at)) {
        fail(std::string("WIN32_STANDIN_CAPTURE_AT: \"") + at + "\" is not a positive integer");
    }
}

struct png_sink {
    std::FILE* file;
    int error;  // errno of the first failed write, or -1 when it set none
};

void write_to_sink(void* context, void* data, int size) {
    auto* sink = static_cast<png_sink*>(context);
    if (sink->error == 0 && std::fwrite(data, 1, static_cast<size_t>(size), sink->file) != static_cast<size_t>(size)) {
        sink->error = errno != 0 ? errno : -1;
    }
}

std::string reason(const char* what, int error) {
    return std::string(what) + ": " + (error > 0 ? std::strerror(error) : "write error");
}

std::vector<unsigned char> rgb_rows(const uint32_t* pixels, int width, int height, int pitch) {
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

// Writes the PNG through a temporary file beside `path`; on failure removes it and says why.
bool write_png(const char* path, const uint32_t* pixels, int width, int height, int pitch, std::string* why) {
    const std::vector<unsigned char> rgb = rgb_rows(pixels, width, height, pitch);
    std::string temporary = std::string(path) + ".XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        *why = reason("cannot create the file", errno);
        return false;
    }
    ::fchmod(descriptor, 0644);
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) {
        *why = reason("cannot write the file", errno);
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return false;
    }
    png_sink sink{file, 0};
    errno = 0;
    const bool encoded = stbi_write_png_to_func(write_to_sink, &sink, width, height, 3, rgb.data(), width * 3) != 0;
    errno = 0;
    const bool closed = std::fclose(file) == 0;
    if (!encoded || sink.error != 0 || !closed) {
        *why = !encoded ? "the PNG could not be encoded"
                        : reason("cannot write the file", sink.error != 0 ? sink.error : errno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path) != 0) {
        *why = reason("cannot rename the finished file", errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

void capture(const uint32_t* pixels, int width, int height, int pitch) {
    std::string why;
    if (!write_png(target.path.c_str(), pixels, width, height, pitch, &why)) {
        fail("capture " + target.given + ": " + why);
    }
    settings.state = capture_state::done;
    if (const win_window* main_window = win_table_main_window()) {
        win_post_message(main_window->handle, WM_CLOSE, 0, 0);
    }
}

}  // namespace

void win_capture_present(const uint32_t* pixels, int width, int height, int pitch) {
    if (settings.state == capture_state::unread) read_environment();
    if (settings.state != capture_state::armed) return;
    if (++settings.presents == settings.at) capture(pixels, width, height, pitch);
}
