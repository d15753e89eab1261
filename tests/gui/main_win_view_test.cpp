// The main window's widgets, wired to its logic on the simulated desktop.

#include "ui/main_win_view.h"

#include <gtest/gtest.h>

#include <QTableWidget>
#include <filesystem>

#include "management/main_win.h"
#include "platform/sim/sim_hook_library.h"
#include "platform/sim/sim_menu_window.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_playback_forms.h"
#include "startup/program.h"

namespace quillomat {
namespace {

namespace fs = std::filesystem;

TEST(MainWinView, ShowsCaptionAndMacrosAndSavesOnClose) {
  const fs::path root = fs::path(testing::TempDir()) / ("gui_" + std::to_string(::getpid()));
  fs::remove_all(root);
  startup::ProgramPaths paths{(root / "home").string(), (root / "config" / "QUILX.INI").string()};
  sim::SimPlatform sim;
  auto program = std::make_unique<startup::Program>(
      sim.View(), paths,
      [&](uint8_t*) { return std::make_unique<sim::SimHookLibrary>(&sim.event_loop); },
      std::vector<std::string>{"/BA"});
  ASSERT_EQ(program->Start(), std::nullopt);

  ui::TMainWinView view;
  sim::SimPlaybackForms forms;
  sim::SimMenuWindow menu_window;
  management::TMainWin main_win(*program, view, forms, menu_window);
  view.Attach(&main_win, false);
  ASSERT_TRUE(main_win.FormCreate());
  view.show();

  EXPECT_EQ(view.windowTitle(), "Quillomat 98 (QUILX)    (Browse All Mode)");
  ASSERT_EQ(view.list()->rowCount(), 4);
  EXPECT_EQ(view.list()->item(1, 1)->text(), "Ctrl+Alt+Shift+X");
  EXPECT_EQ(view.list()->item(1, 2)->text(), "Start / Stop Capture");
  EXPECT_EQ(view.list()->item(3, 3)->text(), "SYSTEM");

  view.close();
  EXPECT_TRUE(main_win.closing());
  EXPECT_TRUE(fs::exists(paths.settings_file));
  fs::remove_all(root);
}

}  // namespace
}  // namespace quillomat
