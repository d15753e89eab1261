#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/record_fields.h"

namespace quillomat::store {

inline constexpr uint16_t kTimedMacro = 10000;     // TIMED_MACRO
inline constexpr uint16_t kTrigwordMacro = 20000;  // TRIGWORD_MACRO
inline constexpr int kMaxMacros = 500;
inline constexpr int kMaxMacroText = 5000;

enum Scope : uint16_t {
  kScopeGlobal = 1,
  kScopeWindow = 2,
  kScopeProgram = 3,
  kScopePopupMenu = 4,
  kScopeSystem = 5,
};

enum ScheduleKind : uint16_t {
  kAtStartup = 0,
  kOnce = 1,
  kHourly = 2,
  kDaily = 3,
  kWeekly = 4,
  kMonthly = 5,
  kEveryMinutes = 6,
};

#pragma pack(push, 1)
// One macro: a record of the macro file, exactly as stored. Reading and writing a record
// that was not changed gives back the same bytes.
struct MacroRecord {
  PString<50> nickname;
  PString<30> scope_name;
  PString<10> trigword;  // a Popup Menu macro keeps its three option characters here
  Le16 activation;       // catalogue index 0..719, kTimedMacro or kTrigwordMacro
  Le16 scope;
  uint8_t active = 0;
  uint8_t reserved1[2] = {};
  char macro_text[5001] = {};  // NUL-terminated; a Popup Menu macro holds its item list
  PString<12> icon_name;
  Le16 schedule_kind;
  uint8_t day_flags[7] = {};  // Monday .. Sunday
  uint8_t hour = 0;           // 0..12, with pm
  uint8_t minute = 0;
  uint8_t month = 0;
  uint8_t day_of_month = 0;
  uint8_t minute_past_hour = 0;
  Le16 interval;            // minutes, every N minutes
  uint8_t day_of_week = 0;  // 1 = Sunday
  Le16 year;
  uint8_t pm = 0;
  uint8_t top_most_only = 0;
  LeDouble last_modified;
  uint8_t reserved2[22] = {};

  // The text up to its NUL (at most 5000 characters).
  std::string Text() const;
  // Cuts to 5000 characters; the bytes after the NUL are left as they were.
  void SetText(std::string_view text);
  // A Popup Menu macro's items: macro numbers.
  std::vector<uint16_t> MenuItems() const;
  void SetMenuItems(const std::vector<uint16_t>& items);

  static MacroRecord FromBytes(const uint8_t* bytes);
  void ToBytes(uint8_t* bytes) const;
};
#pragma pack(pop)

inline constexpr size_t kMacroRecordSize = 5165;
static_assert(sizeof(MacroRecord) == kMacroRecordSize);
static_assert(offsetof(MacroRecord, nickname) == 0);
static_assert(offsetof(MacroRecord, scope_name) == 51);
static_assert(offsetof(MacroRecord, trigword) == 82);
static_assert(offsetof(MacroRecord, activation) == 93);
static_assert(offsetof(MacroRecord, scope) == 95);
static_assert(offsetof(MacroRecord, active) == 97);
static_assert(offsetof(MacroRecord, reserved1) == 98);
static_assert(offsetof(MacroRecord, macro_text) == 100);
static_assert(offsetof(MacroRecord, icon_name) == 5101);
static_assert(offsetof(MacroRecord, schedule_kind) == 5114);
static_assert(offsetof(MacroRecord, day_flags) == 5116);
static_assert(offsetof(MacroRecord, hour) == 5123);
static_assert(offsetof(MacroRecord, minute) == 5124);
static_assert(offsetof(MacroRecord, month) == 5125);
static_assert(offsetof(MacroRecord, day_of_month) == 5126);
static_assert(offsetof(MacroRecord, minute_past_hour) == 5127);
static_assert(offsetof(MacroRecord, interval) == 5128);
static_assert(offsetof(MacroRecord, day_of_week) == 5130);
static_assert(offsetof(MacroRecord, year) == 5131);
static_assert(offsetof(MacroRecord, pm) == 5133);
static_assert(offsetof(MacroRecord, top_most_only) == 5134);
static_assert(offsetof(MacroRecord, last_modified) == 5135);
static_assert(offsetof(MacroRecord, reserved2) == 5143);

}  // namespace quillomat::store
