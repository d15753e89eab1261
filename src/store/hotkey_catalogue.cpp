#include "store/hotkey_catalogue.h"

#include <array>
#include <string_view>
#include <vector>

namespace quillomat::store {
namespace {

constexpr size_t kMaxNameLength = 24;

struct Entry {
  std::string name;
  DecipheredKey key;
};

// A set of held modifiers and the prefix that names it. The prefix order is part of the
// name ("Ctrl+Alt+Shift+", but "Shift+Alt+" for the mouse buttons and "Win+Ctrl+" for the
// Windows key).
struct Mods {
  std::string_view prefix;
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
  bool win = false;
};

constexpr Mods kNone{""};
constexpr Mods kCtrl{"Ctrl+", true};
constexpr Mods kAlt{"Alt+", false, true};
constexpr Mods kShift{"Shift+", false, false, true};
constexpr Mods kCtrlShift{"Ctrl+Shift+", true, false, true};
constexpr Mods kAltShift{"Alt+Shift+", false, true, true};
constexpr Mods kCtrlAlt{"Ctrl+Alt+", true, true};
constexpr Mods kCtrlAltShift{"Ctrl+Alt+Shift+", true, true, true};
constexpr Mods kShiftAlt{"Shift+Alt+", false, true, true};
constexpr Mods kWin{"Win+", false, false, false, true};
constexpr Mods kWinCtrl{"Win+Ctrl+", true, false, false, true};
constexpr Mods kWinAlt{"Win+Alt+", false, true, false, true};

// The seven modifier sets most keys come with, in catalogue order.
constexpr std::array<Mods, 7> kSevenSets = {kCtrl,     kAlt,     kShift,       kCtrlShift,
                                            kAltShift, kCtrlAlt, kCtrlAltShift};

struct Key {
  std::string name;
  uint8_t vk = 0;
  uint8_t button = 0;
  // Keypad keys are spelled "KeyPad" alone and with Shift alone, "Keypad" otherwise.
  bool keypad = false;
};

Key Keypad(std::string_view suffix, uint8_t vk) { return {std::string(suffix), vk, 0, true}; }

std::vector<Key> FKeys() {
  std::vector<Key> keys;
  for (int f = 1; f <= 12; ++f)
    keys.push_back({"F" + std::to_string(f), static_cast<uint8_t>(111 + f)});
  return keys;
}

// A..Z, 0..9, F1..F12.
std::vector<Key> LettersDigitsFKeys() {
  std::vector<Key> keys;
  for (char c = 'A'; c <= 'Z'; ++c) keys.push_back({std::string(1, c), static_cast<uint8_t>(c)});
  for (char c = '0'; c <= '9'; ++c) keys.push_back({std::string(1, c), static_cast<uint8_t>(c)});
  for (const Key& f : FKeys()) keys.push_back(f);
  return keys;
}

class Builder {
 public:
  void Add(const Mods& mods, const Key& key) {
    std::string name(mods.prefix);
    if (key.keypad) {
      const bool plain = !mods.ctrl && !mods.alt && !mods.win;
      name += plain ? "KeyPad " : "Keypad ";
    }
    name += key.name;
    if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
    entries_.push_back({name, {key.vk, key.button, mods.win, mods.shift, mods.alt, mods.ctrl}});
  }
  // Every key with every set, key by key.
  template <typename KeyList, typename ModList>
  void KeysByKey(const KeyList& keys, const ModList& mods) {
    for (const Key& k : keys) {
      for (const Mods& m : mods) Add(m, k);
    }
  }
  // Every key with every set, set by set.
  template <typename ModList>
  void KeysBySet(const std::vector<Key>& keys, const ModList& mods) {
    for (const Mods& m : mods) {
      for (const Key& k : keys) Add(m, k);
    }
  }
  std::vector<Entry> Take() { return std::move(entries_); }

 private:
  std::vector<Entry> entries_;
};

std::vector<Entry> BuildCatalogue() {
  const std::vector<Key> ldf = LettersDigitsFKeys();
  const std::vector<Key> fkeys = FKeys();
  Builder b;
  // 0..287
  b.KeysBySet(ldf, std::array{kCtrl, kAlt, kCtrlShift, kCtrlAlt, kAltShift, kCtrlAltShift});
  // 288..311
  b.KeysBySet(fkeys, std::array{kNone, kShift});
  // 312..363
  b.KeysByKey(std::array{Key{"Enter", 13}}, kSevenSets);
  b.KeysByKey(std::array{Key{"Tab", 9}},
              std::array{kCtrl, kShift, kCtrlShift, kCtrlAlt, kCtrlAltShift});
  b.KeysByKey(std::array{Key{"Backspace", 8}, Key{"Space", 32}, Key{"Insert", 45}}, kSevenSets);
  b.KeysByKey(std::array{Key{"Delete", 46}},
              std::array{kCtrl, kAlt, kShift, kCtrlShift, kAltShift});
  b.KeysByKey(std::array{Key{"Home", 36}, Key{"End", 35}}, kSevenSets);
  // 364..429
  b.KeysByKey(std::array{Key{".", 190}, Key{",", 188}, Key{"/", 191}, Key{";", 186}, Key{"'", 222},
                         Key{"\\", 220}, Key{"[", 219}, Key{"]", 221}, Key{"-", 189}, Key{"=", 187},
                         Key{"`", 192}},
              std::array{kCtrl, kAlt, kCtrlShift, kAltShift, kCtrlAlt, kCtrlAltShift});
  // 430..461
  b.KeysByKey(
      std::array{Keypad("/", 111), Keypad("*", 106), Keypad("-", 109), Keypad("+", 107)},
      std::array{kNone, kCtrl, kAlt, kShift, kCtrlShift, kAltShift, kCtrlAlt, kCtrlAltShift});
  const std::array<Key, 6> moves = {Key{"Page Up", 33},    Key{"Page Down", 34},
                                    Key{"Left Arrow", 37}, Key{"Right Arrow", 39},
                                    Key{"Up Arrow", 38},   Key{"Down Arrow", 40}};
  // 462..513
  b.KeysByKey(std::array{Key{"Insert", 45}, Key{"Delete", 46}, Key{"Home", 36}, Key{"End", 35}},
              std::array{kNone});
  b.KeysByKey(moves, std::array{kNone});
  b.KeysByKey(moves, kSevenSets);
  // 514..553
  std::vector<Key> keypad_digits;
  for (int d = 0; d <= 9; ++d) {
    keypad_digits.push_back(
        Keypad(std::string(1, static_cast<char>('0' + d)), static_cast<uint8_t>(96 + d)));
  }
  b.KeysByKey(keypad_digits, std::array{kNone, kCtrl, kAlt, kCtrlAlt});
  // 554..697
  b.KeysBySet(ldf, std::array{kWin, kWinCtrl, kWinAlt});
  // 698..719
  b.Add(kNone, {"ESC", 27});
  b.KeysByKey(std::array{Key{"LMouse", 0, 1}, Key{"RMouse", 0, 2}, Key{"MMouse", 0, 3}},
              std::array{kNone, kShift, kCtrl, kAlt, kCtrlShift, kCtrlAlt, kShiftAlt});
  return b.Take();
}

const std::vector<Entry>& Catalogue() {
  static const std::vector<Entry> catalogue = BuildCatalogue();
  return catalogue;
}

// Alt+F6, Ctrl+Alt+F6, Alt+Shift+F6, Win+F1, Win+D, Win+E, Win+F, Win+M, Win+R, Win+Ctrl+F:
// combinations the desktop may keep for itself.
constexpr std::array<int, 10> kClashes = {89, 185, 233, 590, 557, 558, 559, 566, 571, 607};

constexpr uint8_t kVkShift = 16;
constexpr uint8_t kVkControl = 17;
constexpr uint8_t kVkMenu = 18;
constexpr uint8_t kVkRightWin = 92;
constexpr int kMouseSettleMs = 50;

bool InRange(int index) { return index >= 0 && static_cast<size_t>(index) < Catalogue().size(); }

}  // namespace

std::string HotKeyName(int index) { return InRange(index) ? Catalogue()[index].name : ""; }

DecipheredKey DecipherKey(int index) {
  return InRange(index) ? Catalogue()[index].key : DecipheredKey{};
}

int HotKeyIndex(const std::string& name) {
  const auto& catalogue = Catalogue();
  for (int i = 0; i < static_cast<int>(catalogue.size()); ++i) {
    if (catalogue[i].name == name) return i;
  }
  return -1;
}

bool CheckBad(int index, platform::MessageBoxes& boxes) {
  bool clash = false;
  for (int c : kClashes) clash = clash || c == index;
  if (!clash) return true;
  const std::string name = HotKeyName(index);
  const std::string text = name + " may be used internally by Windows 95, 98 or NT. " +
                           " This may cause the hot key not to function correctly." +
                           " Would you still like to use " + name + "?";
  return boxes.Show("Warning", text, platform::MessageButtons::kYesNo) !=
         platform::MessageResult::kNo;
}

void RegenerateHotKey(int index, platform::Input& input, platform::EventLoop& loop) {
  if (!InRange(index)) return;
  const DecipheredKey k = DecipherKey(index);
  if (k.win) input.KeyEvent(kVkRightWin, false);
  if (k.alt) input.KeyEvent(kVkMenu, false);
  if (k.ctrl) input.KeyEvent(kVkControl, false);
  if (k.shift) input.KeyEvent(kVkShift, false);
  if (k.mouse_button != 0) {
    // Give the modifiers time to register before the click; not scaled by playback speed.
    const uint32_t start = loop.TickCount();
    for (uint32_t waited = 0; waited < kMouseSettleMs; waited = loop.TickCount() - start) {
      loop.PumpOnce(static_cast<int>(kMouseSettleMs - waited));
    }
    static constexpr uint32_t kDown[] = {0, platform::kMouseLeftDown, platform::kMouseRightDown,
                                         platform::kMouseMiddleDown};
    static constexpr uint32_t kUp[] = {0, platform::kMouseLeftUp, platform::kMouseRightUp,
                                       platform::kMouseMiddleUp};
    input.MouseEvent(kDown[k.mouse_button], 0, 0, 0);
    input.MouseEvent(kUp[k.mouse_button], 0, 0, 0);
  } else {
    input.KeyEvent(k.key_code, false);
    input.KeyEvent(k.key_code, true);
  }
  if (k.shift) input.KeyEvent(kVkShift, true);
  if (k.ctrl) input.KeyEvent(kVkControl, true);
  if (k.alt) input.KeyEvent(kVkMenu, true);
  if (k.win) input.KeyEvent(kVkRightWin, true);
}

}  // namespace quillomat::store
