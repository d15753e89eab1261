#include "activation/dispatch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "macro_file_test_util.h"
#include "platform/sim/sim_hook_library.h"
#include "platform/sim/sim_menu_window.h"
#include "platform/sim/sim_platform.h"
#include "player_fixture.h"

namespace quillomat::activation {
namespace {

using platform::PostedMessage;
using store::MacroRecord;

constexpr int kKey = 5;       // "Ctrl+F"
constexpr int kOtherKey = 6;  // "Ctrl+G"
constexpr int kResumeKey = store::kFirstSystemHotKey + 2;
constexpr int kTopWindowMenuKey = store::kFirstSystemHotKey + 3;

MacroRecord Macro(uint16_t scope, const std::string& scope_name, const std::string& text,
                  int key = kKey, bool active = true, bool top_most_only = true) {
  MacroRecord r;
  r.nickname.Set("macro " + text);
  r.scope.Set(scope);
  r.scope_name.Set(scope_name);
  r.activation.Set(key);
  r.active = active ? 1 : 0;
  r.top_most_only = top_most_only ? 1 : 0;
  r.SetText(text);
  return r;
}

MacroRecord Menu(const std::vector<uint16_t>& items, const std::string& options = "N3 ",
                 int key = kKey) {
  MacroRecord r;
  r.nickname.Set("menu");
  r.scope.Set(store::kScopePopupMenu);
  r.activation.Set(key);
  r.active = 1;
  r.trigword.Set(options);
  r.SetMenuItems(items);
  return r;
}

// Pause boxes that stay open, pumping the loop, until the player resumes them (or a
// virtual minute passes, which aborts).
class OpenPauseForms : public platform::PlaybackForms {
 public:
  explicit OpenPauseForms(sim::SimEventLoop& loop) : loop_(loop) {}
  bool ShowPauseBox(const platform::PauseBoxForm&) override {
    ++shown;
    resumed_ = false;
    for (int i = 0; i < 600 && !resumed_; ++i) loop_.PumpOnce(100);
    return resumed_;
  }
  void ResumePauseBox() override { resumed_ = true; }
  void ShowMessage(const platform::OnTopMessageForm& form) override {
    messages.push_back(form.title + ": " + form.text);
  }
  std::string ShowRepPrompt(const platform::RepPromptForm&, const platform::PromptCheck&) override {
    return "1";
  }
  int shown = 0;
  std::vector<std::string> messages;

 private:
  sim::SimEventLoop& loop_;
  bool resumed_ = false;
};

// Notes what the playing flag looked like when it was published.
class InUseHooks : public sim::SimHookLibrary {
 public:
  explicit InUseHooks(sim::SimInput& input) : input_(input) {}
  void QlxUpInUse(const store::SharedIndex& block) override {
    sim::SimHookLibrary::QlxUpInUse(block);
    in_use.push_back({Shared().playing, input_.events().size()});
  }
  struct Publication {
    uint8_t playing;
    size_t events_before;
  };
  std::vector<Publication> in_use;

 private:
  sim::SimInput& input_;
};

class TestDispatchHost : public DispatchHost {
 public:
  bool UseTray() override { return use_tray; }
  void ShowApplicationWindow(bool show) override { Call(show ? "show app" : "hide app"); }
  void ShowMainWindow(bool show) override {
    visible = show;
    Call(show ? "show main" : "hide main");
  }
  bool MainWindowVisible() override { return visible; }
  void BringMainWindowToFront() override { Call("front"); }
  bool IsMinimised() override { return minimised; }
  void RestoreProgram() override {
    minimised = false;
    Call("restore");
  }
  void MinimiseProgram() override {
    minimised = true;
    Call("minimise");
  }
  void RestoreListState() override { Call("list state"); }
  void RememberListRow() override { Call("remember row"); }
  bool CaptureInProgress() override { return capturing; }
  void StartStopCapture() override { Call("capture"); }
  bool TakeCaptureEndedFlag() override {
    const bool was = capture_ended;
    capture_ended = false;
    return was;
  }
  bool DialogOpen() override { return dialog_open; }
  bool Terminating() override { return false; }
  bool ReloadIfChanged() override {
    Call("reload?");
    return file_changed;
  }
  bool KeysRemapped() override { return remapped; }
  HookHandle RemapHook() override { return remap_hook; }
  void SetRemapHook(HookHandle handle) override { remap_hook = handle; }

  void Call(const std::string& what) { calls.push_back(what); }

  bool use_tray = false, visible = true, minimised = false, capturing = false;
  bool capture_ended = false, dialog_open = false, file_changed = false, remapped = false;
  HookHandle remap_hook = 0;
  std::vector<std::string> calls;
};

// One simulated desktop with the program's tables, a player and the dispatcher.
struct World {
  World() {
    sim.event_loop.SetMessageHandler([this](const PostedMessage& m) { dispatch.HandleMessage(m); });
  }

  // The four system macros, then these as macros 5, 6, ...
  void Load(const std::vector<MacroRecord>& macros) {
    auto records = testutil::SystemRecords();
    records.insert(records.end(), macros.begin(), macros.end());
    testutil::WriteBytes(dir / "test.qlx", testutil::Concat(records));
    ASSERT_EQ(file.LoadMacroFile(dir / "test.qlx"), store::LoadStatus::kLoaded);
  }

  void Press(int key, platform::WindowId foreground, uint32_t flags = 0) {
    sim.event_loop.Post(
        {kHotKeyPressed, static_cast<uint32_t>(key) | flags, static_cast<int64_t>(foreground)});
    sim.event_loop.PumpOnce(0);
  }

  // The lower-case letters typed so far.
  std::string Typed() const {
    std::string out;
    for (const auto& e : sim.input.events()) {
      if (e.kind == sim::SimInput::Event::kKey && !e.up && e.vk >= 'A' && e.vk <= 'Z') {
        out += static_cast<char>(e.vk - 'A' + 'a');
      }
    }
    return out;
  }

  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& b : sim.message_boxes.shown()) out.push_back(b.title + ": " + b.text);
    return out;
  }

  testutil::TempDir dir;
  sim::SimPlatform sim;
  platform::Platform view = sim.View();
  std::unique_ptr<startup::SettingsRecord> settings = std::make_unique<startup::SettingsRecord>();
  std::unique_ptr<store::SharedIndex> index = std::make_unique<store::SharedIndex>();
  InUseHooks hooks{sim.input};
  store::MacroFile file{*settings, *index, hooks, sim.message_boxes, sim.event_loop};
  OpenPauseForms forms{sim.event_loop};
  player::RecordingHost player_host;
  player::DiskFileCommands files;
  player::Player player{view, forms, player_host, files};
  sim::SimMenuWindow menu;
  TestDispatchHost host;
  HotKeyDispatch dispatch{
      view, *index, hooks, file, *settings, player, menu, host, dir.path() + "/Icons"};
};

class DispatchTest : public testing::Test {
 protected:
  World w;
};

TEST_F(DispatchTest, ScopeResolution) {
  struct Case {
    std::string name;
    std::vector<MacroRecord> macros;
    std::string front_title, front_program;
    std::vector<std::string> running;
    std::string typed;      // the macro that ran, by its text
    std::string activated;  // the title of a window brought forward, if any
  };
  const std::vector<Case> cases = {
      {"window macro for a word of the title beats the global one",
       {Macro(1, "", "g"), Macro(2, "notepad", "w")},
       "Untitled - Notepad",
       "GEDIT",
       {},
       "w",
       ""},
      {"elsewhere the global one runs",
       {Macro(1, "", "g"), Macro(2, "notepad", "w")},
       "Terminal",
       "XTERM",
       {},
       "g",
       ""},
      {"program macro for the program in front",
       {Macro(3, "gedit", "p"), Macro(1, "", "g")},
       "Doc",
       "GEDIT",
       {},
       "p",
       ""},
      {"first top-most match wins",
       {Macro(2, "doc", "a"), Macro(3, "GEDIT", "b")},
       "Doc",
       "GEDIT",
       {},
       "a",
       ""},
      {"last global macro wins", {Macro(1, "", "a"), Macro(1, "", "b")}, "X", "APP", {}, "b", ""},
      {"deactivated macros are skipped",
       {Macro(1, "", "a"), Macro(1, "", "b", kKey, false), Macro(2, "x", "c", kKey, false)},
       "X",
       "APP",
       {},
       "a",
       ""},
      {"other hot keys are ignored", {Macro(1, "", "a", kOtherKey)}, "X", "APP", {}, "", ""},
      {"if-running window macro activates its window",
       {Macro(1, "", "g"), Macro(2, "mail", "m", kKey, true, false)},
       "X",
       "APP",
       {},
       "m",
       "Inbox - Mail"},
      {"top-most-only window macro needs its window in front",
       {Macro(1, "", "g"), Macro(2, "mail", "m", kKey, true, true)},
       "X",
       "APP",
       {},
       "g",
       ""},
      {"if-running program macro activates its program",
       {Macro(1, "", "g"), Macro(3, "mailer", "m", kKey, true, false)},
       "X",
       "APP",
       {"APP", "MAILER"},
       "m",
       "Inbox - Mail"},
      {"program not running falls back to the global",
       {Macro(1, "", "g"), Macro(3, "mailer", "m", kKey, true, false)},
       "X",
       "APP",
       {"APP"},
       "g",
       ""},
      {"empty scope name matches nothing",
       {Macro(1, "", "g"), Macro(2, "", "w")},
       "X",
       "APP",
       {},
       "g",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w;
    w.Load(c.macros);
    w.sim.windows.Open("Inbox - Mail", "MAILER");
    const auto front = w.sim.windows.Open(c.front_title, c.front_program);
    w.sim.processes.SetRunning(c.running);
    w.dispatch.WindowActivated(front);
    w.Press(kKey, front);
    EXPECT_EQ(w.Typed(), c.typed);
    const auto now_front = w.sim.windows.Find(w.sim.windows.Foreground());
    EXPECT_EQ(now_front->info.title, c.activated.empty() ? c.front_title : c.activated);
    EXPECT_TRUE(w.Boxes().empty());
  }
}

TEST_F(DispatchTest, PauseBoxInFrontSkipsTheTopMostPass) {
  w.Load({Macro(1, "", "g"), Macro(2, "pause", "w")});
  const auto box = w.sim.windows.Open("Pause (Ctrl+F)", "QUILLOMAT");
  EXPECT_EQ(w.dispatch.GetMacro(kKey, box), 5);
  EXPECT_EQ(w.dispatch.GetMacro(kKey, platform::kNoWindow), 5);
}

TEST_F(DispatchTest, RefusalsWithTheirTexts) {
  w.Load({Macro(1, "", "a")});
  const auto front = w.sim.windows.Open("Editor");

  w.host.capturing = true;
  w.Press(kKey, front);
  w.host.capturing = false;
  w.menu.SetWhileOpen([&] { w.Press(kKey, front); });
  w.Load({Macro(1, "", "a", kOtherKey), Menu({5})});
  w.Press(kKey, front);  // opens the menu; the same key again is refused while it is open

  EXPECT_EQ(w.Boxes(), (std::vector<std::string>{
                           std::string("Warning: ") + kCaptureRefusal,
                           std::string("Warning: ") + kPopupShownRefusal,
                       }));
  EXPECT_EQ(w.Typed(), "");
  EXPECT_FALSE(w.dispatch.popup_displayed());
}

TEST_F(DispatchTest, PauseResumesOnlyByItsOwnKeyOrTheResumeKey) {
  struct Case {
    std::string name;
    int key;
    uint32_t flags;
    bool resumes;
  };
  const std::vector<Case> cases = {
      {"another macro's key is refused", kOtherKey, 0, false},
      {"the paused macro's own key resumes", kKey, 0, true},
      {"the system resume key resumes", kResumeKey, 0, true},
      {"with Caps Lock on, Caps Lock is pressed once", kKey, kHotKeyCapsLockBit, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    World w;
    w.Load({Macro(1, "", "x<PAUSE>y"), Macro(1, "", "z", kOtherKey)});
    const auto front = w.sim.windows.Open("Editor");
    w.sim.event_loop.PostAt(1000, {kHotKeyPressed, static_cast<uint32_t>(c.key) | c.flags,
                                   static_cast<int64_t>(front)});
    w.Press(kKey, front);
    ASSERT_EQ(w.forms.shown, 1) << "the macro did not pause";
    w.forms.shown = 0;
    if (c.resumes) {
      EXPECT_EQ(w.Typed(), "xy");
      EXPECT_TRUE(w.Boxes().empty());
      EXPECT_LT(w.sim.event_loop.ElapsedMs(), 2000);
    } else {
      EXPECT_EQ(w.Typed(), "x");  // the pause box timed out and aborted
      EXPECT_EQ(w.Boxes(), std::vector<std::string>{std::string("Warning: ") + kPauseRefusal});
    }
    int caps_presses = 0;
    for (const auto& e : w.sim.input.events()) caps_presses += e.vk == player::kVkCapsLock && !e.up;
    EXPECT_EQ(caps_presses, c.flags ? 1 : 0);
  }
}

TEST_F(DispatchTest, PlayingFlagIsPublishedFirstAndTheEndKeyFollows) {
  w.Load({Macro(1, "", "ab")});
  const auto front = w.sim.windows.Open("Editor");
  w.Press(kKey, front);
  ASSERT_EQ(w.hooks.in_use.size(), 1u);
  EXPECT_EQ(w.hooks.in_use[0].playing, 1);
  EXPECT_EQ(w.hooks.in_use[0].events_before, 0u);
  const auto& events = w.sim.input.events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(w.Typed(), "ab");
  EXPECT_EQ(events[events.size() - 2].vk, kEndOfPlaybackKey);
  EXPECT_FALSE(events[events.size() - 2].up);
  EXPECT_EQ(events.back().vk, kEndOfPlaybackKey);
  EXPECT_TRUE(events.back().up);
  EXPECT_EQ(w.player.target_window(), front);
}

TEST_F(DispatchTest, CapsLockBitSwitchesCapsLockOffUnlessAMacroIsPlaying) {
  w.Load({Macro(1, "", "a<DELAY:001.0>b"), Macro(1, "", "c", kOtherKey)});
  const auto front = w.sim.windows.Open("Editor");
  // The second key arrives while the first macro plays: it runs inside it, and the Caps Lock
  // state of the playing macro stays.
  w.sim.event_loop.PostAt(
      500, {kHotKeyPressed, kOtherKey | kHotKeyCapsLockBit, static_cast<int64_t>(front)});
  w.Press(kKey, front);
  EXPECT_EQ(w.Typed(), "acb");
  EXPECT_FALSE(w.dispatch.caps_lock_on());
  int caps_presses = 0;
  for (const auto& e : w.sim.input.events()) caps_presses += e.vk == player::kVkCapsLock && !e.up;
  EXPECT_EQ(caps_presses, 0);

  w.sim.input.Clear();
  w.Press(kOtherKey, front, kHotKeyCapsLockBit);
  EXPECT_TRUE(w.dispatch.caps_lock_on());
  caps_presses = 0;
  for (const auto& e : w.sim.input.events()) caps_presses += e.vk == player::kVkCapsLock && !e.up;
  EXPECT_EQ(caps_presses, 2);  // off for the macro, on again after it
  EXPECT_EQ(w.hooks.in_use.size(), 3u);
  EXPECT_EQ(w.index->playing, 0);  // the working copy follows the library after the end key
}

TEST_F(DispatchTest, DirectMacroNumberAndUnknownKeys) {
  w.Load({Macro(1, "", "a", kOtherKey), Macro(1, "", "b", kOtherKey)});
  const auto front = w.sim.windows.Open("Editor");
  w.Press(5, front, kHotKeyDirectMacroBit | (1u << 12));  // macro 5, not the last global
  w.Press(kKey, front);                                   // no macro: nothing, silently
  w.Press(77 | kHotKeyDirectMacroBit, front);             // no such record: nothing
  EXPECT_EQ(w.Typed(), "a");
  EXPECT_TRUE(w.Boxes().empty());
}

TEST_F(DispatchTest, SystemMacros) {
  w.Load({Macro(2, "editor", "w", kTopWindowMenuKey), Macro(3, "OTHER", "o")});
  const auto front = w.sim.windows.Open("My Editor", "GEDIT");
  w.dispatch.WindowActivated(front);

  w.Press(store::kFirstSystemHotKey + 1, front);  // "2": capture
  EXPECT_EQ(w.host.calls, std::vector<std::string>{"capture"});
  w.host.calls.clear();

  w.menu.Answer("key 0");
  w.Press(kTopWindowMenuKey, front);  // "4": beats the window macro on the same key
  ASSERT_EQ(w.menu.shown().size(), 1u);
  EXPECT_EQ(w.menu.shown()[0].items, std::vector<int>{5});
  EXPECT_EQ(w.menu.shown()[0].icon_size, 32);
  EXPECT_EQ(w.Typed(), "w");
  EXPECT_EQ(w.host.calls, (std::vector<std::string>{"hide main", "show main"}));

  const auto other = w.sim.windows.Open("Nothing here", "XTERM");
  w.dispatch.WindowActivated(other);
  w.Press(kTopWindowMenuKey, other);
  EXPECT_EQ(w.menu.shown().size(), 1u);
  EXPECT_EQ(w.forms.messages,
            std::vector<std::string>{std::string("Warning: ") + kNoTopWindowMacros});
}

TEST_F(DispatchTest, TopWindowMenuListsWindowAndProgramMacrosIgnoringCase) {
  w.settings->system_menu = 1;
  w.Load({Macro(2, "notepad", "a", kOtherKey, false), Macro(3, "gedit", "b", kOtherKey),
          Macro(2, "mail", "c"), Macro(1, "", "d"), Macro(3, "", "e")});
  const auto front = w.sim.windows.Open("Untitled - NOTEPAD", "GEDIT");
  w.dispatch.WindowActivated(front);
  w.menu.Answer("cancel");
  w.dispatch.MenuTopWindow(front);
  ASSERT_EQ(w.menu.shown().size(), 1u);
  EXPECT_EQ(w.menu.shown()[0].items, (std::vector<int>{5, 6}));  // inactive ones too
  EXPECT_EQ(w.menu.shown()[0].mode, MenuShowMode::kText);
  EXPECT_EQ(w.Typed(), "");
  EXPECT_EQ(w.sim.windows.Foreground(), front);
}

TEST_F(DispatchTest, PopupMenuPlaysTheChosenMacroAndNestedMenus) {
  w.Load({Macro(1, "", "a", kOtherKey), Macro(1, "", "b", kOtherKey), Menu({5, 6}),
          Menu({7, 6}, "N3 ", kOtherKey + 1)});
  const auto front = w.sim.windows.Open("Editor");
  w.menu.Answer("click 0");  // the outer menu's first item is the inner menu
  w.menu.Answer("key 1");    // the inner menu's second item is macro 6
  w.Press(kOtherKey + 1, front);
  EXPECT_EQ(w.menu.shown().size(), 2u);
  EXPECT_EQ(w.Typed(), "b");
  EXPECT_EQ(w.player.target_window(), front);
  EXPECT_EQ(w.sim.windows.Foreground(), front);

  w.menu.Answer("key 9");  // past the items: nothing
  w.Press(kKey, front);
  EXPECT_EQ(w.Typed(), "b");
}

TEST_F(DispatchTest, MenuShowsTheApplicationWindowInTrayMode) {
  w.host.use_tray = true;
  w.Load({Macro(1, "", "a", kOtherKey), Menu({5})});
  w.menu.Answer("key 0");
  w.Press(kKey, w.sim.windows.Open("Editor"));
  EXPECT_EQ(w.host.calls, (std::vector<std::string>{"show app", "hide app"}));
  EXPECT_EQ(w.Typed(), "a");

  w.host.calls.clear();
  w.host.use_tray = false;
  w.host.minimised = true;
  w.Press(kKey, w.sim.windows.Open("Editor"));
  EXPECT_EQ(w.host.calls,
            (std::vector<std::string>{"restore", "hide main", "show main", "minimise"}));
}

TEST_F(DispatchTest, WindowActivationPublishesTheProgramList) {
  w.Load({});
  w.sim.processes.SetRunning({"BASH", "GEDIT", std::string(30, 'L')});
  const auto mine = w.sim.windows.Open("Quillomat 98", kOwnProgramName);
  const auto editor = w.sim.windows.Open("Doc", "gedit");
  const auto untitled = w.sim.windows.Open("", "XTERM");
  w.hooks.ClearCalls();

  w.sim.event_loop.Post({kWindowActivated, static_cast<uint32_t>(editor), 0});
  w.sim.event_loop.PumpOnce(0);
  EXPECT_EQ(w.hooks.Shared().top_program.Get(), "GEDIT");
  ASSERT_EQ(w.hooks.Shared().running_program_count.Get(), 3u);
  EXPECT_EQ(w.hooks.Shared().running_programs[1].Get(), "GEDIT");
  EXPECT_EQ(w.hooks.Shared().running_programs[2].Get(), std::string(25, 'L'));
  EXPECT_EQ(w.hooks.calls(), (std::vector<std::string>{"QlxUpProg", "QlxUpProgs"}));
  EXPECT_EQ(w.dispatch.last_foreign_window(), editor);

  w.dispatch.WindowActivated(mine);
  EXPECT_EQ(w.hooks.Shared().top_program.Get(), kOwnProgramName);
  EXPECT_EQ(w.dispatch.last_active_window(), mine);
  EXPECT_EQ(w.dispatch.last_foreign_window(), editor);

  w.dispatch.WindowActivated(untitled);
  EXPECT_EQ(w.hooks.Shared().top_program.Get(), "XTERM");
  EXPECT_EQ(w.dispatch.last_active_window(), mine);
}

TEST_F(DispatchTest, AbortAndCapsLockMessages) {
  w.Load({Macro(1, "", "a<DELAY:005.0>b")});
  const auto front = w.sim.windows.Open("Editor");
  w.sim.event_loop.PostAt(1000, {kAbortPlayback, 0, 0});
  w.Press(kKey, front);
  EXPECT_EQ(w.Typed(), "a");
  EXPECT_TRUE(w.player.abort_requested());

  EXPECT_FALSE(w.dispatch.caps_lock_state());
  w.sim.event_loop.Post({kCapsLockState, 1, 0});
  w.sim.event_loop.PumpOnce(0);
  EXPECT_TRUE(w.dispatch.caps_lock_state());
  EXPECT_FALSE(w.dispatch.HandleMessage({kCapturedChar, 5, 'a'}));
}

TEST_F(DispatchTest, NetworkChangeReloadsAndRegeneratesTheKey) {
  w.settings->network_mode = true;
  w.host.file_changed = true;
  w.Load({Macro(1, "", "a")});
  w.Press(kKey, w.sim.windows.Open("Editor"));
  EXPECT_EQ(w.host.calls, std::vector<std::string>{"reload?"});
  EXPECT_EQ(w.Typed(), "f");  // Ctrl+F pressed again for the hook library, nothing played
  EXPECT_TRUE(w.hooks.in_use.empty());
}

TEST_F(DispatchTest, ActivateMeRefusalsAndShowing) {
  w.Load({Macro(1, "", "a", kOtherKey), Menu({5})});
  w.host.capturing = true;
  w.dispatch.ActivateMe();
  w.host.capturing = false;
  w.menu.SetWhileOpen([&] { w.dispatch.ActivateMe(); });
  w.Press(kKey, w.sim.windows.Open("Editor"));
  EXPECT_EQ(w.Boxes(), (std::vector<std::string>{
                           std::string("Warning: ") + kActivateCaptureRefusal,
                           std::string("Warning: ") + kActivateMenuRefusal,
                       }));

  w.host.calls.clear();
  w.host.minimised = true;
  w.dispatch.ActivateMe();
  EXPECT_EQ(w.host.calls, (std::vector<std::string>{"restore", "front"}));
  w.host.calls.clear();
  w.host.use_tray = true;
  w.dispatch.ActivateMe();
  EXPECT_EQ(w.host.calls,
            (std::vector<std::string>{"show app", "show main", "front", "list state"}));
}

TEST_F(DispatchTest, HidingToTheTrayAndTheScreenSaver) {
  w.Load({});
  w.host.use_tray = true;
  w.host.capture_ended = true;
  w.dispatch.AppDeactivate();  // the one call after a capture is ignored
  EXPECT_TRUE(w.host.calls.empty());
  w.host.dialog_open = true;
  w.dispatch.AppDeactivate();
  EXPECT_TRUE(w.host.calls.empty());
  w.host.dialog_open = false;
  EXPECT_TRUE(w.dispatch.SysCommandHandler(SysCommand::kMinimize));
  EXPECT_EQ(w.host.calls, (std::vector<std::string>{"remember row", "hide app", "hide main"}));
  w.host.use_tray = false;
  EXPECT_FALSE(w.dispatch.SysCommandHandler(SysCommand::kMinimize));

  EXPECT_FALSE(w.dispatch.SysCommandHandler(SysCommand::kScreenSave));
  MacroRecord timed = Macro(1, "", "a", store::kTimedMacro);
  ASSERT_TRUE(w.file.WriteMacro(-1, timed));
  EXPECT_TRUE(w.dispatch.SysCommandHandler(SysCommand::kScreenSave));
  w.settings->disable_screen_saver = false;
  EXPECT_FALSE(w.dispatch.SysCommandHandler(SysCommand::kScreenSave));
  EXPECT_FALSE(w.dispatch.SysCommandHandler(SysCommand::kOther));
}

TEST_F(DispatchTest, HookReinstallation) {
  w.Load({});
  w.dispatch.HookTheKeyboard();
  w.host.remapped = true;
  w.host.remap_hook = 4;
  w.hooks.ClearCalls();
  w.sim.message_boxes.Answer(platform::MessageResult::kNo);
  w.dispatch.MenuKeyHooksClick();
  EXPECT_TRUE(w.hooks.calls().empty());
  w.dispatch.MenuKeyHooksClick();
  w.dispatch.MenuMouseHooksClick();
  EXPECT_EQ(w.hooks.calls(), (std::vector<std::string>{
                                 "QlxUnHook 1", "QlxHookKeyboard", "QlxUpKeyHook", "QlxUnHook 4",
                                 "QlxHookSwap", "QlxUnHook 0", "QlxHookMouse", "QlxUpMouseHook"}));
  EXPECT_EQ(w.hooks.Shared().keyboard_hook.Get(), 1u);
  EXPECT_EQ(w.hooks.Shared().mouse_hook.Get(), 2u);
  ASSERT_EQ(w.sim.message_boxes.shown().size(), 3u);
  EXPECT_EQ(w.sim.message_boxes.shown()[1].title, kKeyHooksTitle);
  EXPECT_EQ(w.sim.message_boxes.shown()[1].text, kKeyHooksQuestion);
  EXPECT_EQ(w.sim.message_boxes.shown()[2].title, kMouseHooksTitle);
  EXPECT_EQ(w.sim.message_boxes.shown()[2].text, kMouseHooksQuestion);
}

}  // namespace
}  // namespace quillomat::activation
