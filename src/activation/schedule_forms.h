#pragma once

// The scheduler's dialogs and the Trigword options, apart from their widgets: each is driven
// by the values of its controls; a refusal names the control (by its object name) that gets
// the focus, and the dialog stays open.

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "platform/local_time.h"
#include "platform/sound.h"
#include "startup/settings.h"
#include "store/macro_record.h"

namespace quillomat::activation {

struct FormRefusal {
  std::string title;  // "Error"
  std::string text;
  std::string field;  // the object name of the control that gets the focus

  bool operator==(const FormRefusal&) const = default;
};

// Text typed into an edit box is used without leading and trailing blanks.
std::string Trimmed(const std::string& text);

// "Set Schedule": the schedule of the macro being edited.
struct ScheduleControls {
  uint16_t kind = store::kDaily;
  std::array<bool, 7> day_flags{};  // Monday .. Sunday
  // Once.
  std::string year, day;
  int month = 1;  // 1 = January
  std::string once_time;
  // Hourly.
  std::string minutes;
  // Daily.
  std::string daily_time;
  // Weekly.
  int day_of_week = 1;  // 1 = Sunday
  std::string weekly_time;
  // Monthly.
  std::string monthly_day;
  std::string monthly_time;
  // Other: every N minutes.
  std::string interval;

  bool operator==(const ScheduleControls&) const = default;
};

struct ScheduleTime {
  int hour = 12;  // 0..12
  int minute = 0;
  bool pm = false;

  bool operator==(const ScheduleTime&) const = default;
};

// "09:05PM": two-digit hour and minute, then PM or AM.
std::string FormatScheduleTime(int hour, int minute, bool pm);
// The hour is the text before the first ":" (without one, the first character), the minute
// the two characters after it, then "PM" in any case or anything else for AM. An hour above
// 23 becomes 0, one above 12 loses 12 and means PM; a minute of 60 or more becomes 0.
ScheduleTime ReadScheduleTime(const std::string& text);

class TDoSchedule {
 public:
  static constexpr char kCaption[] = "Set Schedule";

  explicit TDoSchedule(store::MacroRecord& record) : record_(record) {}

  ScheduleControls FormShow() const;
  // "&Update": on success the record's schedule fields are stored (the day flags always,
  // the rest for the kind chosen) and the dialog closes; a refusal changes nothing.
  std::optional<FormRefusal> UpdateButtonClick(const ScheduleControls& controls,
                                               const platform::LocalTime& today);

 private:
  store::MacroRecord& record_;
};

// The delay dialog in its scheduler form: how often the timed macros are checked.
class SchedulerFrequency {
 public:
  static constexpr char kCaption[] = "Scheduler Frequency";
  static constexpr char kLabel[] = "Check Every";
  static constexpr char kUnit[] = "Seconds";
  static constexpr int kMaxLength = 2;

  explicit SchedulerFrequency(startup::SettingsRecord& settings) : settings_(settings) {}

  std::string FormShow() const { return std::to_string(settings_.timer_seconds); }
  // Stores "Timer Seconds" (1..60); the caller sets the timer period and writes the settings.
  std::optional<FormRefusal> OkButtonClick(const std::string& value);

 private:
  startup::SettingsRecord& settings_;
};

// The sound dialog in its scheduler form: the alarm played before each timed macro.
struct AlarmControls {
  bool wave = false;  // "&Wave File" chosen, else "None"
  std::string path;
  bool wait = false;

  bool operator==(const AlarmControls&) const = default;
};

class SchedulerAlarm {
 public:
  static constexpr char kCaption[] = "Scheduler Alarm";
  static constexpr char kNone[] = "None";

  explicit SchedulerAlarm(startup::SettingsRecord& settings) : settings_(settings) {}

  AlarmControls FormShow() const;
  // Stores "Use Wave File", "Wave File" and "Wave File Wait"; the caller writes the settings.
  std::optional<FormRefusal> OkButtonClick(const AlarmControls& controls);
  // "&Test": plays the file without waiting.
  std::optional<FormRefusal> TestButtonClick(const std::string& path, platform::Sound& sound);

 private:
  startup::SettingsRecord& settings_;
};

// "Trigword Options".
struct TrigwordOptionsControls {
  bool solitary = false;
  bool case_sensitive = true;
  bool use_prefix = true;  // the inverse of "Use Suffix"
  std::string prefix;

  bool operator==(const TrigwordOptionsControls&) const = default;
};

class TTrigwordOptions {
 public:
  static constexpr char kCaption[] = "Trigword Options";
  static constexpr int kMaxPrefix = 2;

  // save_settings writes the settings file.
  TTrigwordOptions(startup::SettingsRecord& settings, std::function<void()> save_settings)
      : settings_(settings), save_settings_(std::move(save_settings)) {}

  TrigwordOptionsControls FormShow() const;
  // When the prefix changes and when it loses the focus.
  static std::optional<FormRefusal> CheckPrefix(const std::string& prefix);
  // "&Ok": stores the four settings and writes the settings file.
  std::optional<FormRefusal> OkButtonClick(const TrigwordOptionsControls& controls);

 private:
  startup::SettingsRecord& settings_;
  std::function<void()> save_settings_;
};

inline constexpr char kInvalidDay[] = "Invalid day of month specified.";
inline constexpr char kDateElapsed[] = "Specified date has already elapsed.";
inline constexpr char kInvalidYear[] = "Invalid year specified.";
inline constexpr char kInvalidMinutes[] = "Invalid minutes specified.";
inline constexpr char kInvalidInterval[] = "Invalid minutes specified.  Must be between 1 and 720.";
inline constexpr char kInvalidFrequency[] = "Value must be between 1 and 60.";
inline constexpr char kWaveMissing[] = "Specified WAV File does not exist.  Please correct.";
inline constexpr char kInvalidPrefix[] =
    "The Prefix Keys has invalid characters in it.  Valid characters are A - Z, a - z, 0 - 9 and "
    "' ! @ # $ % ^ & _ = < > ? . ; , * - / +";

}  // namespace quillomat::activation
