#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/macro_record.h"
#include "store/record_fields.h"

namespace quillomat::store {

inline constexpr int kHotKeyCount = 720;
inline constexpr int kMaxRunningPrograms = 200;

#pragma pack(push, 1)
// The compact picture of the macro file and of the program's state that the hook library
// reads. The program fills its own working copy and publishes parts of it through the hook
// library's Up calls. Per-macro arrays are indexed by macro number N = 1..500; use the
// accessors, which hide the 1-based offsets.
struct SharedIndex {
  Le32 main_window;
  uint8_t init_flag = 0;
  uint8_t unused1[12] = {};
  uint8_t hot_key_in_use[kHotKeyCount] = {};
  uint8_t capture_on = 0;
  Le16 capture_macro;
  uint8_t capture_option_740 = 0;
  uint8_t capture_double_alt = 0;
  uint8_t unused2[2] = {};
  Le32 mouse_hook;
  Le32 keyboard_hook;
  Le32 second_window;
  uint8_t second_window_flag = 0;
  Le16 stop_mouse_button;
  Le16 stop_key_code;
  uint8_t stop_ctrl = 0;
  uint8_t stop_alt = 0;
  uint8_t stop_shift = 0;
  uint8_t stop_win = 0;
  uint8_t capture_option_765 = 0;
  uint8_t second_stop_present = 0;
  Le16 second_stop_mouse_button;
  Le16 second_stop_key_code;
  uint8_t second_stop_ctrl = 0;
  uint8_t second_stop_alt = 0;
  uint8_t second_stop_shift = 0;
  uint8_t second_stop_win = 0;
  uint8_t capture_option_775 = 0;
  uint8_t capture_window_sizes = 0;
  uint8_t playing = 0;
  uint8_t capture_keys = 0;
  uint8_t capture_mouse = 0;
  uint8_t capture_relative_to_screen = 0;
  uint8_t capture_time = 0;
  uint8_t unused3[8] = {};
  uint8_t capture_started = 0;
  uint8_t capture_window_sizes_copy = 0;
  Le16 scopes[kMaxMacros];
  PString<20> scope_names[kMaxMacros];
  uint8_t actives[kMaxMacros] = {};
  Le16 activations[kMaxMacros];
  uint8_t top_most_onlys[kMaxMacros] = {};
  Le32 count;
  uint8_t flag_14296 = 0;
  uint8_t nt = 0;
  uint8_t trigwords_present = 0;
  PString<250> top_program;
  Le32 running_program_count;
  PString<25> running_programs[kMaxRunningPrograms];

  // Macro number n is 1-based.
  uint16_t Scope(int n) const { return static_cast<uint16_t>(scopes[n - 1].Get()); }
  std::string ScopeName(int n) const { return scope_names[n - 1].Get(); }
  bool Active(int n) const { return actives[n - 1] != 0; }
  uint16_t Activation(int n) const { return static_cast<uint16_t>(activations[n - 1].Get()); }
  bool TopMostOnly(int n) const { return top_most_onlys[n - 1] != 0; }
  int Count() const { return static_cast<int>(count.Get()); }

  // Stores the five per-macro entries of a record at macro number n (the scope name as its
  // first 20 characters).
  void SetItem(int n, const MacroRecord& record);
  void SetActive(int n, bool active) { actives[n - 1] = active ? 1 : 0; }
  void SetCount(int n) { count.Set(static_cast<uint32_t>(n)); }
};
#pragma pack(pop)

inline constexpr size_t kSharedIndexSize = 19754;
static_assert(sizeof(SharedIndex) == kSharedIndexSize);
static_assert(offsetof(SharedIndex, init_flag) == 4);
static_assert(offsetof(SharedIndex, hot_key_in_use) == 17);
static_assert(offsetof(SharedIndex, capture_on) == 737);
static_assert(offsetof(SharedIndex, capture_macro) == 738);
static_assert(offsetof(SharedIndex, capture_option_740) == 740);
static_assert(offsetof(SharedIndex, capture_double_alt) == 741);
static_assert(offsetof(SharedIndex, mouse_hook) == 744);
static_assert(offsetof(SharedIndex, keyboard_hook) == 748);
static_assert(offsetof(SharedIndex, second_window) == 752);
static_assert(offsetof(SharedIndex, second_window_flag) == 756);
static_assert(offsetof(SharedIndex, stop_mouse_button) == 757);
static_assert(offsetof(SharedIndex, stop_key_code) == 759);
static_assert(offsetof(SharedIndex, stop_ctrl) == 761);
static_assert(offsetof(SharedIndex, stop_win) == 764);
static_assert(offsetof(SharedIndex, capture_option_765) == 765);
static_assert(offsetof(SharedIndex, second_stop_present) == 766);
static_assert(offsetof(SharedIndex, second_stop_mouse_button) == 767);
static_assert(offsetof(SharedIndex, second_stop_key_code) == 769);
static_assert(offsetof(SharedIndex, second_stop_ctrl) == 771);
static_assert(offsetof(SharedIndex, second_stop_win) == 774);
static_assert(offsetof(SharedIndex, capture_option_775) == 775);
static_assert(offsetof(SharedIndex, capture_window_sizes) == 776);
static_assert(offsetof(SharedIndex, playing) == 777);
static_assert(offsetof(SharedIndex, capture_keys) == 778);
static_assert(offsetof(SharedIndex, capture_time) == 781);
static_assert(offsetof(SharedIndex, capture_started) == 790);
static_assert(offsetof(SharedIndex, capture_window_sizes_copy) == 791);
// Element N of each per-macro array lives at base + size * N.
static_assert(offsetof(SharedIndex, scopes) == 790 + 2 * 1);
static_assert(offsetof(SharedIndex, scope_names) == 1771 + 21 * 1);
static_assert(offsetof(SharedIndex, actives) == 12291 + 1);
static_assert(offsetof(SharedIndex, activations) == 12790 + 2 * 1);
static_assert(offsetof(SharedIndex, top_most_onlys) == 13791 + 1);
static_assert(offsetof(SharedIndex, count) == 14292);
static_assert(offsetof(SharedIndex, flag_14296) == 14296);
static_assert(offsetof(SharedIndex, nt) == 14297);
static_assert(offsetof(SharedIndex, trigwords_present) == 14298);
static_assert(offsetof(SharedIndex, top_program) == 14299);
static_assert(offsetof(SharedIndex, running_program_count) == 14550);
static_assert(offsetof(SharedIndex, running_programs) == 14528 + 26 * 1);

}  // namespace quillomat::store
