// pacing_test.cpp - the present timer's schedule: steady periods, waiting only for the rest of
// a period, and a fresh start after falling behind.
#include "platform/win32/win_pacing.h"

#include <gtest/gtest.h>

namespace {

const int64_t ms = 1000000;

TEST(Pacing, PeriodComesFromTheRefreshRateWithSixtyHertzWhenUnknown) {
    EXPECT_EQ(win_pacer_for_refresh(60).period_ns, 16666666);
    EXPECT_EQ(win_pacer_for_refresh(0).period_ns, 16666666);
    EXPECT_EQ(win_pacer_for_refresh(-3).period_ns, 16666666);
    EXPECT_EQ(win_pacer_for_refresh(120).period_ns, 8333333);
}

TEST(Pacing, DeadlinesFollowEachOtherByOnePeriod) {
    const int64_t period = 16 * ms;
    const int64_t first = win_pacing_next_deadline(0, 1000 * ms, period);
    EXPECT_EQ(first, 1016 * ms);
    EXPECT_EQ(win_pacing_next_deadline(first, 1020 * ms, period), 1032 * ms) << "a short frame waits for the rest";
    EXPECT_EQ(win_pacing_next_deadline(first, 1040 * ms, period), 1032 * ms) << "slightly late: no wait, no drift";
    EXPECT_EQ(win_pacing_next_deadline(first, 1100 * ms, period), 1116 * ms) << "far behind: a fresh schedule";
}

}  // namespace
