#include "platform/x11/x11_input.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/cp1252.h"
#include "platform/x11/x11_errors.h"
#include "platform/x11/x11_keysyms.h"

namespace quillomat::x11 {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Clients read a changed keyboard map lazily: a freshly bound keycode is typed only after this
// long, and a bound keycode is given back only this long after its last use.
constexpr milliseconds kBindSettle{50};
// Spare keycodes are given back once no key has been injected for this long.
constexpr milliseconds kSpareIdle{200};
// A modifier pressed alone reaches the server this long after the last event.
constexpr milliseconds kLazyModifier{3};
// Alt held without a key after it is sent on its own after this long.
constexpr milliseconds kAltAlone{500};
// Caps Lock switched off for a spare key goes on again after this pause.
constexpr milliseconds kRelock{30};
// A pause this long between events starts a new burst: the modifier state is read again.
constexpr milliseconds kBurstGap{100};

// Modifier classes, as the caller's virtual keys and as the keys we hold down.
constexpr unsigned kShift = 1, kCtrl = 2, kAlt = 4, kWin = 8, kLevel3 = 16;
constexpr unsigned kClasses[] = {kShift, kCtrl, kAlt, kWin, kLevel3};

unsigned ModifierClass(uint8_t vk) {
  switch (vk) {
    case 0x10:
    case 0xA0:
    case 0xA1:
      return kShift;
    case 0x11:
    case 0xA2:
    case 0xA3:
      return kCtrl;
    case 0x12:
    case 0xA4:
    case 0xA5:
      return kAlt;
    case 0x5B:
    case 0x5C:
      return kWin;
    default:
      return 0;
  }
}

// Keys that are the same on every layout.
KeySym FixedKeysym(uint8_t vk) {
  if (vk >= 0x70 && vk <= 0x87) return XK_F1 + (vk - 0x70);
  if (vk >= 0x60 && vk <= 0x69) return XK_KP_0 + (vk - 0x60);
  switch (vk) {
    case 0x03:
      return XK_Cancel;
    case 0x08:
      return XK_BackSpace;
    case 0x09:
      return XK_Tab;
    case 0x0C:
      return XK_KP_Begin;
    case 0x0D:
      return XK_Return;
    case 0x13:
      return XK_Pause;
    case 0x14:
      return XK_Caps_Lock;
    case 0x1B:
      return XK_Escape;
    case 0x20:
      return XK_space;
    case 0x21:
      return XK_Prior;
    case 0x22:
      return XK_Next;
    case 0x23:
      return XK_End;
    case 0x24:
      return XK_Home;
    case 0x25:
      return XK_Left;
    case 0x26:
      return XK_Up;
    case 0x27:
      return XK_Right;
    case 0x28:
      return XK_Down;
    case 0x29:
      return XK_Select;
    case 0x2A:
      return XK_Print;
    case 0x2B:
      return XK_Execute;
    case 0x2C:
      return XK_Print;
    case 0x2D:
      return XK_Insert;
    case 0x2E:
      return XK_Delete;
    case 0x2F:
      return XK_Help;
    case 0x5D:
      return XK_Menu;
    case 0x6A:
      return XK_KP_Multiply;
    case 0x6B:
      return XK_KP_Add;
    case 0x6C:
      return XK_KP_Separator;
    case 0x6D:
      return XK_KP_Subtract;
    case 0x6E:
      return XK_KP_Decimal;
    case 0x6F:
      return XK_KP_Divide;
    case 0x90:
      return XK_Num_Lock;
    case 0x91:
      return XK_Scroll_Lock;
    default:
      return NoSymbol;
  }
}

bool IsKeypadKeysym(KeySym ks) { return (ks >= XK_KP_0 && ks <= XK_KP_9) || ks == XK_KP_Decimal; }

// Virtual keys that name the punctuation keys by their place on the keyboard.
struct PlacedKey {
  const char* name;
  uint8_t vk;
};
constexpr PlacedKey kPlacedKeys[] = {
    {"TLDE", 0xC0}, {"AE11", 0xBD}, {"AE12", 0xBB}, {"AD11", 0xDB}, {"AD12", 0xDD}, {"BKSL", 0xDC},
    {"AC10", 0xBA}, {"AC11", 0xDE}, {"AB08", 0xBC}, {"AB09", 0xBE}, {"AB10", 0xBF}, {"LSGT", 0xE2},
};
// Further virtual keys for character keys that have no place of their own.
constexpr uint8_t kSpareVks[] = {0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD,
                                 0xDE, 0xDF, 0xE1, 0xE2, 0xE3, 0xE4, 0xE6, 0xE9, 0xEA, 0xEB,
                                 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5,
                                 0x92, 0x93, 0x94, 0x95, 0x96, 0xC1, 0xC2};

}  // namespace

struct X11Input::Impl {
  Display* dpy = nullptr;
  int xkb_event = 0;
  std::mutex mu;
  std::thread housekeeper;
  int wake[2] = {-1, -1};
  bool stop = false;

  // The keyboard map in force.
  XkbDescPtr xkb = nullptr;
  bool dirty = true;
  int group = 0;
  unsigned level3_mask = 0, numlock_mask = 0;
  std::array<KeyCode, 5> modifier_keycodes{};  // by class bit index
  struct CharKey {
    KeyCode kc = 0;
    unsigned mods = 0;  // ShiftMask and/or level3_mask
  };
  std::unordered_map<char32_t, CharKey> chars;
  std::array<uint8_t, 256> vk_of_kc{};
  std::array<KeyCode, 256> kc_of_vk{};
  std::array<bool, 256> has_level3{};
  std::unordered_map<KeySym, KeyCode> kc_of_keysym;

  // Keycodes without symbols, lent to characters for the moment.
  struct Spare {
    KeyCode kc = 0;
    KeySym ks = NoSymbol;     // what it types without Shift
    KeySym upper = NoSymbol;  // and with Shift
    Clock::time_point bound_at, last_use;
  };
  std::vector<Spare> spares;
  struct Binding {
    KeySym lower, upper;
    bool operator==(const Binding&) const = default;
  };
  std::vector<Binding> wanted;  // announced characters still to bind, in order

  // Input state.
  unsigned locked = 0;              // locked modifiers (Caps Lock, Num Lock) as we believe them
  unsigned foreign = 0;             // modifiers held by someone else at the start of the burst
  std::set<uint8_t> logical;        // modifier keys the caller holds
  unsigned physical = 0;            // modifier classes we hold down
  unsigned tap = 0;                 // modifiers pressed with nothing after them yet
  std::map<uint8_t, KeyCode> down;  // other keys the caller holds, and where
  bool alt_pending = false;
  std::string alt_digits;
  Clock::time_point last_event;
  bool unflushed = false;
  bool relock = false;  // Caps Lock is off for the moment and goes on again at a pause
  int wheel_rest = 0;

  ~Impl() {
    if (xkb) XkbFreeKeyboard(xkb, 0, True);
  }

  // --- the keyboard map -----------------------------------------------------------------

  KeySym Translate(KeyCode kc, unsigned mods) const {
    unsigned rtrn = 0;
    KeySym ks = NoSymbol;
    if (!xkb || !XkbTranslateKeyCode(xkb, kc, XkbBuildCoreState(mods, group), &rtrn, &ks)) {
      return NoSymbol;
    }
    return ks;
  }

  bool IsSpare(KeyCode kc) const {
    return std::any_of(spares.begin(), spares.end(), [&](const Spare& s) { return s.kc == kc; });
  }

  void Rebuild() {
    dirty = false;
    if (xkb) XkbFreeKeyboard(xkb, 0, True);
    xkb = XkbGetMap(dpy, XkbAllClientInfoMask, XkbUseCoreKbd);
    if (!xkb) return;
    XkbGetNames(dpy, XkbKeyNamesMask, xkb);
    XkbStateRec st{};
    XkbGetState(dpy, XkbUseCoreKbd, &st);
    group = st.group;
    locked = st.locked_mods;

    // Keycodes by keysym, lowest level first, in the group in force.
    kc_of_keysym.clear();
    for (int level = 0; level < 4; ++level) {
      for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
        const int groups = XkbKeyNumGroups(xkb, kc);
        if (groups == 0) continue;
        const int g = group % groups;
        if (level >= XkbKeyGroupWidth(xkb, kc, g)) continue;
        const KeySym ks = XkbKeySymEntry(xkb, kc, level, g);
        if (ks != NoSymbol) kc_of_keysym.emplace(ks, static_cast<KeyCode>(kc));
      }
    }
    auto find = [&](std::initializer_list<KeySym> list) -> KeyCode {
      for (KeySym ks : list) {
        if (auto it = kc_of_keysym.find(ks); it != kc_of_keysym.end()) return it->second;
      }
      return 0;
    };
    modifier_keycodes = {find({XK_Shift_L, XK_Shift_R}), find({XK_Control_L, XK_Control_R}),
                         find({XK_Alt_L, XK_Meta_L, XK_Alt_R}), find({XK_Super_L, XK_Super_R}),
                         find({XK_ISO_Level3_Shift})};
    level3_mask = modifier_keycodes[4] ? xkb->map->modmap[modifier_keycodes[4]] : 0;
    const KeyCode numlock = find({XK_Num_Lock});
    numlock_mask = numlock ? xkb->map->modmap[numlock] : 0;

    // Spare keycodes: ours that still carry what we bound, and every keycode without symbols.
    std::vector<Spare> kept;
    for (const Spare& s : spares) {
      if (s.ks == NoSymbol) continue;
      if (XkbKeyNumGroups(xkb, s.kc) > 0 && XkbKeySymEntry(xkb, s.kc, 0, 0) == s.ks) {
        kept.push_back(s);
      }
    }
    spares = kept;
    for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
      if (XkbKeyNumSyms(xkb, kc) == 0 && !IsSpare(kc)) {
        Spare s;
        s.kc = static_cast<KeyCode>(kc);
        spares.push_back(s);
      }
    }

    // Characters: each at the lowest level that types it.
    chars.clear();
    has_level3.fill(false);
    const unsigned level_mods[] = {0, ShiftMask, level3_mask, ShiftMask | level3_mask};
    for (unsigned mods : level_mods) {
      if (mods & ~ShiftMask && level3_mask == 0) continue;
      for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
        if (IsSpare(kc)) continue;
        const KeySym ks = Translate(kc, mods);
        const char32_t u = KeysymToUnicode(ks);
        if (u == 0) continue;
        if ((mods & level3_mask) && ks != Translate(kc, mods & ~level3_mask)) {
          has_level3[kc] = true;
        }
        chars.emplace(u, CharKey{static_cast<KeyCode>(kc), mods});
      }
    }

    // Virtual keys of the character keys: letters and digits by what they type, punctuation
    // by its place, the rest from the spare range.
    vk_of_kc.fill(0);
    kc_of_vk.fill(0);
    auto assign = [&](uint8_t vk, KeyCode kc) {
      if (kc == 0 || vk_of_kc[kc] || kc_of_vk[vk]) return;
      vk_of_kc[kc] = vk;
      kc_of_vk[vk] = kc;
    };
    for (char32_t c = 'a'; c <= 'z'; ++c) {
      if (auto it = chars.find(c); it != chars.end() && it->second.mods == 0) {
        assign(static_cast<uint8_t>('A' + (c - 'a')), it->second.kc);
      }
    }
    for (char32_t c = '0'; c <= '9'; ++c) {
      if (auto it = chars.find(c); it != chars.end() && !(it->second.mods & level3_mask)) {
        assign(static_cast<uint8_t>(c), it->second.kc);
      }
    }
    if (auto it = chars.find(U' '); it != chars.end()) assign(0x20, it->second.kc);
    std::set<KeyCode> char_keys;
    for (const auto& [u, key] : chars) char_keys.insert(key.kc);
    if (xkb->names && xkb->names->keys) {
      for (KeyCode kc : char_keys) {
        const char* name = xkb->names->keys[kc].name;
        for (const auto& placed : kPlacedKeys) {
          if (std::strncmp(name, placed.name, XkbKeyNameLength) == 0) assign(placed.vk, kc);
        }
      }
    }
    size_t next = 0;
    for (KeyCode kc : char_keys) {
      while (!vk_of_kc[kc] && next < std::size(kSpareVks)) assign(kSpareVks[next++], kc);
    }
    // A character is reachable only through a key with a virtual key.
    for (auto it = chars.begin(); it != chars.end();) {
      it = vk_of_kc[it->second.kc] ? std::next(it) : chars.erase(it);
    }
  }

  // Reads the events of our connection; a changed layout marks the map for reading again.
  // Changes to the spare keycodes alone are our own.
  void ReadEvents(bool from_socket) {
    while (XEventsQueued(dpy, from_socket ? QueuedAfterReading : QueuedAlready) > 0) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      // A free keycode that another client binds (the desktop monitor puts its end-of-playback
      // key on one) is no longer ours to use: only keycodes that carry our binding count.
      auto outside_spares = [&](int first, int count) {
        for (int kc = first; kc < first + count; ++kc) {
          const bool ours = std::any_of(spares.begin(), spares.end(), [&](const Spare& s) {
            return s.kc == kc && s.ks != NoSymbol;
          });
          if (!ours) return true;
        }
        return false;
      };
      if (ev.type == xkb_event) {
        const auto* xe = reinterpret_cast<const XkbEvent*>(&ev);
        if (xe->any.xkb_type == XkbNewKeyboardNotify) {
          dirty = true;
        } else if (xe->any.xkb_type == XkbMapNotify) {
          const auto& m = xe->map;
          if ((m.changed & (XkbKeyTypesMask | XkbModifierMapMask)) &&
              (m.num_types > 0 || outside_spares(m.first_modmap_key, m.num_modmap_keys))) {
            dirty = true;
          }
          if (outside_spares(m.first_key_sym, m.num_key_syms)) dirty = true;
        } else if (xe->any.xkb_type == XkbStateNotify) {
          if (xe->state.group != group) dirty = true;
        }
      } else if (ev.type == MappingNotify) {
        XRefreshKeyboardMapping(&ev.xmapping);
        if (ev.xmapping.request != MappingKeyboard ||
            outside_spares(ev.xmapping.first_keycode, ev.xmapping.count)) {
          dirty = true;
        }
      }
    }
  }

  // Called before every event: reads the map again when it changed, and at the start of a
  // burst takes the modifier state afresh.
  void Touch() {
    const auto now = Clock::now();
    const bool burst = now - last_event > kBurstGap;
    ReadEvents(burst);
    if (dirty) Rebuild();
    if (burst) {
      XkbStateRec st{};
      XkbGetState(dpy, XkbUseCoreKbd, &st);
      locked = st.locked_mods;
      if (st.group != group) Rebuild();
      foreign = st.base_mods & ~PhysicalMask();
      if (foreign & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask | level3_mask)) {
        ReleaseForeignModifiers();
        XkbGetState(dpy, XkbUseCoreKbd, &st);
        foreign = st.base_mods & ~PhysicalMask();
      }
    }
  }

  // Keys that someone else holds (the hot key's modifiers, a tool's leftovers) would join our
  // text; let go of those that XTest holds.
  void ReleaseForeignModifiers() {
    char keys[32];
    XQueryKeymap(dpy, keys);
    std::set<KeyCode> ours;
    for (const auto& [vk, kc] : down) ours.insert(kc);
    for (size_t i = 0; i < modifier_keycodes.size(); ++i) {
      if (physical & kClasses[i]) ours.insert(modifier_keycodes[i]);
    }
    for (int kc = 8; kc < 256; ++kc) {
      if (!(keys[kc / 8] & (1 << (kc % 8))) || ours.count(kc)) continue;
      if (xkb && xkb->map->modmap[kc] & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask)) {
        XTestFakeKeyEvent(dpy, kc, False, CurrentTime);
      }
    }
  }

  // --- modifiers ------------------------------------------------------------------------

  unsigned LogicalMask() const {
    unsigned mask = 0;
    for (uint8_t vk : logical) mask |= ModifierClass(vk);
    if (alt_pending) mask &= ~kAlt;
    return mask;
  }

  unsigned PhysicalMask() const {
    unsigned mask = 0;
    if (physical & kShift) mask |= ShiftMask;
    if (physical & kCtrl) mask |= ControlMask;
    if (physical & kAlt) mask |= Mod1Mask;
    if (physical & kWin) mask |= Mod4Mask;
    if (physical & kLevel3) mask |= level3_mask;
    return mask;
  }

  void SetPhysical(unsigned want) {
    for (size_t i = 0; i < std::size(kClasses); ++i) {
      const unsigned c = kClasses[i];
      if (((want ^ physical) & c) == 0 || modifier_keycodes[i] == 0) continue;
      XTestFakeKeyEvent(dpy, modifier_keycodes[i], (want & c) != 0, CurrentTime);
      physical ^= c;
    }
    unflushed = true;
  }

  void EmitPendingAlt() {
    if (!alt_pending) return;
    alt_pending = false;
    const std::string digits = std::move(alt_digits);
    alt_digits.clear();
    SetPhysical(LogicalMask());
    for (char d : digits) {
      const uint8_t vk = static_cast<uint8_t>(0x60 + (d - '0'));
      PressKey(vk);
      ReleaseKey(vk);
    }
  }

  // The release of a modifier key; released under another name (Alt down, left Alt up) it
  // lets go of the same modifier.
  void ForgetModifier(uint8_t vk, unsigned cls) {
    if (logical.erase(vk)) return;
    for (auto it = logical.begin(); it != logical.end(); ++it) {
      if (ModifierClass(*it) == cls) {
        logical.erase(it);
        return;
      }
    }
  }

  void HandleModifier(uint8_t vk, unsigned cls, bool up) {
    if (cls == kAlt && !up && !(LogicalMask() & kAlt) && !alt_pending) {
      // Alt may be the start of an Alt+keypad character: hold it back.
      alt_pending = true;
      alt_digits.clear();
      logical.insert(vk);
      return;
    }
    if (cls == kAlt && up && alt_pending) {
      alt_pending = false;
      ForgetModifier(vk, cls);
      if (!alt_digits.empty()) {
        const char32_t u = AltKeypadCharacter(alt_digits);
        alt_digits.clear();
        if (u) TypeUnicode(u);
      } else {
        SetPhysical(physical | kAlt);
        SetPhysical(physical & ~kAlt);
      }
      return;
    }
    EmitPendingAlt();
    if (!up) {
      logical.insert(vk);
      tap |= cls;
      return;
    }
    ForgetModifier(vk, cls);
    if ((tap & cls) && !(physical & cls) && !(LogicalMask() & cls)) {
      SetPhysical(physical | cls);  // pressed and released with nothing in between
    }
    tap &= ~cls;
    SetPhysical(physical & LogicalMask());
  }

  // --- keys -----------------------------------------------------------------------------

  void PressKey(uint8_t vk) {
    tap = 0;
    if (down.count(vk)) ReleaseKey(vk);  // a repeated press: let the first go
    const unsigned logical_mask = LogicalMask();
    unsigned want = logical_mask;
    KeyCode kc = kc_of_vk[vk];
    if (kc) {
      // A character key: Shift picks the second level, Ctrl+Alt the third as AltGr does.
      bool shift = logical_mask & kShift;
      const bool altgr = (logical_mask & kCtrl) && (logical_mask & kAlt) && has_level3[kc];
      if (altgr) want = (want & ~(kCtrl | kAlt)) | kLevel3;
      if (altgr || !(logical_mask & (kCtrl | kAlt | kWin))) {
        // Typing text: Caps Lock and keys held by someone else must not change the character.
        const unsigned l3 = altgr ? level3_mask : 0;
        const KeySym intended = Translate(kc, (shift ? ShiftMask : 0) | l3);
        const unsigned base = (locked | foreign | l3) & ~ShiftMask;
        const unsigned held_shift = foreign & ShiftMask;
        if (Translate(kc, base | held_shift | (shift ? ShiftMask : 0)) != intended) {
          if (Translate(kc, base | held_shift | (shift ? 0 : ShiftMask)) == intended) {
            shift = !shift;
          } else if (const char32_t u = KeysymToUnicode(intended); u != 0) {
            // No state of ours types it here: go through a spare key that types it at every
            // level.
            const KeySym wanted_ks = UnicodeToKeysym(u);
            if (KeyCode spare = SpareFor(wanted_ks)) {
              SetPhysical(logical_mask & ~(kShift | kCtrl | kAlt | kLevel3));
              UnlockCapsFor(wanted_ks);
              XTestFakeKeyEvent(dpy, spare, True, CurrentTime);
              down[vk] = spare;
              return;
            }
          }
        }
        want = shift ? want | kShift : want & ~kShift;
      }
    } else {
      const KeySym ks = FixedKeysym(vk);
      if (ks == NoSymbol) return;
      auto it = kc_of_keysym.find(ks);
      kc = it != kc_of_keysym.end() ? it->second : SpareFor(ks);
      if (!kc) return;
      if (IsKeypadKeysym(ks) && it != kc_of_keysym.end()) {
        // Keypad digits whatever the Num Lock state: Shift reaches them when it is off.
        const unsigned base = locked & ~ShiftMask;
        const bool shift = want & kShift;
        if (Translate(kc, base | (shift ? ShiftMask : 0)) != ks &&
            Translate(kc, base | (shift ? 0 : ShiftMask)) == ks) {
          want ^= kShift;
        }
      }
      if (ks == XK_Caps_Lock) {
        Relock();
        locked ^= LockMask;
      }
      if (ks == XK_Num_Lock) locked ^= numlock_mask;
    }
    SetPhysical(want);
    XTestFakeKeyEvent(dpy, kc, True, CurrentTime);
    down[vk] = kc;
  }

  void ReleaseKey(uint8_t vk) {
    auto it = down.find(vk);
    if (it == down.end()) return;
    XTestFakeKeyEvent(dpy, it->second, False, CurrentTime);
    for (Spare& s : spares) {
      if (s.kc == it->second) s.last_use = Clock::now();
    }
    down.erase(it);
    unflushed = true;
  }

  // Types one character with exactly the modifiers it needs, whatever the caller holds.
  bool TypeUnicode(char32_t u) {
    tap = 0;
    KeyCode kc = 0;
    unsigned want = 0;
    switch (u) {
      case U'\r':
      case U'\n':
        u = 0;
        kc = KeycodeOf(XK_Return);
        break;
      case U'\t':
        u = 0;
        kc = KeycodeOf(XK_Tab);
        break;
      case U'\b':
        u = 0;
        kc = KeycodeOf(XK_BackSpace);
        break;
      case 0x1B:
        u = 0;
        kc = KeycodeOf(XK_Escape);
        break;
      default:
        if (u < 0x20 || (u >= 0x7F && u < 0xA0)) return false;
    }
    if (u != 0) {
      if (auto it = chars.find(u); it != chars.end()) {
        const CharKey key = it->second;
        const unsigned l3 = key.mods & level3_mask;
        bool shift = key.mods & ShiftMask;
        const KeySym intended = Translate(key.kc, key.mods);
        const unsigned base = (locked | foreign | l3) & ~ShiftMask;
        const unsigned held_shift = foreign & ShiftMask;
        if (Translate(key.kc, base | held_shift | (shift ? ShiftMask : 0)) == intended) {
          kc = key.kc;
        } else if (Translate(key.kc, base | held_shift | (shift ? 0 : ShiftMask)) == intended) {
          kc = key.kc;
          shift = !shift;
        }
        if (kc) want = (shift ? kShift : 0u) | (l3 ? kLevel3 : 0u);
      }
      if (!kc) {
        const KeySym ks = UnicodeToKeysym(u);
        kc = SpareFor(ks);
        if (kc) UnlockCapsFor(ks);
      }
    }
    if (!kc) return false;
    SetPhysical(want);
    XTestFakeKeyEvent(dpy, kc, True, CurrentTime);
    XTestFakeKeyEvent(dpy, kc, False, CurrentTime);
    for (Spare& s : spares) {
      if (s.kc == kc) s.last_use = Clock::now();
    }
    SetPhysical(LogicalMask());
    return true;
  }

  KeyCode KeycodeOf(KeySym ks) {
    auto it = kc_of_keysym.find(ks);
    return it != kc_of_keysym.end() ? it->second : SpareFor(ks);
  }

  // --- spare keycodes -------------------------------------------------------------------

  // A spare key types its character at both levels, so that Shift held by anyone changes
  // nothing.
  Binding BindingFor(KeySym ks) const { return {ks, ks}; }

  // Caps Lock would turn a spare key's lower-case letter into a capital: it is switched off
  // for the moment and on again when typing pauses.
  void UnlockCapsFor(KeySym ks) {
    KeySym lower, upper;
    XConvertCase(ks, &lower, &upper);
    if (!(locked & LockMask) || lower == upper) return;
    auto it = kc_of_keysym.find(XK_Caps_Lock);
    if (it == kc_of_keysym.end()) return;
    XTestFakeKeyEvent(dpy, it->second, True, CurrentTime);
    XTestFakeKeyEvent(dpy, it->second, False, CurrentTime);
    locked &= ~LockMask;
    relock = !relock;
  }

  void Relock() {
    if (!relock) return;
    relock = false;
    auto it = kc_of_keysym.find(XK_Caps_Lock);
    if (it == kc_of_keysym.end()) return;
    XTestFakeKeyEvent(dpy, it->second, True, CurrentTime);
    XTestFakeKeyEvent(dpy, it->second, False, CurrentTime);
    locked ^= LockMask;
    unflushed = true;
  }

  static bool Holds(const Spare& s, const Binding& b) {
    return s.ks == b.lower && s.upper == b.upper;
  }

  void Bind(Spare& s, const Binding& b) {
    KeySym syms[2] = {b.lower, b.upper};
    XChangeKeyboardMapping(dpy, s.kc, 2, syms, 1);
    s.ks = b.lower;
    s.upper = b.upper;
    s.bound_at = s.last_use = Clock::now();
    wanted.erase(std::remove(wanted.begin(), wanted.end(), b), wanted.end());
  }

  // Lets the clients see the new bindings before anything is typed through them.
  void Settle() {
    XSync(dpy, False);
    ReadEvents(false);
    std::this_thread::sleep_for(kBindSettle);
    XSync(dpy, False);
    ReadEvents(false);
  }

  bool Bound(const Binding& b) const {
    return std::any_of(spares.begin(), spares.end(), [&](const Spare& s) { return Holds(s, b); });
  }

  // Binds the announced characters to the free spare keycodes, all at once.
  void BindWanted() {
    bool any = false;
    for (Spare& s : spares) {
      if (wanted.empty()) break;
      if (s.ks != NoSymbol) continue;
      Bind(s, wanted.front());
      any = true;
    }
    if (any) Settle();
  }

  // The spare keycode that types ks, bound now if need be (with the announced characters
  // that are still waiting, so that one pause serves them all).
  KeyCode SpareFor(KeySym ks) {
    const Binding b = BindingFor(ks);
    for (Spare& s : spares) {
      if (Holds(s, b)) return s.kc;
    }
    if (spares.empty()) return 0;
    wanted.insert(wanted.begin(), b);
    const bool free_left =
        std::any_of(spares.begin(), spares.end(), [](const Spare& s) { return s.ks == NoSymbol; });
    if (!free_left) {
      // All taken: give back the least recently used half, once they have rested long enough.
      std::vector<Spare*> order;
      for (Spare& s : spares) {
        if (!std::count_if(down.begin(), down.end(), [&](auto& d) { return d.second == s.kc; })) {
          order.push_back(&s);
        }
      }
      if (order.empty()) return 0;
      std::sort(order.begin(), order.end(),
                [](const Spare* a, const Spare* b) { return a->last_use < b->last_use; });
      order.resize(std::max<size_t>(1, order.size() / 2));
      const auto rested = order.back()->last_use + kBindSettle;
      XFlush(dpy);
      std::this_thread::sleep_until(rested);
      for (Spare* s : order) s->ks = NoSymbol;
    }
    BindWanted();
    for (Spare& s : spares) {
      if (Holds(s, b)) return s.kc;
    }
    return 0;
  }

  void RestoreSpares() {
    for (Spare& s : spares) {
      if (s.ks == NoSymbol) continue;
      if (std::count_if(down.begin(), down.end(), [&](auto& d) { return d.second == s.kc; })) {
        continue;
      }
      KeySym none = NoSymbol;
      XChangeKeyboardMapping(dpy, s.kc, 1, &none, 1);
      s.ks = NoSymbol;
    }
    wanted.clear();
    XFlush(dpy);
  }

  bool AnyBound() const {
    return std::any_of(spares.begin(), spares.end(), [](const Spare& s) { return s.ks != 0; });
  }

  // A button event waits until the server has processed it. A window manager that takes
  // clicks with a synchronous grab freezes the pointer until it lets the click through; a move
  // sent meanwhile would be processed first and the release would land at the new place.
  void Button(unsigned button, bool press) {
    XTestFakeButtonEvent(dpy, button, press, CurrentTime);
    const unsigned mask = Button1Mask << (button - 1);
    const auto deadline = Clock::now() + milliseconds(200);
    for (;;) {
      Window root, child;
      int rx, ry, wx, wy;
      unsigned state = 0;
      XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &rx, &ry, &wx, &wy, &state);
      if (((state & mask) != 0) == press || Clock::now() > deadline) break;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }

  void Done() {
    last_event = Clock::now();
    if (unflushed && LogicalMask() == 0 && !alt_pending && down.empty()) {
      XFlush(dpy);
      unflushed = false;
    }
    Wake();
  }

  void Wake() {
    char c = 1;
    [[maybe_unused]] auto n = write(wake[1], &c, 1);
  }

  // Sends what waits for a pause: lone modifiers, a lone Alt, the output buffer; gives the
  // spare keycodes back when typing has stopped.
  void Housekeep() {
    std::unique_lock lock(mu);
    while (!stop) {
      const auto now = Clock::now();
      milliseconds wait{1000};
      auto until = [&](Clock::time_point t) {
        wait = std::min(
            wait, std::max(milliseconds(0),
                           std::chrono::duration_cast<milliseconds>(t - now) + milliseconds(1)));
      };
      if (unflushed || (LogicalMask() & ~physical)) until(last_event + kLazyModifier);
      if (alt_pending) until(last_event + kAltAlone);
      if (AnyBound()) until(last_event + kSpareIdle);
      if (relock) until(last_event + kRelock);
      lock.unlock();
      pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {wake[0], POLLIN, 0}};
      poll(fds, 2, static_cast<int>(wait.count()));
      if (fds[1].revents & POLLIN) {
        char buf[64];
        [[maybe_unused]] auto n = read(wake[0], buf, sizeof buf);
      }
      lock.lock();
      if (stop) break;
      if (fds[0].revents & POLLIN) ReadEvents(true);
      const auto idle = Clock::now() - last_event;
      if (idle >= kLazyModifier) {
        if (LogicalMask() & ~physical) SetPhysical(physical | LogicalMask());
        if (alt_pending && idle >= kAltAlone) EmitPendingAlt();
        if (AnyBound() && idle >= kSpareIdle) RestoreSpares();
        if (relock && idle >= kRelock) Relock();
        if (unflushed) {
          XFlush(dpy);
          unflushed = false;
        }
      }
    }
  }
};

X11Input::X11Input(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<X11Input> X11Input::Open(const char* display_name) {
  Display* dpy = XOpenDisplay(display_name && *display_name ? display_name : nullptr);
  if (!dpy) return nullptr;
  int ev = 0, err = 0, major = 0, minor = 0;
  int opcode = 0, xkb_event = 0, xkb_error = 0;
  int xkb_major = XkbMajorVersion, xkb_minor = XkbMinorVersion;
  if (!XTestQueryExtension(dpy, &ev, &err, &major, &minor) ||
      !XkbQueryExtension(dpy, &opcode, &xkb_event, &xkb_error, &xkb_major, &xkb_minor)) {
    XCloseDisplay(dpy);
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->dpy = dpy;
  impl->xkb_event = xkb_event;
  if (pipe2(impl->wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    XCloseDisplay(dpy);
    return nullptr;
  }
  InstallErrorTrap(dpy);
  // Injected events pass even while another client grabs the server.
  XTestGrabControl(dpy, True);
  XkbSelectEvents(dpy, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                  XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
  XkbSelectEventDetails(dpy, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask, XkbGroupStateMask);
  impl->Rebuild();
  impl->last_event = Clock::now() - kBurstGap * 2;
  Impl* raw = impl.get();
  impl->housekeeper = std::thread([raw] { raw->Housekeep(); });
  return std::unique_ptr<X11Input>(new X11Input(std::move(impl)));
}

X11Input::~X11Input() {
  {
    std::lock_guard lock(impl_->mu);
    impl_->stop = true;
    impl_->Wake();
  }
  impl_->housekeeper.join();
  Impl& d = *impl_;
  // Nothing stays held or rebound after the program has gone.
  d.alt_pending = false;
  for (const auto& [vk, kc] : d.down) XTestFakeKeyEvent(d.dpy, kc, False, CurrentTime);
  d.down.clear();
  d.logical.clear();
  d.SetPhysical(0);
  d.Relock();
  if (d.AnyBound()) {
    // Clients look keys up lazily: the last character typed through a spare key must be read
    // before the key is given back.
    XSync(d.dpy, False);
    std::this_thread::sleep_until(d.last_event + kBindSettle);
  }
  d.RestoreSpares();
  XSync(d.dpy, False);
  close(d.wake[0]);
  close(d.wake[1]);
  RemoveErrorTrap(d.dpy);
  XCloseDisplay(d.dpy);
}

void X11Input::KeyEvent(uint8_t vk, bool up) {
  Impl& d = *impl_;
  std::lock_guard lock(d.mu);
  d.Touch();
  if (vk == 0 || vk == 0xFF || vk == 0x01 || vk == 0x02 || vk == 0x04 || vk == 0x05 || vk == 0x06) {
    return;  // no key (mouse buttons are MouseEvent's)
  }
  if (const unsigned cls = ModifierClass(vk)) {
    d.HandleModifier(vk, cls, up);
  } else {
    if (d.alt_pending) {
      if (vk >= 0x60 && vk <= 0x69) {
        if (!up) d.alt_digits += static_cast<char>('0' + (vk - 0x60));
        d.last_event = Clock::now();
        return;
      }
      d.EmitPendingAlt();
    }
    if (up) {
      d.ReleaseKey(vk);
    } else {
      d.PressKey(vk);
    }
  }
  d.Done();
}

int16_t X11Input::VkKeyScan(char c) {
  Impl& d = *impl_;
  std::lock_guard lock(d.mu);
  d.ReadEvents(false);
  if (d.dirty) d.Rebuild();
  const auto ch = static_cast<unsigned char>(c);
  switch (ch) {
    case '\r':
    case '\n':
      return 0x0D;  // a line break is Return
    case '\t':
      return 0x09;
    case '\b':
      return 0x08;
    default:
      break;
  }
  if (ch >= 1 && ch <= 26) {
    const uint8_t vk = static_cast<uint8_t>('A' + ch - 1);
    return d.kc_of_vk[vk] ? static_cast<int16_t>(0x200 | vk) : -1;
  }
  auto it = d.chars.find(platform::Cp1252ToUnicode(ch));
  if (ch < 0x20 || it == d.chars.end()) return -1;
  int state = 0;
  if (it->second.mods & ShiftMask) state |= 1;
  if (it->second.mods & d.level3_mask) state |= 6;
  return static_cast<int16_t>(state << 8 | d.vk_of_kc[it->second.kc]);
}

bool X11Input::TypeCharacter(char ch) {
  Impl& d = *impl_;
  std::lock_guard lock(d.mu);
  d.Touch();
  d.EmitPendingAlt();
  const bool typed = d.TypeUnicode(platform::Cp1252ToUnicode(static_cast<unsigned char>(ch)));
  d.Done();
  return typed;
}

void X11Input::PrepareText(std::string_view text) {
  Impl& d = *impl_;
  std::lock_guard lock(d.mu);
  d.Touch();
  std::set<char32_t> seen;
  for (char c : text) {
    const char32_t u = platform::Cp1252ToUnicode(static_cast<unsigned char>(c));
    if (u < 0x20 || (u >= 0x7F && u < 0xA0) || d.chars.count(u) || !seen.insert(u).second) {
      continue;
    }
    const Impl::Binding b = d.BindingFor(UnicodeToKeysym(u));
    if (!d.Bound(b) && std::find(d.wanted.begin(), d.wanted.end(), b) == d.wanted.end()) {
      d.wanted.push_back(b);
    }
  }
  d.BindWanted();
  d.last_event = Clock::now();
  d.Wake();
}

void X11Input::Flush() {
  Impl& d = *impl_;
  std::lock_guard lock(d.mu);
  if (d.LogicalMask() & ~d.physical) d.SetPhysical(d.physical | d.LogicalMask());
  XSync(d.dpy, False);
  d.unflushed = false;
  d.ReadEvents(false);
}

void X11Input::MouseEvent(uint32_t flags, int32_t x, int32_t y, int32_t data) {
  Impl& d = *impl_;
  std::lock_guard lock(d.mu);
  d.Touch();
  d.EmitPendingAlt();
  d.tap = 0;
  d.SetPhysical(d.LogicalMask());
  Display* dpy = d.dpy;
  if (flags & platform::kMouseMove) {
    if (flags & platform::kMouseAbsolute) {
      Window root;
      int gx, gy;
      unsigned w = 1, h = 1, border, depth;
      XGetGeometry(dpy, DefaultRootWindow(dpy), &root, &gx, &gy, &w, &h, &border, &depth);
      // 0..65535 spans the screen; rounding undoes the caller's truncation exactly.
      auto scale = [](int32_t v, unsigned size) {
        const int64_t p = (static_cast<int64_t>(std::clamp(v, 0, 65535)) * size + 32767) / 65535;
        return static_cast<int>(std::min<int64_t>(p, size - 1));
      };
      XTestFakeMotionEvent(dpy, DefaultScreen(dpy), scale(x, w), scale(y, h), CurrentTime);
    } else {
      XTestFakeRelativeMotionEvent(dpy, x, y, CurrentTime);
    }
  }
  struct Button {
    uint32_t flag;
    unsigned button;
    bool press;
  };
  constexpr Button kButtons[] = {
      {platform::kMouseLeftDown, 1, true},   {platform::kMouseLeftUp, 1, false},
      {platform::kMouseRightDown, 3, true},  {platform::kMouseRightUp, 3, false},
      {platform::kMouseMiddleDown, 2, true}, {platform::kMouseMiddleUp, 2, false},
  };
  for (const auto& b : kButtons) {
    if (flags & b.flag) d.Button(b.button, b.press);
  }
  if (flags & platform::kMouseWheel) {
    // One notch per 120; a remainder waits for the next turn in the same direction.
    d.wheel_rest += data;
    while (d.wheel_rest >= 120 || d.wheel_rest <= -120) {
      const unsigned button = d.wheel_rest > 0 ? 4 : 5;
      d.Button(button, true);
      d.Button(button, false);
      d.wheel_rest += d.wheel_rest > 0 ? -120 : 120;
    }
  }
  XFlush(dpy);
  d.unflushed = false;
  d.last_event = Clock::now();
  d.Wake();
}

platform::ScreenSize X11Input::Screen() {
  Impl& d = *impl_;
  std::lock_guard lock(d.mu);
  Window root;
  int x, y;
  unsigned w = 0, h = 0, border, depth;
  if (!XGetGeometry(d.dpy, DefaultRootWindow(d.dpy), &root, &x, &y, &w, &h, &border, &depth)) {
    return {};
  }
  return {static_cast<int>(w), static_cast<int>(h)};
}

bool X11Input::CapsLockOn() {
  Impl& d = *impl_;
  std::lock_guard lock(d.mu);
  XkbStateRec st{};
  XkbGetState(d.dpy, XkbUseCoreKbd, &st);
  d.locked = st.locked_mods;
  return ((st.locked_mods & LockMask) != 0) != d.relock;
}

}  // namespace quillomat::x11
