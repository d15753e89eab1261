#include <iostream>

#include "activation/scheduler.h"
#include "cli/commands.h"
#include "cli/text_form.h"
#include "store/macro_file_io.h"

namespace quillomat::cli {

namespace {

constexpr char kUsage[] =
    "usage: qlx schedule FILE\n\n"
    "Lists the timed macros of a macro file, one line per macro in file order, the fields\n"
    "separated by tabs: macro number, nickname and the schedule as the main window shows it\n"
    "(\"At Startup\", \"Daily at 12:00PM,Sun,Mon\", \"every 15 minutes\", ...). Inactive timed\n"
    "macros are listed too. Text is shown as UTF-8. The file is only read: a missing file is\n"
    "not created.\n";

}  // namespace

int RunSchedule(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return kExitOk;
  }
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
    std::cerr << "qlx schedule: expected one macro file (qlx schedule --help)\n";
    return kExitUsage;
  }
  const std::string& path = args[0];
  const store::MacroFileContents contents = store::ReadMacroFileRecords(path);
  if (contents.status != store::ReadStatus::kOk) {
    std::cerr << "qlx schedule: " << path << ": " << contents.error << "\n";
    return kExitFailure;
  }
  int n = 0;
  for (const auto& r : contents.records) {
    ++n;
    if (r.activation.Get() != store::kTimedMacro) continue;
    std::cout << n << '\t' << DisplayText(r.nickname.Get()) << '\t'
              << DisplayText(activation::GetSched(r)) << '\n';
  }
  if (contents.trailing_bytes > 0) {
    std::cerr << "qlx schedule: warning: " << path << " ends in an incomplete record of "
              << contents.trailing_bytes << " bytes, not listed\n";
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "qlx schedule: cannot write the list\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace quillomat::cli
