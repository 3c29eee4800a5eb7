// win_pacing.cpp - timer pacing of presents at the display's refresh rate.
#include "platform/win32/win_pacing.h"

#include <cerrno>
#include <time.h>

namespace {

const int fallback_refresh_hz = 60;
const int64_t nanoseconds_per_second = 1000000000;

int64_t now_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * nanoseconds_per_second + now.tv_nsec;
}

void sleep_until(int64_t deadline_ns) {
    const timespec deadline{static_cast<time_t>(deadline_ns / nanoseconds_per_second),
                            static_cast<long>(deadline_ns % nanoseconds_per_second)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

}  // namespace

win_pacer win_pacer_for_refresh(int refresh_hz) {
    const int hz = refresh_hz > 0 ? refresh_hz : fallback_refresh_hz;
    return win_pacer{nanoseconds_per_second / hz, 0};
}

int64_t win_pacing_next_deadline(int64_t previous_deadline_ns, int64_t now_ns, int64_t period_ns) {
    if (previous_deadline_ns == 0) return now_ns + period_ns;
    const int64_t next = previous_deadline_ns + period_ns;
    return next + period_ns < now_ns ? now_ns + period_ns : next;
}

void win_pacer_wait(win_pacer& pacer) {
    pacer.next_deadline_ns = win_pacing_next_deadline(pacer.next_deadline_ns, now_ns(), pacer.period_ns);
    sleep_until(pacer.next_deadline_ns);
}
