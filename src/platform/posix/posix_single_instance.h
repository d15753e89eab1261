#pragma once

#include <string>

#include "platform/single_instance.h"

namespace quillomat::posix {

// The instance marker is a lock file held with flock: the kernel drops the lock when the
// process ends, however it ends, so a crash never leaves a stale "already running".
class PosixSingleInstance : public platform::SingleInstance {
 public:
  // One marker per user and X display.
  explicit PosixSingleInstance(std::string lock_path = DefaultLockPath());
  ~PosixSingleInstance() override;

  bool Claim() override;
  void Release() override;

  // $XDG_RUNTIME_DIR/quillomat-DISPLAY.lock, or a private folder in /tmp without it.
  static std::string DefaultLockPath();

 private:
  std::string lock_path_;
  int fd_ = -1;
};

}  // namespace quillomat::posix
