// qlx play --dry-run, run as the built program.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "store/macro_record.h"

namespace quillomat::cli {
namespace {

std::string ShellQuote(const std::string& arg) {
  std::string out = "'";
  for (const char c : arg) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

// Exit code and standard output (standard error too with `with_errors`).
std::pair<int, std::string> Qlx(const std::vector<std::string>& args, bool with_errors = false) {
  // No X display: the desktop path must say so rather than touch a session's desktop.
  std::string command = std::string("env -u DISPLAY ") + QLX_PATH;
  for (const auto& arg : args) command += " " + ShellQuote(arg);
  command += with_errors ? " 2>&1" : " 2>/dev/null";
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {-1, ""};
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

struct DryRunCase {
  std::vector<std::string> args;
  const char* output;
};

class PlayDryRun : public ::testing::TestWithParam<DryRunCase> {};

TEST_P(PlayDryRun, PrintsTheseEvents) {
  std::vector<std::string> args = {"play", "--dry-run"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  const auto [code, out] = Qlx(args);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(out, GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Qlx, PlayDryRun,
    ::testing::Values(
        DryRunCase{{"<MMS:00100,00250>"}, "mouse 0x8001 6399 21333 0\n"},
        DryRunCase{{"--", "--"}, "key 0xBD down\nkey 0xBD up\nkey 0xBD down\nkey 0xBD up\n"},
        DryRunCase{{"A<ENTER>"},
                   "key 0x10 down\nkey 0x41 down\nkey 0x41 up\nkey 0x10 up\nkey 0x0D down\n"
                   "key 0x0D up\n"},
        DryRunCase{{"<SPEED:00.50><DELAY:00.25><MSD:0003>"}, "wait 125\nwait 1\n"},
        // The argument is UTF-8; the clipboard line shows the cp1252 byte.
        DryRunCase{{"<BEGCLIP>a\\b\t\xC3\xA9\r\n<ENDCLIP>"},
                   "clipboard a\\\\b\\t\\xE9\\r\\n\nwait 50\n"},
        DryRunCase{{"--screen", "800x600", "--answer", "abort", "<PAUSE:900,900>x"},
                   "pause 506 576 224x94 \"Pause\" \"\" abort\n"},
        DryRunCase{{"--window", "Editor", "--window", "Monthly Report",
                    "<ACTIVATE:report>x<ACTIVATE:none>y"},
                   "activate \"Monthly Report\"\nkey 0x58 down\nkey 0x58 up\n"},
        DryRunCase{{"--now", "2026-03-02 14:05:09", "<DD{Y}>"},
                   "key 0x30 down\nkey 0x30 up\nkey 0x32 down\nkey 0x32 up\n"},
        DryRunCase{{"<BEEP><WAV2:a \"b\".wav><HTTP:http://example.org/><COPYFILE:a;b><SWAP:x.qlx>"},
                   "bell\nwave \"a \\x22b\\x22.wav\" async\nopen \"http://example.org/\" \"\"\n"
                   "copy \"a\" \"b\"\nswap \"x.qlx\"\n"}));

TEST(Qlx, PlaysAMacroOfAMacroFile) {
  const auto path = std::filesystem::temp_directory_path() / "play_command_test.qlx";
  std::vector<uint8_t> bytes(2 * store::kMacroRecordSize);
  store::MacroRecord first, second;
  first.SetText("a");
  second.nickname.Set("Greeting");
  second.activation.Set(0);
  second.SetText("<PAUSE>x");
  first.ToBytes(bytes.data());
  second.ToBytes(bytes.data() + store::kMacroRecordSize);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));

  const auto [code, out] = Qlx({"play", "--dry-run", "--file", path.string(), "--macro", "2"});
  EXPECT_EQ(code, 0);
  EXPECT_EQ(out,
            "pause 337 400 224x94 \"Pause (Ctrl+A)\" \"\" continue\nkey 0x58 down\n"
            "key 0x58 up\n");
  const auto missing = Qlx({"play", "--dry-run", "--file", path.string(), "--macro", "3"}, true);
  EXPECT_EQ(missing.first, 1);
  EXPECT_NE(missing.second.find("holds 2 macros; there is no macro 3"), std::string::npos);
  std::filesystem::remove(path);
}

TEST(Qlx, PlayRefusesWhatItCannotDo) {
  const auto real = Qlx({"play", "a"}, true);
  EXPECT_EQ(real.first, 1);
  EXPECT_EQ(real.second,
            "qlx play: cannot use the X display '' (is DISPLAY set, with the XTest and XKB "
            "extensions?)\n");
  EXPECT_EQ(Qlx({"play", "--window", "A", "a"}).first, 2);
  EXPECT_EQ(Qlx({"play", "--dry-run"}).first, 2);
  EXPECT_EQ(Qlx({"play", "--dry-run", "a", "b"}).first, 2);
  EXPECT_EQ(Qlx({"play", "--dry-run", "--screen", "0x5", "a"}).first, 2);
  EXPECT_EQ(Qlx({"play", "--dry-run", "--now", "2026-02-30 10:00:00", "a"}).first, 2);
  EXPECT_EQ(Qlx({"play", "--dry-run", "--file", "x.qlx", "a"}).first, 2);
  EXPECT_EQ(Qlx({"play", "--dry-run", "--text-file", "/no/such/file"}).first, 1);
  const auto help = Qlx({"play", "--help"});
  EXPECT_EQ(help.first, 0);
  EXPECT_NE(help.second.find("key 0xVK down|up"), std::string::npos);
}

}  // namespace
}  // namespace quillomat::cli
