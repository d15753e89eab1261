// The program's start and shutdown on the simulated desktop: kernel objects, the single
// instance rule, the publication sequence, the command line and the settings at close.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "management/main_win.h"
#include "platform/sim/sim_hook_library.h"
#include "platform/sim/sim_menu_window.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_playback_forms.h"
#include "startup/program.h"
#include "startup/settings_file.h"

namespace quillomat {
namespace {

namespace fs = std::filesystem;

class FakeView : public management::MainWinView {
 public:
  uint32_t WindowHandle() override { return 0x1234567; }
  bool TraySupported() override { return tray; }
  void SetCaption(const std::string& c) override { caption = c; }
  void SetRows(const std::vector<management::MacroListRow>& r) override { rows = r; }
  void SetColumnWidths(int, int, int) override {}
  void SetGeometry(const management::WindowGeometry& g) override { geometry = g; }
  management::WindowGeometry Geometry() override { return geometry; }
  void HideWindow() override { hidden = true; }
  void MinimizeApp() override {}
  void MaximizeWindow() override {}
  void ShowWindow(bool show) override { visible = show; }
  bool WindowVisible() override { return visible; }
  bool Minimised() override { return false; }
  void RestoreApp() override {}
  void BringToFront() override { visible = true; }
  void StartTimer(int id, int interval_ms, bool) override { timers[id] = interval_ms; }
  void StopTimer(int id) override { timers.erase(id); }

  bool tray = false;
  bool hidden = false;
  bool visible = true;
  std::map<int, int> timers;
  std::string caption;
  std::vector<management::MacroListRow> rows;
  management::WindowGeometry geometry;
};

class StartupTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(testing::TempDir()) /
            ("startup_" + std::to_string(::getpid()) + "_" +
             testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    paths_.program_dir = (root_ / "home").string();
    paths_.settings_file = (root_ / "config" / "QUILX.INI").string();
  }
  void TearDown() override { fs::remove_all(root_); }

  std::unique_ptr<startup::Program> MakeProgram(std::vector<std::string> arguments = {}) {
    auto factory = [this](uint8_t*) {
      auto hooks = std::make_unique<sim::SimHookLibrary>(&sim_.event_loop);
      hooks_ = hooks.get();
      return hooks;
    };
    return std::make_unique<startup::Program>(sim_.View(), paths_, factory, std::move(arguments));
  }

  fs::path root_;
  startup::ProgramPaths paths_;
  sim::SimPlatform sim_;
  sim::SimHookLibrary* hooks_ = nullptr;
  sim::SimPlaybackForms forms_;
  sim::SimMenuWindow menu_window_;
};

TEST_F(StartupTest, FirstStartCreatesTheMacroFileAndPublishesInOrder) {
  auto program = MakeProgram();
  ASSERT_EQ(program->Start(), std::nullopt);
  EXPECT_TRUE(fs::exists(paths_.program_dir + "/QUILX.QLX"));
  EXPECT_EQ(program->index().Count(), 4);
  for (const char* name : {"QL88aveR", "QLKZaveR", "QLQJaveR"}) {
    EXPECT_TRUE(sim_.named_objects.mutexes().count(name)) << name;
  }

  FakeView view;
  management::TMainWin main_win(*program, view, forms_, menu_window_);
  hooks_->ClearCalls();
  ASSERT_TRUE(main_win.FormCreate());
  const std::vector<std::string> expected = {
      "QlxHookCBT",      "QlxUpCapture",   "QlxUpInit",    "QlxUpWindow",   "QlxUpWindow2",
      "QlxUpProg",       "QlxUpCaptureOn", "QlxUpProgs",   "QlxUpKeys",     "QlxUpShort",
      "QlxHookKeyboard", "QlxHookMouse",   "QlxUpKeyHook", "QlxUpMouseHook"};
  EXPECT_EQ(hooks_->calls(), expected);
  EXPECT_EQ(hooks_->Shared().main_window.Get(), 0x1234567u);
  EXPECT_EQ(hooks_->Shared().nt, 1);
  // The four system hot keys are published as in use.
  for (int i : {262, 263, 264, 265}) EXPECT_EQ(hooks_->Shared().hot_key_in_use[i], 1) << i;

  std::vector<uint8_t>* cbt = sim_.named_objects.Block("QLKR1KGR");
  ASSERT_NE(cbt, nullptr);
  ASSERT_EQ(cbt->size(), 17u);
  EXPECT_EQ((*cbt)[0], 0x67);
  EXPECT_EQ((*cbt)[8], 0x67);
  EXPECT_EQ((*cbt)[16], 1);
  ASSERT_NE(sim_.named_objects.Block("QLTT1KGR"), nullptr);
  EXPECT_EQ(sim_.named_objects.Block("QLTT1KGR")->size(), 104u);

  main_win.FormShow();
  EXPECT_EQ(view.caption, "Quillomat 98 (QUILX)");
  ASSERT_EQ(view.rows.size(), 4u);
  EXPECT_EQ(view.rows[0].activation, "Ctrl+Alt+Shift+W");
  EXPECT_EQ(view.rows[0].nickname, "Activate Quillomat");
  EXPECT_EQ(view.rows[0].scope, "SYSTEM");
}

TEST_F(StartupTest, CloseRemovesHooksInOrderAndSavesGeometryAndSettings) {
  auto program = MakeProgram();
  ASSERT_EQ(program->Start(), std::nullopt);
  FakeView view;
  management::TMainWin main_win(*program, view, forms_, menu_window_);
  ASSERT_TRUE(main_win.FormCreate());
  view.geometry = {11, 22, 700, 500};
  hooks_->ClearCalls();
  main_win.FormClose();
  EXPECT_EQ(hooks_->calls(),
            (std::vector<std::string>{"QlxUnHook 1", "QlxUnHook 2", "QlxUnHook 3"}));
  EXPECT_EQ(sim_.message_boxes.shown().size(), 0u);

  startup::SettingsRecord saved;
  startup::LoadSettings(paths_.settings_file, paths_.program_dir, saved);
  EXPECT_EQ(saved.left, 11);
  EXPECT_EQ(saved.top, 22);
  EXPECT_EQ(saved.width, 700);
  EXPECT_EQ(saved.height, 500);
}

TEST_F(StartupTest, ASecondStartShowsTheMessageAndTouchesNothing) {
  for (bool use_tray : {false, true}) {
    SCOPED_TRACE(use_tray);
    fs::remove_all(root_);
    fs::create_directories(root_ / "config");
    std::ofstream(paths_.settings_file)
        << "[Misc]\r\nUse Tray=" << (use_tray ? "Yes" : "No") << "\r\n";
    sim_.single_instance.SetOtherRunning(true);
    sim_.message_boxes.Clear();
    auto program = MakeProgram();
    EXPECT_EQ(program->Start(), startup::kExitNormal);
    ASSERT_EQ(sim_.message_boxes.shown().size(), 1u);
    EXPECT_EQ(sim_.message_boxes.shown()[0].title, "");
    EXPECT_EQ(sim_.message_boxes.shown()[0].text,
              use_tray ? startup::kAlreadyRunningInTray : startup::kAlreadyRunning);
    // The running instance's file and published index are left alone.
    EXPECT_FALSE(fs::exists(paths_.program_dir + "/QUILX.QLX"));
    EXPECT_EQ(hooks_, nullptr);
  }
}

TEST_F(StartupTest, NamedObjectFailureIsASystemError) {
  sim_.named_objects.SetFails(true);
  auto program = MakeProgram();
  EXPECT_EQ(program->Start(), startup::kExitFatal);
  ASSERT_EQ(sim_.message_boxes.shown().size(), 1u);
  EXPECT_EQ(sim_.message_boxes.shown()[0].title, "System Error");
  EXPECT_EQ(sim_.message_boxes.shown()[0].text, startup::kBlockNotCreated);
}

TEST_F(StartupTest, CommandLineSwitchesShapeTheWindow) {
  fs::create_directories(root_ / "other");
  const std::string other = (root_ / "other" / "Work.qlx").string();
  std::ofstream(other, std::ios::binary).close();
  auto program = MakeProgram({"/b", "/f" + other, "/HIDE"});
  ASSERT_EQ(program->Start(), std::nullopt);
  FakeView view;
  management::TMainWin main_win(*program, view, forms_, menu_window_);
  ASSERT_TRUE(main_win.FormCreate());
  main_win.FormShow();
  EXPECT_EQ(program->settings().current_file, other);
  EXPECT_EQ(view.caption, "Quillomat 98 (Work)    (Browse Mode)");
  EXPECT_EQ(fs::file_size(other), 4u * store::kMacroRecordSize);
  main_win.FormPaint();
  EXPECT_TRUE(view.hidden);
}

// The keys pressed down, as characters (virtual keys of letters are their upper case).
std::string KeysDown(const sim::SimInput& input) {
  std::string keys;
  for (const auto& e : input.events()) {
    if (e.kind == sim::SimInput::Event::kKey && !e.up) keys += static_cast<char>(e.vk);
  }
  return keys;
}

TEST_F(StartupTest, StartUpMacrosPlayFiveSecondsAfterCreationAndTrigwordsAreHeard) {
  auto program = MakeProgram();
  ASSERT_EQ(program->Start(), std::nullopt);
  store::MacroRecord at_start;
  at_start.activation.Set(store::kTimedMacro);
  at_start.scope.Set(store::kScopeGlobal);
  at_start.active = 1;
  at_start.schedule_kind.Set(store::kAtStartup);
  at_start.SetText("go");
  ASSERT_TRUE(program->macro_file().WriteMacro(-1, at_start));
  store::MacroRecord word;
  word.activation.Set(store::kTrigwordMacro);
  word.trigword.Set("bw");
  word.scope.Set(store::kScopeGlobal);
  word.active = 1;
  word.SetText("x");
  ASSERT_TRUE(program->macro_file().WriteMacro(-1, word));

  FakeView view;
  management::TMainWin main_win(*program, view, forms_, menu_window_);
  ASSERT_TRUE(main_win.FormCreate());
  EXPECT_EQ(view.timers[management::kStartUpTimer], 5000);
  sim_.input.Clear();
  main_win.OnTimer(management::kStartUpTimer);
  EXPECT_EQ(KeysDown(sim_.input),
            std::string("GO") + static_cast<char>(activation::kEndOfPlaybackKey));

  sim_.input.Clear();
  for (char c : std::string("bw")) hooks_->PostMessage(activation::kTypedChar, 0, c);
  sim_.event_loop.PumpOnce(0);
  // Two Backspaces erase the Trigword, then its macro types.
  EXPECT_EQ(KeysDown(sim_.input),
            std::string("\x08\x08X") + static_cast<char>(activation::kEndOfPlaybackKey));
}

TEST_F(StartupTest, AHotKeyReportedByTheHookLibraryPlaysItsMacro) {
  auto program = MakeProgram();
  ASSERT_EQ(program->Start(), std::nullopt);
  store::MacroRecord macro;
  macro.nickname.Set("Greeting");
  macro.activation.Set(0);  // Ctrl+A
  macro.scope.Set(store::kScopeGlobal);
  macro.active = 1;
  macro.SetText("hi");
  ASSERT_TRUE(program->macro_file().WriteMacro(-1, macro));

  FakeView view;
  management::TMainWin main_win(*program, view, forms_, menu_window_);
  ASSERT_TRUE(main_win.FormCreate());
  EXPECT_EQ(hooks_->Shared().hot_key_in_use[0], 1);
  hooks_->ClearCalls();
  sim_.input.Clear();

  hooks_->PostMessage(activation::kHotKeyPressed, 0, 0);
  sim_.event_loop.PumpOnce(0);

  EXPECT_EQ(hooks_->calls().front(), "QlxUpInUse");
  // H and I, then the end-of-playback key.
  EXPECT_EQ(KeysDown(sim_.input),
            std::string("HI") + static_cast<char>(activation::kEndOfPlaybackKey));
  EXPECT_TRUE(sim_.input.HeldKeys().empty());
}

}  // namespace
}  // namespace quillomat
