#pragma once

#include <string>

#include "platform/named_objects.h"

namespace quillomat::posix {

// Named blocks as POSIX shared memory and mutexes as named semaphores, one set per user:
// the user id is part of each name, objects are created with mode 0600, and an existing
// object is used only when this user owns it.
class PosixNamedObjects : public platform::NamedObjects {
 public:
  std::unique_ptr<platform::SharedBlock> CreateBlock(const std::string& name, size_t size) override;
  std::unique_ptr<platform::NamedMutex> CreateMutex(const std::string& name) override;

  // The system-wide name of one of the program's objects for the current user.
  static std::string UserObjectName(const std::string& name);
};

}  // namespace quillomat::posix
