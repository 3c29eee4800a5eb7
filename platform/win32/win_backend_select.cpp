// win_backend_select.cpp - chooses the back end of the process once, on first use.
#include "platform/win32/win_backend.h"
#include "platform/win32/win_headless.h"

#include <cstdlib>
#include <cstring>

namespace {

struct backend_choice {
    bool headless_requested = false;
    std::unique_ptr<win_backend> sdl;
    win_backend* active = nullptr;
};

backend_choice& choice() {
    // Never destroyed: exit handlers (e.g. a test harness reporting what a program did) may still
    // use the window layer after static destructors have begun to run.
    static backend_choice& instance = *new backend_choice;
    return instance;
}

bool headless_from_environment() {
    const char* value = std::getenv("WIN32_STANDIN_BACKEND");
    return value != nullptr && std::strcmp(value, "headless") == 0;
}

}  // namespace

void win_headless_enable() { choice().headless_requested = true; }

win_backend& win_active_backend() {
    backend_choice& c = choice();
    if (c.active == nullptr) {
        if (c.headless_requested || headless_from_environment()) {
            c.active = &win_headless_backend();
        } else {
            c.sdl = win_make_sdl_backend();
            c.active = c.sdl.get();
        }
    }
    return *c.active;
}

win_backend* win_started_backend() { return choice().active; }
