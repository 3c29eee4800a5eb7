// win_pacing.h - paces presents to the display refresh with a timer, for back ends without vsync.
//
// Deadlines follow each other by one refresh period on the monotonic clock, so a frame that took
// part of a period waits only for the rest of it. A present that comes more than a period late
// starts a new schedule from now instead of hurrying to catch up.
#pragma once

#include <cstdint>

struct win_pacer {
    int64_t period_ns = 0;
    int64_t next_deadline_ns = 0;  // 0: no present yet
};

// A pacer for `refresh_hz` refreshes per second (60 when unknown, i.e. <= 0).
win_pacer win_pacer_for_refresh(int refresh_hz);

// The deadline to wait for, given the previous one and the time now (pure; 0 = no previous).
int64_t win_pacing_next_deadline(int64_t previous_deadline_ns, int64_t now_ns, int64_t period_ns);

// Sleeps until the pacer's next deadline.
void win_pacer_wait(win_pacer& pacer);
