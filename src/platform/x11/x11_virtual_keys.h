#pragma once

#include <cstdint>

namespace quillomat::x11 {

// Windows virtual-key codes stay the currency of the core; these translate them to and from
// X keysyms for the keys the hot-key catalogue and the player use: letters, digits, F1-F12,
// the editing and arrow keys, the punctuation keys of a US layout, the keypad, Escape,
// Execute (the end-of-playback key) and Pause.
//
// The keysym of a virtual key, or 0 (NoSymbol) when it has none. Letters give the lower-case
// keysym, which is what the keymap binds at level 1.
unsigned long VirtualKeyToKeysym(uint8_t virtual_key);

// The virtual key of a keysym, or 0 when none. Both cases of a letter give its key; the
// shifted punctuation ("!" "<" "{" ...) gives the key that types it on a US layout; the
// keypad's navigation keysyms (KP_Home ...) give the navigation keys.
uint8_t KeysymToVirtualKey(unsigned long keysym);

}  // namespace quillomat::x11
