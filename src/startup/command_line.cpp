#include "startup/command_line.h"

#include "platform/files.h"

namespace quillomat::startup {
namespace {

bool EqualsUpper(std::string_view argument, std::string_view upper) {
  if (argument.size() != upper.size()) return false;
  for (std::size_t i = 0; i < upper.size(); ++i) {
    const char c = argument[i];
    if ((c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c) != upper[i]) return false;
  }
  return true;
}

bool StartsWithUpper(std::string_view argument, std::string_view upper) {
  return argument.size() >= upper.size() && EqualsUpper(argument.substr(0, upper.size()), upper);
}

// A whole number 1..98 made of digits only, or 0.
int SyncMinutes(std::string_view text) {
  if (text.empty()) return 0;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
    if (value > 98) return 0;
  }
  return value;
}

}  // namespace

CommandLineEffects ProcessParam(std::string_view argument, SettingsRecord& settings) {
  CommandLineEffects effects;
  if (EqualsUpper(argument, "/HIDE")) {
    effects.hide_on_first_paint = true;
  } else if (EqualsUpper(argument, "/B")) {
    effects.browse = true;
  } else if (EqualsUpper(argument, "/S")) {
    settings.auto_sync = true;
  } else if (EqualsUpper(argument, "/BA")) {
    effects.browse_all = true;
  } else if (StartsWithUpper(argument, "/F")) {
    // File names are case-sensitive here: the path is used as typed. It is made absolute so
    // that the current file saved in the settings still names it from another folder.
    const std::string path(argument.substr(2));
    if (platform::FileExists(path)) effects.file_to_load = platform::FullPath(path);
  } else if (EqualsUpper(argument, "/N")) {
    settings.network_mode = true;
    effects.network_mode_switched_on = true;
  } else if (StartsWithUpper(argument, "/SM")) {
    if (const int minutes = SyncMinutes(argument.substr(3)); minutes >= 1) {
      settings.sync_minutes = minutes;
    }
  }
  return effects;
}

CommandLineEffects ProcessParams(const std::vector<std::string>& arguments,
                                 SettingsRecord& settings) {
  CommandLineEffects all;
  for (const std::string& argument : arguments) {
    const CommandLineEffects one = ProcessParam(argument, settings);
    all.hide_on_first_paint |= one.hide_on_first_paint;
    all.browse |= one.browse;
    all.browse_all |= one.browse_all;
    all.network_mode_switched_on |= one.network_mode_switched_on;
    if (!one.file_to_load.empty()) all.file_to_load = one.file_to_load;
  }
  return all;
}

}  // namespace quillomat::startup
