#pragma once

#include <string>

namespace quillomat::platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // Starts a program (by path or on PATH) with its parameters, or opens a document or an
  // address with the desktop's handler. False when nothing could be started.
  virtual bool Open(const std::string& target, const std::string& parameters) = 0;
};

}  // namespace quillomat::platform
