// The scheduler on virtual time: which checks run which timed macros.

#include "activation/scheduler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/sim_event_loop.h"

namespace quillomat::activation {
namespace {

using platform::LocalTime;
using store::MacroRecord;

std::string Stamp(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

class FakeHost : public SchedulerHost {
 public:
  explicit FakeHost(sim::SimEventLoop& loop) : loop_(loop) {}

  bool ReadMacro(int n, MacroRecord& record) override {
    if (n < 1 || n > static_cast<int>(records.size())) return false;
    record = records[n - 1];
    return true;
  }
  bool ActivateWindow(const std::string& title) override {
    calls.push_back("window " + title);
    return windows.count(title) > 0;
  }
  bool ActivateProgram(const std::string& program) override {
    calls.push_back("program " + program);
    return programs.count(program) > 0;
  }
  void PlayWave(const std::string& path, bool wait) override {
    calls.push_back("wave " + path + (wait ? " wait" : " async"));
  }
  void PlayTimedMacro(int n, const MacroRecord&) override {
    calls.push_back("play " + std::to_string(n) + " at " + Stamp(loop_.Now()));
    if (during_play) during_play();
  }
  bool MacroPlaying() override { return playing; }
  bool MacroPaused() override { return paused; }
  void EnableCheckTimer(bool enabled) override { timer = enabled; }

  std::vector<MacroRecord> records;
  std::set<std::string> windows, programs;
  std::vector<std::string> calls;
  bool playing = false, paused = false, timer = false;
  std::function<void()> during_play;

 private:
  sim::SimEventLoop& loop_;
};

MacroRecord Timed(uint16_t kind, int hour = 9, int minute = 0, bool pm = false) {
  MacroRecord r;
  r.nickname.Set("timed");
  r.activation.Set(store::kTimedMacro);
  r.scope.Set(store::kScopeGlobal);
  r.active = 1;
  r.schedule_kind.Set(kind);
  r.hour = static_cast<uint8_t>(hour);
  r.minute = static_cast<uint8_t>(minute);
  r.pm = pm ? 1 : 0;
  for (auto& f : r.day_flags) f = 1;
  return r;
}

LocalTime At(int year, int month, int day, int hour, int minute, int second = 0) {
  return {year, month, day, hour, minute, second, 0, WeekdayOf(year, month, day)};
}

class SchedulerTest : public ::testing::Test {
 protected:
  // Starts the program at `start` with these macros and builds the table.
  void Start(const LocalTime& start, std::vector<MacroRecord> records) {
    loop.SetNow(start);
    host.records = std::move(records);
    for (size_t i = 0; i < host.records.size(); ++i) {
      index->SetItem(static_cast<int>(i) + 1, host.records[i]);
    }
    index->SetCount(static_cast<int>(host.records.size()));
    scheduler = std::make_unique<Scheduler>(loop, *index, settings, host);
    scheduler->CheckAndSetTime();
  }
  // `count` checks, `step_seconds` apart.
  void Checks(int count, int step_seconds) {
    for (int i = 0; i < count; ++i) {
      loop.Advance(step_seconds * 1000LL);
      scheduler->CheckOutTimerMacros();
    }
  }

  sim::SimEventLoop loop;
  std::unique_ptr<store::SharedIndex> index = std::make_unique<store::SharedIndex>();
  startup::SettingsRecord settings;
  FakeHost host{loop};
  std::unique_ptr<Scheduler> scheduler;
};

struct RuleCase {
  const char* name;
  MacroRecord record;
  LocalTime start;
  int step_seconds;
  int checks;
  std::vector<std::string> runs;
};

MacroRecord With(MacroRecord r, const std::function<void(MacroRecord&)>& change) {
  change(r);
  return r;
}

TEST_F(SchedulerTest, RulesAcrossConsecutiveChecks) {
  const auto no_flags = [](MacroRecord& r) {
    for (auto& f : r.day_flags) f = 0;
  };
  const auto monday_only = [](MacroRecord& r) {
    for (auto& f : r.day_flags) f = 0;
    r.day_flags[0] = 1;
  };
  const RuleCase cases[] = {
      {"a moment between two checks runs once",
       Timed(store::kDaily),
       At(2026, 1, 5, 8, 59, 55),
       10,
       30,
       {"play 1 at 2026-01-05 09:00:05"}},
      {"a moment before the start waits for the next day",
       Timed(store::kDaily),
       At(2026, 1, 5, 9, 30),
       60,
       24 * 60,
       {"play 1 at 2026-01-06 09:00:00"}},
      {"no weekday flags never runs",
       With(Timed(store::kDaily), no_flags),
       At(2026, 1, 5, 8, 0),
       60,
       3 * 24 * 60,
       {}},
      {"midnight on the macro's own day only",
       With(Timed(store::kDaily, 12, 0), monday_only),
       At(2026, 1, 4, 23, 59, 30),
       60,
       3 * 24 * 60,
       {"play 1 at 2026-01-05 00:00:30"}},
      {"a late evening moment seen first after midnight",
       Timed(store::kDaily, 11, 59, true),
       At(2026, 1, 5, 23, 58, 30),
       120,
       2,
       {"play 1 at 2026-01-06 00:00:30"}},
      {"hourly at 0 runs at each change of hour",
       With(Timed(store::kHourly), [](auto& r) { r.minute_past_hour = 0; }),
       At(2026, 1, 5, 9, 30),
       60,
       180,
       {"play 1 at 2026-01-05 10:00:00", "play 1 at 2026-01-05 11:00:00",
        "play 1 at 2026-01-05 12:00:00"}},
      {"hourly at 15 past",
       With(Timed(store::kHourly), [](auto& r) { r.minute_past_hour = 15; }),
       At(2026, 1, 5, 9, 0, 5),
       10,
       360,
       {"play 1 at 2026-01-05 09:15:05"}},
      {"every 15 minutes keeps the cadence of the build",
       With(Timed(store::kEveryMinutes), [](auto& r) { r.interval.Set(15); }),
       At(2026, 1, 5, 10, 0),
       7,
       400,
       {"play 1 at 2026-01-05 10:15:03", "play 1 at 2026-01-05 10:30:06",
        "play 1 at 2026-01-05 10:45:02"}},
      {"every 15 minutes goes on after checks further apart than its interval",
       With(Timed(store::kEveryMinutes), [](auto& r) { r.interval.Set(15); }),
       At(2026, 1, 5, 10, 0),
       40 * 60,
       3,
       {"play 1 at 2026-01-05 10:40:00", "play 1 at 2026-01-05 11:20:00",
        "play 1 at 2026-01-05 12:00:00"}},
      {"every 15 minutes across midnight",
       With(Timed(store::kEveryMinutes), [](auto& r) { r.interval.Set(15); }),
       At(2026, 1, 5, 23, 50),
       10,
       31 * 6,
       {"play 1 at 2026-01-06 00:05:00", "play 1 at 2026-01-06 00:20:00"}},
      {"once today",
       With(Timed(store::kOnce),
            [](auto& r) {
              r.year.Set(2026);
              r.month = 1;
              r.day_of_month = 5;
            }),
       At(2026, 1, 5, 8, 59, 55),
       10,
       3 * 24 * 60 * 6,
       {"play 1 at 2026-01-05 09:00:05"}},
      {"once yesterday never runs",
       With(Timed(store::kOnce),
            [](auto& r) {
              r.year.Set(2026);
              r.month = 1;
              r.day_of_month = 4;
            }),
       At(2026, 1, 5, 8, 0),
       60,
       2 * 24 * 60,
       {}},
      {"weekly on Monday",
       With(Timed(store::kWeekly), [](auto& r) { r.day_of_week = 2; }),
       At(2026, 1, 5, 8, 59),
       60,
       8 * 24 * 60,
       {"play 1 at 2026-01-05 09:00:00", "play 1 at 2026-01-12 09:00:00"}},
      {"monthly on the 6th at midnight",
       With(Timed(store::kMonthly, 12, 0), [](auto& r) { r.day_of_month = 6; }),
       At(2026, 1, 5, 23, 59, 30),
       60,
       3 * 24 * 60,
       {"play 1 at 2026-01-06 00:00:30"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.calls.clear();
    Start(c.start, {c.record});
    Checks(c.checks, c.step_seconds);
    EXPECT_EQ(host.calls, c.runs);
  }
}

TEST_F(SchedulerTest, TableHoldsActiveTimedMacrosAndDrivesTheTimer) {
  MacroRecord inactive = Timed(store::kDaily);
  inactive.active = 0;
  MacroRecord hot_key = Timed(store::kDaily);
  hot_key.activation.Set(5);
  Start(At(2026, 1, 5, 8, 0), {Timed(store::kAtStartup), inactive, hot_key});
  EXPECT_TRUE(scheduler->table().empty());
  EXPECT_FALSE(host.timer);

  Start(At(2026, 1, 5, 8, 0), {Timed(store::kAtStartup), Timed(store::kDaily, 9, 5, true)});
  ASSERT_EQ(scheduler->table().size(), 1u);
  EXPECT_EQ(scheduler->table()[0].macro_number, 2);
  EXPECT_EQ(scheduler->table()[0].time_of_day_ms, (21 * 60 + 5) * 60000);
  EXPECT_TRUE(host.timer);
}

TEST(SchedulerEntry, HourConversion) {
  struct {
    int hour;
    bool pm;
    int expected;
  } cases[] = {{12, false, 0}, {1, false, 1}, {11, false, 11},
               {12, true, 12}, {1, true, 13}, {11, true, 23}};
  for (const auto& c : cases) {
    EXPECT_EQ(EntryOf(1, Timed(store::kDaily, c.hour, 0, c.pm), 0).time_of_day_ms,
              c.expected * 3600000LL)
        << c.hour << (c.pm ? "PM" : "AM");
  }
}

TEST_F(SchedulerTest, RunActivatesItsWindowOrProgramFirstAndPlaysTheAlarm) {
  settings.use_wave_file = true;
  settings.wave_file = "/sounds/alarm.wav";
  settings.wave_file_wait = true;
  MacroRecord in_window = Timed(store::kDaily);
  in_window.scope.Set(store::kScopeWindow);
  in_window.scope_name.Set("Editor");
  MacroRecord in_program = Timed(store::kDaily);
  in_program.scope.Set(store::kScopeProgram);
  in_program.scope_name.Set("MAIL");
  host.windows = {"Editor"};  // no MAIL program runs
  Start(At(2026, 1, 5, 8, 59, 55), {in_window, in_program});
  Checks(2, 10);
  EXPECT_EQ(host.calls,
            (std::vector<std::string>{"window Editor", "wave /sounds/alarm.wav wait",
                                      "play 1 at 2026-01-05 09:00:05", "program MAIL"}));
}

TEST_F(SchedulerTest, ACheckDuringAPlayReturnsAndTheOuterCheckSetsThePreviousMoment) {
  Start(At(2026, 1, 5, 8, 59, 55), {Timed(store::kDaily), Timed(store::kDaily, 9, 1)});
  host.during_play = [&] {
    loop.Advance(70'000);  // the macro plays past the second one's moment
    scheduler->CheckOutTimerMacros();
  };
  Checks(1, 10);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"play 1 at 2026-01-05 09:00:05"}));
  EXPECT_EQ(Stamp(scheduler->previous_check()), "2026-01-05 09:00:05");
  host.during_play = nullptr;
  Checks(1, 10);  // 9:01:25: the 9:01 moment lies after the outer check's start
  EXPECT_EQ(host.calls.back(), "play 2 at 2026-01-05 09:01:25");
}

TEST_F(SchedulerTest, AMacroPlayingOrPausedElsewhereDefersTheRunToTheNextCheck) {
  Start(At(2026, 1, 5, 8, 59, 55), {Timed(store::kDaily)});
  host.paused = true;
  Checks(3, 10);
  EXPECT_TRUE(host.calls.empty());
  host.paused = false;
  host.playing = true;
  Checks(1, 10);
  EXPECT_TRUE(host.calls.empty());
  host.playing = false;
  Checks(2, 10);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"play 1 at 2026-01-05 09:00:45"}));
}

TEST_F(SchedulerTest, StartUpMacrosPlayInOrderAndStopAtAFailedActivation) {
  MacroRecord missing_window = Timed(store::kAtStartup);
  missing_window.scope.Set(store::kScopeWindow);
  missing_window.scope_name.Set("Gone");
  MacroRecord inactive = Timed(store::kAtStartup);
  inactive.active = 0;
  Start(At(2026, 1, 5, 9, 0), {Timed(store::kAtStartup), inactive, Timed(store::kDaily),
                               missing_window, Timed(store::kAtStartup)});
  scheduler->DoStartUpMacros();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"play 1 at 2026-01-05 09:00:00", "window Gone"}));
}

TEST(GetSched, Texts) {
  const auto once = [] {
    MacroRecord r = Timed(store::kOnce, 9, 5, true);
    r.day_of_month = 7;
    r.month = 3;
    r.year.Set(2027);
    return r;
  }();
  MacroRecord daily = Timed(store::kDaily, 12, 0, true);
  for (auto& f : daily.day_flags) f = 0;
  daily.day_flags[6] = 1;  // Sunday
  daily.day_flags[0] = 1;  // Monday
  daily.day_flags[5] = 1;  // Saturday
  MacroRecord hourly = Timed(store::kHourly);
  hourly.minute_past_hour = 5;
  MacroRecord weekly = Timed(store::kWeekly, 10, 30);
  weekly.day_of_week = 4;
  MacroRecord monthly = Timed(store::kMonthly, 12, 0);
  monthly.day_of_month = 31;
  MacroRecord every = Timed(store::kEveryMinutes);
  every.interval.Set(720);
  const struct {
    MacroRecord record;
    const char* text;
  } cases[] = {
      {Timed(store::kAtStartup), "At Startup"},
      {once, "Once at 9:05PM on 7 March 2027"},
      {hourly, "Hourly at 5 minutes past the hour"},
      {daily, "Daily at 12:00PM,Sun,Mon,Sat"},
      {With(daily,
            [](auto& r) {
              for (auto& f : r.day_flags) f = 0;
            }),
       "Daily at 12:00PM"},
      {weekly, "Weekly at 10:30AM on Wednesday"},
      {monthly, "Monthly at 12:00AM on day 31 of each month"},
      {every, "every 720 minutes"},
  };
  for (const auto& c : cases) EXPECT_EQ(GetSched(c.record), c.text);
}

TEST(DefaultTimer, DailyAtNoonOnEveryWeekdayWithTodaysDate) {
  MacroRecord r;
  DefaultTimer(r, At(2026, 2, 13, 15, 45));  // a Friday
  EXPECT_EQ(GetSched(r), "Daily at 12:00PM,Sun,Mon,Tue,Wed,Thu,Fri,Sat");
  EXPECT_EQ(r.year.Get(), 2026u);
  EXPECT_EQ(r.month, 2);
  EXPECT_EQ(r.day_of_month, 13);
  EXPECT_EQ(r.day_of_week, 6);
  EXPECT_EQ(r.minute_past_hour, 15);
  EXPECT_EQ(r.interval.Get(), 15u);
}

}  // namespace
}  // namespace quillomat::activation
