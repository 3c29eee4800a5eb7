// win_headless.cpp - the back end without a display, and the controls tests drive it with.
//
// A present keeps a reference to the presented pixels, not a copy: the copy into one reusable
// buffer (no allocation per present once its size is known) is taken only when a reader asks for
// the frame, or when the pixels' owner retires them (win_present_retire), so frames nobody reads
// cost nothing.
// message boxes are recorded and answered at once with their default button; the key state is
// scripted, and for runs from scripts WIN32_STANDIN_ESCAPE_AT=N holds Escape down from the Nth
// present on. Nothing but a timer ends a wait: waiting for a time sleeps for it.
#include "platform/win32/win_headless.h"

#include "platform/win32/win_backend.h"
#include "platform/win32/win_message_box.h"
#include "platform/win32/win_messages.h"
#include "platform/win32/win_window_geometry.h"
#include "platform/win32/win_window_table.h"

#include <time.h>

#include <array>
#include <cstdlib>

namespace {

int escape_at_from_environment() {
    const char* value = std::getenv("WIN32_STANDIN_ESCAPE_AT");
    if (value == nullptr) return -1;
    char* end = nullptr;
    const long n = std::strtol(value, &end, 10);
    return end != value && *end == '\0' && n > 0 && n < 1000000000 ? static_cast<int>(n) : -1;
}

class headless_backend final : public win_backend {
public:
    bool open_window(win_window&) override { return true; }
    void show_window(win_window&, bool) override {}
    void retitle_window(win_window&) override {}
    void close_window(win_window&) override {}
    void pump_events() override {}
    void wait_events() override {}
    void wait_events_for(int milliseconds) override {
        timespec pause{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
        while (nanosleep(&pause, &pause) != 0) {
        }
    }
    bool has_input() override { return false; }
    POINT cursor_position() override { return cursor; }
    void warp_cursor(int x, int y) override {
        cursor = POINT{x, y};
        if (win_window* window = window_under(cursor)) {
            const POINT origin = win_client_origin(*window);
            win_post_message(window->handle, WM_MOUSEMOVE, 0, MAKELPARAM(x - origin.x, y - origin.y));
        }
    }

    bool present(win_window&, const uint32_t* pixels, int width, int height, int pitch) override {
        frame.width = width;
        frame.height = height;
        pending = {pixels, pitch};
        ++presents;
        if (on_present) on_present(presents);
        return true;
    }

    bool key_down(int virtual_key) override {
        if (virtual_key == VK_ESCAPE && escape_at > 0 && presents >= escape_at) return true;
        return virtual_key >= 0 && virtual_key < static_cast<int>(keys.size()) && keys[virtual_key];
    }

    int message_box(win_window* owner, const std::string& text, const std::string& caption, UINT type) override {
        boxes.push_back(win_headless_message_box{owner != nullptr ? owner->handle : nullptr, text, caption, type,
                                                 owner != nullptr && owner->visible, presents});
        const win_message_box_buttons buttons = win_message_box_buttons_of(type);
        return buttons.ids[buttons.default_index];
    }

    void retire(const uint32_t* pixels) override {
        if (pixels != nullptr && pixels == pending.pixels) take_frame();
    }

    // The last frame, copied now if it was only referenced.
    const win_headless_frame& take_frame() {
        if (pending.pixels != nullptr) copy_frame(pending.pixels, frame.width, frame.height, pending.pitch);
        pending = {};
        return frame;
    }

    void reset() {
        keys.fill(false);
        presents = 0;
        frame = win_headless_frame{};
        pending = {};
        boxes.clear();
        on_present = nullptr;
        cursor = POINT{0, 0};
    }

    // The visible window whose client area holds the screen point, or null.
    static win_window* window_under(POINT point) {
        for (HWND handle = nullptr; (handle = win_table_next_window(handle)) != nullptr;) {
            win_window* window = win_table_live_window(handle);
            if (window == nullptr || !window->visible) continue;
            const POINT origin = win_client_origin(*window);
            if (point.x >= origin.x && point.y >= origin.y && point.x < origin.x + window->client_width &&
                point.y < origin.y + window->client_height) {
                return window;
            }
        }
        return nullptr;
    }

    std::array<bool, 256> keys{};
    int presents = 0;
    int escape_at = escape_at_from_environment();
    win_headless_frame frame;
    std::vector<win_headless_message_box> boxes;
    std::function<void(int)> on_present;
    POINT cursor{0, 0};

private:
    // The pixels last presented while they are not copied yet.
    struct pending_frame {
        const uint32_t* pixels = nullptr;
        int pitch = 0;
    };
    pending_frame pending;

    void copy_frame(const uint32_t* pixels, int width, int height, int pitch) {
        frame.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y) {
            copy_row(pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch),
                     frame.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width), width);
        }
    }

    // The unused top byte is cleared; a plain loop the vectoriser turns into wide masked copies
    // (this file is built with -O3 for it).
    static void copy_row(const uint32_t* __restrict in, uint32_t* __restrict out, int width) {
        for (int x = 0; x < width; ++x) out[x] = in[x] & 0x00FFFFFFu;
    }
};

headless_backend& headless() {
    // Never destroyed: exit handlers (e.g. a test harness reporting what a program did) may still
    // use the window layer after static destructors have begun to run.
    static headless_backend& instance = *new headless_backend;
    return instance;
}

}  // namespace

win_backend& win_headless_backend() { return headless(); }

void win_headless_set_key(int virtual_key, bool down) {
    if (virtual_key >= 0 && virtual_key < static_cast<int>(headless().keys.size())) {
        headless().keys[virtual_key] = down;
    }
}

void win_headless_request_close(HWND window) {
    if (win_table_live_window(window) != nullptr) win_post_message(window, WM_CLOSE, 0, 0);
}

void win_headless_resize(HWND window, int client_width, int client_height) {
    win_window* record = win_table_live_window(window);
    if (record == nullptr || client_width < 0 || client_height < 0) return;
    const POINT origin = win_client_origin(*record);
    win_native_moved(*record, origin.x, origin.y, client_width, client_height);
}

void win_headless_key(HWND window, int virtual_key, bool down, bool repeat) {
    if (win_table_live_window(window) == nullptr || virtual_key <= 0 || virtual_key > 0xFF) return;
    const bool alt = virtual_key == VK_MENU ? down : GetAsyncKeyState(VK_MENU) != 0;
    const win_key_code code = win_key_code_of(virtual_key);
    win_post_message(window, win_key_message(virtual_key, down, alt), static_cast<WPARAM>(virtual_key),
                     win_key_lparam(code.scan, code.extended, alt, down ? repeat : true, !down));
}

void win_headless_on_present(std::function<void(int presents)> callback) {
    headless().on_present = std::move(callback);
}

int win_headless_present_count() { return headless().presents; }
const win_headless_frame& win_headless_last_frame() { return headless().take_frame(); }
const std::vector<win_headless_message_box>& win_headless_message_boxes() { return headless().boxes; }

HWND win_headless_main_window() {
    const win_window* first = win_table_first_window();
    return first != nullptr ? first->handle : nullptr;
}

bool win_headless_window_class(LPCSTR class_name, WNDCLASSEXA* fields) {
    const win_class* record = win_table_find_class(class_name);
    if (record == nullptr || fields == nullptr) return false;
    *fields = record->fields;
    return true;
}

bool win_headless_window_info(HWND window, win_headless_window* info) {
    const win_window* record = win_table_any_window(window);
    if (record == nullptr || info == nullptr) return false;
    static_cast<win_headless_window_fields&>(*info) = {record->ex_style,
                                                       record->style,
                                                       record->x,
                                                       record->y,
                                                       record->width,
                                                       record->height,
                                                       record->parent,
                                                       record->menu,
                                                       record->instance,
                                                       record->param,
                                                       record->client_width,
                                                       record->client_height,
                                                       record->visible,
                                                       record->state == win_window_state::destroyed};
    info->class_name = record->window_class->name;
    info->title = record->title;
    return true;
}

void win_headless_reset() {
    win_table_reset();
    win_messages_reset();
    headless().reset();
}
