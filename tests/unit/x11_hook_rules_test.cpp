// The pure tables and rules of the X11 desktop monitor.
#include "platform/x11/x11_hook_rules.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/x11/x11_virtual_keys.h"
#include "store/hotkey_catalogue.h"

namespace quillomat::x11 {
namespace {

// The core modifier masks (X.h, whose None clashes with GoogleTest's).
constexpr unsigned ShiftMask = 1 << 0, LockMask = 1 << 1, ControlMask = 1 << 2, Mod1Mask = 1 << 3,
                   Mod2Mask = 1 << 4, Mod4Mask = 1 << 6, Mod5Mask = 1 << 7;

TEST(X11VirtualKeys, EveryCatalogueKeyHasAKeysymThatMapsBack) {
  for (int index = 0; index < store::kCatalogueSize; ++index) {
    const uint8_t vk = store::DecipherKey(index).key_code;
    if (vk == 0) continue;
    const unsigned long keysym = VirtualKeyToKeysym(vk);
    ASSERT_NE(keysym, 0u) << store::HotKeyName(index);
    EXPECT_EQ(KeysymToVirtualKey(keysym), vk) << store::HotKeyName(index);
  }
}

TEST(X11VirtualKeys, Pairs) {
  struct Case {
    uint8_t vk;
    unsigned long keysym;
  };
  for (const Case& c : std::initializer_list<Case>{{'A', XK_a},           {'Z', XK_z},
                                                   {'0', XK_0},           {'9', XK_9},
                                                   {112, XK_F1},          {123, XK_F12},
                                                   {13, XK_Return},       {9, XK_Tab},
                                                   {8, XK_BackSpace},     {32, XK_space},
                                                   {45, XK_Insert},       {46, XK_Delete},
                                                   {36, XK_Home},         {35, XK_End},
                                                   {33, XK_Prior},        {34, XK_Next},
                                                   {37, XK_Left},         {38, XK_Up},
                                                   {39, XK_Right},        {40, XK_Down},
                                                   {190, XK_period},      {188, XK_comma},
                                                   {191, XK_slash},       {186, XK_semicolon},
                                                   {222, XK_apostrophe},  {220, XK_backslash},
                                                   {219, XK_bracketleft}, {221, XK_bracketright},
                                                   {189, XK_minus},       {187, XK_equal},
                                                   {192, XK_grave},       {111, XK_KP_Divide},
                                                   {106, XK_KP_Multiply}, {109, XK_KP_Subtract},
                                                   {107, XK_KP_Add},      {96, XK_KP_0},
                                                   {105, XK_KP_9},        {27, XK_Escape},
                                                   {43, XK_Execute},      {0x13, XK_Pause}}) {
    EXPECT_EQ(VirtualKeyToKeysym(c.vk), c.keysym) << int(c.vk);
    EXPECT_EQ(KeysymToVirtualKey(c.keysym), c.vk) << int(c.vk);
  }
}

TEST(X11VirtualKeys, OtherKeysymsOfTheSameKeys) {
  EXPECT_EQ(KeysymToVirtualKey(XK_A), 'A');
  EXPECT_EQ(KeysymToVirtualKey(XK_exclam), '1');
  EXPECT_EQ(KeysymToVirtualKey(XK_parenright), '0');
  EXPECT_EQ(KeysymToVirtualKey(XK_braceleft), 219);
  EXPECT_EQ(KeysymToVirtualKey(XK_asciitilde), 192);
  EXPECT_EQ(KeysymToVirtualKey(XK_KP_Home), 36);
  EXPECT_EQ(KeysymToVirtualKey(XK_KP_Enter), 13);
  EXPECT_EQ(KeysymToVirtualKey(XK_Control_R), 17);
  // Keys outside the table map to nothing.
  EXPECT_EQ(KeysymToVirtualKey(XK_F13), 0);
  EXPECT_EQ(KeysymToVirtualKey(0), 0);
  EXPECT_EQ(VirtualKeyToKeysym(0), 0u);
  EXPECT_EQ(VirtualKeyToKeysym(255), 0u);
}

TEST(X11LockVariants, EveryCombinationOnce) {
  const std::vector<unsigned> all = LockVariants(LockMask, Mod2Mask, Mod5Mask);
  ASSERT_EQ(all.size(), 8u);
  EXPECT_EQ(all.front(), 0u);
  std::set<unsigned> expected;
  for (unsigned caps : {0u, unsigned(LockMask)})
    for (unsigned num : {0u, unsigned(Mod2Mask)})
      for (unsigned scroll : {0u, unsigned(Mod5Mask)}) expected.insert(caps | num | scroll);
  EXPECT_EQ(std::set<unsigned>(all.begin(), all.end()), expected);

  // A keymap without ScrollLock, and one that puts NumLock and ScrollLock on one modifier.
  EXPECT_EQ(LockVariants(LockMask, Mod2Mask, 0).size(), 4u);
  const std::vector<unsigned> shared = LockVariants(LockMask, Mod2Mask, Mod2Mask);
  EXPECT_EQ(std::set<unsigned>(shared.begin(), shared.end()),
            (std::set<unsigned>{0, LockMask, Mod2Mask, LockMask | Mod2Mask}));
}

TEST(X11MouseHotKeys, IndexMatchesTheCatalogueEntry) {
  const ModifierMasks masks{ShiftMask, ControlMask, Mod1Mask, Mod4Mask};
  int found = 0;
  for (int button = 1; button <= 3; ++button) {
    for (unsigned state = 0; state < 8; ++state) {
      const unsigned x_state = ((state & 1) ? ShiftMask : 0) | ((state & 2) ? ControlMask : 0) |
                               ((state & 4) ? Mod1Mask : 0);
      const int index = MouseHotKeyIndex(button, x_state | LockMask | Mod2Mask, masks);
      if (state == 7) {
        EXPECT_EQ(index, -1) << "Ctrl+Alt+Shift has no mouse entry";
        continue;
      }
      ASSERT_GE(index, 699);
      ASSERT_LE(index, 719);
      const store::DecipheredKey key = store::DecipherKey(index);
      EXPECT_EQ(key.mouse_button, button) << index;
      EXPECT_EQ(key.shift, (state & 1) != 0) << index;
      EXPECT_EQ(key.ctrl, (state & 2) != 0) << index;
      EXPECT_EQ(key.alt, (state & 4) != 0) << index;
      ++found;
    }
  }
  EXPECT_EQ(found, 21);
  EXPECT_EQ(MouseHotKeyIndex(1, Mod4Mask, masks), -1);
  EXPECT_EQ(MouseHotKeyIndex(4, 0, masks), -1);
  EXPECT_EQ(MouseHotKeyIndex(0, 0, masks), -1);
}

TEST(X11TypedKeys, Classification) {
  struct Case {
    unsigned long keysym;
    bool held;
    TypedKey::Kind kind;
    int character;
  };
  for (const Case& c : std::initializer_list<Case>{
           {XK_a, false, TypedKey::kCharacter, 'a'},
           {XK_Q, false, TypedKey::kCharacter, 'Q'},
           {XK_semicolon, false, TypedKey::kCharacter, ';'},
           {XK_space, false, TypedKey::kCharacter, ' '},
           {XK_Return, false, TypedKey::kCharacter, 13},
           {XK_KP_Enter, false, TypedKey::kCharacter, 13},
           {XK_BackSpace, false, TypedKey::kCharacter, 8},
           {XK_Tab, false, TypedKey::kCharacter, 9},
           {XK_KP_7, false, TypedKey::kCharacter, '7'},
           {XK_KP_Add, false, TypedKey::kCharacter, '+'},
           {XK_eacute, false, TypedKey::kCharacter, 0xe9},
           {XK_EuroSign, false, TypedKey::kCharacter, 0x80},
           {0x1000153, false, TypedKey::kCharacter, 0x9c},  // U+0153 oe
           {0x1000416, false, TypedKey::kReset, 0},         // Cyrillic: not in cp1252
           {XK_Left, false, TypedKey::kReset, 0},
           {XK_F5, false, TypedKey::kReset, 0},
           {XK_KP_Home, false, TypedKey::kReset, 0},
           {XK_a, true, TypedKey::kReset, 0},
           {XK_Shift_L, false, TypedKey::kIgnore, 0},
           {XK_Control_R, true, TypedKey::kIgnore, 0},
           {XK_Caps_Lock, false, TypedKey::kIgnore, 0},
           {XK_Num_Lock, false, TypedKey::kIgnore, 0},
           {XK_ISO_Level3_Shift, false, TypedKey::kIgnore, 0},
           {XK_dead_acute, false, TypedKey::kIgnore, 0},
           {0, false, TypedKey::kIgnore, 0}}) {
    const TypedKey typed = ClassifyTypedKey(c.keysym, c.held);
    EXPECT_EQ(typed.kind, c.kind) << std::hex << c.keysym;
    EXPECT_EQ(typed.character, c.character) << std::hex << c.keysym;
  }
}

}  // namespace
}  // namespace quillomat::x11
