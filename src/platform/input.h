#pragma once

#include <cstdint>
#include <string_view>

namespace quillomat::platform {

struct ScreenSize {
  int width = 1024;
  int height = 768;
};

// Mouse event flags, as the player composes them.
inline constexpr uint32_t kMouseMove = 0x0001;
inline constexpr uint32_t kMouseLeftDown = 0x0002;
inline constexpr uint32_t kMouseLeftUp = 0x0004;
inline constexpr uint32_t kMouseRightDown = 0x0008;
inline constexpr uint32_t kMouseRightUp = 0x0010;
inline constexpr uint32_t kMouseMiddleDown = 0x0020;
inline constexpr uint32_t kMouseMiddleUp = 0x0040;
inline constexpr uint32_t kMouseWheel = 0x0800;
inline constexpr uint32_t kMouseAbsolute = 0x8000;

// Synthetic keyboard and mouse input. Windows virtual-key codes are the currency of the core.
class Input {
 public:
  virtual ~Input() = default;
  virtual void KeyEvent(uint8_t vk, bool up) = 0;
  // The key and shift state that type this cp1252 character in the current layout: low byte
  // the virtual key, high byte 1 Shift, 2 Ctrl, 4 Alt (an AltGr level reports 6); -1 if none.
  virtual int16_t VkKeyScan(char ch) = 0;
  // Absolute positions run 0..65535 across the screen; wheel data is 120 per notch.
  virtual void MouseEvent(uint32_t flags, int32_t x, int32_t y, int32_t data) = 0;
  virtual ScreenSize Screen() = 0;
  virtual bool CapsLockOn() = 0;

  // Types a cp1252 character for which VkKeyScan finds no key, through a key bound to it for
  // the moment; false when the character cannot be typed at all.
  virtual bool TypeCharacter(char ch) = 0;
  // Announces the cp1252 characters a macro step is about to type, so that any the layout
  // lacks are bound to spare keys all at once instead of one by one.
  virtual void PrepareText(std::string_view text) = 0;
  // Returns once every event injected so far has reached the display server: the end of a
  // macro step. Events also go out without it, a moment after the last one.
  virtual void Flush() = 0;
};

}  // namespace quillomat::platform
