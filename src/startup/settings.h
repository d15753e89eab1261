#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "store/macro_record.h"

namespace quillomat::startup {

// A font as the settings describe it; the views turn it into a real font.
struct FontDescriptor {
  std::string name = "Arial";
  int size = 10;
  int64_t color = 0;  // numeric colour value, 0 = black
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;

  bool operator==(const FontDescriptor&) const = default;
};

// Every setting of QUILX.INI, plus the per-macro name tables of the loaded macro file.
struct SettingsRecord {
  // [Misc]
  int system_menu = 1;
  bool sort_header = true;
  std::string primary_sort = "123";
  std::string activation_sort = "123";
  std::string scope_sort = "12345";
  int last_date_format = 0;
  int last_time_format = 0;
  bool suppress_zeros_in_date = true;
  bool suppress_zeros_in_time = true;
  bool show_date = false;
  bool use_tray = false;
  bool disable_screen_saver = true;
  std::string current_file;
  std::array<std::string, 5> last_files;  // "Last File 1" .. "Last File 5", most recent first
  // [Capture]
  bool capture_double_alt = true;
  bool capture_keys = true;
  bool capture_mouse = true;
  bool capture_relative_to_screen = true;
  bool capture_time = true;
  bool capture_prompt = true;
  bool capture_window_size = true;
  bool capture_global = true;
  int capture_speed = 1;
  // [Trigwords]
  bool solitary_usage = false;
  bool case_sensitive = true;  // key "Case Sensative"
  bool use_suffix = false;
  std::string prefix_keys;
  // [Main Window]
  int width = 640;
  int height = 424;
  int left = 0;
  int top = 0;
  int col1_width = 112;
  int col2_width = 168;
  int col3_width = 132;
  bool use_speed = false;
  // [Grid Title Font], [Grid Font], [Print List Font]
  FontDescriptor grid_title_font{"Arial", 12};
  FontDescriptor grid_font{"Arial", 10};
  FontDescriptor print_list_font{"Arial", 10};
  // [Script Page]
  int script_width = 606;
  int script_height = 446;
  int script_left = 0;
  int script_top = 0;
  // [Network]
  bool network_mode = false;
  bool auto_sync = true;
  int sync_minutes = 10;
  // [Scheduler]
  bool use_wave_file = false;
  bool wave_file_wait = false;
  std::string wave_file;
  int timer_seconds = 10;

  // Filled from the macro file, indexed by macro number 1..500 (entry 0 unused).
  std::array<std::string, store::kMaxMacros + 1> nicknames;
  std::array<std::string, store::kMaxMacros + 1> trigwords;

  bool operator==(const SettingsRecord&) const = default;
};

}  // namespace quillomat::startup
