// win_timing.h - the clock behind GetTickCount, timeGetTime and the performance counter, and what
// tests may do to it.
#pragma once

#include <cstdint>

// Milliseconds added to the millisecond clocks (GetTickCount, GetTickCount64, timeGetTime), so that
// a test can bring the 32-bit counters near their wrap. The performance counter is not moved.
void win_timing_set_tick_offset(uint64_t milliseconds);
