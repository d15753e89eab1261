#pragma once

#include <cstdint>

#include "platform/event_loop.h"
#include "store/shared_index.h"

namespace quillomat::activation {

// Messages that the hook library posts to the main window (or to the registered second
// window), as PostedMessage::message.
inline constexpr uint32_t kWmUser = 0x0400;
inline constexpr uint32_t kHotKeyForDialog = kWmUser + 1;  // wparam: catalogue index
inline constexpr uint32_t kHotKeyPressed =
    kWmUser + 2;                                        // wparam: index | caps bits; lparam: window
inline constexpr uint32_t kCapturedChar = kWmUser + 3;  // wparam: macro number; lparam: char
inline constexpr uint32_t kCaptureEnded = kWmUser + 4;
inline constexpr uint32_t kAbortPlayback = kWmUser + 5;
inline constexpr uint32_t kTypedChar = kWmUser + 6;  // wparam: 1 reset, 2 caps on; lparam: char
inline constexpr uint32_t kWindowActivated = kWmUser + 7;  // wparam: window
inline constexpr uint32_t kDebugChar = kWmUser + 8;
inline constexpr uint32_t kCapsLockState = kWmUser + 9;  // wparam: non-zero = on

inline constexpr uint32_t kHotKeyCapsLockBit = 1u << 15;
inline constexpr uint32_t kHotKeyDirectMacroBit = 1u << 14;

// The virtual key that dispatch presses and releases after every playback; on it the hook
// library clears the playing flag.
inline constexpr uint8_t kEndOfPlaybackKey = 43;

using HookHandle = uint32_t;

// The system-wide keyboard, mouse and window monitor. The Up calls copy the named part of the
// program's working copy of the shared index into the library's shared copy; the library
// reads only that copy. Messages reach the program through the event loop's Post.
class HookLibrary {
 public:
  virtual ~HookLibrary() = default;

  virtual void QlxUpInit(const store::SharedIndex& block) = 0;
  virtual void QlxUpWindow(const store::SharedIndex& block) = 0;
  virtual void QlxUpWindow2(const store::SharedIndex& block) = 0;
  virtual void QlxUpKeys(const store::SharedIndex& block) = 0;
  virtual void QlxUpShort(const store::SharedIndex& block) = 0;
  virtual void QlxUpNumKeys(const store::SharedIndex& block) = 0;
  virtual void QlxUpItem(const store::SharedIndex& block, int macro_number) = 0;
  virtual void QlxUpProg(const store::SharedIndex& block) = 0;
  virtual void QlxUpProgs(const store::SharedIndex& block) = 0;
  virtual void QlxUpCapture(const store::SharedIndex& block) = 0;
  virtual void QlxUpCaptureOn(const store::SharedIndex& block) = 0;
  virtual void QlxUpInUse(const store::SharedIndex& block) = 0;
  virtual void QlxUpKeyHook(const store::SharedIndex& block) = 0;
  virtual void QlxUpMouseHook(const store::SharedIndex& block) = 0;

  // Each installs its monitor and returns a handle, 0 on failure.
  virtual HookHandle QlxHookKeyboard() = 0;
  virtual HookHandle QlxHookMouse() = 0;
  virtual HookHandle QlxHookCBT() = 0;
  virtual HookHandle QlxHookSwap() = 0;
  virtual bool QlxUnHook(HookHandle handle) = 0;
};

}  // namespace quillomat::activation
