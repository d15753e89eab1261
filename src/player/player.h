#pragma once

// The macro player: turns macro text into synthetic key and mouse input for the focused window
// and carries out the text's other commands. It runs on the GUI thread inside the handler that
// started it and pumps the message loop after every token and inside every wait, so an abort
// request or a resumed pause is seen while it plays.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "language/macro_text.h"
#include "platform/platform.h"
#include "platform/playback_forms.h"
#include "player/file_commands.h"
#include "player/player_host.h"

namespace quillomat::player {

inline constexpr uint8_t kVkShift = 0x10;
inline constexpr uint8_t kVkControl = 0x11;
inline constexpr uint8_t kVkAlt = 0x12;
inline constexpr uint8_t kVkCapsLock = 0x14;
inline constexpr uint8_t kVkNumpad0 = 0x60;
inline constexpr size_t kMaxRepeatBody = 5000;
inline constexpr size_t kMaxClipBlock = 5000;
// Passes nest for repeat bodies, "<TFILE:" files and counter digits; a text file that plays
// itself would otherwise nest without end.
inline constexpr int kMaxPassDepth = 32;
// How long a launch waits for its window to appear.
inline constexpr int kLaunchTimeoutSeconds = 30;

// Pressed for the next key only: by "<SHIFT>", "<CTRL>", "<ALT>" or a character that needs them.
struct PendingModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

class Player {
 public:
  Player(platform::Platform& platform, platform::PlaybackForms& forms, PlayerHost& host,
         FileCommands& files);

  // Before IntoProgram: the window the macro works in (the foreground window when it was
  // triggered) and whether Caps Lock was on and is to be switched off for the macro.
  void SetTargetWindow(platform::WindowId window) { target_window_ = window; }
  void SetCapsLockToggled(bool toggled) { caps_lock_toggled_ = toggled; }

  // Plays a macro from the start: resets the player state, then the top-level pass.
  void IntoProgram(std::string_view macro_text);
  // Plays one piece of macro text (one pass; nested for repeat bodies, files, counters).
  void DoMacro(std::string_view text);

  // The dispatcher's calls while a macro plays (from inside the pumped message loop).
  void RequestAbort() { abort_requested_ = true; }
  void ResumePause();
  bool PauseInProgress() const { return pause_in_progress_; }
  // The pause box was activated: the keyboard focus goes back to the macro's window, so the
  // user can go on working there while the box floats above it.
  void PauseBoxActivated();

  // Key and mouse synthesis.
  void PostVKey(uint8_t vk, bool up);
  void PostAltVKey(uint8_t vk, bool up);
  void TypeChar(char c, PendingModifiers& pending);
  void TypeAltSequence(std::string_view digits);
  void ReleaseModifiers(PendingModifiers& pending);
  void GetSystemSize();

  // Waits that pump the message loop; each turn blocks for the time that remains.
  void PauseFor(double seconds);
  void PauseForNoSpeed(double seconds);
  void KeyDelay(int64_t milliseconds);

  // The windows a macro can show. ShowPauseBox returns true for "continue".
  bool ShowPauseBox(platform::PauseBoxForm form);
  void DoAMessage(std::string_view title, std::string_view text);
  uint16_t DoRepPrompt();
  void DoWave(const std::string& path, bool wait);

  // Window and program control.
  bool GetWinHandle(const std::string& title, platform::WindowId& found);
  bool ActivateIt(const std::string& title);
  platform::WindowId MakeSureItsAParent(platform::WindowId window);
  bool LaunchProgram(const std::string& file, const std::string& parameters, int seconds,
                     bool wait);
  bool WaitForWindow(const std::string& title, int seconds);

  // Told the length of every wait that is about to happen, in milliseconds (nothing for a
  // wait that the speed factor switches off).
  void SetWaitObserver(std::function<void(double ms)> observer) {
    wait_observer_ = std::move(observer);
  }

  // The player state.
  bool abort_requested() const { return abort_requested_; }
  double speed_factor() const { return speed_factor_; }
  int keystroke_delay() const { return keystroke_delay_; }
  int mouse_delay() const { return mouse_delay_; }
  bool in_repeat() const { return in_repeat_; }
  bool final_pass() const { return final_pass_; }
  int repeat_counter() const { return repeat_counter_; }
  int repeat_count() const { return repeat_count_; }
  const std::string& repeat_body() const { return repeat_body_; }
  const std::string& launch_title() const { return launch_title_; }
  platform::WindowId target_window() const { return target_window_; }
  bool pause_shown() const { return pause_shown_; }
  bool was_minimised() const { return was_minimised_; }
  platform::ScreenSize screen() const { return {screen_width_, screen_height_}; }
  // Keys that playback pressed and has not released, in the order pressed.
  const std::vector<uint8_t>& held_keys() const { return held_keys_; }

 private:
  struct Pass {
    std::string_view text;
    size_t pos = 0;
    PendingModifiers pending;
  };
  enum class Next { kContinue, kEndPass, kReturn };

  Next Handle(Pass& pass, const language::Token& token);
  Next Repeat(Pass& pass, const language::Token& token);
  void EndOfText();
  void Restore();
  void AbortPlay();
  void FocusHandOver(platform::WindowId window);
  void PrepareForWindow();
  void AfterWindow();
  void KeyToken(uint8_t vk, PendingModifiers& pending, bool with_delay);
  void MouseDelayIfSet();
  void Mouse(uint32_t flags, int32_t x, int32_t y, int32_t data);
  void MoveMouse(double x, double y);
  void WindowCommand(const language::Token& token);
  std::optional<std::string> ReadTextFile(const std::string& path);
  double TimeOfDaySeconds();
  void TimeOfDayWait(double seconds);
  void ReportWait(double ms);

  platform::Platform& platform_;
  platform::PlaybackForms& forms_;
  PlayerHost& host_;
  FileCommands& files_;
  std::function<void(double)> wait_observer_;

  bool abort_requested_ = false;
  bool abort_reported_ = false;
  bool pause_aborted_ = false;
  double speed_factor_ = 1.0;
  int keystroke_delay_ = 0;
  bool keystroke_delay_on_ = false;
  int mouse_delay_ = 0;
  bool mouse_delay_on_ = false;
  bool in_repeat_ = false;
  bool final_pass_ = false;
  int repeat_counter_ = 0;
  int repeat_count_ = 0;
  std::string repeat_body_;
  std::string launch_title_;
  platform::WindowId target_window_ = platform::kNoWindow;
  bool caps_lock_toggled_ = false;
  bool pause_shown_ = false;
  bool was_minimised_ = false;
  bool pause_in_progress_ = false;
  bool message_showing_ = false;
  bool prompt_showing_ = false;
  platform::WindowId message_return_window_ = platform::kNoWindow;
  int screen_width_ = 1024;
  int screen_height_ = 768;
  double x_factor_ = 65535.0 / 1024;
  double y_factor_ = 65535.0 / 768;
  int depth_ = 0;
  std::vector<uint8_t> held_keys_;
};

}  // namespace quillomat::player
