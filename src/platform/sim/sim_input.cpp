#include "platform/sim/sim_input.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quillomat::sim {

void SimInput::KeyEvent(uint8_t vk, bool up) {
  if (vk == 0x14 && !up) caps_lock_ = !caps_lock_;
  events_.push_back({Event::kKey, vk, up});
  if (log_) {
    char line[32];
    std::snprintf(line, sizeof line, "key 0x%02X %s", vk, up ? "up" : "down");
    log_->Add(line);
  }
}

void SimInput::MouseEvent(uint32_t flags, int32_t x, int32_t y, int32_t data) {
  events_.push_back({Event::kMouse, 0, false, flags, x, y, data});
  if (log_) {
    char line[80];
    std::snprintf(line, sizeof line, "mouse 0x%04X %d %d %d", static_cast<unsigned>(flags), x, y,
                  data);
    log_->Add(line);
  }
}

// What the US layout answers: letters and digits on their own keys, Shift for the upper
// row, the OEM keys for punctuation; no key for characters outside ASCII.
int16_t SimInput::VkKeyScan(char c) {
  const auto ch = static_cast<unsigned char>(c);
  constexpr int16_t kShift = 0x100;
  constexpr int16_t kCtrl = 0x200;
  if (ch >= 'a' && ch <= 'z') return static_cast<int16_t>(ch - 'a' + 'A');
  if (ch >= 'A' && ch <= 'Z') return static_cast<int16_t>(kShift | ch);
  if (ch >= '0' && ch <= '9') return static_cast<int16_t>(ch);
  static const char kShiftedDigits[] = ")!@#$%^&*(";
  if (const char* p = std::strchr(kShiftedDigits, ch); p && ch) {
    return static_cast<int16_t>(kShift | ('0' + (p - kShiftedDigits)));
  }
  struct Oem {
    char plain, shifted;
    uint8_t vk;
  };
  static constexpr Oem kOem[] = {{';', ':', 0xBA}, {'=', '+', 0xBB}, {',', '<', 0xBC},
                                 {'-', '_', 0xBD}, {'.', '>', 0xBE}, {'/', '?', 0xBF},
                                 {'`', '~', 0xC0}, {'[', '{', 0xDB}, {'\\', '|', 0xDC},
                                 {']', '}', 0xDD}, {'\'', '"', 0xDE}};
  for (const auto& k : kOem) {
    if (ch == static_cast<unsigned char>(k.plain)) return k.vk;
    if (ch == static_cast<unsigned char>(k.shifted)) return static_cast<int16_t>(kShift | k.vk);
  }
  // Control characters: the layout's Ctrl and Ctrl+Shift levels come first (so Esc is
  // Ctrl+[ and DEL is Ctrl+Backspace, as Windows answers for the US layout); the remaining
  // ones are Ctrl with their letter.
  switch (ch) {
    case ' ':
      return 0x20;
    case '\t':
      return 0x09;
    case '\r':
      return 0x0D;
    case '\n':
      return static_cast<int16_t>(kCtrl | 0x0D);
    case '\b':
      return 0x08;
    case 0x03:
      return 0x03;  // VK_CANCEL
    case 0x1B:
      return static_cast<int16_t>(kCtrl | 0xDB);
    case 0x1C:
      return static_cast<int16_t>(kCtrl | 0xDC);
    case 0x1D:
      return static_cast<int16_t>(kCtrl | 0xDD);
    case 0x00:
      return static_cast<int16_t>(kCtrl | kShift | '2');
    case 0x1E:
      return static_cast<int16_t>(kCtrl | kShift | '6');
    case 0x1F:
      return static_cast<int16_t>(kCtrl | kShift | 0xBD);
    case 0x7F:
      return static_cast<int16_t>(kCtrl | 0x08);
    default:
      break;
  }
  if (ch >= 1 && ch <= 26) return static_cast<int16_t>(kCtrl | ('A' + ch - 1));
  return -1;
}

bool SimInput::TypeCharacter(char ch) {
  Event e{Event::kCharacter};
  e.ch = ch;
  events_.push_back(e);
  return true;
}

std::vector<uint8_t> SimInput::HeldKeys() const {
  std::vector<uint8_t> held;
  for (const auto& e : events_) {
    if (e.kind != Event::kKey) continue;
    auto it = std::find(held.begin(), held.end(), e.vk);
    if (e.up) {
      if (it != held.end()) held.erase(it);
    } else if (it == held.end()) {
      held.push_back(e.vk);
    }
  }
  return held;
}

}  // namespace quillomat::sim
