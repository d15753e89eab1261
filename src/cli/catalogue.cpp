#include <iostream>

#include "cli/commands.h"
#include "store/hotkey_catalogue.h"

namespace quillomat::cli {

int RunCatalogue(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << "usage: qlx catalogue\n\n"
                 "Lists the 720 hot keys a macro can have, one a line: the catalogue index,\n"
                 "a tab, the hot key's name.\n";
    return kExitOk;
  }
  if (!args.empty()) {
    std::cerr << "qlx catalogue: takes no arguments, got '" << args[0]
              << "' (qlx catalogue --help)\n";
    return kExitUsage;
  }
  for (int i = 0; i < store::kCatalogueSize; ++i) {
    std::cout << i << '\t' << store::HotKeyName(i) << '\n';
  }
  return std::cout.flush() ? kExitOk : kExitFailure;
}

}  // namespace quillomat::cli
