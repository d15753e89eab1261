#pragma once

#include <string>
#include <vector>

namespace quillomat::platform {

class Processes {
 public:
  virtual ~Processes() = default;
  // The user's running programs: executable base names, upper case, each name once.
  virtual std::vector<std::string> RunningPrograms() = 0;
};

}  // namespace quillomat::platform
