// win_messages.cpp - the message queue and loop: posting, peeking, dispatching, the default window
// procedure and the quit flag.
//
// Order of a drain: PeekMessageA first lets the back end turn pending input into posted messages,
// then returns posted messages in FIFO order; WM_QUIT is synthesised from the quit flag only when
// no posted message is left that the call could return, so it is always the last message of a
// drain. Repeated PostQuitMessage calls coalesce into one WM_QUIT (the last exit code wins). A
// peek that finds nothing leaves the caller's record untouched.
//
// The queue is a ring buffer that only grows: posting and retrieving allocate nothing once it has
// held its largest backlog.
//
// WaitMessage returns at once while something is queued; otherwise it lets the back end block
// until input arrives.
//
// DOES NOT: deliver sent messages from other threads or WM_TIMER; make WM_PAINT of its own (a
// back end posts it when a window needs showing again); TranslateMessage makes no WM_CHAR.
#include <windows.h>

#include "platform/win32/win_backend.h"
#include "platform/win32/win_messages.h"
#include "platform/win32/win_window_table.h"

#include <time.h>

#include <vector>

namespace {

class message_ring {
public:
    void push(const MSG& message) {
        if (count_ == slots_.size()) grow();
        slots_[(first_ + count_) % slots_.size()] = message;
        ++count_;
    }
    size_t size() const { return count_; }
    MSG& at(size_t i) { return slots_[(first_ + i) % slots_.size()]; }
    // Removes the i-th message, keeping the order of the others.
    void remove(size_t i) {
        for (; i + 1 < count_; ++i) at(i) = at(i + 1);
        --count_;
        if (count_ == 0) first_ = 0;
    }
    void clear() { first_ = count_ = 0; }

private:
    void grow() {
        std::vector<MSG> bigger(slots_.empty() ? 16 : slots_.size() * 2);
        for (size_t i = 0; i < count_; ++i) bigger[i] = at(i);
        slots_.swap(bigger);
        first_ = 0;
    }
    std::vector<MSG> slots_;
    size_t first_ = 0;
    size_t count_ = 0;
};

struct message_queue {
    message_ring posted;
    bool quit_requested = false;
    int quit_code = 0;
};

message_queue& queue() {
    // Never destroyed: exit handlers (e.g. a test harness reporting what a program did) may still
    // use the window layer after static destructors have begun to run.
    static message_queue& instance = *new message_queue;
    return instance;
}

DWORD milliseconds_now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<DWORD>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

bool matches(const MSG& message, HWND window, UINT filter_min, UINT filter_max) {
    if (window != nullptr && message.hwnd != window) return false;
    if (filter_min == 0 && filter_max == 0) return true;
    return message.message >= filter_min && message.message <= filter_max;
}

// Index of the first posted message the filter lets through, or the queue's size when none.
size_t find_posted(HWND window, UINT filter_min, UINT filter_max) {
    message_ring& posted = queue().posted;
    size_t i = 0;
    while (i < posted.size() && !matches(posted.at(i), window, filter_min, filter_max)) ++i;
    return i;
}

}  // namespace

void win_post_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    queue().posted.push(MSG{window, message, wParam, lParam, milliseconds_now(), POINT{0, 0}});
}

void win_messages_reset() {
    queue().posted.clear();
    queue().quit_requested = false;
    queue().quit_code = 0;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (win_backend* backend = win_started_backend()) backend->pump_events();
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    const size_t found = find_posted(window, filterMin, filterMax);
    if (found < queue().posted.size()) {
        if (msg != nullptr) *msg = queue().posted.at(found);
        if (remove) queue().posted.remove(found);
        return TRUE;
    }
    if (!queue().quit_requested) return FALSE;
    if (msg != nullptr) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue().quit_code), 0, milliseconds_now(), POINT{0, 0}};
    }
    if (remove) queue().quit_requested = false;
    return TRUE;
}

BOOL WINAPI WaitMessage() {
    if (queue().posted.size() == 0 && !queue().quit_requested) win_active_backend().wait_events();
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) { return msg != nullptr && msg->message == WM_KEYDOWN; }

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->message == WM_QUIT) return 0;
    const win_window* window = win_table_live_window(msg->hwnd);
    if (window == nullptr) return 0;
    return window->window_class->fields.lpfnWndProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && win_table_live_window(window) == nullptr) return FALSE;
    win_post_message(window, message, wParam, lParam);
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    queue().quit_requested = true;
    queue().quit_code = exitCode;
}
