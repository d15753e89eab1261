#include "platform/x11/x11_virtual_keys.h"

#include <X11/keysym.h>

#include <array>
#include <utility>

namespace quillomat::x11 {
namespace {

// The keys whose virtual key and keysym are not simply related (letters and digits are).
constexpr std::array<std::pair<uint8_t, unsigned long>, 60> kKeys = {{
    {8, XK_BackSpace},     {9, XK_Tab},         {13, XK_Return},
    {0x13, XK_Pause},      {27, XK_Escape},     {32, XK_space},
    {33, XK_Prior},        {34, XK_Next},       {35, XK_End},
    {36, XK_Home},         {37, XK_Left},       {38, XK_Up},
    {39, XK_Right},        {40, XK_Down},       {43, XK_Execute},
    {45, XK_Insert},       {46, XK_Delete},     {96, XK_KP_0},
    {97, XK_KP_1},         {98, XK_KP_2},       {99, XK_KP_3},
    {100, XK_KP_4},        {101, XK_KP_5},      {102, XK_KP_6},
    {103, XK_KP_7},        {104, XK_KP_8},      {105, XK_KP_9},
    {106, XK_KP_Multiply}, {107, XK_KP_Add},    {109, XK_KP_Subtract},
    {110, XK_KP_Decimal},  {111, XK_KP_Divide}, {112, XK_F1},
    {113, XK_F2},          {114, XK_F3},        {115, XK_F4},
    {116, XK_F5},          {117, XK_F6},        {118, XK_F7},
    {119, XK_F8},          {120, XK_F9},        {121, XK_F10},
    {122, XK_F11},         {123, XK_F12},       {186, XK_semicolon},
    {187, XK_equal},       {188, XK_comma},     {189, XK_minus},
    {190, XK_period},      {191, XK_slash},     {192, XK_grave},
    {219, XK_bracketleft}, {220, XK_backslash}, {221, XK_bracketright},
    {222, XK_apostrophe},  {16, XK_Shift_L},    {17, XK_Control_L},
    {18, XK_Alt_L},        {91, XK_Super_L},    {92, XK_Super_R},
}};

// Keysyms that reach the same virtual key as a key of the table: the shifted punctuation of a
// US layout and the keypad with NumLock off.
constexpr std::array<std::pair<unsigned long, uint8_t>, 33> kAliases = {{
    {XK_colon, 186},      {XK_plus, 187},       {XK_less, 188},       {XK_underscore, 189},
    {XK_greater, 190},    {XK_question, 191},   {XK_asciitilde, 192}, {XK_braceleft, 219},
    {XK_bar, 220},        {XK_braceright, 221}, {XK_quotedbl, 222},   {XK_exclam, 49},
    {XK_at, 50},          {XK_numbersign, 51},  {XK_dollar, 52},      {XK_percent, 53},
    {XK_asciicircum, 54}, {XK_ampersand, 55},   {XK_asterisk, 56},    {XK_parenleft, 57},
    {XK_parenright, 48},  {XK_KP_Enter, 13},    {XK_KP_Home, 36},     {XK_KP_End, 35},
    {XK_KP_Prior, 33},    {XK_KP_Next, 34},     {XK_KP_Left, 37},     {XK_KP_Right, 39},
    {XK_KP_Up, 38},       {XK_KP_Down, 40},     {XK_KP_Insert, 45},   {XK_KP_Delete, 46},
    {XK_Break, 0x13},
}};

}  // namespace

unsigned long VirtualKeyToKeysym(uint8_t virtual_key) {
  if (virtual_key >= 'A' && virtual_key <= 'Z') return XK_a + (virtual_key - 'A');
  if (virtual_key >= '0' && virtual_key <= '9') return XK_0 + (virtual_key - '0');
  for (const auto& [vk, keysym] : kKeys) {
    if (vk == virtual_key) return keysym;
  }
  return 0;  // NoSymbol
}

uint8_t KeysymToVirtualKey(unsigned long keysym) {
  if (keysym >= XK_a && keysym <= XK_z) return static_cast<uint8_t>('A' + (keysym - XK_a));
  if (keysym >= XK_A && keysym <= XK_Z) return static_cast<uint8_t>(keysym);
  if (keysym >= XK_0 && keysym <= XK_9) return static_cast<uint8_t>(keysym);
  for (const auto& [vk, sym] : kKeys) {
    if (sym == keysym) return vk;
  }
  for (const auto& [sym, vk] : kAliases) {
    if (sym == keysym) return vk;
  }
  if (keysym == XK_Shift_R) return 16;
  if (keysym == XK_Control_R) return 17;
  if (keysym == XK_Alt_R) return 18;
  return 0;
}

}  // namespace quillomat::x11
