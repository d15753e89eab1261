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
  bool TypeCharacter(char) override { return false; }
  void PrepareText(std::string_view) override {}
  void Flush() override {}

 private:
  ScreenSize screen_;
};

class NoWindows : public Windows {
 public:
  std::vector<WindowInfo> TopLevel() override { return {}; }
  WindowId Foreground() override { return kNoWindow; }
  WindowResult Activate(WindowId) override { return WindowResult::kNoWindow; }
  WindowResult Show(WindowId, ShowCommand) override { return WindowResult::kNoWindow; }
  WindowResult MoveResize(WindowId, int, int, int, int) override { return WindowResult::kNoWindow; }
  std::optional<WindowRect> Geometry(WindowId) override { return std::nullopt; }
  WindowResult Close(WindowId) override { return WindowResult::kNoWindow; }
  WindowResult Quit(WindowId) override { return WindowResult::kNoWindow; }
};

}  // namespace quillomat::platform
