#pragma once

#include <string>

#include "startup/settings.h"

namespace quillomat::startup {

// Reads every key of the settings file into the record and its three fonts; a missing file or
// key gives the default. Texts are cut at their read buffers, the sort orders and prefix keys
// at their lengths, a "Timer Seconds" outside 1..60 becomes 10, and a "Current File" that is
// empty or names no existing file becomes program_dir + "/QUILX.QLX". A number key whose value
// does not start with a whole number (optional sign, digits) keeps its default. The per-macro
// name tables are left alone. False when the file exists but could not be read (the record then
// holds the defaults).
bool LoadSettings(const std::string& path, const std::string& program_dir,
                  SettingsRecord& settings);

// Writes every key from the record, keeping the other keys and lines of the file where they are.
// The file is replaced atomically and its folder created when missing. False when the file could
// not be written, or exists but could not be read (it is then left as it is, so keys this
// program does not know are never lost).
bool SaveSettings(const std::string& path, const SettingsRecord& settings);

// The macro file used when the settings name none: "QUILX.QLX" in the program's folder.
std::string DefaultMacroFile(const std::string& program_dir);

}  // namespace quillomat::startup
