#include "platform/x11/x11_hook_rules.h"

#include <X11/keysym.h>

#include <algorithm>

#include "platform/cp1252.h"

namespace quillomat::x11 {

std::vector<unsigned> LockVariants(unsigned lock_mask, unsigned num_lock_mask,
                                   unsigned scroll_lock_mask) {
  std::vector<unsigned> variants = {0};
  for (const unsigned mask : {lock_mask, num_lock_mask, scroll_lock_mask}) {
    if (mask == 0) continue;
    const size_t n = variants.size();
    for (size_t i = 0; i < n; ++i) {
      const unsigned combined = variants[i] | mask;
      if (std::find(variants.begin(), variants.end(), combined) == variants.end()) {
        variants.push_back(combined);
      }
    }
  }
  return variants;
}

unsigned CatalogueModifiers(const ModifierMasks& masks, bool ctrl, bool alt, bool shift, bool win) {
  return (ctrl ? masks.ctrl : 0) | (alt ? masks.alt : 0) | (shift ? masks.shift : 0) |
         (win ? masks.win : 0);
}

int MouseHotKeyIndex(int button, unsigned state, const ModifierMasks& masks) {
  if (button < 1 || button > 3) return -1;
  if (state & masks.win) return -1;
  const bool shift = state & masks.shift, ctrl = state & masks.ctrl, alt = state & masks.alt;
  // Each button has seven entries: alone, Shift, Ctrl, Alt, Ctrl+Shift, Ctrl+Alt, Shift+Alt.
  int offset;
  if (!shift && !ctrl && !alt) {
    offset = 0;
  } else if (shift && !ctrl && !alt) {
    offset = 1;
  } else if (!shift && ctrl && !alt) {
    offset = 2;
  } else if (!shift && !ctrl && alt) {
    offset = 3;
  } else if (shift && ctrl && !alt) {
    offset = 4;
  } else if (!shift && ctrl && alt) {
    offset = 5;
  } else if (shift && !ctrl && alt) {
    offset = 6;
  } else {
    return -1;  // Ctrl+Alt+Shift has no mouse entry
  }
  return 699 + 7 * (button - 1) + offset;
}

TypedKey ClassifyTypedKey(unsigned long keysym, bool ctrl_alt_or_win_held) {
  // No symbol, the modifier and lock keys (Shift_L..Hyper_R, the ISO level and group keys),
  // and the dead keys, which type only with the next key.
  if (keysym == 0 || (keysym >= XK_Shift_L && keysym <= XK_Hyper_R) ||
      (keysym >= XK_ISO_Lock && keysym <= XK_ISO_Level5_Lock) || keysym == XK_Mode_switch ||
      keysym == XK_Num_Lock || keysym == XK_Scroll_Lock ||
      (keysym >= XK_dead_grave && keysym <= XK_dead_greek)) {
    return {};
  }
  if (ctrl_alt_or_win_held) return {TypedKey::kReset, 0};
  auto character = [](int c) { return TypedKey{TypedKey::kCharacter, static_cast<uint8_t>(c)}; };
  switch (keysym) {
    case XK_Return:
    case XK_KP_Enter:
      return character(13);
    case XK_Tab:
    case XK_ISO_Left_Tab:
      return character(9);
    case XK_BackSpace:
      return character(8);
    case XK_Escape:
      return character(27);
    case XK_KP_Space:
      return character(' ');
    case XK_KP_Multiply:
      return character('*');
    case XK_KP_Add:
      return character('+');
    case XK_KP_Subtract:
      return character('-');
    case XK_KP_Divide:
      return character('/');
    case XK_KP_Decimal:
      return character('.');
    case XK_KP_Equal:
      return character('=');
    default:
      break;
  }
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return character('0' + (keysym - XK_KP_0));
  char32_t code_point = 0;
  if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff)) {
    code_point = static_cast<char32_t>(keysym);  // Latin-1 keysyms are their code points
  } else if (keysym == XK_EuroSign) {
    code_point = 0x20ac;
  } else if (keysym >= 0x1000100 && keysym <= 0x110ffff) {
    code_point = static_cast<char32_t>(keysym - 0x1000000);
  }
  if (code_point != 0) {
    const int byte = platform::UnicodeToCp1252(code_point);
    if (byte >= 0x20) return character(byte);
  }
  return {TypedKey::kReset, 0};
}

}  // namespace quillomat::x11
