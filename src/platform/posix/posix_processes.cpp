#include "platform/posix/posix_processes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>

namespace quillomat::posix {

namespace {

std::string ProgramName(const std::filesystem::path& proc_dir) {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink(proc_dir / "exe", ec);
  std::string name;
  if (!ec) {
    name = exe.filename().string();
    // A program whose file was replaced while it runs shows " (deleted)".
    if (auto cut = name.find(" (deleted)"); cut != std::string::npos) name.erase(cut);
  } else {
    std::ifstream comm(proc_dir / "comm");
    std::getline(comm, name);
  }
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return name;
}

}  // namespace

std::vector<std::string> PosixProcesses::RunningPrograms() {
  std::vector<std::string> names;
  std::set<std::string> seen;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string pid = entry.path().filename().string();
    if (pid.empty() || !std::all_of(pid.begin(), pid.end(), ::isdigit)) continue;
    struct stat st {};
    if (stat(entry.path().c_str(), &st) != 0 || st.st_uid != getuid()) continue;
    std::string name = ProgramName(entry.path());
    if (!name.empty() && seen.insert(name).second) names.push_back(name);
  }
  return names;
}

}  // namespace quillomat::posix
