#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cli/commands.h"
#include "cli/text_form.h"
#include "platform/durable_file.h"
#include "store/macro_file_io.h"

namespace quillomat::cli {

namespace {

constexpr char kUsage[] =
    "usage: qlx load TEXT-FILE FILE\n\n"
    "Writes the macro file FILE from the text that \"qlx dump\" writes (TEXT-FILE \"-\" reads\n"
    "standard input). Blank lines and lines starting with # are ignored. Text with a fault\n"
    "is refused with its line number and nothing is written. FILE is replaced as a whole:\n"
    "the new content is written beside it and renamed over it, keeping its permissions.\n";

}  // namespace

int RunLoad(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return kExitOk;
  }
  if (args.size() != 2 || (args[0].size() > 1 && args[0][0] == '-') ||
      (args[1].size() > 1 && args[1][0] == '-')) {
    std::cerr << "qlx load: expected a text file and a macro file (qlx load --help)\n";
    return kExitUsage;
  }
  std::string text;
  if (args[0] == "-") {
    std::ostringstream in;
    in << std::cin.rdbuf();
    text = in.str();
  } else {
    std::ifstream in(args[0], std::ios::binary);
    if (!in) {
      std::cerr << "qlx load: cannot read " << args[0] << "\n";
      return kExitFailure;
    }
    text.assign(std::istreambuf_iterator<char>(in), {});
    if (in.bad()) {
      std::cerr << "qlx load: cannot read " << args[0] << "\n";
      return kExitFailure;
    }
  }
  const ParsedDump parsed = ParseDump(text);
  if (parsed.error_line != 0) {
    std::cerr << "qlx load: line " << parsed.error_line << ": " << parsed.error << "\n";
    return kExitFailure;
  }
  std::string error;
  const bool written = platform::ReplaceFileAtomically(
      args[1],
      [&](int fd) {
        uint8_t bytes[store::kMacroRecordSize];
        for (const auto& r : parsed.records) {
          r.ToBytes(bytes);
          if (!platform::WriteAll(fd, bytes, sizeof bytes)) return false;
        }
        return true;
      },
      &error);
  if (!written) {
    std::cerr << "qlx load: " << error << "\n";
    return kExitFailure;
  }
  if (parsed.records.size() > static_cast<size_t>(store::kMaxMacros)) {
    std::cerr << "qlx load: warning: " << parsed.records.size()
              << " records written; the program loads the first " << store::kMaxMacros << "\n";
  }
  return kExitOk;
}

}  // namespace quillomat::cli
