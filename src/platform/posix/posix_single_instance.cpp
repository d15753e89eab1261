#include "platform/posix/posix_single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>

namespace quillomat::posix {

PosixSingleInstance::PosixSingleInstance(std::string lock_path)
    : lock_path_(std::move(lock_path)) {}

PosixSingleInstance::~PosixSingleInstance() { Release(); }

std::string PosixSingleInstance::DefaultLockPath() {
  std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  for (char& c : display) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.') c = '_';
  }
  std::string dir;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
    dir = runtime;
  } else {
    dir = "/tmp/quillomat-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
  }
  return dir + "/quillomat-" + (display.empty() ? "nodisplay" : display) + ".lock";
}

bool PosixSingleInstance::Claim() {
  if (fd_ >= 0) return true;
  const int fd = open(lock_path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // Without a place for the marker the rule cannot be kept; that is no reason to refuse
  // the user their program.
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void PosixSingleInstance::Release() {
  if (fd_ < 0) return;
  flock(fd_, LOCK_UN);
  close(fd_);
  fd_ = -1;
}

}  // namespace quillomat::posix
