// The real clock counts from the process start; the calendar can be fixed.
#include <gtest/gtest.h>

#include "engine/host/host_clock.h"

namespace {

TEST(HostClockTest, RealClockCountsFromProcessStart) {
  HostUseRealClock();
  const uint64_t first = HostMilliseconds();
  HostSleepMs(2);
  EXPECT_GE(HostMilliseconds(), first + 2);
  EXPECT_LT(first, 24ull * 60 * 60 * 1000);  // not since boot or 1970
}

TEST(HostClockTest, CalendarTimeCanBeFixed) {
  HostSetCalendarSeconds(1234567);
  EXPECT_EQ(HostCalendarSeconds(), 1234567);
  HostUseRealCalendar();
  EXPECT_GT(HostCalendarSeconds(), 1600000000);  // after 2020
}

}  // namespace
