#pragma once

// What the program runs with where a desktop service has no backend yet: input that injects
// nothing (and types no character), and a desktop with no windows to find.

#include "platform/input.h"
#include "platform/windows.h"

namespace quillomat::platform {

class NoInput : public Input {
 public:
  explicit NoInput(ScreenSize screen) : screen_(screen) {}
  void KeyEvent(uint8_t, bool) override {}
  int16_t VkKeyScan(char) override { return -1; }
  void MouseEvent(uint32_t, int32_t, int32_t, int32_t) override {}
  ScreenSize Screen() override { return screen_; }
  bool CapsLockOn() override { return false; }

 private:
  ScreenSize screen_;
};

class NoWindows : public Windows {
 public:
  std::vector<WindowInfo> TopLevel() override { return {}; }
  WindowId Foreground() override { return kNoWindow; }
  bool Activate(WindowId) override { return false; }
  bool Show(WindowId, ShowCommand) override { return false; }
  bool MoveResize(WindowId, int, int, int, int) override { return false; }
  bool Close(WindowId) override { return false; }
};

}  // namespace quillomat::platform
