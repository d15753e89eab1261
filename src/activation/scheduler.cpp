#include "activation/scheduler.h"

#include <cstdio>

namespace quillomat::activation {

namespace {

constexpr int64_t kMsPerMinute = 60'000;
constexpr int64_t kMsPerHour = 60 * kMsPerMinute;
constexpr int64_t kMsPerDay = 24 * kMsPerHour;

// Days from 1 January 1970 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

const int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

int64_t DayStartMs(int year, int month, int day) {
  return (DaysFromCivil(year, month, day) - kEpochDays) * kMsPerDay;
}

struct Date {
  int year, month, day;
  bool operator==(const Date&) const = default;
};

// The kinds that run at a time of day on some days: is this date one of them?
bool RunsOn(const TimedEntry& e, const Date& d) {
  switch (e.kind) {
    case store::kOnce:
      return d == Date{e.year, e.month, e.day_of_month};
    case store::kDaily: {
      const int weekday = WeekdayOf(d.year, d.month, d.day);  // 0 = Sunday
      return e.day_flags[(weekday + 6) % 7] != 0;             // flags run Monday .. Sunday
    }
    case store::kWeekly:
      return WeekdayOf(d.year, d.month, d.day) + 1 == e.day_of_week;
    case store::kMonthly:
      return d.day == e.day_of_month;
    default:
      return false;
  }
}

}  // namespace

int64_t ToMilliseconds(const platform::LocalTime& t) {
  return DayStartMs(t.year, t.month, t.day) + t.hour * kMsPerHour + t.minute * kMsPerMinute +
         t.second * 1000 + t.millisecond;
}

int WeekdayOf(int year, int month, int day) {
  const int64_t days = DaysFromCivil(year, month, day);  // 1 January 1970 was a Thursday
  return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && year % 4 == 0) return 29;
  return kDays[month - 1];
}

TimedEntry EntryOf(int macro_number, const store::MacroRecord& r, int64_t now_ms) {
  TimedEntry e;
  e.macro_number = macro_number;
  e.kind = static_cast<uint16_t>(r.schedule_kind.Get());
  for (int i = 0; i < 7; ++i) e.day_flags[i] = r.day_flags[i];
  e.month = r.month;
  e.day_of_month = r.day_of_month;
  e.minute_past_hour = r.minute_past_hour;
  e.interval = static_cast<int>(r.interval.Get());
  e.day_of_week = r.day_of_week;
  e.year = static_cast<int>(r.year.Get());
  int hour = r.hour;
  if (r.pm) {
    if (hour >= 1 && hour <= 11) hour += 12;
  } else if (hour == 12) {
    hour = 0;
  }
  e.time_of_day_ms = hour * kMsPerHour + r.minute * kMsPerMinute;
  e.last_run_ms = now_ms;
  return e;
}

bool DueNow(TimedEntry& e, const platform::LocalTime& previous, const platform::LocalTime& now) {
  const int64_t prev_ms = ToMilliseconds(previous);
  const int64_t now_ms = ToMilliseconds(now);
  switch (e.kind) {
    case store::kOnce:
    case store::kDaily:
    case store::kWeekly:
    case store::kMonthly: {
      // The scheduled moment of today and of the previous check's day: a check just after
      // midnight still runs a moment of the evening before, and a day that is not one of the
      // macro's days never runs it, whatever the day before was.
      const Date today{now.year, now.month, now.day};
      const Date before{previous.year, previous.month, previous.day};
      for (const Date& d : {today, before}) {
        if (!RunsOn(e, d)) continue;
        const int64_t moment = DayStartMs(d.year, d.month, d.day) + e.time_of_day_ms;
        if (prev_ms < moment && moment <= now_ms) return true;
      }
      return false;
    }
    case store::kHourly: {
      if (e.minute_past_hour > 59) return false;
      int64_t moment = now_ms - now_ms % kMsPerHour + e.minute_past_hour * kMsPerMinute;
      if (moment > now_ms) moment -= kMsPerHour;
      return prev_ms < moment;
    }
    case store::kEveryMinutes: {
      if (e.interval <= 0) return false;
      const int64_t interval_ms = e.interval * kMsPerMinute;
      const int64_t elapsed = now_ms - e.last_run_ms;
      if (elapsed < interval_ms) return false;
      // The cadence stays on the slots counted from the table's build; slots that passed
      // while nothing could run are skipped, not made up one per check.
      e.last_run_ms += elapsed / interval_ms * interval_ms;
      return true;
    }
    default:
      return false;
  }
}

Scheduler::Scheduler(platform::EventLoop& loop, const store::SharedIndex& index,
                     const startup::SettingsRecord& settings, SchedulerHost& host)
    : loop_(loop), index_(index), settings_(settings), host_(host), previous_(loop.Now()) {}

void Scheduler::CheckAndSetTime() {
  table_.clear();
  const int64_t now_ms = ToMilliseconds(loop_.Now());
  store::MacroRecord record;
  for (int n = 1; n <= index_.Count() && n <= store::kMaxMacros; ++n) {
    if (!index_.Active(n) || index_.Activation(n) != store::kTimedMacro) continue;
    if (!host_.ReadMacro(n, record)) continue;
    if (record.schedule_kind.Get() == store::kAtStartup) continue;
    table_.push_back(EntryOf(n, record, now_ms));
  }
  host_.EnableCheckTimer(!table_.empty());
}

void Scheduler::CheckOutTimerMacros() {
  if (in_check_) return;
  // Another macro is typing or waiting in its pause: leaving the previous check where it is
  // lets the next check after it run what fell due meanwhile, instead of mixing the two.
  if (host_.MacroPlaying() || host_.MacroPaused()) return;
  in_check_ = true;
  const platform::LocalTime now = loop_.Now();
  store::MacroRecord record;
  // By index: a run can rebuild the table (a macro that swaps the macro file).
  for (size_t i = 0; i < table_.size(); ++i) {
    if (!DueNow(table_[i], previous_, now)) continue;
    const int n = table_[i].macro_number;
    if (host_.ReadMacro(n, record)) RunTimed(n, record);
  }
  previous_ = now;
  in_check_ = false;
}

void Scheduler::DoStartUpMacros() {
  store::MacroRecord record;
  for (int n = 1; n <= index_.Count() && n <= store::kMaxMacros; ++n) {
    if (!index_.Active(n) || index_.Activation(n) != store::kTimedMacro) continue;
    if (!host_.ReadMacro(n, record)) continue;
    if (record.schedule_kind.Get() != store::kAtStartup) continue;
    if (!RunTimed(n, record)) return;
  }
}

bool Scheduler::RunTimed(int n, const store::MacroRecord& record) {
  const auto scope = record.scope.Get();
  if (scope == store::kScopeWindow && !host_.ActivateWindow(record.scope_name.Get())) return false;
  if (scope == store::kScopeProgram && !host_.ActivateProgram(record.scope_name.Get())) {
    return false;
  }
  if (settings_.use_wave_file) host_.PlayWave(settings_.wave_file, settings_.wave_file_wait);
  host_.PlayTimedMacro(n, record);
  return true;
}

std::string MonthName(int month) {
  static constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                            "May",       "June",     "July",     "August",
                                            "September", "October",  "November", "December"};
  return month >= 1 && month <= 12 ? kMonths[month - 1] : "";
}

std::string DayName(int day_of_week) {
  static constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
  return day_of_week >= 1 && day_of_week <= 7 ? kDays[day_of_week - 1] : "";
}

std::string SchedTime(int hour, int minute, bool pm) {
  char minutes[8];
  std::snprintf(minutes, sizeof minutes, "%02d", minute);
  return std::to_string(hour) + ":" + minutes + (pm ? "PM" : "AM");
}

std::string GetSched(const store::MacroRecord& r) {
  const std::string time = SchedTime(r.hour, r.minute, r.pm != 0);
  switch (r.schedule_kind.Get()) {
    case store::kAtStartup:
      return "At Startup";
    case store::kOnce:
      return "Once at " + time + " on " + std::to_string(r.day_of_month) + " " +
             MonthName(r.month) + " " + std::to_string(r.year.Get());
    case store::kHourly:
      return "Hourly at " + std::to_string(r.minute_past_hour) + " minutes past the hour";
    case store::kDaily: {
      std::string text = "Daily at " + time;
      static constexpr const char* kMarks[] = {",Sun", ",Mon", ",Tue", ",Wed",
                                               ",Thu", ",Fri", ",Sat"};
      for (int d = 0; d < 7; ++d) {
        if (r.day_flags[(d + 6) % 7]) text += kMarks[d];  // the flags run Monday .. Sunday
      }
      return text;
    }
    case store::kWeekly:
      return "Weekly at " + time + " on " + DayName(r.day_of_week);
    case store::kMonthly:
      return "Monthly at " + time + " on day " + std::to_string(r.day_of_month) + " of each month";
    case store::kEveryMinutes:
      return "every " + std::to_string(r.interval.Get()) + " minutes";
    default:
      return "";
  }
}

void DefaultTimer(store::MacroRecord& r, const platform::LocalTime& today) {
  r.schedule_kind.Set(store::kDaily);
  for (auto& flag : r.day_flags) flag = 1;
  r.month = static_cast<uint8_t>(today.month);
  r.day_of_month = static_cast<uint8_t>(today.day);
  r.year.Set(static_cast<uint16_t>(today.year));
  r.minute_past_hour = 15;
  r.interval.Set(15);
  r.day_of_week = static_cast<uint8_t>(WeekdayOf(today.year, today.month, today.day) + 1);
  r.hour = 12;
  r.minute = 0;
  r.pm = 1;
}

}  // namespace quillomat::activation
