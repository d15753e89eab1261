#include <iostream>

#include "cli/commands.h"

namespace quillomat::cli {

int RunCatalogue(const std::vector<std::string>& args) {
  std::cerr << "qlx catalogue: not built yet\n";
  return kExitFailure;
}

}  // namespace quillomat::cli
