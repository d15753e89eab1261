#pragma once

#include <memory>
#include <string_view>

#include "platform/input.h"

namespace quillomat::x11 {

// Synthetic input through XTest on a connection of its own.
//
// Virtual keys map to keysyms and the keysyms to keycodes of the keyboard map in force; the
// map is read again whenever the user switches layout. Characters the layout lacks (and the
// characters composed with Alt and keypad digits) are typed through spare keycodes bound for
// the moment. Modifiers the caller presses are sent lazily, just before the key, the click or
// the pause they belong to, so that Ctrl+Alt can become AltGr and Alt+keypad digits can be
// composed into one character.
class X11Input : public platform::Input {
 public:
  // Opens the display (DISPLAY when display_name is empty); nullptr when there is no display
  // or it lacks the XTest or XKB extension.
  static std::unique_ptr<X11Input> Open(const char* display_name = nullptr);
  ~X11Input() override;

  void KeyEvent(uint8_t vk, bool up) override;
  int16_t VkKeyScan(char ch) override;
  void MouseEvent(uint32_t flags, int32_t x, int32_t y, int32_t data) override;
  platform::ScreenSize Screen() override;
  bool CapsLockOn() override;
  bool TypeCharacter(char ch) override;
  void PrepareText(std::string_view text) override;
  void Flush() override;

  struct Impl;

 private:
  explicit X11Input(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillomat::x11
