#pragma once

// Conversions between X keysyms, Unicode and the two code pages that Alt+keypad typing uses.
// No X headers here: keysyms are plain 32-bit numbers.

#include <cstdint>
#include <string_view>

namespace quillomat::x11 {

// The character a keysym types, or 0 when it types none (function keys, dead keys, keypad).
char32_t KeysymToUnicode(uint32_t keysym);
// The keysym that types a character: the classic keysym where one exists, otherwise the
// Unicode keysym (0x01000000 + code point).
uint32_t UnicodeToKeysym(char32_t code_point);
// The character of an Alt+keypad code typed as these digits: a leading 0 selects code page
// 1252, otherwise code page 437; codes above 255 wrap as they do on the keypad. 0 when the
// code types nothing.
char32_t AltKeypadCharacter(std::string_view digits);

}  // namespace quillomat::x11
