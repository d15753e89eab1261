#pragma once

// Hot-key dispatch: turns what the hook library reports into macro runs. A hot key becomes
// the one macro whose scope fits the window in front; window activations keep the top
// program and the running-program list current for those scope tests. Everything runs on the
// GUI thread; the player pumps the message loop while it plays, so these handlers are
// re-entered during a playback and guard it with the paused, menu-shown and capture states.

#include <cstdint>
#include <string>

#include "activation/hook_library.h"
#include "activation/popup_menu.h"
#include "platform/event_loop.h"
#include "platform/platform.h"
#include "player/player.h"
#include "startup/settings.h"
#include "store/macro_file.h"
#include "store/macro_record.h"
#include "store/shared_index.h"

namespace quillomat::activation {

inline constexpr char kPopupShownRefusal[] =
    "A current Popup Menu macro is being displayed. Another macro cannot be executed until "
    "either a choice is made from the Popup Menu or it is cancelled.";
inline constexpr char kCaptureRefusal[] =
    "A macro is currently being recorded. Another macro cannot be executed until the recording "
    "is completed.";
inline constexpr char kPauseRefusal[] =
    "A current playback macro is in the middle of a PAUSE. Another macro cannot be executed "
    "until the PAUSE is either cancelled or resumed.";
inline constexpr char kActivatePauseRefusal[] =
    "A current playback macro is in the middle of a PAUSE. Quillomat 98 cannot be invoked "
    "until the PAUSE is either cancelled or resumed.";
inline constexpr char kActivateMenuRefusal[] =
    "A Quillomat 98 Popup Menu is currently being displayed. Quillomat 98 cannot be invoked "
    "until this menu has been cleared.";
inline constexpr char kActivateCaptureRefusal[] =
    "A macro is currently being recorded. Quillomat 98 cannot be invoked until the recording "
    "is completed.";
inline constexpr char kNoTopWindowMacros[] =
    "There are no macros defined with a specific window title or program name that match the "
    "current top most active window.";
inline constexpr char kKeyHooksTitle[] = "Keyboard Hooks";
inline constexpr char kKeyHooksQuestion[] =
    "It is possible for other programs which are run after Quillomat 98 to improperly install "
    "themselves into the system wide Windows keyboard hooks.  This causes Quillomat 98 to no "
    "longer be able to monitor keystrokes.  This option will reinstall the Windows keyboard "
    "hooks used by Quillomat 98 so that Quillomat 98 will have the first look at the keystrokes "
    "and will be able to monitor the keystrokes again.  Continue?";
inline constexpr char kMouseHooksTitle[] = "Mouse Hooks";
inline constexpr char kMouseHooksQuestion[] =
    "It is possible for other programs which are run after Quillomat 98 to improperly install "
    "themselves into the system wide Windows mouse hooks.  This causes Quillomat 98 to no "
    "longer be able to monitor mouse movements and clicks.  This option will reinstall the "
    "Windows mouse hooks used by Quillomat 98 so that Quillomat 98 will have the first look at "
    "the mouse movements and will be able to monitor the mouse again.  Continue?";

// The program's own executable as the process list names it: activations of its own
// windows do not count as the last foreign window.
inline constexpr char kOwnProgramName[] = "QUILLOMAT";

// What dispatch asks of the main window (TMainWin implements it).
class DispatchHost {
 public:
  virtual ~DispatchHost() = default;

  virtual bool UseTray() = 0;
  // Tray mode: the application window is normally hidden; it is shown around a menu.
  virtual void ShowApplicationWindow(bool show) = 0;
  virtual void ShowMainWindow(bool show) = 0;
  virtual bool MainWindowVisible() = 0;
  virtual void BringMainWindowToFront() = 0;
  virtual bool IsMinimised() = 0;
  virtual void RestoreProgram() = 0;
  virtual void MinimiseProgram() = 0;
  // After showing the main window from the tray: the saved column widths again and the row
  // that was selected when it was hidden.
  virtual void RestoreListState() = 0;
  // Before hiding to the tray: remembers the selected row.
  virtual void RememberListRow() = 0;

  virtual bool CaptureInProgress() = 0;
  // System command "2": starts a capture (a running capture is ended by its stop key).
  virtual void StartStopCapture() = 0;
  // True once after a capture has ended, and clears that.
  virtual bool TakeCaptureEndedFlag() = 0;
  // Any of the program's dialogs is open.
  virtual bool DialogOpen() = 0;
  virtual bool Terminating() = 0;

  // Network mode: when the macro file changed since it was loaded, reloads it with
  // everything that depends on it and returns true.
  virtual bool ReloadIfChanged() = 0;

  // The remap hook is installed while keys are remapped; its handle is kept by the host.
  virtual bool KeysRemapped() = 0;
  virtual HookHandle RemapHook() = 0;
  virtual void SetRemapHook(HookHandle handle) = 0;
};

// System commands the dispatcher gets to see before default handling.
enum class SysCommand { kMinimize, kScreenSave, kOther };

class HotKeyDispatch {
 public:
  HotKeyDispatch(platform::Platform platform, store::SharedIndex& index, HookLibrary& hooks,
                 store::MacroFile& file, startup::SettingsRecord& settings, player::Player& player,
                 MenuWindow& menu_window, DispatchHost& host, std::string icons_dir);

  // Handles WM_USER+2, +5, +7 and +9; false for any other message.
  bool HandleMessage(const platform::PostedMessage& message);

  // WM_USER+2: wparam the hot key with its flag bits, lparam the foreground window.
  void HotKey(uint32_t wparam, platform::WindowId foreground);
  // WM_USER+7.
  void WindowActivated(platform::WindowId window);

  // The macro for a hot key, by scope, or 0; may activate the window of an "If Running"
  // macro, and sets the target window.
  int GetMacro(int hot_key, platform::WindowId foreground);
  // Plays macro n (a Popup Menu macro shows its menu). Nothing for n <= 0 or a record that
  // cannot be read.
  void RunMacro(int n);
  // Plays the playback record's text with the playing flag published, then presses and
  // releases the end-of-playback key. Trigword and timed runs use it too.
  void PlayPlaybackRecord();
  // System command "4": a menu of the macros bound to the window or program in front.
  void MenuTopWindow(platform::WindowId foreground);

  // Brings the window of the named program to the front; false when none is found.
  bool ActivateProg(const std::string& name);

  void ActivateMe();
  void AppDeactivate();
  // True when the command was handled here (no default handling).
  bool SysCommandHandler(SysCommand command);

  void HookTheKeyboard();
  void UnHookTheKeyboard();
  void MenuKeyHooksClick();
  void MenuMouseHooksClick();

  // The program of a window (upper case), empty when unknown.
  std::string ProgramOfWindow(platform::WindowId window);
  std::string GetTopProgram();

  // For runs that do not come from a hot key (Trigwords, timed macros): the window the macro
  // works in and whether Caps Lock is to be switched off for it.
  void SetTargetWindow(platform::WindowId window) { target_window_ = window; }
  void SetCapsLockOn(bool on) { caps_lock_on_ = on; }
  void SetCurrentMacro(int n) { current_macro_ = n; }

  // Before a menu opened from a tray icon: the cursor's x coordinate; reset after the menu.
  void SetMenuPosition(int x) { menu_position_ = x; }

  int current_macro() const { return current_macro_; }
  // A macro started by dispatch is being played.
  bool playing() const { return playing_; }
  bool popup_displayed() const { return popup_displayed_; }
  bool caps_lock_on() const { return caps_lock_on_; }
  // The Caps Lock state last reported by the hook library (for timed macros).
  bool caps_lock_state() const { return caps_lock_state_; }
  platform::WindowId target_window() const { return target_window_; }
  platform::WindowId last_active_window() const { return last_active_window_; }
  platform::WindowId last_foreign_window() const { return last_foreign_window_; }
  const store::MacroRecord& playback_record() const { return playback_; }
  store::MacroRecord& playback_record() { return playback_; }

 private:
  bool IsResumeKey(int hot_key, platform::WindowId foreground);
  void RunSystemCommand(char digit, platform::WindowId foreground);
  int ShowMenu();
  std::string TitleOf(platform::WindowId window);

  platform::Platform platform_;
  store::SharedIndex& index_;
  HookLibrary& hooks_;
  store::MacroFile& file_;
  startup::SettingsRecord& settings_;
  player::Player& player_;
  MenuWindow& menu_window_;
  DispatchHost& host_;
  TDoAMenu menu_;

  int current_macro_ = 0;
  int playing_macro_ = 0;  // the macro being played, 0 when none
  bool playing_ = false;
  bool popup_displayed_ = false;
  bool caps_lock_on_ = false;
  bool caps_lock_state_ = false;
  int menu_position_ = -1;
  platform::WindowId target_window_ = platform::kNoWindow;
  platform::WindowId last_active_window_ = platform::kNoWindow;
  platform::WindowId last_foreign_window_ = platform::kNoWindow;
  store::MacroRecord playback_;
};

}  // namespace quillomat::activation
