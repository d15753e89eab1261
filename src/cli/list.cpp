#include <iostream>

#include "cli/commands.h"
#include "cli/text_form.h"
#include "management/macro_list_text.h"
#include "store/macro_file_io.h"

namespace quillomat::cli {

namespace {

constexpr char kUsage[] =
    "usage: qlx list FILE\n\n"
    "Lists the macros of a macro file, one line per macro in file order, the fields\n"
    "separated by tabs: macro number, activation (\"Timed Macro\", the Trigword or the hot\n"
    "key), nickname, scope (\"GLOBAL\", \"Window: \" or \"Program: \" and the name, \"Popup\n"
    "Menu\", \"SYSTEM\") and whether it is active (\"Yes\" or \"No\"). Text is shown as UTF-8.\n"
    "The file is only read: a missing file is not created.\n";

}  // namespace

int RunList(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return kExitOk;
  }
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
    std::cerr << "qlx list: expected one macro file (qlx list --help)\n";
    return kExitUsage;
  }
  const std::string& path = args[0];
  const store::MacroFileContents contents = store::ReadMacroFileRecords(path);
  if (contents.status != store::ReadStatus::kOk) {
    std::cerr << "qlx list: " << path << ": " << contents.error << "\n";
    return kExitFailure;
  }
  int n = 0;
  for (const auto& r : contents.records) {
    const auto activation = static_cast<uint16_t>(r.activation.Get());
    const auto scope = static_cast<uint16_t>(r.scope.Get());
    std::cout << ++n << '\t'
              << DisplayText(management::ActivationText(activation, r.trigword.Get())) << '\t'
              << DisplayText(r.nickname.Get()) << '\t'
              << DisplayText(management::ScopeText(scope, r.scope_name.Get())) << '\t'
              << (r.active ? "Yes" : "No") << '\n';
  }
  if (contents.trailing_bytes > 0) {
    std::cerr << "qlx list: warning: " << path << " ends in an incomplete record of "
              << contents.trailing_bytes << " bytes, not listed\n";
  }
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "qlx list: cannot write the list\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace quillomat::cli
