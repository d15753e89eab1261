#include "startup/program_paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quillomat::startup {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : "";
}

std::string Home() {
  std::string home = Env("HOME");
  return home.empty() ? "." : home;
}

}  // namespace

ProgramPaths ProgramPaths::FromEnvironment() {
  ProgramPaths paths;
  paths.program_dir = Env("QUILLOMAT_HOME");
  if (paths.program_dir.empty()) {
    std::string data = Env("XDG_DATA_HOME");
    if (data.empty()) data = Home() + "/.local/share";
    paths.program_dir = data + "/quillomat";
  }
  while (paths.program_dir.size() > 1 && paths.program_dir.back() == '/') {
    paths.program_dir.pop_back();
  }
  std::string config = Env("XDG_CONFIG_HOME");
  if (config.empty()) config = Home() + "/.config";
  paths.settings_file = config + "/quillomat/QUILX.INI";
  return paths;
}

bool EnsureFolder(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return std::filesystem::is_directory(path, ec);
}

}  // namespace quillomat::startup
