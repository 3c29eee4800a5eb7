// win_timing.cpp - GetTickCount, timeGetTime, the performance counter and Sleep on CLOCK_MONOTONIC
// (see winbase.h and mmsystem.h).
#include <windows.h>

#include "platform/win32/win_timing.h"

#include <sched.h>
#include <time.h>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<uint64_t> tick_offset{0};

uint64_t monotonic_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint64_t(now.tv_sec) * 1000000000u + uint64_t(now.tv_nsec);
}

uint64_t ticks() { return monotonic_ns() / 1000000u + tick_offset.load(std::memory_order_relaxed); }

constexpr UINT shortest_period = 1;
constexpr UINT longest_period = 1000;

}  // namespace

void win_timing_set_tick_offset(uint64_t milliseconds) { tick_offset.store(milliseconds, std::memory_order_relaxed); }

DWORD WINAPI GetTickCount() { return static_cast<DWORD>(ticks()); }

ULONGLONG WINAPI GetTickCount64() { return ticks(); }

DWORD WINAPI timeGetTime() { return static_cast<DWORD>(ticks()); }

MMRESULT WINAPI timeBeginPeriod(UINT period) {
    return period >= shortest_period && period <= longest_period ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT WINAPI timeEndPeriod(UINT period) { return timeBeginPeriod(period); }

MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT size) {
    if (caps == nullptr || size != sizeof(TIMECAPS)) return TIMERR_STRUCT;
    caps->wPeriodMin = shortest_period;
    caps->wPeriodMax = longest_period;
    return TIMERR_NOERROR;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    if (frequency == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    frequency->QuadPart = 10000000;
    return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count) {
    if (count == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    count->QuadPart = static_cast<LONGLONG>(monotonic_ns() / 100u);
    return TRUE;
}

void WINAPI Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    // Until an absolute time, so that interruptions by signals do not lengthen the sleep.
    timespec until{};
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_sec += milliseconds / 1000;
    until.tv_nsec += long(milliseconds % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}
