// win_window_table.cpp - registered window classes and windows, looked up by name, atom or handle.
#include "platform/win32/win_window_table.h"
#include "platform/base/ascii_case.h"

#include <cctype>
#include <cstdint>
#include <vector>

namespace {

// Class atoms as the platform numbers them (string atoms start at 0xC000).
const ATOM first_atom = 0xC000;
// Handle values step by 16 from here, so that small integers never name a window.
const uintptr_t first_handle = 0x10010;

struct window_table {
    std::vector<std::unique_ptr<win_class>> classes;
    std::vector<std::unique_ptr<win_window>> windows;
    uintptr_t next_handle = first_handle;
    ATOM next_atom = first_atom;
    win_thread_state thread;
};

window_table& table() {
    // Never destroyed: exit handlers (e.g. a test harness reporting what a program did) may still
    // use the window layer after static destructors have begun to run.
    static window_table& instance = *new window_table;
    return instance;
}

}  // namespace

bool win_is_atom(LPCSTR name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

const win_class* win_table_add_class(const WNDCLASSEXA& fields) {
    if (win_table_find_class(fields.lpszClassName) != nullptr) return nullptr;
    auto record = std::make_unique<win_class>();
    record->fields = fields;
    record->name = fields.lpszClassName;
    record->fields.lpszClassName = record->name.c_str();
    if (fields.lpszMenuName != nullptr && !win_is_atom(fields.lpszMenuName)) {
        record->menu_name = fields.lpszMenuName;
        record->fields.lpszMenuName = record->menu_name.c_str();
    }
    record->atom = table().next_atom++;
    table().classes.push_back(std::move(record));
    return table().classes.back().get();
}

const win_class* win_table_find_class(LPCSTR name_or_atom) {
    if (name_or_atom == nullptr) return nullptr;
    const bool by_atom = win_is_atom(name_or_atom);
    const auto atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(name_or_atom));
    for (const auto& record : table().classes) {
        if (!record->registered) continue;
        if (by_atom ? record->atom == atom : ascii_equal_ignoring_case(record->name, name_or_atom)) return record.get();
    }
    return nullptr;
}

win_window& win_table_add_window() {
    auto record = std::make_unique<win_window>();
    record->handle = reinterpret_cast<HWND>(table().next_handle);
    table().next_handle += 16;
    table().windows.push_back(std::move(record));
    return *table().windows.back();
}

void win_table_remove_window(HWND handle) {
    auto& windows = table().windows;
    for (auto it = windows.begin(); it != windows.end(); ++it) {
        if ((*it)->handle == handle) {
            windows.erase(it);
            return;
        }
    }
}

win_window* win_table_any_window(HWND handle) {
    if (handle == nullptr) return nullptr;
    for (const auto& record : table().windows) {
        if (record->handle == handle) return record.get();
    }
    return nullptr;
}

win_window* win_table_live_window(HWND handle) {
    win_window* window = win_table_any_window(handle);
    return window != nullptr && window->state != win_window_state::destroyed ? window : nullptr;
}

HWND win_table_next_window(HWND handle) {
    const auto& windows = table().windows;
    size_t i = 0;
    if (handle != nullptr) {
        while (i < windows.size() && windows[i]->handle != handle) ++i;
        ++i;
    }
    return i < windows.size() ? windows[i]->handle : nullptr;
}

win_window* win_table_first_window() { return table().windows.empty() ? nullptr : table().windows.front().get(); }

win_window* win_table_main_window() {
    for (const auto& record : table().windows) {
        if (record->state == win_window_state::alive && (record->style & WS_CHILD) == 0) return record.get();
    }
    return nullptr;
}

win_thread_state& win_thread() { return table().thread; }

LRESULT win_send(win_window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window.procedure == nullptr) return 0;
    return window.procedure(window.handle, message, wParam, lParam);
}

int win_table_class_window_count(const win_class* window_class) {
    int count = 0;
    for (const auto& record : table().windows) {
        if (record->window_class == window_class && record->state != win_window_state::destroyed) ++count;
    }
    return count;
}

void win_table_remove_class(const win_class* window_class) {
    for (const auto& record : table().classes) {
        if (record.get() == window_class) record->registered = false;
    }
}

void win_table_reset() {
    table().windows.clear();
    table().classes.clear();
    table().thread = win_thread_state{};
}
