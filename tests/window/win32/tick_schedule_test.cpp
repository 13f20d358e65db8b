#include "tick_schedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace tempulix {
namespace {

constexpr std::int64_t ms = 1000;  // microseconds

// A system timer that can only fire on its own granularity (Windows: 15.625 ms) and never early:
// each wake-up is the first system tick at or after the time asked for.
std::int64_t systemWake(std::int64_t asked, std::int64_t granularity) {
  return (asked + granularity - 1) / granularity * granularity;
}

TEST(TickScheduleTest, CoarseTimerKeepsTheAveragePeriod) {
  const std::int64_t granularity = 15625;  // 64 Hz
  TickSchedule schedule;
  std::int64_t now = 0;
  schedule.start(now, 100 * ms);
  int ticks = 0;
  std::int64_t lastTick = 0;
  while (now < 600'000 * ms) {  // ten minutes
    now = systemWake(now + schedule.remaining(now), granularity);
    if (schedule.due(now)) {
      ++ticks;
      EXPECT_LT(now - lastTick, 100 * ms + granularity);
      lastTick = now;
    }
  }
  // 6000 ideal; a period re-armed from each late wake-up (109.375 ms) would give 5485.
  EXPECT_GE(ticks, 5999);
  EXPECT_LE(ticks, 6000);
}

TEST(TickScheduleTest, WakeUps) {
  const struct Row {
    const char* what;
    std::int64_t wake;  // since start, in ms
    bool due;
    std::int64_t remainingAfter;  // in ms
  } rows[] = {
      {"early wake-up is not a tick", 60, false, 40},
      {"on the deadline", 100, true, 100},
      {"late by 9 ms: next deadline still 200", 209, true, -9 + 100},
      {"stale wake-up right after", 210, false, 90},
      {"three periods missed: one tick, phase kept", 545, true, 55},
      {"back on schedule", 600, true, 100},
  };
  TickSchedule schedule;
  schedule.start(0, 100 * ms);
  for (const Row& row : rows) {
    EXPECT_EQ(schedule.due(row.wake * ms), row.due) << row.what;
    EXPECT_EQ(schedule.remaining(row.wake * ms), row.remainingAfter * ms) << row.what;
  }
}

TEST(TickScheduleTest, NotStartedIsNeverDue) {
  TickSchedule schedule;
  EXPECT_FALSE(schedule.due(1'000'000 * ms));
}

}  // namespace
}  // namespace tempulix
