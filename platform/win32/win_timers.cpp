// win_timers.cpp - SetTimer and KillTimer, and the WM_TIMER messages of due timers.
//
// A timer is due once its period has passed since it was set or since its last WM_TIMER was
// retrieved; WM_TIMER is made only when the queue has nothing else to give (lowest priority), so
// at most one per timer is ever outstanding and a slow program gets fewer, not a backlog.
// Periods are clamped to [USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM]. Timers without a window get
// ids of their own, counting down from 0x7FFF so they do not meet small ids programs choose.
#include <windows.h>

#include "platform/win32/win_messages.h"
#include "platform/win32/win_window_geometry.h"
#include "platform/win32/win_window_table.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

struct timer {
    HWND window;
    UINT_PTR id;
    UINT period;
    TIMERPROC procedure;
    uint64_t due;  // milliseconds of the monotonic clock, not truncated
};

struct timer_table {
    std::vector<timer> timers;
    UINT_PTR next_thread_id = 0x7FFF;
};

timer_table& table() {
    static timer_table& instance = *new timer_table;
    return instance;
}

uint64_t now_ms() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

timer* find(HWND window, UINT_PTR id) {
    for (timer& t : table().timers) {
        if (t.window == window && t.id == id) return &t;
    }
    return nullptr;
}

}  // namespace

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    if (window != nullptr) {
        const win_window* record = win_table_live_window(window);
        if (record == nullptr || record->state != win_window_state::alive) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
    }
    const UINT period = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    if (window == nullptr) {
        timer* existing = id != 0 ? find(nullptr, id) : nullptr;
        if (existing == nullptr) {
            id = table().next_thread_id;
            while (find(nullptr, id) != nullptr || id == 0) id = id > 1 ? id - 1 : 0x7FFF;
            table().next_thread_id = id > 1 ? id - 1 : 0x7FFF;
        }
    }
    const uint64_t due = now_ms() + period;
    if (timer* existing = find(window, id)) {
        *existing = timer{window, id, period, procedure, due};
    } else {
        table().timers.push_back(timer{window, id, period, procedure, due});
    }
    return id != 0 ? id : 1;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
    auto& timers = table().timers;
    for (auto it = timers.begin(); it != timers.end(); ++it) {
        if (it->window == window && it->id == id) {
            timers.erase(it);
            return TRUE;
        }
    }
    SetLastError(window != nullptr && win_table_live_window(window) == nullptr ? ERROR_INVALID_WINDOW_HANDLE
                                                                               : ERROR_INVALID_PARAMETER);
    return FALSE;
}

void win_kill_window_timers(HWND window) {
    auto& timers = table().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(), [window](const timer& t) { return t.window == window; }),
                 timers.end());
}

bool win_timer_message(HWND filter, bool thread_only, bool remove, MSG* message) {
    const uint64_t now = now_ms();
    for (timer& t : table().timers) {
        if (t.due > now) continue;
        if (thread_only && t.window != nullptr) continue;
        if (filter != nullptr && t.window != filter) continue;
        *message =
            MSG{t.window, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.procedure), static_cast<DWORD>(now), POINT{0, 0}};
        if (remove) t.due = now + t.period;
        return true;
    }
    return false;
}

int win_timer_wait() {
    if (table().timers.empty()) return -1;
    const uint64_t now = now_ms();
    uint64_t soonest = UINT64_MAX;
    for (const timer& t : table().timers) soonest = std::min(soonest, t.due);
    if (soonest <= now) return 0;
    return static_cast<int>(std::min<uint64_t>(soonest - now, 0x7FFFFFFF));
}

bool win_timer_procedure_known(TIMERPROC procedure) {
    for (const timer& t : table().timers) {
        if (t.procedure == procedure) return true;
    }
    return false;
}

void win_timers_reset() {
    table().timers.clear();
    table().next_thread_id = 0x7FFF;
}
