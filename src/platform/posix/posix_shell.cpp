#include "platform/posix/posix_shell.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

extern char** environ;

namespace quillomat::posix {

namespace {

bool IsExecutable(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string FindOnPath(const std::string& name) {
  if (name.find('/') != std::string::npos) return IsExecutable(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    std::string candidate = dirs.substr(start, end - start);
    candidate = (candidate.empty() ? "." : candidate) + "/" + name;
    if (IsExecutable(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

// Spawns in a session of its own; a small thread reaps it when it ends, so no zombie stays.
bool Spawn(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, args[0], nullptr, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}

}  // namespace

std::vector<std::string> PosixShell::SplitParameters(const std::string& parameters) {
  std::vector<std::string> out;
  std::string current;
  bool in_word = false;
  char quote = 0;
  for (size_t i = 0; i < parameters.size(); ++i) {
    const char c = parameters[i];
    if (quote) {
      if (c == quote) {
        quote = 0;
      } else if (c == '\\' && quote == '"' && i + 1 < parameters.size()) {
        current += parameters[++i];
      } else {
        current += c;
      }
    } else if (c == '"' || c == '\'') {
      quote = c;
      in_word = true;
    } else if (c == '\\' && i + 1 < parameters.size()) {
      current += parameters[++i];
      in_word = true;
    } else if (c == ' ' || c == '\t') {
      if (in_word) out.push_back(current);
      current.clear();
      in_word = false;
    } else {
      current += c;
      in_word = true;
    }
  }
  if (in_word) out.push_back(current);
  return out;
}

bool PosixShell::Open(const std::string& target, const std::string& parameters) {
  if (target.empty()) return false;
  if (const std::string exe = FindOnPath(target); !exe.empty()) {
    std::vector<std::string> argv{exe};
    for (auto& p : SplitParameters(parameters)) argv.push_back(std::move(p));
    return Spawn(argv);
  }
  // What is neither a program nor an existing document nor an address cannot be opened.
  struct stat st {};
  const bool address = target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0 ||
                       target.rfind("www.", 0) == 0;
  if (!address && stat(target.c_str(), &st) != 0) return false;
  const std::string opener = FindOnPath("xdg-open");
  if (opener.empty()) return false;
  return Spawn({opener, target});
}

}  // namespace quillomat::posix
