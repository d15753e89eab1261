#include <iostream>

#include "cli/commands.h"
#include "cli/text_form.h"
#include "store/macro_file_io.h"

namespace quillomat::cli {

namespace {

constexpr char kUsage[] =
    "usage: qlx dump FILE\n\n"
    "Writes every record of a macro file as text on standard output: one \"field = value\"\n"
    "line per field, the reserved bytes included. Strings are quoted; \\\\, \\\", \\r, \\n, \\t\n"
    "and \\xHH stand for the bytes that are not printable ASCII, so every byte survives.\n"
    "A Popup Menu macro (scope 4) shows its items in place of text. \"qlx load\" reads the\n"
    "text back. The file is only read.\n";

}  // namespace

int RunDump(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return kExitOk;
  }
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
    std::cerr << "qlx dump: expected one macro file (qlx dump --help)\n";
    return kExitUsage;
  }
  const std::string& path = args[0];
  const store::MacroFileContents contents = store::ReadMacroFileRecords(path);
  if (contents.status != store::ReadStatus::kOk) {
    std::cerr << "qlx dump: " << path << ": " << contents.error << "\n";
    return kExitFailure;
  }
  std::cout << DumpRecords(contents.records, path);
  if (contents.trailing_bytes > 0) {
    std::cerr << "qlx dump: warning: " << path << " ends in an incomplete record of "
              << contents.trailing_bytes << " bytes, not dumped\n";
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "qlx dump: cannot write the dump\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace quillomat::cli
