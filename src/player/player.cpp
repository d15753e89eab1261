#include "player/player.h"

#include <algorithm>
#include <cmath>

#include "language/date_time_formats.h"
#include "platform/locale.h"
#include "player/prompts.h"

namespace quillomat::player {

using language::TokenKind;
using K = TokenKind;

Player::Player(platform::Platform& platform, platform::PlaybackForms& forms, PlayerHost& host,
               FileCommands& files)
    : platform_(platform), forms_(forms), host_(host), files_(files) {}

// --- Start and end of play ------------------------------------------------------------------

void Player::IntoProgram(std::string_view macro_text) {
  abort_requested_ = false;
  abort_reported_ = false;
  pause_aborted_ = false;
  // A copy: the playback record may be replaced by a macro started inside this one.
  const std::string text(macro_text.substr(0, language::kMaxMacroText));
  if (caps_lock_toggled_) {
    PostVKey(kVkCapsLock, false);
    PostVKey(kVkCapsLock, true);
  }
  in_repeat_ = false;
  final_pass_ = false;
  pause_shown_ = false;
  was_minimised_ = false;
  keystroke_delay_on_ = false;
  mouse_delay_on_ = false;
  speed_factor_ = 1.0;
  held_keys_.clear();
  GetSystemSize();
  // A macro started from inside another one's message pumping is a top-level play of its own.
  const int outer_depth = depth_;
  depth_ = 0;
  DoMacro(text);
  platform_.input.Flush();
  depth_ = outer_depth;
}

void Player::GetSystemSize() {
  const platform::ScreenSize size = platform_.input.Screen();
  screen_width_ = std::max(size.width, 1);
  screen_height_ = std::max(size.height, 1);
  x_factor_ = 65535.0 / screen_width_;
  y_factor_ = 65535.0 / screen_height_;
}

void Player::EndOfText() {
  if (in_repeat_) return;
  if (depth_ != 1 || abort_requested_) return;
  Restore();
}

void Player::Restore() {
  if (caps_lock_toggled_) {
    PostVKey(kVkCapsLock, false);
    PostVKey(kVkCapsLock, true);
  }
  if (pause_shown_ && !host_.UseTray()) {
    host_.ShowMainWindow(true);
    if (was_minimised_) host_.MinimiseProgram();
    target_window_ = MakeSureItsAParent(target_window_);
    if (target_window_ != platform::kNoWindow) FocusHandOver(target_window_);
  }
}

// The abort request: keys that playback holds are let go (so no Ctrl stays stuck in the
// user's keyboard), and the user is told once.
void Player::AbortPlay() {
  while (!held_keys_.empty()) PostVKey(held_keys_.back(), true);
  if (abort_reported_) return;
  abort_reported_ = true;
  DoAMessage(kAbortTitle, kAbortText);
}

void Player::FocusHandOver(platform::WindowId window) { platform_.windows.Activate(window); }

// --- The reading loop -----------------------------------------------------------------------

void Player::DoMacro(std::string_view text) {
  if (depth_ >= kMaxPassDepth) return;
  ++depth_;
  Pass pass;
  pass.text = text;
  // Characters the layout lacks are bound for the whole pass at once.
  platform_.input.PrepareText(text);
  for (;;) {
    if (pause_aborted_) {
      // Restored once, by the top-level pass, as at the end of the text.
      if (depth_ == 1) Restore();
      break;
    }
    if (pass.pos >= pass.text.size()) {
      EndOfText();
      break;
    }
    if (abort_requested_) {
      AbortPlay();
      break;
    }
    const language::Token token = language::ReadToken(pass.text, pass.pos);
    Next next = Next::kContinue;
    if (token.kind == K::kLiteral) {
      TypeChar(token.literal, pass.pending);
      pass.pos += token.length;
    } else {
      next = Handle(pass, token);
    }
    if (next == Next::kReturn) break;
    if (next == Next::kEndPass) pass.pos = pass.text.size();
    platform_.event_loop.PumpOnce(0);
  }
  --depth_;
}

// --- Keys -----------------------------------------------------------------------------------

void Player::PostVKey(uint8_t vk, bool up) {
  platform_.input.KeyEvent(vk, up);
  const auto it = std::find(held_keys_.begin(), held_keys_.end(), vk);
  if (up) {
    if (it != held_keys_.end()) held_keys_.erase(it);
  } else if (it == held_keys_.end()) {
    held_keys_.push_back(vk);
  }
}

void Player::PostAltVKey(uint8_t vk, bool up) { PostVKey(vk, up); }

void Player::TypeAltSequence(std::string_view digits) {
  PostAltVKey(kVkAlt, false);
  for (const char d : digits) {
    const auto key = static_cast<uint8_t>(kVkNumpad0 + (d - '0'));
    PostAltVKey(key, false);
    PostAltVKey(key, true);
  }
  PostAltVKey(kVkAlt, true);
}

void Player::ReleaseModifiers(PendingModifiers& pending) {
  if (pending.shift) {
    pending.shift = false;
    PostVKey(kVkShift, true);
  }
  if (pending.ctrl) {
    pending.ctrl = false;
    PostVKey(kVkControl, true);
  }
  if (pending.alt) {
    pending.alt = false;
    PostVKey(kVkAlt, true);
  }
}

void Player::TypeChar(char c, PendingModifiers& pending) {
  if (keystroke_delay_on_) KeyDelay(keystroke_delay_);
  const auto code = static_cast<unsigned char>(c);
  if (code >= 128) {
    // The upper half of the code page goes through the Alt keypad: Alt + 0 d d d.
    TypeAltSequence("0" + std::to_string(code));
    return;
  }
  const int16_t scan = platform_.input.VkKeyScan(c);
  // A character the layout has no key for (a dead key's, or one of another script) is typed
  // through a key bound to it for the moment; only where even that fails does the key event
  // of code 0xFF stand for it, typing nothing.
  if (scan == -1 && platform_.input.TypeCharacter(c)) {
    ReleaseModifiers(pending);
    return;
  }
  const auto vk = static_cast<uint8_t>(scan & 0xFF);
  const int shift_state = (scan >> 8) & 0xFF;
  switch (shift_state) {
    case 1:
      PostVKey(kVkShift, false);
      pending.shift = true;
      break;
    case 2:
      PostVKey(kVkControl, false);
      pending.ctrl = true;
      break;
    case 6:
      PostVKey(kVkControl, false);
      PostVKey(kVkAlt, false);
      pending.ctrl = true;
      pending.alt = true;
      break;
    case 7:
      PostVKey(kVkShift, false);
      PostVKey(kVkControl, false);
      PostVKey(kVkAlt, false);
      pending.shift = true;
      pending.ctrl = true;
      pending.alt = true;
      break;
    default:
      break;
  }
  PostVKey(vk, false);
  PostVKey(vk, true);
  ReleaseModifiers(pending);
}

void Player::KeyToken(uint8_t vk, PendingModifiers& pending, bool with_delay) {
  if (with_delay && keystroke_delay_on_) KeyDelay(keystroke_delay_);
  PostVKey(vk, false);
  PostVKey(vk, true);
  ReleaseModifiers(pending);
}

// --- Mouse ----------------------------------------------------------------------------------

void Player::MouseDelayIfSet() {
  if (mouse_delay_on_) KeyDelay(mouse_delay_);
}

void Player::Mouse(uint32_t flags, int32_t x, int32_t y, int32_t data) {
  platform_.input.MouseEvent(flags, x, y, data);
}

namespace {
int32_t TruncToInt32(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int32_t>(std::clamp(std::trunc(value), -2147483648.0, 2147483647.0));
}
}  // namespace

void Player::MoveMouse(double x, double y) {
  MouseDelayIfSet();
  Mouse(platform::kMouseAbsolute | platform::kMouseMove, TruncToInt32(x * x_factor_),
        TruncToInt32(y * y_factor_), 0);
}

// --- Windows --------------------------------------------------------------------------------

bool Player::GetWinHandle(const std::string& title, platform::WindowId& found) {
  const std::vector<platform::WindowInfo> windows = platform_.windows.TopLevel();
  const std::string wanted = platform::Cp1252Upper(title);
  // A title equal to the wanted one (in any case) first, then the first one that contains it.
  for (const auto& w : windows) {
    if (!w.title.empty() && platform::Cp1252Upper(w.title) == wanted) {
      found = w.id;
      return true;
    }
  }
  for (const auto& w : windows) {
    if (!w.title.empty() && platform::Cp1252Upper(w.title).find(wanted) != std::string::npos) {
      found = w.id;
      return true;
    }
  }
  return false;
}

bool Player::ActivateIt(const std::string& title) {
  platform::WindowId found = platform::kNoWindow;
  if (!GetWinHandle(title, found)) return false;
  // Activation restores a minimised window; a window that refuses the focus is not the
  // window the macro can type into.
  if (platform_.windows.Activate(found) != platform::WindowResult::kDone) return false;
  target_window_ = found;
  return true;
}

platform::WindowId Player::MakeSureItsAParent(platform::WindowId window) {
  for (const auto& w : platform_.windows.TopLevel()) {
    if (w.id == window) return window;
  }
  return platform::kNoWindow;
}

bool Player::LaunchProgram(const std::string& file, const std::string& parameters, int seconds,
                           bool wait) {
  // A program that could not be started has no window to wait for.
  const bool started = platform_.shell.Open(file, parameters);
  if (!wait) return true;
  if (!started) return false;
  if (!WaitForWindow(launch_title_, kLaunchTimeoutSeconds)) return false;
  PauseForNoSpeed(seconds);
  return true;
}

bool Player::WaitForWindow(const std::string& title, int seconds) {
  const auto whole_seconds = [this] {
    const platform::LocalTime now = platform_.event_loop.Now();
    return now.hour * 3600 + now.minute * 60 + now.second;
  };
  const int start = whole_seconds();
  for (;;) {
    if (ActivateIt(title)) return true;
    // Poll a few times a second; the loop keeps running meanwhile.
    platform_.event_loop.PumpOnce(100);
    int passed = whole_seconds() - start;
    if (passed < 0) passed += 86400;
    if (passed > seconds) return false;
  }
}

void Player::WindowCommand(const language::Token& token) {
  if (token.title.empty()) return;
  platform::WindowId window = platform::kNoWindow;
  if (language::IsCurrentWindow(token.title)) {
    window = platform_.windows.Foreground();
  } else if (!GetWinHandle(token.title, window)) {
    return;
  }
  if (window == platform::kNoWindow) return;
  auto& windows = platform_.windows;
  using platform::ShowCommand;
  switch (token.kind) {
    case K::kWindowSize:
    case K::kWindowPos: {
      const auto rect = windows.Geometry(window);
      if (!rect) return;
      if (token.kind == K::kWindowSize) {
        windows.MoveResize(window, rect->left, rect->top, token.numbers[0], token.numbers[1]);
      } else {
        windows.MoveResize(window, token.numbers[0], token.numbers[1], rect->width, rect->height);
      }
      break;
    }
    case K::kWindowMax:
      windows.Show(window, ShowCommand::kMaximize);
      break;
    case K::kWindowMin:
      windows.Show(window, ShowCommand::kMinimize);
      break;
    case K::kWindowRestore:
      windows.Show(window, ShowCommand::kRestore);
      break;
    case K::kWindowHide:
      windows.Show(window, ShowCommand::kHide);
      break;
    case K::kWindowShow:
      windows.Show(window, ShowCommand::kShow);
      break;
    case K::kWindowClose:
      windows.Close(window);
      break;
    case K::kWindowShut:
      windows.Quit(window);
      break;
    default:
      break;
  }
}

// --- Files ----------------------------------------------------------------------------------

std::optional<std::string> Player::ReadTextFile(const std::string& path) {
  std::optional<std::string> bytes = files_.ReadFile(path);
  if (bytes && !bytes->empty() && bytes->back() == '\x1A') bytes->pop_back();
  return bytes;
}

// --- Tokens ---------------------------------------------------------------------------------

namespace {
bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
}  // namespace

Player::Next Player::Handle(Pass& pass, const language::Token& token) {
  const size_t after = pass.pos + token.length;
  PendingModifiers& pending = pass.pending;
  switch (token.kind) {
    case K::kLiteral:
      break;
    case K::kKey:
      KeyToken(static_cast<uint8_t>(token.code), pending, true);
      break;
    case K::kMouseKey:
      KeyToken(static_cast<uint8_t>(token.code), pending, false);
      break;
    case K::kTest:
      break;
    case K::kKeyDown:
      PostVKey(static_cast<uint8_t>(token.code), false);
      break;
    case K::kKeyUp:
      PostVKey(static_cast<uint8_t>(token.code), true);
      break;
    case K::kShift:
      PostVKey(kVkShift, false);
      pending.shift = true;
      break;
    case K::kCtrl:
      PostVKey(kVkControl, false);
      pending.ctrl = true;
      break;
    case K::kAlt:
      PostVKey(kVkAlt, pending.alt);
      pending.alt = !pending.alt;
      break;
    case K::kAltKeypad3:
    case K::kAltKeypad4:
      if (keystroke_delay_on_) KeyDelay(keystroke_delay_);
      // A field that is not all digits would press keys beyond the keypad: typed as nothing.
      if (AllDigits(token.text)) TypeAltSequence(token.text);
      break;
    case K::kDelay:
      // A field that is no number waits nothing.
      if (token.reals[0]) PauseFor(*token.reals[0]);
      break;
    case K::kMillisecondDelay:
      KeyDelay(token.numbers[0]);
      break;
    case K::kSpeed:
      if (token.reals[0]) speed_factor_ = *token.reals[0];
      break;
    case K::kKeystrokeSpeed:
      keystroke_delay_ = token.numbers[0];
      keystroke_delay_on_ = keystroke_delay_ != 0;
      break;
    case K::kMouseSpeed:
      mouse_delay_ = token.numbers[0];
      mouse_delay_on_ = mouse_delay_ != 0;
      break;
    case K::kPause:
    case K::kPauseAt: {
      const platform::ScreenSize screen{screen_width_, screen_height_};
      const bool resume = token.kind == K::kPause
                              ? ShowPauseBox(CentredPauseBox(screen))
                              : ShowPauseBox(PlacedPauseBox(screen, token.numbers[0],
                                                            token.numbers[1], token.text));
      if (!resume) {
        // The user's abort ends the whole macro, not just this pass; keys that playback
        // holds are let go as for an abort request.
        while (!held_keys_.empty()) PostVKey(held_keys_.back(), true);
        pause_aborted_ = true;
      }
      break;
    }
    case K::kRemark:
      break;
    case K::kWindowShut:
    case K::kWindowHide:
    case K::kWindowShow:
    case K::kWindowSize:
    case K::kWindowPos:
    case K::kWindowMax:
    case K::kWindowMin:
    case K::kWindowClose:
    case K::kWindowRestore:
      WindowCommand(token);
      break;
    case K::kActivate:
      if (!ActivateIt(token.title)) return Next::kEndPass;
      break;
    case K::kLaunch:
      LaunchProgram(token.text, token.text2, 0, false);
      break;
    case K::kLaunchNo:
    case K::kLaunchYes:
      launch_title_ = token.title.substr(0, 30);
      if (token.kind == K::kLaunchYes && ActivateIt(token.title)) break;
      if (!LaunchProgram(token.text, token.text2, token.numbers[0], true)) return Next::kEndPass;
      break;
    case K::kRepeatCounter:
      if (in_repeat_ || final_pass_) {
        std::string digits = std::to_string(repeat_counter_);
        if (digits.size() < static_cast<size_t>(token.code)) {
          digits.insert(0, token.code - digits.size(), '0');
        }
        pass.pos = after;
        DoMacro(digits);
        return Next::kContinue;
      }
      break;
    case K::kRepeat:
    case K::kPromptRepeat:
      return Repeat(pass, token);
    case K::kEndRepeat:
      final_pass_ = false;
      break;
    case K::kEndClip:
      break;
    case K::kBeginClip: {
      const size_t end = pass.text.find(language::kEndClipToken, after);
      if (end == std::string_view::npos) return Next::kEndPass;
      platform_.clipboard.SetText(
          std::string(pass.text.substr(after, std::min(end - after, kMaxClipBlock))));
      PauseForNoSpeed(0.05);
      pass.pos = end;
      return Next::kContinue;
    }
    case K::kClipFile:
      if (const auto bytes = ReadTextFile(token.text)) {
        platform_.clipboard.SetText(*bytes);
        PauseForNoSpeed(0.05);
      }
      break;
    case K::kClipCopy:
    case K::kClipPaste: {
      const uint8_t letter = token.kind == K::kClipCopy ? 0x43 : 0x56;
      PostVKey(kVkControl, false);
      PostVKey(letter, false);
      PostVKey(letter, true);
      PostVKey(kVkControl, true);
      if (token.kind == K::kClipPaste) PauseForNoSpeed(0.1);
      break;
    }
    case K::kSwap:
      host_.SwapMacroFile(token.text);
      break;
    case K::kTextFile:
      if (auto bytes = ReadTextFile(token.text)) {
        pass.pos = after;
        const std::string contents = std::move(*bytes);
        DoMacro(contents);
        return Next::kContinue;
      }
      break;
    case K::kHttp:
    case K::kFtp:
      platform_.shell.Open(token.text, "");
      break;
    case K::kLeftDown:
    case K::kLeftUp:
    case K::kLeftClick:
    case K::kLeftDoubleClick:
    case K::kRightDown:
    case K::kRightUp:
    case K::kRightClick:
    case K::kRightDoubleClick:
    case K::kMiddleDown:
    case K::kMiddleUp:
    case K::kMiddleClick:
    case K::kMiddleDoubleClick: {
      const int button = (static_cast<int>(token.kind) - static_cast<int>(K::kLeftDown)) / 4;
      const int action = (static_cast<int>(token.kind) - static_cast<int>(K::kLeftDown)) % 4;
      static constexpr uint32_t kDown[] = {platform::kMouseLeftDown, platform::kMouseRightDown,
                                           platform::kMouseMiddleDown};
      static constexpr uint32_t kUp[] = {platform::kMouseLeftUp, platform::kMouseRightUp,
                                         platform::kMouseMiddleUp};
      MouseDelayIfSet();
      const int clicks = action == 3 ? 2 : 1;
      for (int i = 0; i < clicks; ++i) {
        if (action != 1) Mouse(kDown[button], 0, 0, 0);
        if (action != 0) Mouse(kUp[button], 0, 0, 0);
      }
      break;
    }
    case K::kWheelForward:
    case K::kWheelBackward:
      MouseDelayIfSet();
      Mouse(platform::kMouseWheel, 0, 0,
            token.numbers[0] * (token.kind == K::kWheelForward ? 120 : -120));
      break;
    case K::kMouseMoveScreen:
    case K::kMouseMoveWindow: {
      // A coordinate that is no number moves nothing.
      if (!token.reals[0] || !token.reals[1]) break;
      double x = *token.reals[0], y = *token.reals[1];
      if (token.kind == K::kMouseMoveWindow) {
        if (const auto rect = platform_.windows.Geometry(platform_.windows.Foreground())) {
          x += rect->left;
          y += rect->top;
        }
      }
      MoveMouse(x, y);
      break;
    }
    case K::kWaveWait:
    case K::kWaveAsync:
      DoWave(token.text, token.kind == K::kWaveWait);
      break;
    case K::kBeep:
      platform_.sound.Bell();
      break;
    case K::kChangeDir:
      files_.ChangeDir(token.text);
      break;
    case K::kDeleteFile:
      files_.DeleteFile(token.text);
      break;
    case K::kCopyFile:
      files_.CopyFile(token.text, token.text2);
      break;
    case K::kRenameFile:
      files_.RenameFile(token.text, token.text2);
      break;
    case K::kDate:
    case K::kTime: {
      const platform::LocalTime now = platform_.event_loop.Now();
      const std::string typed =
          token.kind == K::kDate
              ? language::FormatDate(
                    token.format, language::AddDays(now, token.future ? token.days : -token.days),
                    token.leading_zeros, platform_.locale)
              : language::FormatTime(token.format, now, token.leading_zeros);
      for (const char c : typed) TypeChar(c, pending);
      break;
    }
  }
  pass.pos = after;
  return Next::kContinue;
}

Player::Next Player::Repeat(Pass& pass, const language::Token& token) {
  const size_t after = pass.pos + token.length;
  const uint16_t count = token.kind == K::kPromptRepeat
                             ? DoRepPrompt()
                             : static_cast<uint16_t>(static_cast<uint32_t>(token.numbers[0]));
  pass.pos = after;
  // Inside a replayed body a repeat token is ignored and its body plays as ordinary text.
  if (in_repeat_) return Next::kContinue;
  repeat_count_ = count;
  const size_t end = pass.text.find(language::kEndRepeatToken, after);
  if (end == std::string_view::npos) return Next::kContinue;
  repeat_body_ = std::string(pass.text.substr(after, std::min(end - after, kMaxRepeatBody)));
  in_repeat_ = true;
  final_pass_ = false;
  repeat_counter_ = 0;
  for (int i = 1; i < count && !abort_requested_ && !pause_aborted_; ++i) {
    ++repeat_counter_;
    // Each replay gets its own copy: a macro started while this one pumps may start a repeat.
    const std::string body = repeat_body_;
    DoMacro(body);
  }
  in_repeat_ = false;
  ++repeat_counter_;
  final_pass_ = true;
  if (abort_requested_) {
    // The abort may have come after a replay's last token, unseen by any pass.
    AbortPlay();
    return Next::kReturn;
  }
  return Next::kContinue;
}

// --- Pause box, message, prompt, sound ------------------------------------------------------

void Player::PrepareForWindow() {
  if (host_.UseTray()) {
    host_.ShowApplicationWindow(true);
    return;
  }
  message_return_window_ = platform_.windows.Foreground();
  if (host_.IsMinimised()) host_.RestoreProgram();
  host_.ShowMainWindow(false);
}

void Player::AfterWindow() {
  if (host_.UseTray()) {
    host_.ShowApplicationWindow(false);
    return;
  }
  host_.ShowMainWindow(true);
  if (message_return_window_ != platform::kNoWindow) FocusHandOver(message_return_window_);
}

bool Player::ShowPauseBox(platform::PauseBoxForm form) {
  pause_shown_ = true;
  if (host_.UseTray()) {
    host_.ShowApplicationWindow(true);
  } else {
    if (host_.IsMinimised()) {
      host_.RestoreProgram();
      was_minimised_ = true;
    }
    host_.ShowMainWindow(false);
  }
  form.caption = PauseCaption(host_.PlayingActivation());
  form.nickname = host_.PlayingNickname();
  pause_in_progress_ = true;
  const bool resume = forms_.ShowPauseBox(form);
  pause_in_progress_ = false;
  if (host_.UseTray()) {
    host_.ShowApplicationWindow(false);
  } else if (target_window_ != platform::kNoWindow) {
    FocusHandOver(target_window_);
  }
  return resume;
}

void Player::ResumePause() {
  if (pause_in_progress_) forms_.ResumePauseBox();
}

void Player::PauseBoxActivated() {
  if (pause_in_progress_ && target_window_ != platform::kNoWindow) FocusHandOver(target_window_);
}

void Player::DoAMessage(std::string_view title, std::string_view text) {
  if (message_showing_) return;
  message_showing_ = true;
  PrepareForWindow();
  forms_.ShowMessage(MessageForm({screen_width_, screen_height_}, title, text));
  message_showing_ = false;
  AfterWindow();
}

uint16_t Player::DoRepPrompt() {
  PrepareForWindow();
  prompt_showing_ = true;
  uint16_t count = 0;
  const std::string accepted = forms_.ShowRepPrompt(
      RepPromptFormFor({screen_width_, screen_height_}), [this](const std::string& text) {
        if (RepeatCountFromText(text)) return true;
        platform_.message_boxes.Show(std::string(kInvalidRepeatTitle),
                                     std::string(kInvalidRepeatText));
        return false;
      });
  if (const auto value = RepeatCountFromText(accepted)) count = *value;
  prompt_showing_ = false;
  AfterWindow();
  return count;
}

void Player::DoWave(const std::string& path, bool wait) { platform_.sound.PlayWave(path, wait); }

}  // namespace quillomat::player
