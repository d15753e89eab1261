#include <gtest/gtest.h>

#include "platform/local_time.h"

namespace quillomat {
namespace {

TEST(DayCount, RoundTripsThroughLocalTime) {
  const platform::LocalTime t{2026, 12, 11, 16, 30, 15, 250, 5};
  EXPECT_EQ(platform::FromDayCount(platform::ToDayCount(t)), t);
  EXPECT_DOUBLE_EQ(platform::ToDayCount({1899, 12, 30, 12, 0, 0, 0, 6}), 0.5);
  EXPECT_DOUBLE_EQ(platform::ToDayCount({1900, 1, 1, 0, 0, 0, 0, 1}), 2.0);
}

}  // namespace
}  // namespace quillomat
