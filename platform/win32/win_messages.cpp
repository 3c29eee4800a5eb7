// win_messages.cpp - the message queue and loop: posting, peeking and getting, dispatching,
// sending, translating keys into characters, and the quit flag.
//
// Order of retrieval: PeekMessage first lets the back end turn pending input into posted
// messages, then returns, in this order, posted messages (FIFO), WM_PAINT for a window that was
// invalidated since its last WM_PAINT, WM_QUIT, WM_PAINT for a window that stays invalid after its
// WM_PAINT, and WM_TIMER for due timers. So WM_QUIT ends a drain (nothing posted and no fresh paint
// after it), yet a window that never validates itself cannot keep it from arriving. WM_PAINT is
// not removed by retrieval: it comes again whenever nothing else is pending until the window is
// validated (GetMessage does not sleep then). Repeated PostQuitMessage calls coalesce into one
// WM_QUIT (the last exit code wins); WM_QUIT passes every filter. A peek that finds nothing leaves
// the caller's record untouched.
//
// The queue is a ring buffer that only grows: posting and retrieving allocate nothing once it has
// held its largest backlog.
//
// GetMessage and WaitMessage wait in the back end until input arrives or the next timer is due.
// Without a display (headless) nothing but a timer can end a wait: a GetMessage that nothing could
// ever satisfy returns -1 (ERROR_INVALID_PARAMETER) instead of hanging the process.
//
// A and W forms behave alike: messages carry no text that would need converting, except WM_CHAR,
// whose character TranslateMessage makes for the window's kind (code point for W windows,
// Windows-1250 byte for A windows).
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
    // Puts a message before all others (the character of the key message just retrieved).
    void push_front(const MSG& message) {
        if (count_ == slots_.size()) grow();
        first_ = (first_ + slots_.size() - 1) % slots_.size();
        slots_[first_] = message;
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

// The window filter of a peek: any window and the thread, one window, or the thread only
// (HWND -1).
struct filter {
    HWND window = nullptr;
    bool thread_only = false;
    UINT min = 0;
    UINT max = 0;

    bool takes(UINT message) const { return (min == 0 && max == 0) || (message >= min && message <= max); }
    bool takes(const MSG& message) const {
        if (thread_only && message.hwnd != nullptr) return false;
        if (window != nullptr && message.hwnd != window) return false;
        return takes(message.message);
    }
};

POINT cursor_now() {
    if (win_backend* backend = win_started_backend()) return backend->message_cursor_position();
    return POINT{0, 0};
}

// Index of the first posted message the filter lets through, or the queue's size when none.
size_t find_posted(const filter& f) {
    message_ring& posted = queue().posted;
    size_t i = 0;
    while (i < posted.size() && !f.takes(posted.at(i))) ++i;
    return i;
}

// An invalid window the filter lets through: fresh (not painted since invalidated) or stale.
win_window* paint_candidate(const filter& f, bool stale) {
    if (f.thread_only || !f.takes(WM_PAINT)) return nullptr;
    for (HWND handle = nullptr; (handle = win_table_next_window(handle)) != nullptr;) {
        win_window* window = win_table_live_window(handle);
        if (window == nullptr || window->state != win_window_state::alive || !window->invalid) continue;
        if (f.window != nullptr && f.window != handle) continue;
        if (window->paint_delivered == stale) return window;
    }
    return nullptr;
}

bool is_mouse_message(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }

// What retrieval does besides handing the message out: the input state follows key and mouse
// messages, the window under the pointer gets WM_SETCURSOR before a mouse message.
void on_retrieved(const MSG& message) {
    win_input_note(message);
    if (is_mouse_message(message.message) && message.message != WM_MOUSEWHEEL && message.message != WM_MOUSEHWHEEL &&
        win_thread().capture == nullptr) {
        if (win_window* window = win_table_live_window(message.hwnd)) {
            win_send(*window, WM_SETCURSOR, reinterpret_cast<WPARAM>(message.hwnd),
                     MAKELPARAM(HTCLIENT, message.message));
        }
    }
}

enum class peek_result { none, message, quit };

peek_result peek(MSG* out, const filter& f, bool remove) {
    if (win_backend* backend = win_started_backend()) backend->pump_events();
    message_queue& q = queue();
    const size_t found = find_posted(f);
    if (found < q.posted.size()) {
        const MSG message = q.posted.at(found);
        if (remove) q.posted.remove(found);
        if (out != nullptr) *out = message;
        if (remove) on_retrieved(message);
        return peek_result::message;
    }
    win_window* painting = paint_candidate(f, false);
    if (painting == nullptr && !q.quit_requested) painting = paint_candidate(f, true);
    if (painting != nullptr) {
        if (remove) painting->paint_delivered = true;
        if (out != nullptr) *out = MSG{painting->handle, WM_PAINT, 0, 0, win_milliseconds(), cursor_now()};
        return peek_result::message;
    }
    if (q.quit_requested) {
        if (out != nullptr) {
            *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quit_code), 0, win_milliseconds(), cursor_now()};
        }
        if (remove) q.quit_requested = false;
        return peek_result::quit;
    }
    MSG timer{};
    if (f.takes(WM_TIMER) && win_timer_message(f.window, f.thread_only, remove, &timer)) {
        timer.pt = cursor_now();
        if (out != nullptr) *out = timer;
        return peek_result::message;
    }
    return peek_result::none;
}

// Reads the window filter; false (ERROR_INVALID_WINDOW_HANDLE) for a window that does not exist.
bool make_filter(HWND window, UINT min, UINT max, filter* f) {
    f->min = min;
    f->max = max;
    if (window == reinterpret_cast<HWND>(-1)) {
        f->thread_only = true;
        return true;
    }
    if (window != nullptr && win_table_live_window(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    f->window = window;
    return true;
}

bool anything_pending() {
    if (queue().posted.size() != 0 || queue().quit_requested) return true;
    const filter all{};
    return paint_candidate(all, false) != nullptr || paint_candidate(all, true) != nullptr || win_timer_wait() == 0;
}

// Waits in the back end until input arrives or the next timer is due; false when nothing could
// ever end the wait.
bool wait_for_input() {
    win_backend& backend = win_active_backend();
    const int timer = win_timer_wait();
    if (timer < 0) {
        if (!backend.has_input()) return false;
        backend.wait_events();
    } else if (timer > 0) {
        backend.wait_events_for(timer);
    }
    return true;
}

BOOL peek_message(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    filter f;
    if (!make_filter(window, filterMin, filterMax, &f)) return FALSE;
    return peek(msg, f, (removeFlags & PM_REMOVE) != 0) != peek_result::none ? TRUE : FALSE;
}

BOOL get_message(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    filter f;
    if (msg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!make_filter(window, filterMin, filterMax, &f)) return -1;
    for (;;) {
        const peek_result result = peek(msg, f, true);
        if (result == peek_result::quit) return FALSE;
        if (result == peek_result::message) return TRUE;
        if (f.window != nullptr && win_table_live_window(f.window) == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
        if (!wait_for_input()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return -1;
        }
    }
}

LRESULT dispatch(const MSG* msg) {
    if (msg == nullptr || msg->message == WM_QUIT) return 0;
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        const auto procedure = reinterpret_cast<TIMERPROC>(msg->lParam);
        // Only a procedure some timer was given is called: a forged lParam calls nothing.
        if (!win_timer_procedure_known(procedure)) return 0;
        if (msg->hwnd != nullptr && win_table_live_window(msg->hwnd) == nullptr) return 0;
        procedure(msg->hwnd, WM_TIMER, msg->wParam, win_milliseconds());
        return 0;
    }
    win_window* window = win_table_live_window(msg->hwnd);
    if (window == nullptr) {
        if (msg->hwnd != nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return win_send(*window, msg->message, msg->wParam, msg->lParam);
}

BOOL post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && win_table_live_window(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    win_post_message(window, message, wParam, lParam);
    return TRUE;
}

LRESULT send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    win_window* window = win_table_live_window(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return win_send(*window, message, wParam, lParam);
}

// The Windows-1250 byte of a code point that typing produced, or 0 when the code page has none
// (only ASCII is typed with the US layout, which maps to itself).
WPARAM ansi_character(wchar_t code) { return code > 0 && code < 0x80 ? static_cast<WPARAM>(code) : 0; }

}  // namespace

DWORD win_milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                              static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

void win_post_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    queue().posted.push(MSG{window, message, wParam, lParam, win_milliseconds(), cursor_now()});
}

void win_messages_reset() {
    queue().posted.clear();
    queue().quit_requested = false;
    queue().quit_code = 0;
    win_timers_reset();
    win_input_reset();
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    return peek_message(msg, window, filterMin, filterMax, removeFlags);
}
BOOL WINAPI PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    return peek_message(msg, window, filterMin, filterMax, removeFlags);
}
BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    return get_message(msg, window, filterMin, filterMax);
}
BOOL WINAPI GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    return get_message(msg, window, filterMin, filterMax);
}

BOOL WINAPI WaitMessage() {
    if (win_backend* backend = win_started_backend()) backend->pump_events();
    if (!anything_pending()) wait_for_input();
    return TRUE;
}

// Posts WM_CHAR (WM_SYSCHAR for WM_SYSKEYDOWN) with the key message's lParam when the key types
// a character; non-zero for every key message, translated or not, as the platform documents.
BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (msg == nullptr) return FALSE;
    if (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) return TRUE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
    const win_window* window = win_table_live_window(msg->hwnd);
    const wchar_t code = win_input_character(static_cast<UINT>(msg->wParam));
    if (code != 0 && window != nullptr) {
        const WPARAM character = window->unicode ? static_cast<WPARAM>(code) : ansi_character(code);
        if (character != 0) {
            // Retrieved next, before input that came after the key (as the platform's posted
            // messages come before its input).
            queue().posted.push_front(MSG{msg->hwnd,
                                          static_cast<UINT>(msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR),
                                          character, msg->lParam, msg->time, msg->pt});
        }
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) { return dispatch(msg); }
LRESULT WINAPI DispatchMessageW(const MSG* msg) { return dispatch(msg); }

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return post(window, message, wParam, lParam);
}
BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return post(window, message, wParam, lParam);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return send(window, message, wParam, lParam);
}
LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return send(window, message, wParam, lParam);
}

LRESULT WINAPI CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}
LRESULT WINAPI CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return procedure != nullptr ? procedure(window, message, wParam, lParam) : 0;
}

void WINAPI PostQuitMessage(int exitCode) {
    queue().quit_requested = true;
    queue().quit_code = exitCode;
}
