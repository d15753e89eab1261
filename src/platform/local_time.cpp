#include "platform/local_time.h"

#include <chrono>
#include <cmath>

namespace quillomat::platform {

namespace {
constexpr std::chrono::sys_days kEpoch = std::chrono::year{1899} / std::chrono::December / 30;
}

double ToDayCount(const LocalTime& t) {
  using namespace std::chrono;
  const sys_days date =
      year{t.year} / month{static_cast<unsigned>(t.month)} / day{static_cast<unsigned>(t.day)};
  const double days = static_cast<double>((date - kEpoch).count());
  const double fraction =
      (t.hour * 3600000.0 + t.minute * 60000.0 + t.second * 1000.0 + t.millisecond) / 86400000.0;
  // Before the epoch the fraction still counts forward from the day's start, as stored dates do.
  return days >= 0 ? days + fraction : days - fraction;
}

LocalTime FromDayCount(double value) {
  using namespace std::chrono;
  const double whole = std::trunc(value);
  const long long ms = std::llround(std::fabs(value - whole) * 86400000.0);
  const sys_days date = kEpoch + days{static_cast<long long>(whole)} + days{ms / 86400000};
  const year_month_day ymd{date};
  LocalTime t;
  t.year = static_cast<int>(ymd.year());
  t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  const long long in_day = ms % 86400000;
  t.hour = static_cast<int>(in_day / 3600000);
  t.minute = static_cast<int>(in_day / 60000 % 60);
  t.second = static_cast<int>(in_day / 1000 % 60);
  t.millisecond = static_cast<int>(in_day % 1000);
  t.day_of_week = static_cast<int>(weekday{date}.c_encoding());
  return t;
}

}  // namespace quillomat::platform
