#include "startup/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quillomat::startup {
namespace {

namespace fs = std::filesystem;

TEST(ProcessParam, SwitchTable) {
  std::string pattern = testing::TempDir() + "qlx-cmdline-XXXXXX";
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const std::string dir = fs::absolute(pattern).string();
  const std::string work = dir + "/Work.qlx";
  const std::string other = dir + "/other.qlx";
  std::ofstream(work) << "";
  std::ofstream(other) << "";

  struct Case {
    std::vector<std::string> args;
    std::string flags;  // H hide on first paint, B browse, A browse all, N network switched on
    std::string file_to_load = {};
    bool auto_sync = false;
    int sync_minutes = 33;
    bool network_mode = false;
  };
  const Case cases[] = {
      {{"/HIDE"}, "H"},
      {{"/hide"}, "H"},
      {{"/HIDEX"}, ""},
      {{"/b"}, "B"},
      {{"/Ba"}, "A"},
      {{"/bax"}, ""},
      {{"/s"}, "", "", true},
      {{"/sx"}, ""},
      {{"/SM"}, ""},
      {{"/SM0"}, ""},
      {{"/SM99"}, ""},
      {{"/SM5x"}, ""},
      {{"/SM-5"}, ""},
      {{"/SM99999999999999999999"}, ""},
      {{"/SM5"}, "", "", false, 5},
      {{"/sm98"}, "", "", false, 98},
      {{"/sm01"}, "", "", false, 1},
      {{"/n"}, "N", "", false, 33, true},
      // The path is kept as typed: names differing only in case are other files.
      {{"/f" + work}, "", work},
      {{"/F" + dir + "/WORK.QLX"}, ""},
      {{"/f" + dir + "/missing.qlx"}, ""},
      {{"/F"}, ""},
      {{"/F" + work, "/f" + other}, "", other},
      {{"/F" + work, "/F" + dir + "/missing.qlx"}, "", work},
      {{"/HIDE", "/BA", "/N", "/S", "/SM7", "x"}, "HAN", "", true, 7, true},
  };
  for (const Case& c : cases) {
    SettingsRecord settings;
    settings.auto_sync = false;
    settings.sync_minutes = 33;
    const CommandLineEffects effects = ProcessParams(c.args, settings);
    const std::string label = testing::PrintToString(c.args);
    CommandLineEffects expected;
    expected.hide_on_first_paint = c.flags.find('H') != std::string::npos;
    expected.browse = c.flags.find('B') != std::string::npos;
    expected.browse_all = c.flags.find('A') != std::string::npos;
    expected.network_mode_switched_on = c.flags.find('N') != std::string::npos;
    expected.file_to_load = c.file_to_load;
    EXPECT_EQ(effects, expected) << label;
    EXPECT_EQ(settings.auto_sync, c.auto_sync) << label;
    EXPECT_EQ(settings.sync_minutes, c.sync_minutes) << label;
    EXPECT_EQ(settings.network_mode, c.network_mode) << label;
  }

  // A relative path is made absolute, so the saved current file names it from any folder.
  const fs::path old_cwd = fs::current_path();
  fs::current_path(dir);
  SettingsRecord settings;
  EXPECT_EQ(ProcessParam("/FWork.qlx", settings).file_to_load, work);
  fs::current_path(old_cwd);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace quillomat::startup
