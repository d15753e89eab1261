#pragma once

#include <cstdint>
#include <vector>

namespace quillomat::x11 {

// The pure decisions of the desktop monitor, kept apart from Xlib so they are tested without
// a display.

// Every combination of the lock modifiers (Caps Lock, NumLock, ScrollLock) that a passive
// grab must also cover, so a hot key still fires with any of them on. A mask of 0 (a lock
// the keymap lacks) adds nothing; equal masks are not doubled. The first entry is 0.
std::vector<unsigned> LockVariants(unsigned lock_mask, unsigned num_lock_mask,
                                   unsigned scroll_lock_mask);

// The modifier masks of the current keymap for the four catalogue modifiers.
struct ModifierMasks {
  unsigned shift = 0;
  unsigned ctrl = 0;
  unsigned alt = 0;
  unsigned win = 0;

  unsigned All() const { return shift | ctrl | alt | win; }
};

// The X modifier state that a catalogue entry's modifiers make.
unsigned CatalogueModifiers(const ModifierMasks& masks, bool ctrl, bool alt, bool shift, bool win);

// The catalogue index of a mouse hot key: button 1 left, 2 right, 3 middle with the modifier
// state (lock modifiers ignored), or -1 when the catalogue has no such entry.
int MouseHotKeyIndex(int button, unsigned state, const ModifierMasks& masks);

// What a typed keysym means to the Trigword engine.
struct TypedKey {
  enum Kind { kIgnore, kCharacter, kReset } kind = kIgnore;
  uint8_t character = 0;  // cp1252, for kCharacter
};

// A key press with its keysym at the current modifier state: the modifier and lock keys
// themselves are ignored; a printable character, Enter, Tab, Backspace and Escape are typed
// characters (cp1252); anything else (arrows, function keys, a character the code page lacks,
// or any key with Ctrl, Alt or Win held) resets the typing.
TypedKey ClassifyTypedKey(unsigned long keysym, bool ctrl_alt_or_win_held);

}  // namespace quillomat::x11
