#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "activation/publishing_hook_library.h"
#include "platform/event_loop.h"
#include "store/shared_index.h"

namespace quillomat::x11 {

// The desktop monitor: one thread with its own X connection watches the keyboard, the mouse
// and the active window and posts what it sees to the program's event loop.
//
// - Hot keys are passive grabs on the root window, one for every lock-modifier variant of
//   every catalogue key in use. A hot key is posted once its trigger key and its modifiers
//   are all up again, so the playback that follows never types into held Ctrl or Alt.
//   Mouse hot keys are watched through XInput2 raw button events and the modifier state,
//   without a grab, so clicks still reach the windows.
// - Typed characters (for Trigwords) come from XInput2 raw key events; the library keeps no
//   buffer and writes nothing anywhere: each character is posted and forgotten.
// - Injected events: everything XTest injects carries the XTEST slave device as its XInput2
//   source. While the published playing flag is 1, such events are neither hot keys nor
//   typing; a hot-key combination the player types is handed on to the focused window. When
//   nothing plays they count as the user's (xdotool and other automation tools inject the
//   same way). The end-of-playback key (Execute) injected through XTest clears the playing
//   flag once every playback published so far has sent its own; the monitor binds Execute
//   to a free keycode when the keymap lacks it. While playing, Pause/Break is grabbed and
//   aborts the playback (from any source: the player never presses it).
class X11HookLibrary : public activation::PublishingHookLibrary {
 public:
  // display_name empty: $DISPLAY.
  X11HookLibrary(platform::EventLoop& loop, std::string display_name = {});
  ~X11HookLibrary() override;

  X11HookLibrary(const X11HookLibrary&) = delete;
  X11HookLibrary& operator=(const X11HookLibrary&) = delete;

  void QlxUpInit(const store::SharedIndex& block) override;
  void QlxUpWindow(const store::SharedIndex& block) override;
  void QlxUpWindow2(const store::SharedIndex& block) override;
  void QlxUpKeys(const store::SharedIndex& block) override;
  void QlxUpShort(const store::SharedIndex& block) override;
  void QlxUpNumKeys(const store::SharedIndex& block) override;
  void QlxUpItem(const store::SharedIndex& block, int macro_number) override;
  void QlxUpProg(const store::SharedIndex& block) override;
  void QlxUpProgs(const store::SharedIndex& block) override;
  void QlxUpCapture(const store::SharedIndex& block) override;
  void QlxUpCaptureOn(const store::SharedIndex& block) override;
  void QlxUpInUse(const store::SharedIndex& block) override;
  void QlxUpKeyHook(const store::SharedIndex& block) override;
  void QlxUpMouseHook(const store::SharedIndex& block) override;

  // Starts the monitor; 0 when the display cannot be opened or lacks XInput 2.2 or XKB.
  activation::HookHandle QlxHookKeyboard() override;
  // The mouse, window and swap monitoring run on the keyboard monitor's thread; these only
  // hand out their handles.
  activation::HookHandle QlxHookMouse() override { return kMouseHandle; }
  activation::HookHandle QlxHookCBT() override { return kCbtHandle; }
  activation::HookHandle QlxHookSwap() override { return kSwapHandle; }
  // Unhooking the keyboard handle stops the monitor and waits for its thread.
  bool QlxUnHook(activation::HookHandle handle) override;

  // The catalogue indices in use whose key could not be grabbed (another program holds the
  // combination, or the keymap lacks the key), as of the last grab; sorted.
  std::vector<int> UnavailableHotKeys() const;
  // True once the monitor has taken the grabs for the flags published so far.
  bool Running() const { return running_.load(); }
  // The playing flag as the monitor sees it (the library clears it at the end of playback).
  bool Playing() const;

  static constexpr activation::HookHandle kKeyboardHandle = 1;
  static constexpr activation::HookHandle kMouseHandle = 2;
  static constexpr activation::HookHandle kCbtHandle = 3;
  static constexpr activation::HookHandle kSwapHandle = 4;

 private:
  class Monitor;
  friend class Monitor;

  void Wake();
  void Stop();

  platform::EventLoop& loop_;
  std::string display_name_;
  // The library's shared copy of the index. The Up calls write it on the GUI thread, the
  // monitor reads it (and clears the playing flag) on its own: both under shared_mutex_.
  std::array<uint8_t, store::kSharedIndexSize> shared_{};
  mutable std::mutex shared_mutex_;
  std::vector<int> unavailable_;  // under shared_mutex_
  int open_playbacks_ = 0;        // under shared_mutex_: playbacks whose end key is to come
  int wake_fds_[2] = {-1, -1};
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stop_{false};
};

}  // namespace quillomat::x11
