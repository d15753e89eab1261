#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quillomat::platform {

// A block of memory shared by name between the program and its hook library.
class SharedBlock {
 public:
  virtual ~SharedBlock() = default;
  virtual uint8_t* Data() = 0;
  virtual size_t Size() const = 0;
};

class NamedMutex {
 public:
  virtual ~NamedMutex() = default;
};

// Named shared blocks and mutexes, private to the user who creates them.
class NamedObjects {
 public:
  virtual ~NamedObjects() = default;
  // Creates the block (zero-filled) or opens this user's existing one as it is, so that a
  // second start never disturbs what a running instance published.
  // nullptr on failure.
  virtual std::unique_ptr<SharedBlock> CreateBlock(const std::string& name, size_t size) = 0;
  virtual std::unique_ptr<NamedMutex> CreateMutex(const std::string& name) = 0;
};

}  // namespace quillomat::platform
