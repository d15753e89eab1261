#pragma once

// Timed macros: a table of the active timed macros of the file, checked on a timer. A macro
// runs when one of its scheduled moments lies after the previous check and at or before the
// current one, so a moment between two checks runs exactly once, and moments that fell while
// the program was not running (or before its first check) are not made up.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/local_time.h"
#include "startup/settings.h"
#include "store/macro_record.h"
#include "store/shared_index.h"

namespace quillomat::activation {

// The one-shot delay after the main window is created before the start-up macros play.
inline constexpr int kStartUpMacroDelayMs = 5000;

// What the scheduler needs from the main window (which implements it).
class SchedulerHost {
 public:
  virtual ~SchedulerHost() = default;
  // Record n (1..count) of the current macro file; false when it cannot be read.
  virtual bool ReadMacro(int n, store::MacroRecord& record) = 0;
  // A window whose title contains the text, or the program of that name, brought to the
  // front; false when there is none.
  virtual bool ActivateWindow(const std::string& title) = 0;
  virtual bool ActivateProgram(const std::string& program) = 0;
  virtual void PlayWave(const std::string& path, bool wait) = 0;
  // Makes n the current macro, resets the player (speed factor 1.0), switches Caps Lock off
  // for the run when it was reported on, reads the screen size and plays the record's text.
  virtual void PlayTimedMacro(int n, const store::MacroRecord& record) = 0;
  // A macro started by other means is playing or paused: a timed macro must not type into it.
  virtual bool MacroPlaying() = 0;
  virtual bool MacroPaused() = 0;
  // The check timer runs only while the table holds a macro.
  virtual void EnableCheckTimer(bool enabled) = 0;
};

// Milliseconds since 30 December 1899, local time; exact, so that a moment is never seen on
// both sides of a check.
int64_t ToMilliseconds(const platform::LocalTime& t);
// Weekday of a civil date, 0 = Sunday.
int WeekdayOf(int year, int month, int day);
// Days in a month; February has 29 days when the year is divisible by 4.
int DaysInMonth(int year, int month);

struct TimedEntry {
  int macro_number = 0;
  uint16_t kind = 0;
  std::array<uint8_t, 7> day_flags{};  // Monday .. Sunday
  int month = 0, day_of_month = 0, minute_past_hour = 0;
  int interval = 0;     // minutes
  int day_of_week = 0;  // 1 = Sunday
  int year = 0;
  int64_t time_of_day_ms = 0;  // the scheduled time of day, 24-hour, seconds 0
  int64_t last_run_ms = 0;     // every N minutes: the slot the cadence last reached
};

// The entry of a record: the hour converted to 24-hour form (12 PM stays 12, 1..11 PM become
// 13..23, 12 AM becomes 0); last run = now.
TimedEntry EntryOf(int macro_number, const store::MacroRecord& record, int64_t now_ms);

// True when the entry has a scheduled moment in (previous, now]. Updates the every-N-minutes
// cadence when it runs.
bool DueNow(TimedEntry& entry, const platform::LocalTime& previous, const platform::LocalTime& now);

class Scheduler {
 public:
  // The previous-check moment starts as the loop's current time: the first check compares
  // against the start.
  Scheduler(platform::EventLoop& loop, const store::SharedIndex& index,
            const startup::SettingsRecord& settings, SchedulerHost& host);

  // Rebuilds the table from the file and switches the check timer on or off.
  void CheckAndSetTime();
  // One check: runs every entry that is due.
  void CheckOutTimerMacros();
  // Plays the "At Startup" macros in file order; an activation that fails stops the rest.
  void DoStartUpMacros();

  const std::vector<TimedEntry>& table() const { return table_; }
  const platform::LocalTime& previous_check() const { return previous_; }

 private:
  // Activation by scope, the alarm, then the macro. False when the activation failed.
  bool RunTimed(int n, const store::MacroRecord& record);

  platform::EventLoop& loop_;
  const store::SharedIndex& index_;
  const startup::SettingsRecord& settings_;
  SchedulerHost& host_;
  std::vector<TimedEntry> table_;
  platform::LocalTime previous_;
  bool in_check_ = false;
};

// The schedule summary for lists, reports and the quick-info box.
std::string GetSched(const store::MacroRecord& record);
// The schedule of a new timed macro: daily at 12:00 PM on every weekday; dates from today.
void DefaultTimer(store::MacroRecord& record, const platform::LocalTime& today);

// Month names "January".."December" (1-based; empty outside), day names "Sunday".."Saturday"
// (1 = Sunday; empty outside).
std::string MonthName(int month);
std::string DayName(int day_of_week);
// A time as "9:05PM": hour without a leading zero, two-digit minute, no space.
std::string SchedTime(int hour, int minute, bool pm);

}  // namespace quillomat::activation
