#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/sim/sim_event_log.h"

namespace quillomat::sim {

// A US keyboard and a mouse that record what was injected.
class SimInput : public platform::Input {
 public:
  struct Event {
    enum Kind { kKey, kMouse } kind;
    uint8_t vk = 0;
    bool up = false;
    uint32_t flags = 0;
    int32_t x = 0, y = 0, data = 0;
  };

  void KeyEvent(uint8_t vk, bool up) override;
  int16_t VkKeyScan(char ch) override;
  void MouseEvent(uint32_t flags, int32_t x, int32_t y, int32_t data) override;
  platform::ScreenSize Screen() override { return screen_; }
  bool CapsLockOn() override { return caps_lock_; }

  // Reports each event as "key 0xVK down|up" or "mouse 0xFLAGS X Y DATA".
  void SetLog(SimEventLog* log) { log_ = log; }
  void SetScreen(platform::ScreenSize size) { screen_ = size; }
  void SetCapsLock(bool on) { caps_lock_ = on; }
  const std::vector<Event>& events() const { return events_; }
  void Clear() { events_.clear(); }
  // Keys pressed and not released, in the order pressed.
  std::vector<uint8_t> HeldKeys() const;

 private:
  std::vector<Event> events_;
  platform::ScreenSize screen_;
  bool caps_lock_ = false;
  SimEventLog* log_ = nullptr;
};

}  // namespace quillomat::sim
