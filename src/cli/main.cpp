// qlx: inspects and converts macro files from the command line.

#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

struct Subcommand {
  const char* name;
  const char* summary;
  int (*run)(const std::vector<std::string>&);
};

constexpr Subcommand kSubcommands[] = {
    {"catalogue", "list the 720 hot keys: index, a tab, the name", quillomat::cli::RunCatalogue},
    {"list", "list the macros of a macro file, one per line", quillomat::cli::RunList},
    {"dump", "write every field of every record as text", quillomat::cli::RunDump},
    {"load", "write a macro file from the text that dump writes", quillomat::cli::RunLoad},
    {"play", "play macro text on the simulated desktop and list its events (--dry-run)",
     quillomat::cli::RunPlay},
    {"schedule", "list the timed macros of a macro file with their schedules",
     quillomat::cli::RunSchedule},
};

void PrintHelp(std::ostream& out) {
  out << "usage: qlx COMMAND [ARGS...]\n\n"
         "Inspects and converts Quillomat macro files.\n\ncommands:\n";
  for (const auto& s : kSubcommands) out << "  " << s.name << "\t" << s.summary << "\n";
  out << "\nqlx COMMAND --help describes one command.\n"
         "Exit codes: 0 success, 1 failure, 2 bad usage.\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintHelp(std::cerr);
    return quillomat::cli::kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp(std::cout);
    return quillomat::cli::kExitOk;
  }
  for (const auto& s : kSubcommands) {
    if (args[0] == s.name) return s.run({args.begin() + 1, args.end()});
  }
  std::cerr << "qlx: unknown command '" << args[0] << "' (qlx --help lists them)\n";
  return quillomat::cli::kExitUsage;
}
