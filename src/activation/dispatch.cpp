#include "activation/dispatch.h"

#include <vector>

#include "platform/files.h"
#include "platform/locale.h"
#include "store/hot_key_flags.h"
#include "store/hotkey_catalogue.h"

namespace quillomat::activation {
namespace {

constexpr uint32_t kDirectMacroMask = kHotKeyDirectMacroBit | (1u << 12) | kHotKeyCapsLockBit;
constexpr int kMaxTopWindowItems = 36;

bool Contains(const std::string& haystack, const std::string& needle) {
  // An empty scope name names no window and no program.
  return !needle.empty() && haystack.find(needle) != std::string::npos;
}

}  // namespace

HotKeyDispatch::HotKeyDispatch(platform::Platform platform, store::SharedIndex& index,
                               HookLibrary& hooks, store::MacroFile& file,
                               startup::SettingsRecord& settings, player::Player& player,
                               MenuWindow& menu_window, DispatchHost& host, std::string icons_dir)
    : platform_(platform),
      index_(index),
      hooks_(hooks),
      file_(file),
      settings_(settings),
      player_(player),
      menu_window_(menu_window),
      host_(host),
      menu_([&file](int n, store::MacroRecord& r) { return file.ReadMacro(n, r); },
            std::move(icons_dir),
            [](const std::string& path) { return platform::FileExists(path); }) {}

bool HotKeyDispatch::HandleMessage(const platform::PostedMessage& message) {
  switch (message.message) {
    case kHotKeyPressed:
      HotKey(message.wparam, static_cast<platform::WindowId>(message.lparam));
      return true;
    case kAbortPlayback:
      player_.RequestAbort();
      return true;
    case kWindowActivated:
      WindowActivated(message.wparam);
      return true;
    case kCapsLockState:
      caps_lock_state_ = message.wparam != 0;
      return true;
    default:
      return false;
  }
}

std::string HotKeyDispatch::TitleOf(platform::WindowId window) {
  for (const auto& w : platform_.windows.TopLevel()) {
    if (w.id == window) return w.title;
  }
  return "";
}

std::string HotKeyDispatch::ProgramOfWindow(platform::WindowId window) {
  for (const auto& w : platform_.windows.TopLevel()) {
    if (w.id == window) return platform::Cp1252Upper(w.program);
  }
  return "";
}

std::string HotKeyDispatch::GetTopProgram() {
  return ProgramOfWindow(platform_.windows.Foreground());
}

void HotKeyDispatch::HotKey(uint32_t wparam, platform::WindowId foreground) {
  auto& boxes = platform_.message_boxes;
  if (popup_displayed_) {
    boxes.Show(platform::kWarningTitle, kPopupShownRefusal);
    return;
  }
  if (host_.CaptureInProgress()) {
    boxes.Show(platform::kWarningTitle, kCaptureRefusal);
    return;
  }
  if (wparam & kHotKeyDirectMacroBit) {
    RunMacro(static_cast<int>(wparam & ~kDirectMacroMask));
    return;
  }
  const bool caps = (wparam & kHotKeyCapsLockBit) != 0;
  const int hot_key = static_cast<int>(wparam & ~kHotKeyCapsLockBit);
  if (player_.PauseInProgress()) {
    if (IsResumeKey(hot_key, foreground)) {
      if (caps) {
        player_.PostVKey(player::kVkCapsLock, false);
        player_.PostVKey(player::kVkCapsLock, true);
      }
      player_.ResumePause();
    } else {
      boxes.Show(platform::kWarningTitle, kPauseRefusal);
    }
    return;
  }
  current_macro_ = hot_key;
  if (!playing_) caps_lock_on_ = caps;
  target_window_ = foreground;
  if (settings_.network_mode && host_.ReloadIfChanged()) {
    // The hook library reports the key again, against the fresh tables.
    store::RegenerateHotKey(hot_key, platform_.input, platform_.event_loop);
    return;
  }
  for (int n = 1; n <= index_.Count(); ++n) {
    if (index_.Scope(n) == store::kScopeSystem && index_.Activation(n) == hot_key) {
      const std::string digit = index_.ScopeName(n);
      RunSystemCommand(digit.empty() ? ' ' : digit[0], foreground);
      return;
    }
  }
  RunMacro(GetMacro(hot_key, foreground));
}

bool HotKeyDispatch::IsResumeKey(int hot_key, platform::WindowId foreground) {
  for (int n = 1; n <= index_.Count(); ++n) {
    if (index_.Scope(n) == store::kScopeSystem && index_.Activation(n) == hot_key &&
        index_.ScopeName(n).starts_with('3')) {
      return true;
    }
  }
  // Resolving the key must not move the paused macro's target window.
  const platform::WindowId target = target_window_;
  const bool own_key = playing_macro_ > 0 && GetMacro(hot_key, foreground) == playing_macro_;
  target_window_ = target;
  return own_key;
}

void HotKeyDispatch::RunSystemCommand(char digit, platform::WindowId foreground) {
  switch (digit) {
    case '1':
      ActivateMe();
      break;
    case '2':
      host_.StartStopCapture();
      break;
    case '4':
      MenuTopWindow(foreground);
      break;
    default:  // "3" resumes a pause, which is handled above
      break;
  }
}

int HotKeyDispatch::GetMacro(int hot_key, platform::WindowId foreground) {
  const int count = index_.Count();
  const std::string title = platform::Cp1252Upper(TitleOf(foreground));
  // The program's own pause box in front does not count as the window in front.
  if (foreground != platform::kNoWindow && title.find("PAUSE (") == std::string::npos) {
    const std::string top_program = platform::Cp1252Upper(index_.top_program.Get());
    for (int n = 1; n <= count; ++n) {
      if (!index_.Active(n) || index_.Activation(n) != hot_key) continue;
      const std::string name = platform::Cp1252Upper(index_.ScopeName(n));
      const uint16_t scope = index_.Scope(n);
      if ((scope == store::kScopeWindow && Contains(title, name)) ||
          (scope == store::kScopeProgram && Contains(top_program, name))) {
        target_window_ = foreground;
        return n;
      }
    }
  }
  int global = 0;
  for (int n = 1; n <= count; ++n) {
    if (!index_.Active(n) || index_.Activation(n) != hot_key) continue;
    const uint16_t scope = index_.Scope(n);
    const std::string name = index_.ScopeName(n);
    if (scope == store::kScopeGlobal || scope == store::kScopePopupMenu ||
        scope == store::kScopeSystem) {
      global = n;
    } else if (scope == store::kScopeWindow && !index_.TopMostOnly(n) && !name.empty()) {
      platform::WindowId found = platform::kNoWindow;
      if (player_.GetWinHandle(name, found) &&
          platform_.windows.Activate(found) == platform::WindowResult::kDone) {
        target_window_ = found;
        return n;
      }
    } else if (scope == store::kScopeProgram && !index_.TopMostOnly(n) && !name.empty()) {
      const std::string wanted = platform::Cp1252Upper(name);
      const int programs =
          std::min<int>(index_.running_program_count.Get(), store::kMaxRunningPrograms);
      for (int i = 0; i < programs; ++i) {
        if (Contains(platform::Cp1252Upper(index_.running_programs[i].Get()), wanted)) {
          // The program runs: its macro wins even when no window of it can be brought up.
          ActivateProg(wanted);
          return n;
        }
      }
    }
  }
  return global;
}

bool HotKeyDispatch::ActivateProg(const std::string& name) {
  for (const auto& w : platform_.windows.TopLevel()) {
    if (w.title.empty() || !Contains(platform::Cp1252Upper(w.program), name)) continue;
    if (platform_.windows.Activate(w.id) != platform::WindowResult::kDone) return false;
    target_window_ = w.id;
    return true;
  }
  return false;
}

void HotKeyDispatch::RunMacro(int n) {
  if (n <= 0) return;
  // A record that cannot be read must not replay what the buffer held before.
  if (!file_.ReadMacro(n, playback_)) return;
  current_macro_ = n;
  if (playback_.scope.Get() != store::kScopePopupMenu) {
    PlayPlaybackRecord();
    return;
  }
  const int chosen = ShowMenu();
  const platform::WindowId parent = player_.MakeSureItsAParent(target_window_);
  if (parent != platform::kNoWindow) platform_.windows.Activate(parent);
  if (chosen > 0) RunMacro(chosen);
}

int HotKeyDispatch::ShowMenu() {
  const bool use_tray = host_.UseTray();
  bool was_minimised = false;
  if (use_tray) {
    host_.ShowApplicationWindow(true);
  } else {
    was_minimised = host_.IsMinimised();
    if (was_minimised) host_.RestoreProgram();
    host_.ShowMainWindow(false);
  }
  popup_displayed_ = true;
  const int chosen = menu_.Run(playback_, menu_position_, platform_.input.Screen(), menu_window_);
  popup_displayed_ = false;
  menu_position_ = -1;
  if (use_tray) {
    host_.ShowApplicationWindow(false);
  } else {
    host_.ShowMainWindow(true);
    if (was_minimised) host_.MinimiseProgram();
  }
  return chosen;
}

void HotKeyDispatch::PlayPlaybackRecord() {
  index_.playing = 1;
  hooks_.QlxUpInUse(index_);
  const int outer_macro = playing_macro_;
  const bool outer_playing = playing_;
  playing_macro_ = current_macro_;
  playing_ = true;
  player_.SetTargetWindow(target_window_);
  player_.SetCapsLockToggled(caps_lock_on_);
  player_.IntoProgram(playback_.Text());
  player_.PostVKey(kEndOfPlaybackKey, false);
  player_.PostVKey(kEndOfPlaybackKey, true);
  playing_macro_ = outer_macro;
  playing_ = outer_playing;
  // The library clears its own copy on the end key; the working copy follows without a
  // publication.
  if (!playing_) index_.playing = 0;
}

void HotKeyDispatch::MenuTopWindow(platform::WindowId foreground) {
  const std::string program = GetTopProgram();
  const std::string title = platform::Cp1252Upper(TitleOf(platform_.windows.Foreground()));
  std::vector<uint16_t> items;
  for (int n = 1; n <= index_.Count() && items.size() < kMaxTopWindowItems; ++n) {
    const std::string name = platform::Cp1252Upper(index_.ScopeName(n));
    const uint16_t scope = index_.Scope(n);
    if ((scope == store::kScopeWindow && Contains(title, name)) ||
        (scope == store::kScopeProgram && Contains(program, name))) {
      items.push_back(static_cast<uint16_t>(n));
    }
  }
  if (items.empty()) {
    player_.DoAMessage(platform::kWarningTitle, kNoTopWindowMacros);
    return;
  }
  const int mode = settings_.system_menu;
  const char mode_char = mode >= 1 && mode <= 3 ? static_cast<char>('0' + mode) : ' ';
  playback_ = store::MacroRecord();
  playback_.scope.Set(store::kScopePopupMenu);
  playback_.trigword.Set(std::string{' ', mode_char, '2'});
  playback_.SetMenuItems(items);
  const platform::WindowId had_foreground = platform_.windows.Foreground();
  const int chosen = ShowMenu();
  if (had_foreground != platform::kNoWindow) platform_.windows.Activate(had_foreground);
  if (chosen <= 0) return;
  target_window_ = foreground != platform::kNoWindow ? foreground : had_foreground;
  RunMacro(chosen);
}

void HotKeyDispatch::WindowActivated(platform::WindowId window) {
  const std::string program = ProgramOfWindow(window);
  store::SetRunningPrograms(index_, hooks_, program, platform_.processes.RunningPrograms());
  if (!TitleOf(window).empty()) {
    last_active_window_ = window;
    if (program != kOwnProgramName) last_foreign_window_ = window;
  }
}

void HotKeyDispatch::ActivateMe() {
  auto& boxes = platform_.message_boxes;
  if (player_.PauseInProgress()) {
    boxes.Show(platform::kWarningTitle, kActivatePauseRefusal);
    return;
  }
  if (popup_displayed_) {
    boxes.Show(platform::kWarningTitle, kActivateMenuRefusal);
    return;
  }
  if (host_.CaptureInProgress()) {
    boxes.Show(platform::kWarningTitle, kActivateCaptureRefusal);
    return;
  }
  if (host_.MainWindowVisible() && !host_.UseTray()) {
    if (host_.IsMinimised()) host_.RestoreProgram();
    host_.BringMainWindowToFront();
    return;
  }
  host_.ShowApplicationWindow(true);
  host_.ShowMainWindow(true);
  host_.BringMainWindowToFront();
  host_.RestoreListState();
}

void HotKeyDispatch::AppDeactivate() {
  if (host_.TakeCaptureEndedFlag()) return;
  if (host_.Terminating() || !host_.UseTray() || player_.PauseInProgress() || popup_displayed_ ||
      host_.DialogOpen()) {
    return;
  }
  host_.RememberListRow();
  if (host_.IsMinimised()) host_.RestoreProgram();
  host_.ShowApplicationWindow(false);
  host_.ShowMainWindow(false);
}

bool HotKeyDispatch::SysCommandHandler(SysCommand command) {
  if (command == SysCommand::kMinimize && host_.UseTray()) {
    AppDeactivate();
    return true;
  }
  if (command == SysCommand::kScreenSave && settings_.disable_screen_saver) {
    for (int n = 1; n <= index_.Count(); ++n) {
      if (index_.Active(n) && index_.Activation(n) == store::kTimedMacro) return true;
    }
  }
  return false;
}

void HotKeyDispatch::HookTheKeyboard() {
  index_.keyboard_hook.Set(hooks_.QlxHookKeyboard());
  hooks_.QlxUpKeyHook(index_);
}

void HotKeyDispatch::UnHookTheKeyboard() { hooks_.QlxUnHook(index_.keyboard_hook.Get()); }

void HotKeyDispatch::MenuKeyHooksClick() {
  if (platform_.message_boxes.Show(kKeyHooksTitle, kKeyHooksQuestion,
                                   platform::MessageButtons::kYesNo) !=
      platform::MessageResult::kYes) {
    return;
  }
  UnHookTheKeyboard();
  HookTheKeyboard();
  if (host_.KeysRemapped()) {
    // The old remap hook goes first, or keys would be remapped twice.
    if (host_.RemapHook() != 0) hooks_.QlxUnHook(host_.RemapHook());
    host_.SetRemapHook(hooks_.QlxHookSwap());
  }
}

void HotKeyDispatch::MenuMouseHooksClick() {
  if (platform_.message_boxes.Show(kMouseHooksTitle, kMouseHooksQuestion,
                                   platform::MessageButtons::kYesNo) !=
      platform::MessageResult::kYes) {
    return;
  }
  hooks_.QlxUnHook(index_.mouse_hook.Get());
  index_.mouse_hook.Set(hooks_.QlxHookMouse());
  hooks_.QlxUpMouseHook(index_);
}

}  // namespace quillomat::activation
