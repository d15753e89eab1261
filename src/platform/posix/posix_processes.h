#pragma once

#include "platform/processes.h"

namespace quillomat::posix {

// The user's processes from /proc: each executable's base name, upper case, once per name.
class PosixProcesses : public platform::Processes {
 public:
  std::vector<std::string> RunningPrograms() override;
};

}  // namespace quillomat::posix
