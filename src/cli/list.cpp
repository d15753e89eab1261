#include <iostream>

#include "cli/commands.h"

namespace quillomat::cli {

int RunList(const std::vector<std::string>& args) {
  std::cerr << "qlx list: not built yet\n";
  return kExitFailure;
}

}  // namespace quillomat::cli
