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
    enum Kind { kKey, kMouse, kCharacter } kind;
    uint8_t vk = 0;
    bool up = false;
    uint32_t flags = 0;
    int32_t x = 0, y = 0, data = 0;
    char ch = 0;  // kCharacter: the character typed through a spare key
  };

  void KeyEvent(uint8_t vk, bool up) override;
  int16_t VkKeyScan(char ch) override;
  void MouseEvent(uint32_t flags, int32_t x, int32_t y, int32_t data) override;
  platform::ScreenSize Screen() override { return screen_; }
  bool CapsLockOn() override { return caps_lock_; }
  bool TypeCharacter(char ch) override;
  void PrepareText(std::string_view text) override { prepared_.append(text); }
  void Flush() override { ++flushes_; }

  // Reports each event as "key 0xVK down|up" or "mouse 0xFLAGS X Y DATA".
  void SetLog(SimEventLog* log) { log_ = log; }
  void SetScreen(platform::ScreenSize size) { screen_ = size; }
  void SetCapsLock(bool on) { caps_lock_ = on; }
  const std::vector<Event>& events() const { return events_; }
  void Clear() { events_.clear(); }
  const std::string& prepared() const { return prepared_; }
  int flushes() const { return flushes_; }
  // Keys pressed and not released, in the order pressed.
  std::vector<uint8_t> HeldKeys() const;

 private:
  std::vector<Event> events_;
  platform::ScreenSize screen_;
  bool caps_lock_ = false;
  SimEventLog* log_ = nullptr;
  std::string prepared_;
  int flushes_ = 0;
};

}  // namespace quillomat::sim
