#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace quillomat::posix {

// Starts programs without a shell: an executable given by path or found on PATH is spawned
// with its parameters split as a shell would split them; an existing document or an address
// is handed to xdg-open. Anything else cannot be opened, and says so.
class PosixShell : public platform::Shell {
 public:
  bool Open(const std::string& target, const std::string& parameters) override;

  // Splits at blanks, honouring double and single quotes and backslash escapes.
  static std::vector<std::string> SplitParameters(const std::string& parameters);
};

}  // namespace quillomat::posix
