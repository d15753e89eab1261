#include "startup/settings_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>

#include "startup/profile_file.h"

namespace quillomat::startup {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class SettingsFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "qlx-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    ini_ = dir_ + "/QUILX.INI";
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // The record as read from the given file text.
  SettingsRecord LoadText(const std::string& text) {
    WriteAll(ini_, text);
    SettingsRecord s;
    EXPECT_TRUE(LoadSettings(ini_, dir_, s));
    return s;
  }

  std::string dir_;
  std::string ini_;
};

TEST_F(SettingsFileTest, EveryKeyRoundTrips) {
  const std::string macro_file = dir_ + "/work.qlx";
  WriteAll(macro_file, "");

  SettingsRecord s;
  s.system_menu = 3;
  s.sort_header = false;
  s.primary_sort = "321";
  s.activation_sort = "213";
  s.scope_sort = "54321";
  s.last_date_format = 7;
  s.last_time_format = 4;
  s.suppress_zeros_in_date = false;
  s.suppress_zeros_in_time = false;
  s.show_date = true;
  s.use_tray = true;
  s.disable_screen_saver = false;
  s.current_file = macro_file;
  s.last_files = {"/a/one.qlx", " two with blanks.qlx ", "\"quoted\"", "'single'", "/e/five.qlx"};
  s.capture_double_alt = false;
  s.capture_keys = false;
  s.capture_mouse = false;
  s.capture_relative_to_screen = false;
  s.capture_time = false;
  s.capture_prompt = false;
  s.capture_window_size = false;
  s.capture_global = false;
  s.capture_speed = 4;
  s.solitary_usage = true;
  s.case_sensitive = false;
  s.use_suffix = true;
  s.prefix_keys = ";,";
  s.width = 800;
  s.height = 600;
  s.left = -8;
  s.top = 25;
  s.col1_width = 90;
  s.col2_width = 200;
  s.col3_width = 150;
  s.use_speed = true;
  s.grid_title_font = {"DejaVu Sans", 14, 255, true, true, true, true};
  s.grid_font = {"Liberation Mono", 9, 0x80000005LL, true, false, true, false};
  s.print_list_font = {"Courier New", 11, 16711680, false, true};  // no underline/strikeout keys
  s.script_width = 700;
  s.script_height = 500;
  s.script_left = 30;
  s.script_top = 40;
  s.network_mode = true;
  s.auto_sync = false;
  s.sync_minutes = 25;
  s.use_wave_file = true;
  s.wave_file_wait = true;
  s.wave_file = "/usr/share/sounds/ding \xE9.wav";
  s.timer_seconds = 60;

  ASSERT_TRUE(SaveSettings(ini_, s));
  SettingsRecord loaded;
  ASSERT_TRUE(LoadSettings(ini_, "/elsewhere", loaded));
  EXPECT_EQ(loaded, s);
}

TEST_F(SettingsFileTest, FirstStartGivesDefaultsAndCloseCreatesTheFile) {
  SettingsRecord loaded;
  loaded.width = 1;  // whatever the record held before is replaced
  EXPECT_TRUE(LoadSettings(ini_, dir_, loaded));
  SettingsRecord expected;
  expected.current_file = dir_ + "/QUILX.QLX";
  EXPECT_EQ(loaded, expected);

  const std::string nested = dir_ + "/config/quillomat/QUILX.INI";
  ASSERT_TRUE(SaveSettings(nested, loaded));
  const std::string text = ReadAll(nested);
  EXPECT_EQ(text.rfind("[Misc]\r\nSystem Menu=1\r\nSort Header=Yes\r\nPrimary Sort=123\r\n", 0), 0u)
      << text;
  EXPECT_NE(text.find("\r\nCase Sensative=Yes\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n\r\n[Scheduler]\r\n"), std::string::npos);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_EQ(text[i - 1], '\r') << "bare LF at " << i;
    }
  }
}

TEST_F(SettingsFileTest, ReadRulesAndLimits) {
  const std::string long_text(300, 'x');
  struct Case {
    std::string ini;
    std::function<std::string(const SettingsRecord&)> field;
    std::string expected;
  };
  auto timer = [](const SettingsRecord& s) { return std::to_string(s.timer_seconds); };
  auto tray = [](const SettingsRecord& s) { return std::string(s.use_tray ? "true" : "false"); };
  auto width = [](const SettingsRecord& s) { return std::to_string(s.width); };
  const Case cases[] = {
      {"[Scheduler]\nTimer Seconds=0\n", timer, "10"},
      {"[Scheduler]\nTimer Seconds=61\n", timer, "10"},
      {"[Scheduler]\nTimer Seconds=60\n", timer, "60"},
      {"[Scheduler]\nTimer Seconds=-5\n", timer, "10"},
      {"[Misc]\nUse Tray=yes\n", tray, "true"},
      {"[Misc]\nUse Tray=1\n", tray, "false"},
      {"[Misc]\nUse Tray=Yess\n", tray, "false"},
      {"[Misc]\nUse Tray=\n", tray, "false"},
      {"[Trigwords]\nPrefix Keys=;;;\n", [](auto& s) { return s.prefix_keys; }, ";;"},
      {"[Misc]\nPrimary Sort=4321\n", [](auto& s) { return s.primary_sort; }, "432"},
      {"[Misc]\nActivation Sort=31\n", [](auto& s) { return s.activation_sort; }, "31"},
      {"[Misc]\nScope Sort=1234567\n", [](auto& s) { return s.scope_sort; }, "12345"},
      {"[Misc]\nLast File 2=" + long_text + "\n", [](auto& s) { return s.last_files[1]; },
       std::string(254, 'x')},
      {"[Scheduler]\nWave File=" + long_text + "\n", [](auto& s) { return s.wave_file; },
       std::string(249, 'x')},
      {"[Grid Font]\nFont Name=" + long_text + "\n", [](auto& s) { return s.grid_font.name; },
       std::string(149, 'x')},
      // Ordinary keys read 14 characters: the digits after them are never seen.
      {"[Main Window]\nWidth=000000000000001234\n", width, "0"},
      {"[Main Window]\nWidth=12abc\n", width, "12"},
      {"[Main Window]\nWidth=abc\n", width, "640"},
      {"[Main Window]\nWidth=\n", width, "640"},
      {"[Main Window]\nLeft=-4\n", [](auto& s) { return std::to_string(s.left); }, "-4"},
      {"[Main Window]\nWidth=99999999999999\n", width,
       std::to_string(std::numeric_limits<int>::max())},
      {"[Misc]\nCurrent File=\n", [](auto& s) { return s.current_file; }, "@/QUILX.QLX"},
      {"[Misc]\nCurrent File=/no/such/file.qlx\n", [](auto& s) { return s.current_file; },
       "@/QUILX.QLX"},
  };
  for (const Case& c : cases) {
    std::string expected = c.expected;
    if (expected.rfind("@", 0) == 0) expected = dir_ + expected.substr(1);
    EXPECT_EQ(c.field(LoadText(c.ini)), expected) << c.ini;
  }
}

TEST(ProfileFile, ReadsAsWindowsProfileFiles) {
  struct Case {
    const char* text;
    const char* section;
    const char* key;
    const char* expected;  // nullptr: the key is missing
  };
  const Case cases[] = {
      {"[MISC]\nsystem menu=3\n", "Misc", "System Menu", "3"},
      {"[Misc]\nSystem Menu=2\nSYSTEM MENU=3\n", "Misc", "System Menu", "2"},
      {"[Misc]\nA=1\n[misc]\nSystem Menu=3\n", "Misc", "System Menu", nullptr},
      {"  [ Misc ]  \n   Wave File   =   x.wav   \n", "Misc", "Wave File", "x.wav"},
      {"[Misc]\nK=\"  a b  \"\n", "Misc", "K", "  a b  "},
      {"[Misc]\nK='q'\n", "Misc", "K", "q"},
      {"[Misc]\nK=\"\"q\"\"\n", "Misc", "K", "\"q\""},
      {"[Misc]\nK=\"q'\n", "Misc", "K", "\"q'"},
      {"[Misc]\nK=\"\n", "Misc", "K", "\""},
      {"[Misc]\r\nK=crlf\r\nL=2\r\n", "Misc", "K", "crlf"},
      {"[Misc]\rK=cr\r", "Misc", "K", "cr"},
      {"[Misc]\nK=a=b\n", "Misc", "K", "a=b"},
      {"[Misc]\n;K=comment\nK=real\n", "Misc", "K", "real"},
      {"[Misc]\nK\n", "Misc", "K", nullptr},
      {"K=outside\n[Misc]\n", "Misc", "K", nullptr},
      {"\xEF\xBB\xBF[Misc]\nK=bom\n", "Misc", "K", "bom"},
      {"[\xC9t\xE9]\nK=e\n", "\xE9T\xC9", "k", "e"},
  };
  for (const Case& c : cases) {
    ProfileFile file;
    file.Parse(c.text);
    const auto value = file.Get(c.section, c.key, 100);
    if (c.expected == nullptr) {
      EXPECT_FALSE(value) << c.text;
    } else {
      EXPECT_EQ(value.value_or("<missing>"), c.expected) << c.text;
    }
  }
}

TEST_F(SettingsFileTest, SaveKeepsWhatItDoesNotKnowInPlace) {
  WriteAll(ini_,
           "; written by hand\n"
           "[misc]\n"
           "system menu = 2\n"
           "Their Key = keep me\n"
           "this line is no key\n"
           "\n"
           "[Other Tool]\n"
           "A=1\n"
           "[Network]\n"
           "Sync Minutes=5");
  SettingsRecord s;
  ASSERT_TRUE(LoadSettings(ini_, dir_, s));
  EXPECT_EQ(s.system_menu, 2);
  s.system_menu = 3;
  ASSERT_TRUE(SaveSettings(ini_, s));

  const std::string text = ReadAll(ini_);
  const std::string head =
      "; written by hand\r\n"
      "[misc]\r\n"
      "system menu=3\r\n"
      "Their Key = keep me\r\n"
      "Sort Header=Yes\r\n";
  EXPECT_EQ(text.rfind(head, 0), 0u) << text;
  const auto odd_line = text.find(
      "\r\nthis line is no key\r\n\r\n[Other Tool]\r\nA=1\r\n[Network]\r\n"
      "Sync Minutes=5\r\nNetwork Mode=No\r\n");
  EXPECT_NE(odd_line, std::string::npos) << text;
  EXPECT_LT(text.find("Last File 5="), odd_line);
  EXPECT_GT(text.find("[Capture]"), odd_line);  // new sections go at the end
}

TEST_F(SettingsFileTest, ValueIsOneLine) {
  // A line break in a held text must not smuggle a key into the file.
  SettingsRecord s;
  s.wave_file = "a.wav\r\nTimer Seconds=1";
  ASSERT_TRUE(SaveSettings(ini_, s));
  SettingsRecord loaded;
  ASSERT_TRUE(LoadSettings(ini_, dir_, loaded));
  EXPECT_EQ(loaded.wave_file, "a.wav");
  EXPECT_EQ(loaded.timer_seconds, 10);
}

TEST_F(SettingsFileTest, CurrentFileNamingADeletedFileFallsBack) {
  const std::string macro_file = dir_ + "/mine.qlx";
  WriteAll(macro_file, "");
  SettingsRecord s;
  s.current_file = macro_file;
  ASSERT_TRUE(SaveSettings(ini_, s));
  SettingsRecord loaded;
  LoadSettings(ini_, dir_, loaded);
  EXPECT_EQ(loaded.current_file, macro_file);

  fs::remove(macro_file);
  LoadSettings(ini_, dir_, loaded);
  EXPECT_EQ(loaded.current_file, dir_ + "/QUILX.QLX");
}

TEST_F(SettingsFileTest, FailedSaveReportsFailureAndKeepsTheOldFile) {
  SettingsRecord s;
  s.width = 777;
  ASSERT_TRUE(SaveSettings(ini_, s));
  const std::string before = ReadAll(ini_);

  // A write that runs out of room half-way (file size limit; works for root too).
  s.width = 888;
  struct rlimit old_limit;
  getrlimit(RLIMIT_FSIZE, &old_limit);
  struct rlimit small = old_limit;
  small.rlim_cur = 100;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const bool saved = SaveSettings(ini_, s);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadAll(ini_), before);
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 1) << "temporary file left behind";

  // A folder that cannot be created (a file stands in its way).
  EXPECT_FALSE(SaveSettings(ini_ + "/QUILX.INI", s));
  EXPECT_EQ(ReadAll(ini_), before);

  // A settings file that exists but cannot be read is neither read nor overwritten.
  const std::string dir_in_the_way = dir_ + "/blocked.ini";
  fs::create_directory(dir_in_the_way);
  SettingsRecord loaded;
  EXPECT_FALSE(LoadSettings(dir_in_the_way, dir_, loaded));
  EXPECT_EQ(loaded.width, 640);
  EXPECT_FALSE(SaveSettings(dir_in_the_way, s));
  EXPECT_TRUE(fs::is_directory(dir_in_the_way));
}

TEST_F(SettingsFileTest, SaveWritesThroughALink) {
  const std::string real = dir_ + "/real.ini";
  WriteAll(real, "[Mine]\nX=1\n");
  fs::create_symlink(real, ini_);
  ASSERT_TRUE(SaveSettings(ini_, SettingsRecord{}));
  EXPECT_TRUE(fs::is_symlink(ini_));
  EXPECT_EQ(ReadAll(real).rfind("[Mine]\r\nX=1\r\n", 0), 0u);
}

}  // namespace
}  // namespace quillomat::startup
