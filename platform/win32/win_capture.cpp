// win_capture.cpp - the frame capture of WIN32_STANDIN_CAPTURE; see win_capture.h.
#include "platform/win32/win_capture.h"

#include "platform/win32/win_messages.h"
#include "platform/win32/win_png.h"
#include "platform/win32/win_window_table.h"

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

void capture(const uint32_t* pixels, int width, int height, int pitch) {
    std::string why;
    if (!win_write_png(target.path, pixels, width, height, pitch, &why)) {
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
