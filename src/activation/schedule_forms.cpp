#include "activation/schedule_forms.h"

#include <algorithm>
#include <cstdio>

#include "activation/scheduler.h"
#include "activation/trigwords.h"
#include "platform/files.h"

namespace quillomat::activation {

namespace {

// A whole number of at most 9 digits, optionally signed; nothing for any other text.
std::optional<int> Number(const std::string& text) {
  const std::string t = Trimmed(text);
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  if (i == t.size() || t.size() - i > 9) return std::nullopt;
  int value = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
    value = value * 10 + (t[i] - '0');
  }
  return negative ? -value : value;
}

FormRefusal Error(const char* text, const char* field) {
  return {platform::kErrorTitle, text, field};
}

void StoreTime(store::MacroRecord& r, const std::string& text) {
  const ScheduleTime t = ReadScheduleTime(text);
  r.hour = static_cast<uint8_t>(t.hour);
  r.minute = static_cast<uint8_t>(t.minute);
  r.pm = t.pm ? 1 : 0;
}

}  // namespace

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string FormatScheduleTime(int hour, int minute, bool pm) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d%s", hour, minute, pm ? "PM" : "AM");
  return text;
}

ScheduleTime ReadScheduleTime(const std::string& raw) {
  const std::string text = Trimmed(raw);
  const size_t colon = text.find(':');
  const size_t hour_end = colon == std::string::npos ? std::min<size_t>(1, text.size()) : colon;
  const size_t minute_start = colon == std::string::npos ? hour_end : colon + 1;
  auto part = [&](size_t from, size_t length) {
    return from < text.size() ? text.substr(from, length) : std::string();
  };
  ScheduleTime t;
  int hour = Number(text.substr(0, hour_end)).value_or(0);
  int minute = Number(part(minute_start, 2)).value_or(0);
  std::string half = part(minute_start + 2, 2);
  for (char& c : half) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  t.pm = half == "PM";
  if (hour < 0 || hour > 23) hour = 0;
  if (hour > 12) {
    hour -= 12;
    t.pm = true;
  }
  if (minute < 0 || minute >= 60) minute = 0;
  t.hour = hour;
  t.minute = minute;
  return t;
}

ScheduleControls TDoSchedule::FormShow() const {
  const store::MacroRecord& r = record_;
  ScheduleControls c;
  c.kind = static_cast<uint16_t>(r.schedule_kind.Get());
  for (int i = 0; i < 7; ++i) c.day_flags[i] = r.day_flags[i] != 0;
  const std::string time = FormatScheduleTime(r.hour, r.minute, r.pm != 0);
  c.once_time = c.daily_time = c.weekly_time = c.monthly_time = time;
  c.year = std::to_string(r.year.Get());
  c.month = r.month >= 1 && r.month <= 12 ? r.month : 1;
  c.day = std::to_string(r.day_of_month);
  c.minutes = std::to_string(r.minute_past_hour);
  c.day_of_week = r.day_of_week >= 1 && r.day_of_week <= 7 ? r.day_of_week : 1;
  c.monthly_day = std::to_string(r.day_of_month);
  c.interval = std::to_string(r.interval.Get());
  return c;
}

std::optional<FormRefusal> TDoSchedule::UpdateButtonClick(const ScheduleControls& c,
                                                          const platform::LocalTime& today) {
  store::MacroRecord r = record_;
  for (int i = 0; i < 7; ++i) r.day_flags[i] = c.day_flags[i] ? 1 : 0;
  switch (c.kind) {
    case store::kOnce: {
      // The year is a number the record can hold.
      const auto year = Number(c.year);
      if (!year || *year < 1 || *year > 9999) return Error(kInvalidYear, "year");
      const auto day = Number(c.day);
      if (!day || *day < 1 || *day > DaysInMonth(*year, c.month)) {
        return Error(kInvalidDay, "day");
      }
      if (*year < today.year) return Error(kDateElapsed, "year");
      if (*year == today.year && c.month < today.month) return Error(kDateElapsed, "month");
      if (*year == today.year && c.month == today.month && *day < today.day) {
        return Error(kDateElapsed, "day");
      }
      r.year.Set(static_cast<uint16_t>(*year));
      r.month = static_cast<uint8_t>(c.month);
      r.day_of_month = static_cast<uint8_t>(*day);
      StoreTime(r, c.once_time);
      break;
    }
    case store::kHourly: {
      const auto minutes = Number(c.minutes);
      if (!minutes || *minutes < 0 || *minutes >= 60) return Error(kInvalidMinutes, "minutes");
      r.minute_past_hour = static_cast<uint8_t>(*minutes);
      break;
    }
    case store::kDaily:
      StoreTime(r, c.daily_time);
      break;
    case store::kWeekly:
      r.day_of_week = static_cast<uint8_t>(c.day_of_week);
      StoreTime(r, c.weekly_time);
      break;
    case store::kMonthly: {
      const auto day = Number(c.monthly_day);
      if (!day || *day < 1 || *day > 31) return Error(kInvalidDay, "monthly_day");
      r.day_of_month = static_cast<uint8_t>(*day);
      StoreTime(r, c.monthly_time);
      break;
    }
    case store::kEveryMinutes: {
      const auto interval = Number(c.interval);
      if (!interval || *interval < 1 || *interval > 720) {
        return Error(kInvalidInterval, "interval");
      }
      r.interval.Set(static_cast<uint16_t>(*interval));
      break;
    }
    default:
      break;
  }
  r.schedule_kind.Set(c.kind);
  record_ = r;
  return std::nullopt;
}

std::optional<FormRefusal> SchedulerFrequency::OkButtonClick(const std::string& value) {
  const auto seconds = Number(value);
  if (!seconds || *seconds < 1 || *seconds > 60) return Error(kInvalidFrequency, "value");
  settings_.timer_seconds = *seconds;
  return std::nullopt;
}

AlarmControls SchedulerAlarm::FormShow() const {
  return {settings_.use_wave_file, settings_.wave_file, settings_.wave_file_wait};
}

std::optional<FormRefusal> SchedulerAlarm::OkButtonClick(const AlarmControls& c) {
  const std::string path = Trimmed(c.path);
  if (c.wave && !platform::FileExists(path)) return Error(kWaveMissing, "path");
  settings_.use_wave_file = c.wave;
  settings_.wave_file = path;
  settings_.wave_file_wait = c.wait;
  return std::nullopt;
}

std::optional<FormRefusal> SchedulerAlarm::TestButtonClick(const std::string& raw,
                                                           platform::Sound& sound) {
  const std::string path = Trimmed(raw);
  if (!platform::FileExists(path)) return Error(kWaveMissing, "path");
  sound.PlayWave(path, false);
  return std::nullopt;
}

TrigwordOptionsControls TTrigwordOptions::FormShow() const {
  return {settings_.solitary_usage, settings_.case_sensitive, !settings_.use_suffix,
          settings_.prefix_keys};
}

std::optional<FormRefusal> TTrigwordOptions::CheckPrefix(const std::string& prefix) {
  for (char c : Trimmed(prefix)) {
    if (!IsTrigwordChar(c)) return Error(kInvalidPrefix, "prefix");
  }
  return std::nullopt;
}

std::optional<FormRefusal> TTrigwordOptions::OkButtonClick(const TrigwordOptionsControls& c) {
  // The field is checked as it changes; a prefix that is in use is checked once more here so
  // that a character the engine could never see is not stored.
  if (c.use_prefix) {
    if (auto refusal = CheckPrefix(c.prefix)) return refusal;
  }
  settings_.solitary_usage = c.solitary;
  settings_.case_sensitive = c.case_sensitive;
  settings_.use_suffix = !c.use_prefix;
  settings_.prefix_keys = Trimmed(c.prefix).substr(0, kMaxPrefix);
  if (save_settings_) save_settings_();
  return std::nullopt;
}

}  // namespace quillomat::activation
