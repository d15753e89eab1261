// The checks and results of "Set Schedule", "Scheduler Frequency", "Scheduler Alarm" and
// "Trigword Options".

#include "activation/schedule_forms.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "activation/scheduler.h"
#include "platform/sim/sim_desktop.h"

namespace quillomat::activation {
namespace {

using store::MacroRecord;

const platform::LocalTime kToday{2026, 3, 15, 10, 0, 0, 0, 0};

MacroRecord Record() {
  MacroRecord r;
  DefaultTimer(r, kToday);
  r.hour = 9;
  r.minute = 5;
  r.pm = 1;
  return r;
}

ScheduleControls Controls(uint16_t kind, const std::function<void(ScheduleControls&)>& change) {
  MacroRecord r = Record();
  ScheduleControls c = TDoSchedule(r).FormShow();
  c.kind = kind;
  change(c);
  return c;
}

TEST(SetSchedule, PresetsFromTheRecord) {
  MacroRecord r = Record();
  const ScheduleControls c = TDoSchedule(r).FormShow();
  EXPECT_EQ(c.kind, store::kDaily);
  EXPECT_EQ(c.once_time, "09:05PM");
  EXPECT_EQ(c.weekly_time, "09:05PM");
  EXPECT_EQ(c.year, "2026");
  EXPECT_EQ(c.month, 3);
  EXPECT_EQ(c.day, "15");
  EXPECT_EQ(c.minutes, "15");
  EXPECT_EQ(c.interval, "15");
  EXPECT_EQ(c.day_of_week, 1);  // 15 March 2026 is a Sunday
}

TEST(SetSchedule, Refusals) {
  const auto once = [](const char* year, int month, const char* day) {
    return Controls(store::kOnce, [=](ScheduleControls& c) {
      c.year = year;
      c.month = month;
      c.day = day;
    });
  };
  const struct {
    ScheduleControls controls;
    const char* text;
    const char* field;
  } cases[] = {
      {once("2026", 4, "x"), kInvalidDay, "day"},
      {once("2026", 4, "0"), kInvalidDay, "day"},
      {once("2026", 4, "31"), kInvalidDay, "day"},
      {once("2027", 2, "29"), kInvalidDay, "day"},
      {once("2025", 12, "31"), kDateElapsed, "year"},
      {once("2026", 2, "28"), kDateElapsed, "month"},
      {once("2026", 3, "14"), kDateElapsed, "day"},
      {once("20x6", 4, "1"), kInvalidYear, "year"},
      {once("70000", 4, "1"), kInvalidYear, "year"},
      {Controls(store::kHourly, [](auto& c) { c.minutes = "60"; }), kInvalidMinutes, "minutes"},
      {Controls(store::kHourly, [](auto& c) { c.minutes = "-1"; }), kInvalidMinutes, "minutes"},
      {Controls(store::kHourly, [](auto& c) { c.minutes = ""; }), kInvalidMinutes, "minutes"},
      {Controls(store::kMonthly, [](auto& c) { c.monthly_day = "32"; }), kInvalidDay,
       "monthly_day"},
      {Controls(store::kMonthly, [](auto& c) { c.monthly_day = "0"; }), kInvalidDay, "monthly_day"},
      {Controls(store::kEveryMinutes, [](auto& c) { c.interval = "0"; }), kInvalidInterval,
       "interval"},
      {Controls(store::kEveryMinutes, [](auto& c) { c.interval = "721"; }), kInvalidInterval,
       "interval"},
  };
  for (const auto& c : cases) {
    MacroRecord r = Record();
    const MacroRecord before = r;
    const auto refusal = TDoSchedule(r).UpdateButtonClick(c.controls, kToday);
    ASSERT_TRUE(refusal.has_value()) << c.text;
    EXPECT_EQ(*refusal, (FormRefusal{"Error", c.text, c.field}));
    EXPECT_EQ(GetSched(r), GetSched(before));  // nothing stored
  }
  EXPECT_STREQ(kInvalidInterval, "Invalid minutes specified.  Must be between 1 and 720.");
}

TEST(SetSchedule, UpdatesTheFieldsOfTheChosenKind) {
  const struct {
    ScheduleControls controls;
    const char* sched;
  } cases[] = {
      {Controls(store::kOnce,
                [](auto& c) {
                  c.year = "2028";
                  c.month = 2;
                  c.day = " 29 ";
                  c.once_time = "7:30am";
                }),
       "Once at 7:30AM on 29 February 2028"},
      {Controls(store::kOnce, [](auto& c) { c.once_time = "13:45AM"; }),
       "Once at 1:45PM on 15 March 2026"},
      {Controls(store::kHourly, [](auto& c) { c.minutes = "0"; }),
       "Hourly at 0 minutes past the hour"},
      {Controls(store::kDaily,
                [](auto& c) {
                  c.day_flags = {false, false, false, false, true, false, true};
                  c.daily_time = "12:00AM";
                }),
       "Daily at 12:00AM,Sun,Fri"},
      {Controls(store::kWeekly,
                [](auto& c) {
                  c.day_of_week = 7;
                  c.weekly_time = "24:10PM";
                }),
       "Weekly at 0:10PM on Saturday"},
      {Controls(store::kMonthly,
                [](auto& c) {
                  c.monthly_day = "31";
                  c.monthly_time = "11:99pm";
                }),
       "Monthly at 11:00PM on day 31 of each month"},
      {Controls(store::kEveryMinutes, [](auto& c) { c.interval = "720"; }), "every 720 minutes"},
      {Controls(store::kAtStartup, [](auto&) {}), "At Startup"},
  };
  for (const auto& c : cases) {
    MacroRecord r = Record();
    EXPECT_EQ(TDoSchedule(r).UpdateButtonClick(c.controls, kToday), std::nullopt);
    EXPECT_EQ(GetSched(r), c.sched);
  }
}

TEST(SetSchedule, DayFlagsAreStoredWhateverTheKind) {
  MacroRecord r = Record();
  auto c = Controls(store::kHourly, [](auto& c) { c.day_flags = {}; });
  ASSERT_EQ(TDoSchedule(r).UpdateButtonClick(c, kToday), std::nullopt);
  for (uint8_t flag : r.day_flags) EXPECT_EQ(flag, 0);
  EXPECT_EQ(r.hour, 9);  // the time belongs to other kinds
}

TEST(SchedulerFrequency, AcceptsOneToSixtySeconds) {
  startup::SettingsRecord settings;
  SchedulerFrequency form(settings);
  EXPECT_EQ(form.FormShow(), "10");
  for (const char* bad : {"0", "61", "x", "", "-5"}) {
    EXPECT_EQ(form.OkButtonClick(bad), (FormRefusal{"Error", kInvalidFrequency, "value"})) << bad;
  }
  EXPECT_EQ(settings.timer_seconds, 10);
  EXPECT_EQ(form.OkButtonClick(" 60 "), std::nullopt);
  EXPECT_EQ(settings.timer_seconds, 60);
}

TEST(SchedulerAlarm, NeedsAnExistingWaveFileOnlyWhenChosen) {
  const std::string wave = testing::TempDir() + "qlx-alarm.wav";
  std::ofstream(wave) << "RIFF";
  const std::string missing = testing::TempDir() + "qlx-no-such.wav";
  startup::SettingsRecord settings;
  SchedulerAlarm form(settings);
  const FormRefusal refusal{"Error", kWaveMissing, "path"};

  EXPECT_EQ(form.OkButtonClick({true, missing, true}), refusal);
  EXPECT_FALSE(settings.use_wave_file);
  EXPECT_EQ(form.OkButtonClick({false, missing, false}), std::nullopt);
  EXPECT_FALSE(settings.use_wave_file);
  EXPECT_EQ(form.OkButtonClick({true, "  " + wave + " ", true}), std::nullopt);
  EXPECT_EQ(form.FormShow(), (AlarmControls{true, wave, true}));

  sim::SimSound sound;
  EXPECT_EQ(form.TestButtonClick(missing, sound), refusal);
  EXPECT_EQ(form.TestButtonClick(wave, sound), std::nullopt);
  ASSERT_EQ(sound.played().size(), 1u);
  EXPECT_FALSE(sound.played()[0].wait);
  std::remove(wave.c_str());
}

TEST(TrigwordOptions, PrefixChecksAndStoredSettings) {
  EXPECT_EQ(TTrigwordOptions::CheckPrefix(" ;; "), std::nullopt);
  EXPECT_EQ(TTrigwordOptions::CheckPrefix("a'"), (FormRefusal{"Error", kInvalidPrefix, "prefix"}));
  EXPECT_EQ(std::string(kInvalidPrefix),
            "The Prefix Keys has invalid characters in it.  Valid characters are A - Z, a - z, "
            "0 - 9 and ' ! @ # $ % ^ & _ = < > ? . ; , * - / +");

  startup::SettingsRecord settings;
  int saves = 0;
  TTrigwordOptions form(settings, [&] { ++saves; });
  EXPECT_EQ(form.FormShow(), (TrigwordOptionsControls{false, true, true, ""}));
  EXPECT_TRUE(form.OkButtonClick({true, false, true, "x y"}).has_value());
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(form.OkButtonClick({true, false, true, " ;x "}), std::nullopt);
  EXPECT_EQ(saves, 1);
  EXPECT_TRUE(settings.solitary_usage);
  EXPECT_FALSE(settings.case_sensitive);
  EXPECT_FALSE(settings.use_suffix);
  EXPECT_EQ(settings.prefix_keys, ";x");
  EXPECT_EQ(form.OkButtonClick({false, true, false, ";x"}), std::nullopt);
  EXPECT_TRUE(settings.use_suffix);
}

TEST(ReadScheduleTime, Table) {
  const struct {
    const char* text;
    ScheduleTime time;
  } cases[] = {
      {"09:05PM", {9, 5, true}},  {"9:05am", {9, 5, false}},  {"13:30AM", {1, 30, true}},
      {"24:00AM", {0, 0, false}}, {"12:60PM", {12, 0, true}}, {"7", {7, 0, false}},
      {"", {0, 0, false}},        {"x:yz", {0, 0, false}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadScheduleTime(c.text), c.time) << c.text;
}

}  // namespace
}  // namespace quillomat::activation
