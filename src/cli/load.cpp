#include <iostream>

#include "cli/commands.h"

namespace quillomat::cli {

int RunLoad(const std::vector<std::string>& args) {
  std::cerr << "qlx load: not built yet\n";
  return kExitFailure;
}

}  // namespace quillomat::cli
