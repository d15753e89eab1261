#pragma once

#include <cstdint>

namespace quillomat::platform {

// A moment of local wall-clock time, as the clocks of the event loop report it.
struct LocalTime {
  int year = 1899;
  int month = 12;  // 1..12
  int day = 30;    // 1..31
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int day_of_week = 6;  // 0 = Sunday .. 6 = Saturday

  bool operator==(const LocalTime&) const = default;
};

// Dates in macro files are day counts since 30 December 1899; the fraction is the time of day.
double ToDayCount(const LocalTime& t);
LocalTime FromDayCount(double days);

}  // namespace quillomat::platform
