#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "activation/dispatch.h"
#include "activation/hook_library.h"
#include "activation/popup_menu.h"
#include "activation/scheduler.h"
#include "activation/trigwords.h"
#include "platform/named_objects.h"
#include "platform/playback_forms.h"
#include "player/file_commands.h"
#include "player/player.h"
#include "player/player_host.h"
#include "startup/command_line.h"
#include "startup/program.h"

namespace quillomat::management {

struct MacroListRow {
  int number = 0;
  std::string activation;
  std::string nickname;
  std::string scope;
  bool active = false;

  bool operator==(const MacroListRow&) const = default;
};

struct WindowGeometry {
  int left = 0, top = 0, width = 640, height = 424;
};

// What the main window's logic asks of its widgets. Texts are cp1252.
class MainWinView {
 public:
  virtual ~MainWinView() = default;
  // The window's handle as the hook library knows it.
  virtual uint32_t WindowHandle() = 0;
  virtual bool TraySupported() = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetRows(const std::vector<MacroListRow>& rows) = 0;
  // The list's columns after the narrow first one.
  virtual void SetColumnWidths(int activation, int nickname, int scope) = 0;
  virtual void SetGeometry(const WindowGeometry& geometry) = 0;
  virtual WindowGeometry Geometry() = 0;
  virtual void HideWindow() = 0;
  virtual void MinimizeApp() = 0;
  virtual void MaximizeWindow() = 0;
  // What playback and dispatch ask of the window around pauses, messages and menus.
  virtual void ShowWindow(bool show) = 0;
  virtual bool WindowVisible() = 0;
  virtual bool Minimised() = 0;
  virtual void RestoreApp() = 0;
  virtual void BringToFront() = 0;
  // Timers of the window: each tick calls TMainWin::OnTimer with its id. A running timer
  // started again takes the new interval.
  virtual void StartTimer(int id, int interval_ms, bool single_shot) = 0;
  virtual void StopTimer(int id) = 0;
};

inline constexpr int kSchedulerTimer = 1;  // every "Timer Seconds"
inline constexpr int kStartUpTimer = 2;    // once, 5 s after the window was created

// The main window's state and commands, apart from its widgets. It owns the player and the
// dispatch of what the hook library reports, and is the host of both.
class TMainWin : public player::PlayerHost,
                 public activation::DispatchHost,
                 public activation::SchedulerHost,
                 public activation::TrigwordHost {
 public:
  // forms and menu_window are the windows that a playing macro and a popup-menu macro open.
  TMainWin(startup::Program& program, MainWinView& view, platform::PlaybackForms& forms,
           activation::MenuWindow& menu_window);
  ~TMainWin() override;

  // Creation: shared blocks for the hook library, the index published, hooks installed,
  // the command line applied, geometry restored. False when a fatal error ended it (the
  // message has been shown; the process exits with kExitFatal).
  bool FormCreate();
  void FormShow();
  void FormActivate();
  void FormPaint();
  // Shutdown: hooks removed, shared blocks released, geometry and settings saved.
  void FormClose();

  void DoCaption();
  // A tick of one of the window's timers.
  void OnTimer(int id);
  void FillList();
  // The current file's name without its folder and without its last four characters.
  std::string DisplayName() const;
  std::vector<MacroListRow> Rows() const;

  const startup::CommandLineEffects& start_flags() const { return start_flags_; }
  bool closing() const { return closing_; }
  // The tray menu's "&Terminate and Unload": deactivation no longer hides the program.
  void SetTerminating() { terminating_ = true; }
  player::Player& player() { return *player_; }
  activation::HotKeyDispatch& dispatch() { return *dispatch_; }
  activation::Scheduler& scheduler() { return *scheduler_; }

  // player::PlayerHost
  void SwapMacroFile(const std::string& path) override;
  bool UseTray() override;
  void ShowApplicationWindow(bool show) override;
  void ShowMainWindow(bool show) override;
  bool IsMinimised() override;
  void RestoreProgram() override;
  void MinimiseProgram() override;
  std::string PlayingNickname() override;
  uint16_t PlayingActivation() override;

  // activation::DispatchHost (the members it shares with PlayerHost are above)
  bool MainWindowVisible() override;
  void BringMainWindowToFront() override;
  void RestoreListState() override;
  void RememberListRow() override;
  bool CaptureInProgress() override;
  void StartStopCapture() override;
  bool TakeCaptureEndedFlag() override;
  bool DialogOpen() override;
  bool Terminating() override;
  bool ReloadIfChanged() override;
  bool KeysRemapped() override;
  activation::HookHandle RemapHook() override;
  void SetRemapHook(activation::HookHandle handle) override;

  // activation::SchedulerHost and activation::TrigwordHost
  bool ReadMacro(int n, store::MacroRecord& record) override;
  bool ActivateWindow(const std::string& title) override;
  bool ActivateProgram(const std::string& program) override;
  void PlayWave(const std::string& path, bool wait) override;
  void PlayTimedMacro(int n, const store::MacroRecord& record) override;
  bool MacroPlaying() override;
  bool MacroPaused() override;
  void EnableCheckTimer(bool enabled) override;
  bool PopupMenuDisplayed() override;
  void BeginTrigwordMacro(int n, const store::MacroRecord& record) override;
  void PlayTrigwordMacro(const store::MacroRecord& record, bool caps_lock) override;

 private:
  void ApplyArgument(const std::string& argument);
  void HandleMessage(const platform::PostedMessage& message);
  void LoadFromCommandLine(const std::string& path);

  startup::Program& program_;
  MainWinView& view_;
  player::DiskFileCommands files_;
  std::unique_ptr<player::Player> player_;
  std::unique_ptr<activation::HotKeyDispatch> dispatch_;
  std::unique_ptr<activation::Scheduler> scheduler_;
  std::unique_ptr<activation::TrigwordEngine> trigwords_;
  // What the switches asked for: hiding on the first paint, the browse modes.
  startup::CommandLineEffects start_flags_;
  bool closing_ = false;
  bool terminating_ = false;
  std::unique_ptr<platform::SharedBlock> remap_block_;
  std::unique_ptr<platform::SharedBlock> cbt_block_;
  activation::HookHandle cbt_hook_ = 0;
  activation::HookHandle remap_hook_ = 0;
};

}  // namespace quillomat::management
