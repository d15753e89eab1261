#include <iostream>

#include "cli/commands.h"

namespace quillomat::cli {

int RunDump(const std::vector<std::string>& args) {
  std::cerr << "qlx dump: not built yet\n";
  return kExitFailure;
}

}  // namespace quillomat::cli
