#pragma once

#include <string>

namespace quillomat::startup {

// Where the program keeps its files.
struct ProgramPaths {
  // The program's own folder: the default macro file, Icons, the capture working file.
  // $QUILLOMAT_HOME, else $XDG_DATA_HOME/quillomat (default ~/.local/share/quillomat).
  std::string program_dir;
  // QUILX.INI in $XDG_CONFIG_HOME/quillomat (default ~/.config/quillomat).
  std::string settings_file;

  static ProgramPaths FromEnvironment();
  std::string DefaultMacroFile() const { return program_dir + "/QUILX.QLX"; }
};

// Creates the folder and its parents; true when it exists afterwards.
bool EnsureFolder(const std::string& path);

}  // namespace quillomat::startup
