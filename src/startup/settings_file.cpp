#include "startup/settings_file.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>

#include "platform/files.h"
#include "startup/profile_file.h"

namespace quillomat::startup {
namespace {

// Read buffers, in characters.
constexpr std::size_t kOrdinaryLimit = 14;
constexpr std::size_t kPathLimit = 249;  // "Current File", "Prefix Keys", "Wave File"
constexpr std::size_t kLastFileLimit = 254;
constexpr std::size_t kFontLimit = 149;

// The whole number a value starts with (blanks, optional sign, digits), saturated at the range
// of int64; nothing when it does not start with one.
std::optional<int64_t> LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
  // Accumulate as a negative number so that the lowest value fits.
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  int64_t value = 0;
  bool saturated = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (saturated || value < (kMin + digit) / 10) {
      saturated = true;
      continue;
    }
    value = value * 10 - digit;
  }
  if (saturated) return negative ? kMin : std::numeric_limits<int64_t>::max();
  if (!negative) return value == kMin ? std::numeric_limits<int64_t>::max() : -value;
  return value;
}

template <typename T>
T Saturate(int64_t value) {
  if (value < std::numeric_limits<T>::min()) return std::numeric_limits<T>::min();
  if (value > std::numeric_limits<T>::max()) return std::numeric_limits<T>::max();
  return static_cast<T>(value);
}

class Loader {
 public:
  explicit Loader(const ProfileFile& file) : file_(file) {}

  template <typename T>
  void Number(std::string_view section, std::string_view key, T& field, T default_value,
              std::size_t limit = kOrdinaryLimit) {
    const auto text = file_.Get(section, key, limit);
    const auto number = text ? LeadingNumber(*text) : std::nullopt;
    field = number ? Saturate<T>(*number) : default_value;
  }
  void YesNo(std::string_view section, std::string_view key, bool& field, bool default_value,
             std::size_t limit = kOrdinaryLimit) {
    const auto text = file_.Get(section, key, limit);
    if (!text) {
      field = default_value;
      return;
    }
    field = text->size() == 3 && (((*text)[0] | 0x20) == 'y') && (((*text)[1] | 0x20) == 'e') &&
            (((*text)[2] | 0x20) == 's');
  }
  void Text(std::string_view section, std::string_view key, std::string& field,
            std::string_view default_value, std::size_t limit = kOrdinaryLimit) {
    field = file_.Get(section, key, default_value, limit);
  }

 private:
  const ProfileFile& file_;
};

class Saver {
 public:
  explicit Saver(ProfileFile& file) : file_(file) {}

  template <typename T>
  void Number(std::string_view section, std::string_view key, const T& field, T, std::size_t = 0) {
    file_.Set(section, key, std::to_string(field));
  }
  void YesNo(std::string_view section, std::string_view key, const bool& field, bool,
             std::size_t = 0) {
    file_.Set(section, key, field ? "Yes" : "No");
  }
  void Text(std::string_view section, std::string_view key, const std::string& field,
            std::string_view, std::size_t = 0) {
    file_.Set(section, key, field);
  }

 private:
  ProfileFile& file_;
};

template <typename Font, typename Visitor>
void VisitFont(Visitor& v, std::string_view section, Font& font, int default_size,
               bool with_underline_and_strikeout) {
  v.template Number<int64_t>(section, "Color", font.color, 0, kFontLimit);
  v.Text(section, "Font Name", font.name, "Arial", kFontLimit);
  v.template Number<int>(section, "Size", font.size, default_size, kFontLimit);
  v.YesNo(section, "Bold", font.bold, false, kFontLimit);
  v.YesNo(section, "Italic", font.italic, false, kFontLimit);
  if (with_underline_and_strikeout) {
    v.YesNo(section, "Underline", font.underline, false, kFontLimit);
    v.YesNo(section, "Strikeout", font.strikeout, false, kFontLimit);
  }
}

// Every key of the file, in the order it is read and written.
template <typename Record, typename Visitor>
void VisitKeys(Visitor& v, Record& s) {
  static const char* const kLastFileKeys[] = {"Last File 1", "Last File 2", "Last File 3",
                                              "Last File 4", "Last File 5"};
  v.template Number<int>("Misc", "System Menu", s.system_menu, 1);
  v.YesNo("Misc", "Sort Header", s.sort_header, true);
  v.Text("Misc", "Primary Sort", s.primary_sort, "123");
  v.Text("Misc", "Activation Sort", s.activation_sort, "123");
  v.Text("Misc", "Scope Sort", s.scope_sort, "12345");
  v.template Number<int>("Misc", "Last Date Format", s.last_date_format, 0);
  v.template Number<int>("Misc", "Last Time Format", s.last_time_format, 0);
  v.YesNo("Misc", "Suppress Zeros In Date", s.suppress_zeros_in_date, true);
  v.YesNo("Misc", "Suppress Zeros In Time", s.suppress_zeros_in_time, true);
  v.YesNo("Misc", "Show Date", s.show_date, false);
  v.YesNo("Misc", "Use Tray", s.use_tray, false);
  v.YesNo("Misc", "Disable Screen Saver", s.disable_screen_saver, true);
  v.Text("Misc", "Current File", s.current_file, "", kPathLimit);
  for (std::size_t i = 0; i < s.last_files.size(); ++i) {
    v.Text("Misc", kLastFileKeys[i], s.last_files[i], "", kLastFileLimit);
  }

  v.YesNo("Capture", "Double Alt", s.capture_double_alt, true);
  v.YesNo("Capture", "Keys", s.capture_keys, true);
  v.YesNo("Capture", "Mouse", s.capture_mouse, true);
  v.YesNo("Capture", "Relative To Screen", s.capture_relative_to_screen, true);
  v.YesNo("Capture", "Time", s.capture_time, true);
  v.YesNo("Capture", "Prompt", s.capture_prompt, true);
  v.YesNo("Capture", "Window Size", s.capture_window_size, true);
  v.YesNo("Capture", "Global", s.capture_global, true);
  v.template Number<int>("Capture", "Speed", s.capture_speed, 1);

  v.YesNo("Trigwords", "Solitary Usage", s.solitary_usage, false);
  v.YesNo("Trigwords", "Case Sensative", s.case_sensitive, true);
  v.YesNo("Trigwords", "Use Suffix", s.use_suffix, false);
  v.Text("Trigwords", "Prefix Keys", s.prefix_keys, "", kPathLimit);

  v.template Number<int>("Main Window", "Width", s.width, 640);
  v.template Number<int>("Main Window", "Height", s.height, 424);
  v.template Number<int>("Main Window", "Left", s.left, 0);
  v.template Number<int>("Main Window", "Top", s.top, 0);
  v.template Number<int>("Main Window", "Col 1 Width", s.col1_width, 112);
  v.template Number<int>("Main Window", "Col 2 Width", s.col2_width, 168);
  v.template Number<int>("Main Window", "Col 3 Width", s.col3_width, 132);
  v.YesNo("Main Window", "Use Speed", s.use_speed, false);

  VisitFont(v, "Grid Title Font", s.grid_title_font, 12, true);
  VisitFont(v, "Grid Font", s.grid_font, 10, true);

  v.template Number<int>("Script Page", "Width", s.script_width, 606);
  v.template Number<int>("Script Page", "Height", s.script_height, 446);
  v.template Number<int>("Script Page", "Left", s.script_left, 0);
  v.template Number<int>("Script Page", "Top", s.script_top, 0);

  v.YesNo("Network", "Network Mode", s.network_mode, false);
  v.YesNo("Network", "Auto Sync", s.auto_sync, true);
  v.template Number<int>("Network", "Sync Minutes", s.sync_minutes, 10);

  VisitFont(v, "Print List Font", s.print_list_font, 10, false);

  v.YesNo("Scheduler", "Use Wave File", s.use_wave_file, false);
  v.YesNo("Scheduler", "Wave File Wait", s.wave_file_wait, false);
  v.Text("Scheduler", "Wave File", s.wave_file, "", kPathLimit);
  v.template Number<int>("Scheduler", "Timer Seconds", s.timer_seconds, 10);
}

}  // namespace

std::string DefaultMacroFile(const std::string& program_dir) {
  if (!program_dir.empty() && (program_dir.back() == '/' || program_dir.back() == '\\')) {
    return program_dir + "QUILX.QLX";
  }
  return program_dir + "/QUILX.QLX";
}

bool LoadSettings(const std::string& path, const std::string& program_dir,
                  SettingsRecord& settings) {
  ProfileFile file;
  const bool readable = file.Read(path) != ProfileFile::ReadStatus::kUnreadable;
  Loader loader(file);
  VisitKeys(loader, settings);

  settings.prefix_keys.resize(std::min<std::size_t>(settings.prefix_keys.size(), 2));
  settings.primary_sort.resize(std::min<std::size_t>(settings.primary_sort.size(), 3));
  settings.activation_sort.resize(std::min<std::size_t>(settings.activation_sort.size(), 3));
  settings.scope_sort.resize(std::min<std::size_t>(settings.scope_sort.size(), 5));
  // A negative interval would be as unusable as 0, so it is mended the same way.
  if (settings.timer_seconds < 1 || settings.timer_seconds > 60) settings.timer_seconds = 10;
  if (settings.current_file.empty() || !platform::FileExists(settings.current_file)) {
    settings.current_file = DefaultMacroFile(program_dir);
  }
  return readable;
}

bool SaveSettings(const std::string& path, const SettingsRecord& settings) {
  ProfileFile file;
  // Merge into the file as it is now, so that what other tools wrote since start survives.
  if (file.Read(path) == ProfileFile::ReadStatus::kUnreadable) return false;
  Saver saver(file);
  VisitKeys(saver, settings);
  return file.Write(path);
}

}  // namespace quillomat::startup
