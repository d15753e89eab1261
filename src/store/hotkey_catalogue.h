#pragma once

#include <cstdint>
#include <string>

#include "platform/event_loop.h"
#include "platform/input.h"
#include "platform/message_boxes.h"

namespace quillomat::store {

inline constexpr int kCatalogueSize = 720;

// What a catalogue entry presses.
struct DecipheredKey {
  uint8_t key_code = 0;      // Windows virtual-key code; 0 for a mouse entry
  uint8_t mouse_button = 0;  // 0 none, 1 left, 2 right, 3 middle
  bool win = false;
  bool shift = false;
  bool alt = false;
  bool ctrl = false;

  bool operator==(const DecipheredKey&) const = default;
};

// The display name of a hot key (at most 24 characters); empty outside 0..719.
std::string HotKeyName(int index);
DecipheredKey DecipherKey(int index);
// The catalogue index with this exact name, or -1.
int HotKeyIndex(const std::string& name);
// For the combinations the desktop may keep for itself, asks the user whether to use the hot
// key anyway. True when the hot key is accepted.
bool CheckBad(int index, platform::MessageBoxes& boxes);
// Presses and releases the hot key's combination through synthetic input.
void RegenerateHotKey(int index, platform::Input& input, platform::EventLoop& loop);

}  // namespace quillomat::store
